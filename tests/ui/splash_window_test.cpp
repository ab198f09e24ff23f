// The splash screen on the headless forms: its size follows the logo, any key closes it, and
// gblnShowSplash tells the progress window whether to stay under it.
#include "ui/splash_window.h"

#include <string>

#include "link/status_bar_window.h"
#include "platform/forms/forms.h"
#include "tests/core/core_fixture.h"

namespace {

class Splash : public testutil::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    gblnShowSplash = false;
  }
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    CoreTest::TearDown();
  }
};

// A layout whose logo has the given size in twips, with a second logo member left visible.
std::string layoutWithLogo(long width, long height) {
  return "Form frmSplash BorderStyle=0 ClientWidth=9000 ClientHeight=9000\n"
         "Frame fraLogo Left=700 Top=300 Width=100 Height=100\n"
         "Image imgLogo(0) in=fraLogo Left=10 Top=10 Visible=False Width=" + std::to_string(width) +
         " Height=" + std::to_string(height) + "\n"
         "Image imgLogo(1) in=fraLogo Left=10 Top=10 Width=50 Height=50\n"
         "Label lblProductName in=fraLogo Caption=\"Application Name\"\n"
         "Label lblVersion in=fraLogo Caption=\"Version 1.00\"\n"
         "Label lblLicenseTo in=fraLogo Caption=\"Halvern\"\n"
         "Label lblCopyright in=fraLogo Caption=\"notice\"\n";
}

TEST_F(Splash, FrameAndWindowWrapTheLogo) {
  struct Case {
    long logoW, logoH, frameW, frameH, formW, formH;
  };
  const Case cases[] = {
      {4000, 3000, 4200, 3200, 4350, 3350},
      {6000, 3600, 6200, 3800, 6350, 3950},
      {0, 0, 200, 200, 350, 350},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.logoW) + "x" + std::to_string(c.logoH));
    FrmSplash splash;
    splash.UseLayoutText(layoutWithLogo(c.logoW, c.logoH));
    splash.Show(forms::vbModeless);
    EXPECT_EQ(splash.fraLogo.Width(), c.frameW);
    EXPECT_EQ(splash.fraLogo.Height(), c.frameH);
    EXPECT_EQ(splash.Width(), c.formW);
    EXPECT_EQ(splash.Height(), c.formH);
    EXPECT_EQ(splash.fraLogo.Left(), 50);
    EXPECT_EQ(splash.fraLogo.Top(), 0);
    EXPECT_EQ(splash.imgLogo(0).Left(), 100);
    EXPECT_EQ(splash.imgLogo(0).Top(), 150);
    EXPECT_TRUE(splash.imgLogo(0).Visible());
    EXPECT_FALSE(splash.imgLogo(1).Visible());
    splash.Unload();
  }
}

TEST_F(Splash, ShowsTheTitleAndVersionOverTheBuiltInLogo) {
  frmSplash().Show(forms::vbModeless);
  EXPECT_EQ(frmSplash().lblProductName.Caption(), "Orvadex");
  EXPECT_EQ(frmSplash().lblVersion.Caption(), "1.31");
  EXPECT_EQ(frmSplash().lblLicenseTo.Caption(), "Halvern");
  EXPECT_EQ(frmSplash().imgLogo(0).Picture(), "pictures/splash_logo.png");
  EXPECT_EQ(frmSplash().Width(), frmSplash().imgLogo(0).Width() + 350);
  EXPECT_TRUE(reports.empty());
}

TEST_F(Splash, TheFlagFollowsTheWindowAndAnyKeyClosesIt) {
  struct Case {
    const char* what;
    int keyCode;
  };
  const Case keys[] = {{"letter", forms::vbKeyA}, {"space", forms::vbKeySpace},
                       {"Enter", forms::vbKeyReturn}, {"Escape", forms::vbKeyEscape}};
  for (const Case& k : keys) {
    SCOPED_TRACE(k.what);
    EXPECT_FALSE(gblnShowSplash);
    frmSplash().Show(forms::vbModeless);
    EXPECT_TRUE(gblnShowSplash);
    EXPECT_TRUE(frmSplash().UserKey(k.keyCode));
    EXPECT_FALSE(frmSplash().Loaded());
    EXPECT_FALSE(gblnShowSplash);
  }
  // The main window closes it when its loading is done.
  frmSplash().Show(forms::vbModeless);
  EXPECT_TRUE(frmSplash().Unload());
  EXPECT_FALSE(gblnShowSplash);
}

TEST_F(Splash, TheProgressWindowStopsFollowingASplashClosedByAKey) {
  frmSplash().Show(forms::vbModeless);
  frmSplash().Move(1500, 2000);
  glngStatusMax = 4;
  glngStatusValue = 0;
  frmStatusBar().Show(forms::vbModeless);
  glngStatusValue = 1;
  frmStatusBar().gblnRefresh();
  const long under = frmSplash().Top() + frmSplash().Height();
  EXPECT_EQ(frmStatusBar().Top(), under);

  frmSplash().UserKey(forms::vbKeyZ);
  frmStatusBar().Move(frmStatusBar().Left(), 100);
  glngStatusValue = 2;
  frmStatusBar().gblnRefresh();
  EXPECT_EQ(frmStatusBar().Top(), 100);
  EXPECT_EQ(frmStatusBar().ProgressBar1.Value(), 2);
  frmStatusBar().Unload();
}

}  // namespace
