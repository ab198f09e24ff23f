// Stands in until the splash screen lands: nothing is shown.
#include "ui/main_window_splash.h"

namespace MainWindowSplash {
void Show() {}
void Unload() {}
}  // namespace MainWindowSplash
