// Enable rules, the advanced pages, the AE frame shape and the double-click toggles.
// Stand-ins: each does nothing and succeeds until the real code replaces this file.
#include "ui/main_window.h"

bool FrmMain::mblnAllCtrlEnableSet(bool f) { return true; }
bool FrmMain::blnControlEnable(bool f) { return true; }
bool FrmMain::mblnChangeAdvancedModeOrNot() { return true; }
bool FrmMain::mblnSetAEFrameSize(bool normal) { return true; }
void FrmMain::fraForFactory_DblClick() {}
void FrmMain::fraIris_DblClick(int Index) {}
void FrmMain::fraTiming_DblClick() {}
