// Enable rules: which editors are usable, which frames and pages show, the AE frame shape and
// the double-click toggles of the hidden frames.
#include <initializer_list>
#include <vector>

#include "core/variables.h"
#include "link/mscomm.h"
#include "platform/vb/vb.h"
#include "resources/forms/main_layout.h"
#include "ui/main_window.h"
#include "ui/white_balance.h"

namespace {

using mdlMSComm::gblnSupportCmdOrNot;

// The "(don't care)" bits: the boxes show the camera's bit but can never be clicked.
void disableDontCareBoxes(FrmMain& w) {
  w.chkConfig0(16).Enabled(false);
  w.chkConfig0(64).Enabled(false);
  w.chkConfig2(2).Enabled(false);
  w.chkConfig2(128).Enabled(false);
}

// The IRIS/AE/AGC frame holds the older and the newer AE layouts at one place: it is as tall
// as the one shown, with the margin the layout keeps below a frame's content.
void fitAeFrame(FrmMain& w) {
  const forms::Frame& shown = w.fraAEGNNew.Visible() ? w.fraAEGNNew : w.fraAEGNOld;
  w.fraIris(0).Height(shown.Top() + shown.Height() + mainlayout::kFrameMarginBelow);
}

// Codes whose value is set through other controls or computed from other codes: the box shows
// the value but takes no typing, and the up-down is hidden.
void lockComputedCode(FrmMain& w, int c) {
  w.udData(c).Visible(false);
  w.txtData(c).Enabled(false);
}

bool allSupported(std::initializer_list<int> codes) {
  for (int c : codes)
    if (!gblnSupportCmdOrNot(static_cast<uint8_t>(c))) return false;
  return true;
}

constexpr std::initializer_list<int> kMatrixCodes = {0x64, 0x65, 0x66, 0x67, 0x6C, 0x6D, 0x6E, 0x6F};

// "Gain POT. range" is editable only while "Variable Gain POT. range" is ticked.
void setGainPotRange(FrmMain& w, bool enabled) {
  w.txtData(69).Enabled(enabled);
  w.udData(69).Enabled(enabled);
  w.vsData(69).Enabled(enabled);
}

// The white-balance pair whose 5100 K code is `c`; nullptr for any other code.
const WhiteBalancePair* whiteBalanceBase(int c) {
  const WhiteBalancePair* pair = WhiteBalancePairOf(c);
  return pair && pair->base == c ? pair : nullptr;
}

// Locks every white-balance difference code: the window shows it but computes it from the pair's
// 5100 K and 3100 K values.
void lockWhiteBalanceDifferences(FrmMain& w) {
  for (const WhiteBalancePair& pair : kWhiteBalancePairs) lockComputedCode(w, pair.difference);
}

// The further controls that edit code c besides its own box, up-down, label and bar.
std::vector<forms::Control*> companionEditors(FrmMain& w, int c) {
  std::vector<forms::Control*> editors;
  auto addArray = [&](auto& array) {
    for (auto& member : array) editors.push_back(&member);
  };
  switch (c) {
    case 0x01: addArray(w.optDIPSwitch); break;
    case 0x02: addArray(w.chkConfig0); break;
    case 0x03: addArray(w.chkConfig1); break;
    case 0x04: addArray(w.chkConfig2); break;
    case 0x38: case 0x39: case 0x3A: case 0x3B: case 0x3C: case 0x3D: {
      const int i = (c - 0x38) / 2 + 1;
      editors = {&w.vsChromaSetup(i), &w.udChromaSetup(i), &w.txtChromaSetup(i)};
      break;
    }
    case 0x42: editors = {&w.txtCdsGain(0), &w.txtCdsGain(1), &w.udCDSGain(0), &w.udCDSGain(1)}; break;
    case 0x43: editors = {&w.txtCdsGain(2), &w.txtCdsGain(3), &w.udCDSGain(2), &w.udCDSGain(3)}; break;
    case 0x90: editors = {&w.pctAWBCenter(0)}; break;
    case 0x92: editors = {&w.pctAWBCenter(1)}; break;
    case 0xD0: editors = {&w.txtHL(416), &w.txtHL(417), &w.udHL(416), &w.udHL(417)}; break;
    case 0xD1: editors = {&w.txtHL(418), &w.txtHL(419), &w.udHL(418), &w.udHL(419)}; break;
    default:
      // A white-balance 5100 K code is also edited through its pair's 3100 K editor.
      if (const WhiteBalancePair* pair = whiteBalanceBase(c))
        editors = {&w.txtWB3100(pair->wb3100), &w.udWB3100(pair->wb3100)};
      break;
  }
  return editors;
}

// Codes whose companions follow the code's own controls in the per-code passes (the chroma
// setup and nibble companions are handled with their own arrays).
bool hasPlainCompanions(int c) {
  switch (c) {
    case 0x01: case 0x02: case 0x03: case 0x04: case 0x42: case 0x43: case 0x90: case 0x92:
      return true;
    default:
      return whiteBalanceBase(c) != nullptr;
  }
}
}  // namespace

