// Gamma and CDS graphs, the centre planes, the bar graphs, the iris frame and the info labels.
// Stand-ins: each does nothing and succeeds until the real code replaces this file.
#include "ui/main_window.h"

bool FrmMain::blnSetPctGraph(int32_t code) { return true; }
bool FrmMain::blnSetPctAWBCenter(int32_t code) { return true; }
bool FrmMain::mblnSetAWBCenter(int X, int Y, int Index) { return true; }
void FrmMain::pctAWBCenter_MouseMove(int Index, int Button, int Shift, float X, float Y) {}
void FrmMain::pctAWBCenter_MouseUp(int Index, int Button, int Shift, float X, float Y) {}
bool FrmMain::blnSetShpSize(int32_t code, bool vertical) { return true; }
bool FrmMain::blnIrisFrameDivMulSet() { return true; }
bool FrmMain::blnIrisFrameLabelSet() { return true; }
bool FrmMain::mblnUpdateInfoLabel(int32_t code) { return true; }
