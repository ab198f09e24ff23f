// Showing the current values in the window's controls.
// Stand-ins: each does nothing and succeeds until the real code replaces this file.
#include "ui/main_window.h"

bool FrmMain::blnSetDataToControl() { return true; }