bool FrmMain::mblnAllCtrlEnableSet(bool f) {
  return vb::guarded("frmMain.mblnAllCtrlEnableSet", [&] {
    for (forms::UpDown& u : udData) {
      const int c = u.Index();
      u.Enabled(f);
      txtData(c).Enabled(f);
      lblData(c).Enabled(f);
      if (hasPlainCompanions(c))
        for (forms::Control* e : companionEditors(*this, c)) e->Enabled(f);
    }
    for (forms::VScrollBar& s : vsData) s.Enabled(f);
    for (forms::VScrollBar& s : vsChromaSetup) {
      s.Enabled(f);
      udChromaSetup(s.Index()).Enabled(f);
      txtChromaSetup(s.Index()).Enabled(f);
    }
    for (forms::HScrollBar& s : hsData) s.Enabled(f);
    for (forms::Menu* m : {&mnuTitleFile, &mnuTitleView, &mnuTitleComm, &mnuTitleHelp}) m->Enabled(f);
    for (forms::CommandButton& b : cmdWriteEEPROM) b.Enabled(f);
    for (forms::CommandButton& b : cmdEnd) b.Enabled(f);
    for (forms::CommandButton& b : cmdReboot) b.Enabled(f);
    for (forms::CommandButton& b : cmdReadAndWrite) b.Enabled(f);
    for (forms::TextBox& t : txtHL) {
      t.Enabled(f);
      udHL(t.Index()).Enabled(f);
    }
    txtFileName.Enabled(f);
    chkCheckAfterWritting.Enabled(f);
    chkRebootBeforeCheck.Enabled(f);
    cmdCheck.Enabled(f);
    cmdSelectFile.Enabled(f);
    disableDontCareBoxes(*this);
    for (int c : {2, 3, 4, 67, 66, 56, 57, 58, 59, 60, 61, 208, 209}) lockComputedCode(*this, c);
    for (int c : {1, 144, 145, 146, 147, 206, 207}) lockComputedCode(*this, c);
    lockWhiteBalanceDifferences(*this);
    setGainPotRange(*this, chkConfig0(32).Value() == 1 ? f : false);
    if (!gblnDeveloping) {
      for (int tab : kDevelopingPages) SSTab1.TabVisible(tab, false);
      mnuBatch.Visible(false);
    }
    cmbCableLength.Enabled(f);
    return true;
  });
}

