// The DIP switch and the configuration bits.
// Stand-ins: each does nothing and succeeds until the real code replaces this file.
#include "ui/main_window.h"

void FrmMain::optDIPSwitch_Click(int Index) {}
void FrmMain::chkConfig0_Click(int Index) {}
void FrmMain::chkConfig1_Click(int Index) {}
void FrmMain::chkConfig2_Click(int Index) {}
