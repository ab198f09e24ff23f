#pragma once
// The advanced-mode password window: OK compares the typed text with the built-in password
// (ignoring case), sets gblnAdvancedMode (always on in developing mode) and keeps the text in
// gstrAdvancedPwd only when "Save password" is ticked. Cancel changes nothing.
#include "platform/forms/forms.h"

class FrmPwd : public forms::Form {
 public:
  FrmPwd();

  forms::Label lblMsg{this, "lblMsg"};
  forms::Label lblPwd{this, "lblPwd"};
  forms::TextBox txtPwd{this, "txtPwd"};
  forms::CheckBox chkSavePwd{this, "chkSavePwd"};
  forms::CommandButton cmdOK{this, "cmdOK"};
  forms::CommandButton cmdCancel{this, "cmdCancel"};

  void Form_Load() override;
  void cmdOK_Click();
  void cmdCancel_Click();
};

FrmPwd& frmPwd();
