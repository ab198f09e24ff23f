#pragma once
// The connection-option window: the numeric link settings (polls, poll interval, time-out,
// retries before the two questions) and the switches of the error log, optimised EEPROM
// writing and the communication log. Shown modally; OK stores every value in the program-wide
// settings when the window unloads, Cancel and the close box store nothing. The baud-rate
// controls are hidden; loading the window still normalises gstrSettings to one of the two
// baud-rate candidates and applies it to the serial control.
#include <string>

#include "platform/forms/forms.h"

class FrmConectionOption : public forms::Form {
 public:
  FrmConectionOption();

  forms::ControlArray<forms::Label> lblData{this, "lblData"};
  forms::ControlArray<forms::TextBox> txtNum{this, "txtNum"};
  forms::ControlArray<forms::UpDown> udNum{this, "udNum"};
  forms::ControlArray<forms::CheckBox> chkBool{this, "chkBool"};
  forms::ComboBox cmbRS232cSettings{this, "cmbRS232cSettings"};
  forms::CommandButton cmdOk{this, "cmdOk"};
  forms::CommandButton cmdCancel{this, "cmdCancel"};
  forms::CommandButton cmdChkBaudRate{this, "cmdChkBaudRate"};
  forms::Line linBaudRateUnder{this, "linBaudRateUnder"};

  void Form_Load() override;
  void Form_Unload(int& Cancel) override;
  void txtNum_GotFocus(int Index);
  void txtNum_KeyDown(int Index, int& KeyCode, int Shift);
  void txtNum_LostFocus(int Index);
  void cmdOk_Click();
  void cmdCancel_Click();

  // True from the load until OK is pressed: the values are stored at unload only when False.
  bool OptionCancelled() const { return mblnOptionCancel; }

 private:
  bool mblnCtrlPropertyIni();
  void mFitCaptions();
  bool mblnSetRs232CSettingList(std::string& rstrSettings, bool vblnFill);
  bool mblnSetDataToCtrl();
  bool mblnSetDataToVariable();

  bool mblnOptionCancel = true;
};

// The window, created on first use.
FrmConectionOption& frmConectionOption();
