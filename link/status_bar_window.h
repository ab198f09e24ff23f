#pragma once
// Interim: the progress window's logic without its face, until the forms layer lands.

class frmStatusBar_t {
 public:
  void Show(int style = 0);
  void Unload();
  bool gblnRefresh();
  long BarMax = 0, BarValue = 0;
  bool Loaded = false;
};
frmStatusBar_t& frmStatusBar();
