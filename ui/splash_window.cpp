#include "ui/splash_window.h"

#include "core/start_up.h"
#include "core/variables.h"
#include "platform/vb/error.h"

FrmSplash::FrmSplash() : forms::Form("frmSplash") {}

FrmSplash& frmSplash() { return forms::DefaultInstance<FrmSplash>(); }

void FrmSplash::Form_Load() {
  vb::guarded("frmSplash.Form_Load", [&] {
    lblVersion.Caption(SubMain::gstrGetVersionString());
    lblProductName.Caption(SubMain::gstrGetAppTitleString());
    for (forms::Image& logo : imgLogo) logo.Visible(logo.Index() == 0);
    // The frame wraps the logo with a margin, and the window wraps the frame.
    forms::Image& logo = imgLogo(0);
    logo.Top(150);
    fraLogo.Top(0);
    fraLogo.Height(logo.Height() + 200);
    Height(fraLogo.Top() + fraLogo.Height() + 150);
    logo.Left(100);
    fraLogo.Left(50);
    fraLogo.Width(logo.Width() + 200);
    Width(fraLogo.Width() + 150);
    gblnShowSplash = true;
  });
}

void FrmSplash::Form_KeyPress(int& KeyAscii) {
  vb::guarded("frmSplash.Form_KeyPress", [&] { Unload(); });
}

void FrmSplash::Form_Unload(int& Cancel) {
  vb::guarded("frmSplash.Form_Unload", [&] { gblnShowSplash = false; });
}
