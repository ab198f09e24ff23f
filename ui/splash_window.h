#pragma once
// The splash screen: the logo with the program's title and version, shown while the main
// window loads and connects. gblnShowSplash is True while it is loaded, so that the progress
// window can place itself under it. Any key closes it early.
#include "platform/forms/forms.h"

class FrmSplash : public forms::Form {
 public:
  FrmSplash();

  forms::Frame fraLogo{this, "fraLogo"};
  forms::ControlArray<forms::Image> imgLogo{this, "imgLogo"};
  forms::Label lblProductName{this, "lblProductName"};
  forms::Label lblVersion{this, "lblVersion"};
  forms::Label lblLicenseTo{this, "lblLicenseTo"};
  forms::Label lblCopyright{this, "lblCopyright"};

  void Form_Load() override;
  void Form_KeyPress(int& KeyAscii) override;
  void Form_Unload(int& Cancel) override;
};

FrmSplash& frmSplash();
