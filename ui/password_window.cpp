#include "ui/password_window.h"

#include "core/settings_file.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "platform/app/res_string.h"
#include "platform/vb/vb.h"

FrmPwd::FrmPwd() : forms::Form("frmPwd") {
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

FrmPwd& frmPwd() { return forms::DefaultInstance<FrmPwd>(); }

void FrmPwd::Form_Load() {
  vb::guarded("frmPwd.Form_Load", [&] {
    forms::InitCommonControls();
    Caption(SubMain::gstrGetAppTitleString() + " [Advanced Operation]");
    lblMsg.Caption(vb::LoadResString(379));
    lblPwd.Caption(vb::LoadResString(381));
    txtPwd.Text(gstrAdvancedPwd);
    txtPwd.SelStart(0);
    txtPwd.SelLength(vb::Len(txtPwd.Text()));
    chkSavePwd.Caption(vb::LoadResString(382));
    const bool saved = vb::UCase(gstrAdvancedPwd) == vb::UCase(SubMain::kAdvancedPassword);
    chkSavePwd.Value(saved ? forms::vbChecked : forms::vbUnchecked);
  });
}

void FrmPwd::cmdOK_Click() {
  vb::guarded("frmPwd.cmdOK_Click", [&] {
    gstrAdvancedPwd = txtPwd.Text();
    const bool right = vb::UCase(gstrAdvancedPwd) == vb::UCase(SubMain::kAdvancedPassword);
    if (!right)
      forms::MsgBox(vb::LoadResString(380), forms::vbOKOnly + forms::vbQuestion, SubMain::gstrGetAppTitleString());
    gblnAdvancedMode = right || gblnDeveloping;
    if (chkSavePwd.Value() != forms::vbChecked) gstrAdvancedPwd = "";
    Unload();
  });
}

void FrmPwd::cmdCancel_Click() {
  vb::guarded("frmPwd.cmdCancel_Click", [&] { Unload(); });
}
