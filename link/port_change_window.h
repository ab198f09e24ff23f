#pragma once
// The port-selection window: the serial ports the system lists, sorted by number, or a
// "COM<n>" text box with an up-down when it lists none. OK stores the number in glngPortNo.
#include <cstdint>
#include <string>

#include "platform/forms/forms.h"

class FrmPortChange : public forms::Form {
 public:
  FrmPortChange();

  forms::Label lblPortNoInputMsg{this, "lblPortNoInputMsg"};
  forms::Label lblPortNo{this, "lblPortNo"};
  forms::ComboBox cmbPortNo{this, "cmbPortNo"};
  forms::TextBox txtPortNo{this, "txtPortNo"};
  forms::UpDown udPortNo{this, "udPortNo"};
  forms::CommandButton btnOK{this, "btnOK"};
  forms::CommandButton btnCancel{this, "btnCancel"};

  void Form_Load() override;
  void Form_Unload(int& Cancel) override;
  void udPortNo_UpClick();
  void udPortNo_DownClick();
  void btnOK_Click();
  void btnCancel_Click();

  // The port number at the end of a port name: COM12 gives 12, a bare 5 gives 5, a name that
  // does not end in a digit gives 0.
  static int32_t mlngGetPortNoFromPortName(const std::string& vstrPortName);

 private:
  bool mblnInitPortNoBox(int32_t& rlngPortNo);
  bool mblnPortListFound = false;
  int32_t mlngSavedMousePointer = 0;
};

FrmPortChange& frmPortChange();
