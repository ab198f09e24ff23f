// The value boxes, their up-downs and the scroll bars.
// Stand-ins: each does nothing and succeeds until the real code replaces this file.
#include "ui/main_window.h"

void FrmMain::txtData_Change(int Index) {}
void FrmMain::txtData_KeyDown(int Index, int& KeyCode, int Shift) {}
void FrmMain::txtData_GotFocus(int Index) {}
void FrmMain::txtData_LostFocus(int Index) {}
void FrmMain::txtData_Validate(int Index, bool& Cancel) {}
void FrmMain::udData_Change(int Index) {}
void FrmMain::udCDSGain_Change(int Index) {}
void FrmMain::udChromaSetup_Change(int Index) {}
void FrmMain::udHL_Change(int Index) {}
void FrmMain::vsData_Change(int Index) {}
void FrmMain::hsData_Change(int Index) {}
void FrmMain::vsChromaSetup_Change(int Index) {}
