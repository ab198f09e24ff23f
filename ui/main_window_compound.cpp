// The CDS gain, nibble, chroma-setup and 3100 K editors and the manual gain labels.
// Stand-ins: each does nothing and succeeds until the real code replaces this file.
#include "ui/main_window.h"

void FrmMain::txtCdsGain_Change(int Index) {}
void FrmMain::txtCdsGain_GotFocus(int Index) {}
void FrmMain::txtCdsGain_KeyDown(int Index, int& KeyCode, int Shift) {}
void FrmMain::txtCdsGain_LostFocus(int Index) {}
void FrmMain::txtCdsGain_Validate(int Index, bool& Cancel) {}
void FrmMain::txtHL_Change(int Index) {}
void FrmMain::txtHL_GotFocus(int Index) {}
void FrmMain::txtHL_KeyDown(int Index, int& KeyCode, int Shift) {}
void FrmMain::txtHL_LostFocus(int Index) {}
void FrmMain::txtHL_Validate(int Index, bool& Cancel) {}
void FrmMain::txtChromaSetup_Change(int Index) {}
void FrmMain::txtChromaSetup_GotFocus(int Index) {}
void FrmMain::txtChromaSetup_KeyDown(int Index, int& KeyCode, int Shift) {}
void FrmMain::txtChromaSetup_LostFocus(int Index) {}
void FrmMain::txtChromaSetup_Validate(int Index, bool& Cancel) {}
void FrmMain::txtWB3100_Change(int Index) {}
void FrmMain::txtWB3100_GotFocus(int Index) {}
void FrmMain::txtWB3100_KeyDown(int Index, int& KeyCode, int Shift) {}
void FrmMain::txtWB3100_LostFocus(int Index) {}
bool FrmMain::bln10BitToLng(uint8_t vbyteHigh, uint8_t vbyteLow, int32_t& rlngValue) { return true; }
bool FrmMain::blnLngTo10Bit(int32_t vlngValue, uint8_t& rbyteHigh, uint8_t& rbyteLow) { return true; }
bool FrmMain::mblnSetWB3100(int vintIndex, int32_t vlngValue3100, int32_t vlngDifference) { return true; }
bool FrmMain::mblnDispMWBGainValue() { return true; }
