#include "link/status_bar_window.h"

#include "core/variables.h"

frmStatusBar_t& frmStatusBar() {
  static frmStatusBar_t f;
  return f;
}
void frmStatusBar_t::Show(int) {
  if (!Loaded) {
    Loaded = true;
    BarMax = glngStatusMax;
    BarValue = glngStatusValue;
    gblnShowStatus = true;
  }
}
void frmStatusBar_t::Unload() {
  Loaded = false;
  gblnShowStatus = false;
}
bool frmStatusBar_t::gblnRefresh() {
  if (BarMax >= glngStatusValue) BarValue = glngStatusValue;
  return true;
}
