#pragma once
// The version-information window: the program's title and version, the camera's firmware
// version, the identification line of program and camera, the maker's web page (opened by a
// click), and a button that starts the system-information viewer named in the registry.
#include <cstdint>
#include <string>

#include "platform/forms/forms.h"

class FrmAbout : public forms::Form {
 public:
  FrmAbout();

  forms::PictureBox picIcon{this, "picIcon"};
  forms::Label lblTitle{this, "lblTitle"};
  forms::Label lblVersion{this, "lblVersion"};
  forms::Label lblFirmWare{this, "lblFirmWare"};
  forms::Label lblDisclaimer{this, "lblDisclaimer"};
  forms::Label lblDescription{this, "lblDescription"};
  forms::Label lblLink{this, "lblLink"};
  forms::ControlArray<forms::Line> Line1{this, "Line1"};
  forms::CommandButton cmdOK{this, "cmdOK"};
  forms::CommandButton cmdSysInfo{this, "cmdSysInfo"};

  void Form_Load() override;
  void cmdOK_Click();
  void cmdSysInfo_Click();
  void lblLink_Click();

  // Finds the system-information viewer in the registry and starts it; does nothing when the
  // registry names none.
  void StartSysInfo();
  // Reads the value SubKeyRef of the key KeyName under KeyRoot into KeyVal: a text value as
  // its text, a number as "&h" and its bytes in hexadecimal, most significant first; another
  // type leaves KeyVal as it was. False (KeyVal "") when the key or the value is missing.
  bool GetKeyValue(int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef, std::string& KeyVal);
};

FrmAbout& frmAbout();
