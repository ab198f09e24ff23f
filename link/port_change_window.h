#pragma once
// Interim until the forms layer lands.
#include "link/status_bar_window.h"
class frmPortChange_t {
 public:
  void Show(int style = 0) {}
};
inline frmPortChange_t& frmPortChange() {
  static frmPortChange_t f;
  return f;
}
