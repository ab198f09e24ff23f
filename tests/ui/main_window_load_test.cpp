// Loading the main window without a camera: the splash comes and goes, the first page follows
// the settings within what the mode shows, help numbers are set only with a help file, and every
// editor is bound to its code's range with the direction and style the window gives it.
#include <string>

#include "core/variables.h"
#include "platform/forms/forms.h"
#include "tests/core/core_fixture.h"
#include "ui/main_window.h"
#include "ui/splash_window.h"

namespace {

class MainWindowLoad : public testutil::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    showErrors = false;  // no port: the connect reports it and the window stays off line
    SubMain::mblnIniVariable();
    glngSmallChange = 1;
    glngLargeChange = 5;
    glngPortNo = 0;
  }
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    vb::App::HelpFile("");
    glngStartUpTabNo = 0;
    gstrRecentlyUsedFile.assign(6, std::string());
    CoreTest::TearDown();
  }
};

TEST_F(MainWindowLoad, FirstPageFollowsTheSettingWithinTheShownPages) {
  struct Case {
    int setting;
    bool developing, advanced;
    int page, settingAfter;
  };
  const Case cases[] = {
      {3, false, false, 3, 3},    {15, false, false, 0, 0}, {-2, false, false, 0, 0},
      {13, false, false, 0, 13},  {13, true, true, 13, 13}, {6, false, false, 0, 6},
      {6, false, true, 6, 6},     {14, true, true, 14, 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("StartUpTabNo " + std::to_string(c.setting));
    glngStartUpTabNo = c.setting;
    gblnDeveloping = c.developing;
    gblnAdvancedMode = c.advanced;
    frmMain().Load();
    EXPECT_EQ(frmMain().SSTab1.Tab(), c.page);
    EXPECT_EQ(glngStartUpTabNo, c.settingAfter);
    // The splash was shown while loading and is gone; the pointer is back.
    EXPECT_FALSE(frmSplash().Loaded());
    EXPECT_FALSE(gblnShowSplash);
    EXPECT_EQ(forms::Screen.MousePointer(), forms::vbDefault);
    forms::ReleaseDefaultInstances();
  }
}

TEST_F(MainWindowLoad, HelpNumbersOnlyWithAHelpFile) {
  FrmMain& w = frmMain();
  w.Load();
  EXPECT_FALSE(w.mnuHelp.Visible());
  EXPECT_EQ(w.fraY(0).HelpContextID(), 0);
  EXPECT_EQ(w.fraNegaPosi.HelpContextID(), 301);  // the design's own numbers stay
  EXPECT_EQ(w.fraSetCableLength.HelpContextID(), 315);
  forms::ReleaseDefaultInstances();

  dir.write("orvadex.chm", "help");
  vb::App::HelpFile(dir.path() + "/orvadex.chm");
  FrmMain& v = frmMain();
  v.Load();
  EXPECT_TRUE(v.mnuHelp.Visible());
  const std::pair<forms::Control*, long> expected[] = {
      {&v.fraY(1), 305},           {&v.fraCDSCalibrationNew, 305}, {&v.frmChromaGainCtl_LL, 306},
      {&v.fraIris(3), 309},        {&v.fraTiming, 310},            {&v.frmHighGainChromaSuppress_LL, 312},
      {&v.fraAWBGainLimit, 314},   {&v.fraBurstLevel_LL, 315},     {&v.cmdWriteEEPROM(12), 402},
      {&v.cmdReboot(12), 205},     {&v.cmdEnd(0), 208},            {&v.fraCDSCalibration, 0},
      {&v.fraXX(9), 0},            {&v.fraForFactory, 0},
  };
  for (const auto& [control, number] : expected) EXPECT_EQ(control->HelpContextID(), number) << control->DisplayName();
}

TEST_F(MainWindowLoad, EditorsAreBoundToTheirCodes) {
  FrmMain& w = frmMain();
  w.Load();
  // One value box, up-down and name per code 0x01 to 0xFE, the up-down right after its box in
  // the tab order but out of it, the range from the parameter table.
  EXPECT_EQ(w.txtData.Count(), 254);
  for (forms::UpDown& u : w.udData) {
    const int c = u.Index();
    SCOPED_TRACE(c);
    EXPECT_EQ(u.Min(), gobjDataInfo[c]->Min);
    EXPECT_EQ(u.Max(), gobjDataInfo[c]->Max);
    EXPECT_EQ(u.BuddyControl(), &w.txtData(c));
    EXPECT_FALSE(u.TabStop());
    EXPECT_EQ(u.TabIndex(), w.txtData(c).TabIndex() + 1);
    EXPECT_EQ(w.txtData(c).WindowStyle() & forms::ES_NUMBER, forms::ES_NUMBER);
    EXPECT_EQ(w.lblData(c).Caption(), vb::LoadResString(c));
  }
  // The scroll bars copy their up-down's range; the chroma-setup ones run from -512 to 511.
  for (forms::VScrollBar& s : w.vsData) EXPECT_EQ(s.Max(), w.udData(s.Index()).Max()) << s.Index();
  for (forms::HScrollBar& s : w.hsData) EXPECT_EQ(s.Min(), w.udData(s.Index()).Min()) << s.Index();
  EXPECT_EQ(w.vsChromaSetup(2).Min(), -512);
  EXPECT_EQ(w.vsChromaSetup(2).SmallChange(), 1);
  EXPECT_EQ(w.vsData(0x30).LargeChange(), 5);
  // Nibbles: the low digit of 0xD1 never goes below 1; the codes' own boxes keep their range.
  EXPECT_EQ(w.udHL(419).Min(), 1);
  EXPECT_EQ(w.udHL(418).Min(), 0);
  EXPECT_EQ(w.udHL(417).Max(), 15);
  EXPECT_EQ(w.udData(0xD1).Max(), gobjDataInfo[0xD1]->Max);
  // Only the chroma-setup boxes take a minus sign.
  EXPECT_EQ(w.txtChromaSetup(1).WindowStyle() & forms::ES_NUMBER, 0);
  EXPECT_EQ(w.txtHL(416).WindowStyle() & forms::ES_NUMBER, forms::ES_NUMBER);
  EXPECT_EQ(w.txtWB3100(3).WindowStyle() & forms::ES_NUMBER, forms::ES_NUMBER);
  // Directions of the bars, and the codes the iris labels show.
  EXPECT_EQ(w.vsData(0x90).Tag(), "forword");
  EXPECT_EQ(w.hsData(0x93).Tag(), "forword");
  EXPECT_EQ(w.hsData(0x91).Tag(), "forward");
  EXPECT_EQ(w.vsData(0x92).Tag(), "forward");
  EXPECT_EQ(w.vsData(0x31).Tag(), "backword");
  EXPECT_EQ(w.shpFrontData(0x36).Tag(), "forward");
  EXPECT_EQ(w.shpFrontData(0x33).Tag(), "");
  EXPECT_EQ(w.lblIrisFrame(4).Tag(), "204");
  EXPECT_EQ(w.lblIrisFrame(6).Tag(), "204");
  EXPECT_EQ(w.Caption(), SubMain::gstrGetAppTitleString() + " Ver." + SubMain::gstrGetVersionString());
  EXPECT_EQ(gobjMSComm, &w.MSComm1);
}

}  // namespace