bool FrmMain::blnControlEnable(bool f) {
  return vb::guarded("frmMain.blnControlEnable", [&] {
    lblFirmWareVersion.Caption("FirmWare Ver." + vb::CStr(gbyteFirmVersion));
    if (!f && !mblnAllCtrlEnableSet(false)) return false;

    bool newLayout = true;
    for (const std::string& item : vb::Split(gstrAllCmdList, ",")) {
      const int c = vb::CLng(item);
      udData(c).Enabled(true);
      txtData(c).Enabled(true);
      lblData(c).Enabled(true);
      if (vsData.Exists(c)) vsData(c).Enabled(true);
      if (c >= 0x38 && c <= 0x3D)
        for (forms::Control* e : companionEditors(*this, c)) e->Enabled(true);
      if (hsData.Exists(c)) hsData(c).Enabled(true);
      if (hasPlainCompanions(c))
        for (forms::Control* e : companionEditors(*this, c)) e->Enabled(true);
      if (c == 0xC1 || c == 0xC2) newLayout = false;
    }
    for (forms::TextBox& t : txtHL) {
      const bool supported = gblnSupportCmdOrNot(static_cast<uint8_t>(t.Index() / 2));
      t.Enabled(supported);
      udHL(t.Index()).Enabled(supported);
    }

    fraAEGNNew.Visible(newLayout);
    fraCDSCalibrationNew.Visible(newLayout);
    fraAEGNOld.Visible(!newLayout);
    fraCDSCalibration.Visible(!newLayout);
    fitAeFrame(*this);

    for (int c : {0x2E, 0x2F}) {
      const bool shown = gblnSupportCmdOrNot(static_cast<uint8_t>(c));
      txtData(c).Visible(shown);
      lblData(c).Visible(shown);
      udData(c).Visible(shown);
    }
    for (int c : {0xCE, 0xCF}) {
      const bool shown = gblnSupportCmdOrNot(static_cast<uint8_t>(c));
      txtData(c).Visible(shown);
      lblData(c).Visible(shown);
    }
    frmChromaGainCtl_LL.Visible(allSupported({0x68, 0x69}));
    frmHighGainChromaSuppress_LL.Visible(allSupported({0x6A, 0x6B}));
    fraAWBGainLimit.Visible(allSupported({0x88, 0x89, 0x8A, 0x8B}));
    const bool matrix = allSupported(kMatrixCodes);
    fraCYMatrix.Visible(matrix);
    fraCYMatrix_LL.Visible(matrix);
    fraBurstLevel.Visible(allSupported({0xF0, 0xF1, 0xF2, 0xF3}));
    fraYDelay.Visible(allSupported({0xF4, 0xF5}));
    fraBurstLevel_LL.Visible(allSupported({0xF6, 0xF7, 0xF8, 0xF9}));
    fraYDelay_LL.Visible(allSupported({0xFA, 0xFB}));

    for (int m : {1, 16, 32, 64}) chkConfig2(m).Enabled(matrix);
    const bool aeGain = allSupported({0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7});
    chkConfig0(8).Enabled(aeGain);
    chkConfig0(32).Enabled(aeGain);

    for (forms::Menu* m : {&mnuTitleFile, &mnuTitleView, &mnuTitleComm, &mnuTitleHelp}) m->Enabled(true);
    for (forms::CommandButton& b : cmdWriteEEPROM) b.Enabled(true);
    for (forms::CommandButton& b : cmdEnd) b.Enabled(true);
    for (forms::CommandButton& b : cmdReboot) b.Enabled(true);
    for (forms::CommandButton& b : cmdReadAndWrite) b.Enabled(true);
    cmdCheck.Enabled(true);
    cmdSelectFile.Enabled(true);
    txtFileName.Enabled(true);
    chkCheckAfterWritting.Enabled(true);
    chkRebootBeforeCheck.Enabled(true);

    disableDontCareBoxes(*this);
    for (int c : {0x43, 0x42}) {
      lblData(c).Visible(false);
      lockComputedCode(*this, c);
    }
    for (int c : {2, 3, 4, 56, 57, 58, 59, 60, 61, 1, 144, 145, 146, 147, 206, 207, 208, 209})
      lockComputedCode(*this, c);
    lockWhiteBalanceDifferences(*this);
    setGainPotRange(*this, chkConfig0(32).Value() == 1);
    cmbCableLength.Enabled(true);
    SSTab1_GotFocus();
    return true;
  });
}

bool FrmMain::mblnChangeAdvancedModeOrNot() {
  return vb::guarded("frmMain.mblnChangeAdvancedModeOrNot", [&] {
    for (int tab : {6, 8, 9, 10, 11}) SSTab1.TabVisible(tab, gblnAdvancedMode);
    for (forms::Label& l : lblMWBGain) l.Visible(gblnAdvancedMode);
    return true;
  });
}

bool FrmMain::mblnSetAEFrameSize(bool normal) {
  return vb::guarded("frmMain.mblnSetAEFrameSize", [&] {
    shpIrisCenterFrame(0).Visible(normal);
    shpIrisCenterFrame(1).Visible(!normal);
    return true;
  });
}

// The toggles act only off line; on line the camera's supported codes decide what shows.
void FrmMain::fraForFactory_DblClick() {
  vb::guarded("frmMain.fraForFactory_DblClick", [&] {
    if (gblnOnLine) return;
    fraSetCableLength.Visible(!fraSetCableLength.Visible());
  });
}

void FrmMain::fraIris_DblClick(int /*Index*/) {
  vb::guarded("frmMain.fraIris_DblClick", [&] {
    if (gblnOnLine) return;
    const bool v = fraAEGNOld.Visible();
    fraAEGNNew.Visible(v);
    fraCDSCalibrationNew.Visible(v);
    chkConfig2(16).Enabled(v);
    chkConfig0(32).Enabled(v);
    fraAEGNOld.Visible(!v);
    fraCDSCalibration.Visible(!v);
    fitAeFrame(*this);
  });
}

void FrmMain::fraTiming_DblClick() {
  vb::guarded("frmMain.fraTiming_DblClick", [&] {
    if (gblnOnLine) return;
    const bool v = !txtData(46).Visible();
    for (int c : {46, 47}) {
      txtData(c).Visible(v);
      lblData(c).Visible(v);
      udData(c).Visible(v);
    }
  });
}
