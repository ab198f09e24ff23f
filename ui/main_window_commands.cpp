// The camera commands and menus of the main window.
// Stand-ins: each does nothing and succeeds until the real code replaces this file.
#include "ui/main_window.h"

void FrmMain::cmdWriteEEPROM_Click(int Index) {}
void FrmMain::cmdReboot_Click(int Index) {}
void FrmMain::mnuReboot_Click() {}
void FrmMain::mnuEEPROM_Click(int Index) {}
void FrmMain::mnuPortChange_Click() {}
void FrmMain::mnuBatch_Click() {}
void FrmMain::mnuConnectionOption_Click() {}
void FrmMain::mnuViewAllData_Click() {}
void FrmMain::mnuAdvancedOperation_Click() {}
void FrmMain::mnuVersion_Click() {}
void FrmMain::mnuHelp_Click() {}
