// The main window: event wiring, loading and binding of every editor to its code.
#include "ui/main_window.h"

#include "core/command_lists.h"
#include "core/common_helpers.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "link/mscomm.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/vb/vb.h"
#include "ui/splash_window.h"

namespace {
constexpr int kTabCount = 15;
}  // namespace

FrmMain::FrmMain() : forms::Form("frmMain") { bindEvents(); }

FrmMain::~FrmMain() { mdlMSComm::gWhenLineLost(this, nullptr); }

FrmMain& frmMain() { return forms::DefaultInstance<FrmMain>(); }

void FrmMain::bindEvents() {
  txtData.Change = [this](int i) { txtData_Change(i); };
  txtData.KeyDown = [this](int i, int& k, int s) { txtData_KeyDown(i, k, s); };
  txtData.GotFocus = [this](int i) { txtData_GotFocus(i); };
  txtData.LostFocus = [this](int i) { txtData_LostFocus(i); };
  txtData.Validate = [this](int i, bool& c) { txtData_Validate(i, c); };
  udData.Change = [this](int i) { udData_Change(i); };
  udCDSGain.Change = [this](int i) { udCDSGain_Change(i); };
  udChromaSetup.Change = [this](int i) { udChromaSetup_Change(i); };
  udHL.Change = [this](int i) { udHL_Change(i); };
  vsData.Change = [this](int i) { vsData_Change(i); };
  hsData.Change = [this](int i) { hsData_Change(i); };
  vsChromaSetup.Change = [this](int i) { vsChromaSetup_Change(i); };

  txtCdsGain.Change = [this](int i) { txtCdsGain_Change(i); };
  txtCdsGain.GotFocus = [this](int i) { txtCdsGain_GotFocus(i); };
  txtCdsGain.KeyDown = [this](int i, int& k, int s) { txtCdsGain_KeyDown(i, k, s); };
  txtCdsGain.LostFocus = [this](int i) { txtCdsGain_LostFocus(i); };
  txtCdsGain.Validate = [this](int i, bool& c) { txtCdsGain_Validate(i, c); };
  txtHL.Change = [this](int i) { txtHL_Change(i); };
  txtHL.GotFocus = [this](int i) { txtHL_GotFocus(i); };
  txtHL.KeyDown = [this](int i, int& k, int s) { txtHL_KeyDown(i, k, s); };
  txtHL.LostFocus = [this](int i) { txtHL_LostFocus(i); };
  txtHL.Validate = [this](int i, bool& c) { txtHL_Validate(i, c); };
  txtChromaSetup.Change = [this](int i) { txtChromaSetup_Change(i); };
  txtChromaSetup.GotFocus = [this](int i) { txtChromaSetup_GotFocus(i); };
  txtChromaSetup.KeyDown = [this](int i, int& k, int s) { txtChromaSetup_KeyDown(i, k, s); };
  txtChromaSetup.LostFocus = [this](int i) { txtChromaSetup_LostFocus(i); };
  txtChromaSetup.Validate = [this](int i, bool& c) { txtChromaSetup_Validate(i, c); };
  txtWB3100.Change = [this](int i) { txtWB3100_Change(i); };
  txtWB3100.GotFocus = [this](int i) { txtWB3100_GotFocus(i); };
  txtWB3100.KeyDown = [this](int i, int& k, int s) { txtWB3100_KeyDown(i, k, s); };
  txtWB3100.LostFocus = [this](int i) { txtWB3100_LostFocus(i); };

  lblOnLine.Change = [this] { lblOnLine_Change(); };
  cmdEnd.Click = [this](int i) { cmdEnd_Click(i); };
  cmdEnd.LostFocus = [this](int i) { cmdEnd_LostFocus(i); };
  mnuEnd.Click = [this] { mnuEnd_Click(); };

  fraForFactory.DblClick = [this] { fraForFactory_DblClick(); };
  fraIris.DblClick = [this](int i) { fraIris_DblClick(i); };
  fraTiming.DblClick = [this] { fraTiming_DblClick(); };

  pctAWBCenter.MouseMove = [this](int i, int b, int s, float x, float y) { pctAWBCenter_MouseMove(i, b, s, x, y); };
  pctAWBCenter.MouseUp = [this](int i, int b, int s, float x, float y) { pctAWBCenter_MouseUp(i, b, s, x, y); };

  cmdWriteEEPROM.Click = [this](int i) { cmdWriteEEPROM_Click(i); };
  cmdReboot.Click = [this](int i) { cmdReboot_Click(i); };
  mnuReboot.Click = [this] { mnuReboot_Click(); };
  mnuEEPROM.Click = [this](int i) { mnuEEPROM_Click(i); };
  mnuPortChange.Click = [this] { mnuPortChange_Click(); };
  mnuBatch.Click = [this] { mnuBatch_Click(); };
  mnuConnectionOption.Click = [this] { mnuConnectionOption_Click(); };
  mnuViewAllData.Click = [this] { mnuViewAllData_Click(); };
  mnuAdvancedOperation.Click = [this] { mnuAdvancedOperation_Click(); };
  mnuVersion.Click = [this] { mnuVersion_Click(); };
  mnuHelp.Click = [this] { mnuHelp_Click(); };

  mnuFile.Click = [this](int i) { mnuFile_Click(i); };
  mnuRecentlyFileName.Click = [this](int i) { mnuRecentlyFileName_Click(i); };
  mnuRecentlyFilesClear.Click = [this] { mnuRecentlyFilesClear_Click(); };
  SSTab1.OLEDragDrop = [this](const forms::DataObject& d) { SSTab1_OLEDragDrop(d); };
  cmdSelectFile.Click = [this] { cmdSelectFile_Click(); };
  cmdCheck.Click = [this] { cmdCheck_Click(); };
  cmdReadAndWrite.Click = [this](int i) { cmdReadAndWrite_Click(i); };

  cmdGetCurrentData.Click = [this] { cmdGetCurrentData_Click(); };
  cmdGetCurrentData.LostFocus = [this] { cmdGetCurrentData_LostFocus(); };
  SSTab1.GotFocus = [this] { SSTab1_GotFocus(); };

  optDIPSwitch.Click = [this](int i) { optDIPSwitch_Click(i); };
  chkConfig0.Click = [this](int i) { chkConfig0_Click(i); };
  chkConfig1.Click = [this](int i) { chkConfig1_Click(i); };
  chkConfig2.Click = [this](int i) { chkConfig2_Click(i); };
}

