// The status poll and the focus of the pages.
// Stand-ins: each does nothing and succeeds until the real code replaces this file.
#include "ui/main_window.h"

void FrmMain::cmdGetCurrentData_Click() {}
void FrmMain::cmdGetCurrentData_LostFocus() {}
void FrmMain::SSTab1_GotFocus() {}
