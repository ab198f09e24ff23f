#include "link/status_bar_window.h"

#include "core/start_up.h"
#include "core/variables.h"
#include "platform/vb/error.h"

FrmStatusBar::FrmStatusBar() : forms::Form("frmStatusBar") {}

FrmStatusBar& frmStatusBar() { return forms::DefaultInstance<FrmStatusBar>(); }

void FrmStatusBar::Form_Load() {
  vb::guarded("frmStatusBar.Form_Load", [&] {
    Caption(SubMain::gstrGetAppTitleString());
    lblStatusMsg.Caption(gstrStatusCaption);
    ProgressBar1.Max(static_cast<float>(glngStatusMax));
    ProgressBar1.Min(0);
    ProgressBar1.Value(static_cast<float>(glngStatusValue));
    gblnShowStatus = true;
  });
}

bool FrmStatusBar::gblnRefresh() {
  vb::guarded("frmStatusBar.gblnRefresh", [&] {
    if (gblnShowSplash) {
      for (forms::Form* f : forms::LoadedForms()) {
        if (f->Name() != "frmSplash") continue;
        const long below = f->Top() + f->Height();
        if (Top() != below) {
          Top(below);
          f->Refresh();
        }
        break;
      }
    }
    if (ProgressBar1.Max() >= static_cast<float>(glngStatusValue)) {
      ProgressBar1.Value(static_cast<float>(glngStatusValue));
      ProgressBar1.Refresh();
    }
    Refresh();
  });
  return true;
}

void FrmStatusBar::Form_LostFocus() {
  vb::guarded("frmStatusBar.Form_LostFocus", [&] { ZOrder(0); });
}

void FrmStatusBar::Form_Unload(int& Cancel) {
  vb::guarded("frmStatusBar.Form_Unload", [&] { gblnShowStatus = false; });
}
