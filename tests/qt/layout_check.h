#pragma once
// Checks a rendered form from its widgets' geometry: every shown control lies inside the
// area of its container, no two controls of one container (and page) overlap, every caption
// fits its control, the window lies in the screen's work area, the pages' contents start right
// below their tabs, frames are no taller than their content, and the value boxes of frames
// stacked in one column line up.
#include <string>
#include <vector>

namespace qtview {
class FormView;
}

namespace qttest {

std::vector<std::string> layoutProblems(const qtview::FormView& view);

}  // namespace qttest
