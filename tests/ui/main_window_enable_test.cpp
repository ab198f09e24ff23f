// Which editors, frames and pages the main window enables and shows: by the camera's
// supported codes on line, everything off line, by mode, and the off-line double-click toggles.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/ui/main_window_online_fixture.h"

namespace uitest {
namespace {

class EnableRules : public OnLineWindowTest {
 protected:
  bool oldLayoutShown() {
    FrmMain& w = win();
    EXPECT_NE(w.fraAEGNOld.Visible(), w.fraAEGNNew.Visible());
    EXPECT_EQ(w.fraAEGNOld.Visible(), w.fraCDSCalibration.Visible());
    EXPECT_EQ(w.fraAEGNNew.Visible(), w.fraCDSCalibrationNew.Visible());
    return w.fraAEGNOld.Visible();
  }
};

TEST_F(EnableRules, TheCamerasCodesChooseTheLayoutAndTheAEGainBits) {
  struct Case {
    const char* name;
    bool oldCamera;
    std::set<uint8_t> alsoMissing;
    uint8_t firmware;
  };
  for (const Case& c : {Case{"new layout", false, {}, 12}, Case{"old layout", true, {}, 3},
                        Case{"new layout without register 0x02", false, {0x02}, 7},
                        Case{"old layout with 0xC2 only", true, {0xC1}, 2}}) {
    SCOPED_TRACE(c.name);
    if (c.oldCamera) oldLayoutCamera();
    else newLayoutCamera();
    config.unsupported.insert(c.alsoMissing.begin(), c.alsoMissing.end());
    config.firmware = c.firmware;
    ASSERT_TRUE(connectCamera());
    FrmMain& w = win();
    EXPECT_EQ(oldLayoutShown(), c.oldCamera);
    EXPECT_EQ(w.lblFirmWareVersion.Caption(), "FirmWare Ver." + std::to_string(c.firmware));
    // Two bits of register 0x02 follow the codes 0xD0 to 0xD7, not the register.
    const bool register2 = !c.alsoMissing.count(0x02);
    for (int m : {1, 2, 4, 8, 16, 32, 64, 128})
      EXPECT_EQ(w.chkConfig0(m).Enabled(), m == 8 || m == 32 ? !c.oldCamera : register2 && m != 16 && m != 64) << m;
    for (int i : {416, 419}) EXPECT_EQ(w.txtHL(i).Enabled(), !c.oldCamera) << i;
    for (int i : {0, 3}) EXPECT_EQ(w.txtCdsGain(i).Enabled(), c.oldCamera) << i;
    EXPECT_EQ(w.txtData(0xC2).Enabled(), c.oldCamera);
    EXPECT_FALSE(w.lblData(0x42).Visible());
    EXPECT_FALSE(w.txtData(0x01).Enabled());
    EXPECT_FALSE(w.udData(0x01).Visible());
  }
}

TEST_F(EnableRules, AFrameShowsOnlyWhenEveryCodeOfItIsSupported) {
  const FrmMain* w = nullptr;
  const std::map<std::string, std::function<bool()>> shown = {
      {"BurstLevel", [&] { return w->fraBurstLevel.Visible(); }},
      {"BurstLevel_LL", [&] { return w->fraBurstLevel_LL.Visible(); }},
      {"YDelay", [&] { return w->fraYDelay.Visible(); }},
      {"YDelay_LL", [&] { return w->fraYDelay_LL.Visible(); }},
      {"CYMatrix", [&] { return w->fraCYMatrix.Visible(); }},
      {"CYMatrix_LL", [&] { return w->fraCYMatrix_LL.Visible(); }},
      {"ChromaGainCtl_LL", [&] { return w->frmChromaGainCtl_LL.Visible(); }},
      {"HighGainChromaSuppress_LL", [&] { return w->frmHighGainChromaSuppress_LL.Visible(); }},
      {"AWBGainLimit", [&] { return w->fraAWBGainLimit.Visible(); }},
      {"0x2E", [&] { return w->txtData(0x2E).Visible() && w->udData(0x2E).Visible() && w->lblData(0x2E).Visible(); }},
      {"0x2F", [&] { return w->txtData(0x2F).Visible(); }},
      {"0xCE", [&] { return w->txtData(0xCE).Visible() && w->lblData(0xCE).Visible(); }},
      {"0xCF", [&] { return w->txtData(0xCF).Visible(); }},
  };
  struct Case {
    std::set<uint8_t> missing;
    std::set<std::string> hidden;
  };
  const Case cases[] = {
      {{}, {}},
      {{0xF2}, {"BurstLevel"}},
      {{0xF9}, {"BurstLevel_LL"}},
      {{0xF5}, {"YDelay"}},
      {{0xFA}, {"YDelay_LL"}},
      {{0x6C}, {"CYMatrix", "CYMatrix_LL"}},
      {{0x65}, {"CYMatrix", "CYMatrix_LL"}},
      {{0x69}, {"ChromaGainCtl_LL"}},
      {{0x6A}, {"HighGainChromaSuppress_LL"}},
      {{0x8B}, {"AWBGainLimit"}},
      {{0x2E, 0xCF}, {"0x2E", "0xCF"}},
      {{0x2F, 0xCE}, {"0x2F", "0xCE"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.hidden));
    newLayoutCamera();
    config.unsupported.insert(c.missing.begin(), c.missing.end());
    ASSERT_TRUE(connectCamera());
    w = &win();
    std::set<std::string> hidden;
    for (const auto& [name, isShown] : shown)
      if (!isShown()) hidden.insert(name);
    EXPECT_EQ(hidden, c.hidden);
    // "AE Frame Normal Size", "Chroma Gain up (x2)" and the RGB matrices need the matrix codes.
    for (int m : {1, 16, 32, 64}) EXPECT_EQ(w->chkConfig2(m).Enabled(), !c.hidden.count("CYMatrix")) << m;
  }
}

// Locked for a transfer, then off line: everything editable but the fixed exceptions, and the
// frames as the last on-line pass left them.
TEST_F(EnableRules, OffLineEverythingButTheFixedExceptionsIsEditable) {
  const std::set<int> locked = {1, 2, 3, 4, 56, 57, 58, 59, 60, 61, 66, 67, 85, 87, 89, 91,
                                144, 145, 146, 147, 206, 207, 208, 209};
  ASSERT_TRUE(connectCamera());
  FrmMain& w = win();
  ASSERT_TRUE(w.mblnAllCtrlEnableSet(false));
  for (forms::Control* c : std::vector<forms::Control*>{&w.txtData(0x30), &w.mnuTitleFile, &w.cmdEnd(0),
                                                      &w.txtChromaSetup(1), &w.cmbCableLength, &w.optDIPSwitch(3)})
    EXPECT_FALSE(c->Enabled()) << c->DisplayName();

  sim->camera.SetSilent(true);
  host.sayNo = true;
  ASSERT_TRUE(mdlMSComm::gblnMSComm_Close());
  EXPECT_FALSE(w.blnCommStart());
  ASSERT_FALSE(gblnOnLine);
  for (forms::UpDown& u : w.udData) {
    const int c = u.Index();
    EXPECT_EQ(w.txtData(c).Enabled(), !locked.count(c) && c != 69) << c;
    EXPECT_EQ(u.Visible() && u.Enabled(), !locked.count(c) && c != 69) << c;
  }
  for (forms::VScrollBar& s : w.vsData) EXPECT_EQ(s.Enabled(), s.Index() != 69) << s.Index();
  for (forms::CheckBox& b : w.chkConfig0) EXPECT_EQ(b.Enabled(), b.Index() != 16 && b.Index() != 64) << b.Index();
  for (forms::CheckBox& b : w.chkConfig2) EXPECT_EQ(b.Enabled(), b.Index() != 2 && b.Index() != 128) << b.Index();
  for (forms::Control* c : std::vector<forms::Control*>{&w.hsData(0x93), &w.txtHL(419), &w.txtCdsGain(2),
                                                      &w.vsChromaSetup(3), &w.txtWB3100(1), &w.pctAWBCenter(0),
                                                      &w.mnuTitleHelp, &w.cmdReadAndWrite(0), &w.txtFileName})
    EXPECT_TRUE(c->Enabled()) << c->DisplayName();
  EXPECT_FALSE(oldLayoutShown());
  EXPECT_FALSE(w.lblData(0x42).Visible());
  EXPECT_TRUE(w.fraBurstLevel.Visible());
}

// Developing mode keeps the Dev pages and the batch menu; advanced mode (implied by developing
// mode, or unlocked later) the advanced pages and the gain labels.
TEST_F(EnableRules, PagesByMode) {
  struct Case {
    std::string ini;
    bool advanced, developing;
  };
  for (const Case& c : {Case{"", false, false},
                        Case{std::string("[Mode]\r\nAdvancedPwd=") + SubMain::kAdvancedPassword + "\r\n", true, false},
                        Case{"[Mode]\r\nDeveloping=True\r\n", true, true}}) {
    SCOPED_TRACE(c.ini);
    ini = c.ini;
    ASSERT_TRUE(connectCamera());
    FrmMain& w = win();
    for (int tab = 0; tab < 15; ++tab) {
      const bool advancedPage = tab == 6 || (tab >= 8 && tab <= 11), devPage = tab >= 13;
      EXPECT_EQ(w.SSTab1.TabVisible(tab), devPage ? c.developing : !advancedPage || c.advanced) << tab;
    }
    EXPECT_EQ(w.mnuBatch.Visible(), c.developing);
    EXPECT_EQ(w.lblMWBGain(1).Visible(), c.advanced);
    if (!c.advanced) {  // the password window unlocks advanced mode: the pages show at once
      gblnAdvancedMode = true;
      ASSERT_TRUE(w.mblnChangeAdvancedModeOrNot());
      EXPECT_TRUE(w.SSTab1.TabVisible(9));
      EXPECT_TRUE(w.lblMWBGain(0).Visible());
    }
  }
}

// Double clicks show the hidden frames and fields off line, and do nothing on line.
TEST_F(EnableRules, DoubleClicksToggleHiddenFramesOffLine) {
  developingMode();
  ASSERT_TRUE(connectCamera());
  FrmMain& w = win();
  const bool cable = w.fraSetCableLength.Visible();
  ASSERT_TRUE(showPage(12));
  ASSERT_TRUE(w.fraForFactory.UserDblClick());
  EXPECT_EQ(w.fraSetCableLength.Visible(), cable);
  ASSERT_TRUE(showPage(5));
  ASSERT_TRUE(w.fraIris(0).UserDblClick());
  EXPECT_FALSE(oldLayoutShown());

  gblnOnLine = false;
  for (bool once : {true, false}) {
    ASSERT_TRUE(showPage(12));
    ASSERT_TRUE(w.fraForFactory.UserDblClick());
    EXPECT_EQ(w.fraSetCableLength.Visible(), once ? !cable : cable);
    // The layouts change places; the newer layout's two bits follow it.
    ASSERT_TRUE(showPage(5));
    ASSERT_TRUE(w.fraIris(once ? 1 : 3).UserDblClick());
    EXPECT_EQ(oldLayoutShown(), once);
    EXPECT_EQ(w.chkConfig2(16).Enabled(), !once);
    EXPECT_EQ(w.chkConfig0(32).Enabled(), !once);
    // The pulse-delay frame hides and shows codes 0x2E and 0x2F together.
    ASSERT_TRUE(showPage(6));
    ASSERT_TRUE(w.fraTiming.UserDblClick());
    for (int c : {46, 47}) {
      EXPECT_EQ(w.txtData(c).Visible(), !once) << c;
      EXPECT_EQ(w.lblData(c).Visible() && w.udData(c).Visible(), !once) << c;
    }
  }
}

}  // namespace
}  // namespace uitest
