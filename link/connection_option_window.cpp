#include "link/connection_option_window.h"

#include <algorithm>
#include <array>

#include "core/common_helpers.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "platform/app/res_string.h"
#include "platform/forms/host.h"
#include "platform/serial/mscomm.h"
#include "platform/vb/vb.h"

namespace {

// Indexes of the controls: the numbers of the catalogue texts of their labels.
constexpr std::array<int, 5> kNumbers = {256, 257, 258, 259, 260};
constexpr std::array<int, 5> kSwitches = {261, 262, 263, 264, 266};
constexpr int kBaudRateLabel = 265;
constexpr int kAutoBaudRate = 266;
constexpr int kCheckBaudRate = 267;

// The serial settings the window offers, one per baud rate.
constexpr const char* kSettingCandidates = "1200,n,8,2\r\n9600,n,8,2";

int32_t& numberSetting(int index) {
  switch (index) {
    case 256: return glngRcvRetry;
    case 257: return glngSleepTimeUnit;
    case 258: return glngTimeOut;
    case 259: return glngRetryWrongReplayBeforeMsg;
    default: return glngRetryTimeOutBeforeMsg;
  }
}

bool& switchSetting(int index) {
  switch (index) {
    case 261: return gblnWriteErrLogWrongReplay;
    case 262: return gblnWriteErrLogTimeOut;
    case 263: return gblnOptimizeWritting;
    case 264: return gblnWriteLogFile;
    default: return gblnAutoBaudRateChange;
  }
}

}  // namespace

