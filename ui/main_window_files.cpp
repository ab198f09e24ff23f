// Parameter files, the recent-file menu, the factory controls and the cable length.
// Stand-ins: each does nothing and succeeds until the real code replaces this file.
#include "ui/main_window.h"

bool FrmMain::mblnFileRead(std::string& rstrFileName) { return true; }
void FrmMain::mnuFile_Click(int Index) {}
bool FrmMain::mblnMakeRecentlyFileList() { return true; }
void FrmMain::mnuRecentlyFileName_Click(int Index) {}
void FrmMain::mnuRecentlyFilesClear_Click() {}
void FrmMain::SSTab1_OLEDragDrop(const forms::DataObject& Data) {}
void FrmMain::cmdSelectFile_Click() {}
void FrmMain::cmdCheck_Click() {}
void FrmMain::cmdReadAndWrite_Click(int Index) {}
bool FrmMain::mblnGetCableLengthFileVersion(uint8_t vbyteFirmVersion, std::string& rstrDataVersion) { return true; }
bool FrmMain::mblnDispCableLengthButton() { return true; }
