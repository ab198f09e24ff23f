#pragma once
// Interim until the forms layer lands.
#include <array>
#include <cstdint>
#include <string>
class frmDispSelectData_t {
 public:
  bool gblnDispSelectData(const std::string& vstrMsg, bool vblnCancelBtn,
                          const std::string& vstrDispCmdSet, bool gblnDispOldVal,
                          const std::array<uint8_t, 256>& rbyteNewData,
                          const std::array<uint8_t, 256>& rbyteOldData);
};
frmDispSelectData_t& frmDispSelectData();