FrmConectionOption::FrmConectionOption() : forms::Form("frmConectionOption") {
  txtNum.GotFocus = [this](int Index) { txtNum_GotFocus(Index); };
  txtNum.KeyDown = [this](int Index, int& KeyCode, int Shift) { txtNum_KeyDown(Index, KeyCode, Shift); };
  txtNum.LostFocus = [this](int Index) { txtNum_LostFocus(Index); };
  cmdOk.Click = [this] { cmdOk_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

FrmConectionOption& frmConectionOption() { return forms::DefaultInstance<FrmConectionOption>(); }

void FrmConectionOption::Form_Load() {
  vb::guarded("frmConectionOption.Form_Load", [&] {
    // The serial settings are not edited here.
    lblData(kBaudRateLabel).Visible(false);
    cmbRS232cSettings.Visible(false);
    chkBool(kAutoBaudRate).Visible(false);
    cmdChkBaudRate.Visible(false);
    linBaudRateUnder.Visible(false);

    mblnOptionCancel = true;
    Caption(SubMain::gstrGetAppTitleString() + " [Option]");

    // Every step runs even when one before it failed, so that the boxes always show the
    // settings in use and OK never stores design values over them.
    bool ok = mblnCtrlPropertyIni();
    mFitCaptions();
    ok = mblnSetRs232CSettingList(gstrSettings, true) && ok;
    cmdChkBaudRate.Enabled(gblnOnLine);
    ok = mblnSetDataToCtrl() && ok;
    if (!ok) vb::ReportError("frmConectionOption.Form_Load");
  });
}

bool FrmConectionOption::mblnCtrlPropertyIni() {
  return vb::guarded("frmConectionOption.mblnCtrlPropertyIni", [&] {
    for (forms::UpDown& ud : udNum) {
      const int i = ud.Index();
      lblData(i).Caption(vb::LoadResString(i));
      ud.Max(65000);
      ud.Min(0);
      ud.TabIndex(txtNum(i).TabIndex() + 1);
      ud.TabStop(false);
      if (!mdlCommon::gblnTextBox_LockStyle(txtNum(i), forms::ES_NUMBER)) return false;
    }
    udNum(260).Min(1);
    udNum(258).Min(5);
    udNum(257).Min(1);
    for (forms::CheckBox& box : chkBool) box.Caption(vb::LoadResString(box.Index()));
    lblData(kBaudRateLabel).Caption(vb::LoadResString(kBaudRateLabel));
    cmdChkBaudRate.Caption(vb::LoadResString(kCheckBaudRate));
    return true;
  });
}

// The captions come from the catalogue of the user's language. The labels of the values are as
// wide as the widest of them, never wider than designed, and what stands right of them moves
// left with the window's right edge, as far as the switches' captions still fit: no wide gap
// parts a short label from its box.
void FrmConectionOption::mFitCaptions() {
  constexpr long kCheckMark = 360;  // a check box's mark and the space after it
  const long designed = lblData(kNumbers.front()).Width();
  long narrower = designed;
  for (int i : kNumbers)
    narrower = std::min(narrower, designed - forms::host().MeasureText(lblData(i).Caption(), lblData(i).Font()).Width);
  for (forms::CheckBox& box : chkBool)
    if (box.Visible())
      narrower = std::min(narrower, box.Width() - kCheckMark - forms::host().MeasureText(box.Caption(), box.Font()).Width);
  if (narrower <= 0) return;
  for (int i : kNumbers) {
    lblData(i).Width(designed - narrower);
    txtNum(i).Left(txtNum(i).Left() - narrower);
    udNum(i).Left(udNum(i).Left() - narrower);
  }
  for (forms::CheckBox& box : chkBool)
    if (box.Visible()) box.Width(box.Width() - narrower);
  for (forms::CommandButton* button : {&cmdOk, &cmdCancel}) button->Left(button->Left() - narrower);
  Width(Width() - narrower);
}

bool FrmConectionOption::mblnSetRs232CSettingList(std::string& rstrSettings, bool vblnFill) {
  return vb::guarded("frmConectionOption.mblnSetRs232CSettingList", [&] {
    if (!vblnFill) return true;
    const std::vector<std::string> candidates = vb::Split(kSettingCandidates, vb::vbCrLf);
    cmbRS232cSettings.Clear();
    int selected = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
      const std::string& candidate = candidates[i];
      cmbRS232cSettings.AddItem(vb::Left(candidate, vb::InStr(candidate, ",") - 1));
      if (vb::EqualNoCase(candidate, rstrSettings)) selected = static_cast<int>(i);
    }
    cmbRS232cSettings.ListIndex(selected);
    const std::string baudRate = cmbRS232cSettings.List(selected);
    for (const std::string& candidate : candidates) {
      if (vb::Left(candidate, vb::InStr(candidate, ",") - 1) == baudRate) {
        rstrSettings = candidate;
        if (gobjMSComm == nullptr) vb::Raise(vb::errObjectVariable);
        gobjMSComm->Settings(rstrSettings);
      }
    }
    return true;
  });
}

bool FrmConectionOption::mblnSetDataToCtrl() {
  return vb::guarded("frmConectionOption.mblnSetDataToCtrl", [&] {
    for (int i : kNumbers) txtNum(i).Text(vb::CStr(numberSetting(i)));
    for (int i : kSwitches) chkBool(i).Value(switchSetting(i) ? forms::vbChecked : forms::vbUnchecked);
    return true;
  });
}

bool FrmConectionOption::mblnSetDataToVariable() {
  return vb::guarded("frmConectionOption.mblnSetDataToVariable", [&] {
    for (int i : kNumbers) {
      // A box left empty or out of range (Enter pressed on OK without leaving the box) takes
      // its up-down's value, as leaving the box would have given it.
      txtNum_LostFocus(i);
      numberSetting(i) = vb::CLng(txtNum(i).Text());
    }
    if (glngRetryTimeOutBeforeMsg < 1) glngRetryTimeOutBeforeMsg = 1;
    for (int i : kSwitches) switchSetting(i) = chkBool(i).Value() == forms::vbChecked;
    return mblnSetRs232CSettingList(gstrSettings, false);
  });
}

void FrmConectionOption::txtNum_GotFocus(int Index) {
  vb::guarded("frmConectionOption.txtNum_GotFocus", [&] {
    forms::TextBox& box = txtNum(Index);
    if (!vb::IsNumeric(box.Text())) box.Text(vb::CStr(udNum(Index).Value()));
    box.SelStart(0);
    box.SelLength(vb::Len(box.Text()));
  });
}

void FrmConectionOption::txtNum_KeyDown(int Index, int& KeyCode, int Shift) {
  vb::guarded("frmConectionOption.txtNum_KeyDown", [&] {
    forms::TextBox& box = txtNum(Index);
    if (!vb::IsNumeric(box.Text())) return;
    int32_t n = 0;
    try {
      n = vb::CLng(box.Text());
    } catch (const vb::Error& e) {
      // A pasted number beyond a Long stays as it is: leaving the box puts the up-down's value
      // back, as for any number outside the range.
      if (e.Number() != vb::errOverflow) throw;
      return;
    }
    if (KeyCode == forms::vbKeyUp && n < udNum(Index).Max()) n += 1;
    if (KeyCode == forms::vbKeyDown && n > udNum(Index).Min()) n -= 1;
    box.Text(vb::CStr(n));
  });
}

void FrmConectionOption::txtNum_LostFocus(int Index) {
  vb::guarded("frmConectionOption.txtNum_LostFocus", [&] {
    forms::TextBox& box = txtNum(Index);
    const forms::UpDown& ud = udNum(Index);
    // Compared as a Double, the largest one of its sign beyond that range: any number counts.
    if (!vb::IsNumeric(box.Text()) || vb::CDblWithinRange(box.Text()) > ud.Max() ||
        vb::CDblWithinRange(box.Text()) < ud.Min())
      box.Text(vb::CStr(ud.Value()));
  });
}

void FrmConectionOption::cmdOk_Click() {
  vb::guarded("frmConectionOption.cmdOk_Click", [&] {
    mblnOptionCancel = false;
    Unload();
  });
}

void FrmConectionOption::cmdCancel_Click() {
  vb::guarded("frmConectionOption.cmdCancel_Click", [&] { Unload(); });
}

void FrmConectionOption::Form_Unload(int& Cancel) {
  vb::guarded("frmConectionOption.Form_Unload", [&] {
    if (!mblnOptionCancel && !mblnSetDataToVariable()) vb::ReportError("frmConectionOption.Form_Unload");
  });
}
