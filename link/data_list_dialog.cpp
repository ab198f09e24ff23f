#include "link/data_list_dialog.h"
frmDispSelectData_t& frmDispSelectData() {
  static frmDispSelectData_t f;
  return f;
}
bool frmDispSelectData_t::gblnDispSelectData(const std::string&, bool, const std::string&, bool,
                                             const std::array<uint8_t, 256>&,
                                             const std::array<uint8_t, 256>&) {
  return true;
}
