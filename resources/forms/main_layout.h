// Measures of the main window's layout (twips) that the window itself needs as well as the
// generator of its layout.
#pragma once

namespace mainlayout {

// The margin a frame keeps below its content.
inline constexpr long kFrameMarginBelow = 120;

}  // namespace mainlayout
