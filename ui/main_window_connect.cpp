// Connect, reconnect, the status line, the busy guard and closing the window.
// Stand-ins: each does nothing and succeeds until the real code replaces this file.
#include "ui/main_window.h"

bool FrmMain::blnCommStart() { return true; }
bool FrmMain::mblnUpdateLineStatusString() { return true; }
void FrmMain::lblOnLine_Change() {}
bool FrmMain::mblnChkNowProcessing() { return true; }
void FrmMain::cmdEnd_Click(int Index) { Unload(); }
void FrmMain::mnuEnd_Click() { Unload(); }
void FrmMain::cmdEnd_LostFocus(int Index) {}
void FrmMain::Form_QueryUnload(int& Cancel, int UnloadMode) {}
void FrmMain::Form_Unload(int& Cancel) {}