namespace {

TEST_F(MainWindowLoad, AFailingStepEndsTheLoadButTheFinishRuns) {
  // The recent-file list cut short: its menu cannot be built, the rest of the load (the
  // binding, the connect) is skipped, the splash still goes, the pointer comes back, the first
  // page is chosen, and the status line says that the window is off line.
  gstrRecentlyUsedFile.resize(2);
  glngStartUpTabNo = 2;
  FrmMain& w = frmMain();
  w.Load();
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.front().text, "frmMain.mblnMakeRecentlyFileList");
  EXPECT_EQ(w.udData(0x30).BuddyControl(), nullptr);  // the binding had not run
  EXPECT_FALSE(w.mblnSetByProgram);                   // the editors still answer the user
  EXPECT_FALSE(frmSplash().Loaded());
  EXPECT_EQ(forms::Screen.MousePointer(), forms::vbDefault);
  EXPECT_EQ(w.SSTab1.Tab(), 2);
  EXPECT_EQ(w.lblOnLine.Caption(), "Off Line(COM0)");
  EXPECT_EQ(w.lblOnLine.ForeColor(), forms::RGB(255, 0, 0));
}

TEST_F(MainWindowLoad, AScrollStepTheBarsRefuseCountsAsTheKeysDefault) {
  // The settings file is wrong (the error box says so once); the load goes on with the
  // default step, which the settings file then gets back.
  const struct {
    int32_t small, large, smallAfter, largeAfter;
  } cases[] = {{-5, 5, 1, 5}, {2, 0, 2, 5}, {40000, -1, 1, 5}, {0, 32767, 1, 32767}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.small) + "/" + std::to_string(c.large));
    glngSmallChange = c.small;
    glngLargeChange = c.large;
    reports.clear();
    FrmMain& w = frmMain();
    w.Load();
    ASSERT_EQ(reports.size(), 2u);  // the step, then the connect without a port
    EXPECT_EQ(reports[0].text, "frmMain.mblnSetScrollChange");
    EXPECT_EQ(reports[0].number, 380);
    EXPECT_EQ(glngSmallChange, c.smallAfter);
    EXPECT_EQ(glngLargeChange, c.largeAfter);
    for (forms::VScrollBar& s : w.vsData) {
      EXPECT_EQ(s.SmallChange(), c.smallAfter);
      EXPECT_EQ(s.LargeChange(), c.largeAfter);
    }
    EXPECT_EQ(w.hsData(0x91).LargeChange(), c.largeAfter);
    EXPECT_EQ(w.vsData(0x30).Max(), w.udData(0x30).Max());  // the load went on
    EXPECT_EQ(w.lblOnLine.Caption(), "Off Line(COM0)");
    forms::ReleaseDefaultInstances();
  }
}

}  // namespace