void FrmMain::Form_Load() {
  // Steps 1 to 24 end at the first failing one; the finish (splash away, pointer back, first
  // page) always runs.
  vb::guarded("frmMain.Form_Load", [&] {
    forms::InitCommonControls();
    gobjMSComm = &MSComm1;
    forms::Screen.MousePointer(forms::vbHourglass);
    frmSplash().Show(forms::vbModeless);
    frmSplash().Refresh();
    Caption(SubMain::gstrGetAppTitleString() + " Ver." + SubMain::gstrGetVersionString());
    mintLastKeyCode = 13;
    if (!mblnMakeRecentlyFileList()) return;
    if (vb::Trim(vb::App::HelpFile()).empty()) {
      mnuHelp.Visible(false);
    } else if (!mblnSetHelpContextID()) {
      return;
    }
    if (!mblnChangeAdvancedModeOrNot()) return;
    if (!mblnDispCableLengthButton()) return;

    mblnSetByProgram = true;
    for (forms::UpDown& u : udData) {
      const int c = u.Index();
      forms::TextBox& box = txtData(c);
      u.BuddyControl(&box);
      u.SyncBuddy(true);
      forms::Label& name = lblData(c);
      name.Caption(vb::LoadResString(c));
      name.BackStyle(1);
      name.AutoSize(true);
      u.Max(gobjDataInfo[c]->Max);
      u.Min(gobjDataInfo[c]->Min);
      u.TabIndex(box.TabIndex() + 1);
      u.TabStop(false);
      if (!mdlCommon::gblnTextBox_LockStyle(box, forms::ES_NUMBER)) return;
    }
    for (forms::UpDown& u : udChromaSetup) {
      u.BuddyControl(&txtChromaSetup(u.Index()));
      u.SyncBuddy(true);
      u.Max(511);
      u.Min(-512);
    }
    for (forms::UpDown& u : udHL) {
      const int i = u.Index();
      const int c = i / 2;
      if (c == 0xD0) {
        u.Max(15);
        u.Min(0);
      } else if (c == 0xD1) {
        u.Min(i % 2 == 1 ? 1 : 0);
        u.Max(15);
      }
      u.BuddyControl(&txtHL(i));
      u.SyncBuddy(true);
      u.TabStop(false);
    }
    for (forms::TextBox& t : txtCdsGain)
      if (!mdlCommon::gblnTextBox_LockStyle(t, forms::ES_NUMBER)) return;
    for (forms::TextBox& t : txtWB3100)
      if (!mdlCommon::gblnTextBox_LockStyle(t, forms::ES_NUMBER)) return;
    for (forms::TextBox& t : txtHL)
      if (!mdlCommon::gblnTextBox_LockStyle(t, forms::ES_NUMBER)) return;
    if (!mblnSetScrollChange()) return;
    for (forms::VScrollBar& s : vsData) {
      s.Max(udData(s.Index()).Max());
      s.Min(udData(s.Index()).Min());
    }
    for (forms::HScrollBar& s : hsData) {
      s.Max(udData(s.Index()).Max());
      s.Min(udData(s.Index()).Min());
    }
    for (forms::VScrollBar& s : vsChromaSetup) {
      s.Max(udChromaSetup(s.Index()).Max());
      s.Min(udChromaSetup(s.Index()).Min());
    }
    mblnSetByProgram = false;

    if (!blnSetDataToControl()) return;
    if (!SubMain::gblnMakeAllCmdSet()) return;
    if (!blnControlEnable(false)) return;
    for (forms::PictureBox& p : pctData)
      if (!blnSetPctGraph(p.Index())) return;
    if (!mblnDispMWBGainValue()) return;
    if (!blnIrisFrameLabelSet()) return;
    if (!mblnUpdateInfoLabel(-1)) return;
    blnCommStart();
  });

  vb::guarded("frmMain.Form_Load", [&] {
    // A load that stopped while the binding wrote the controls would leave every editor deaf.
    mblnSetByProgram = false;
    // A load that stopped before the connect leaves the window off line: it says so.
    if (!gblnOnLine) mblnUpdateLineStatusString();
    // A camera lost in the middle of a transfer: the status line says so before the error does.
    mdlMSComm::gWhenLineLost(this, [this] { mblnUpdateLineStatusString(); });
    frmSplash().Unload();
    forms::Screen.MousePointer(forms::vbDefault);
    if (glngStartUpTabNo >= kTabCount || glngStartUpTabNo < 0) glngStartUpTabNo = 0;
    if (SSTab1.TabVisible(glngStartUpTabNo)) SSTab1.Tab(glngStartUpTabNo);
    else SSTab1.Tab(0);
  });
}

void FrmMain::Form_Activate() {
  vb::guarded("frmMain.Form_Activate", [&] { SSTab1_GotFocus(); });
}

bool FrmMain::mblnSetHelpContextID() {
  return vb::guarded("frmMain.mblnSetHelpContextID", [&] {
    fraNegaPosi.HelpContextID(301);
    fraGainCtrl.HelpContextID(302);
    fraWhiteBalance.HelpContextID(303);
    fraShutterSelect.HelpContextID(304);
    for (forms::Frame& f : fraY) f.HelpContextID(305);
    for (forms::Frame& f : fraChroma) f.HelpContextID(306);
    for (forms::Frame& f : fraGamma) f.HelpContextID(307);
    for (forms::Frame& f : fraAperture) f.HelpContextID(308);
    for (forms::Frame& f : fraIris) f.HelpContextID(309);
    fraTiming.HelpContextID(310);
    for (forms::Frame& f : fraConfig_DevPro) f.HelpContextID(311);
    for (forms::Frame& f : fraConfig_Pic) f.HelpContextID(312);
    for (forms::Frame& f : fraConfig_AWB1) f.HelpContextID(313);
    for (forms::Frame& f : fraConfig_AWB2) f.HelpContextID(314);
    fraCDSCalibrationNew.HelpContextID(305);
    frmChromaGainCtl_LL.HelpContextID(306);
    frmHighGainChromaSuppress_LL.HelpContextID(312);
    fraAWBGainLimit.HelpContextID(314);
    for (forms::Frame* f : {&fraWBGain, &fraYDelay, &fraCYMatrix, &fraBurstLevel, &fraYDelay_LL, &fraCYMatrix_LL,
                            &fraBurstLevel_LL})
      f->HelpContextID(315);
    for (forms::CommandButton& b : cmdWriteEEPROM) b.HelpContextID(402);
    for (forms::CommandButton& b : cmdReboot) b.HelpContextID(205);
    for (forms::CommandButton& b : cmdEnd) b.HelpContextID(208);
    return true;
  });
}

bool FrmMain::mblnSetScrollChange() {
  auto setAll = [&] {
    return vb::guarded("frmMain.mblnSetScrollChange", [&] {
      for (forms::VScrollBar& s : vsData) {
        s.SmallChange(glngSmallChange);
        s.LargeChange(glngLargeChange);
      }
      for (forms::VScrollBar& s : vsChromaSetup) {
        s.SmallChange(glngSmallChange);
        s.LargeChange(glngLargeChange);
      }
      for (forms::HScrollBar& s : hsData) {
        s.SmallChange(glngSmallChange);
        s.LargeChange(glngLargeChange);
      }
      return true;
    });
  };
  if (setAll()) return true;
  // A step the scroll bars refuse (the settings file is wrong, and the error box has said so)
  // counts as the key's default, as a missing key does.
  auto refused = [](int32_t step) { return step < 1 || step > 32767; };
  if (!refused(glngSmallChange) && !refused(glngLargeChange)) return false;
  if (refused(glngSmallChange)) glngSmallChange = 1;
  if (refused(glngLargeChange)) glngLargeChange = 5;
  return setAll();
}
