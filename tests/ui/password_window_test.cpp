// The advanced-mode password window, played by the test as the user, and what the next start
// makes of what the settings file kept.
#include "ui/password_window.h"

#include "core/common_helpers.h"
#include "core/settings_file.h"
#include "tests/core/core_fixture.h"

namespace {

class PasswordWindow : public testutil::CoreTest {
 protected:
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    gstrAdvancedPwd.clear();
    CoreTest::TearDown();
  }
  // Opens the window; the user types over the selected text, sets the tick and presses OK or
  // Cancel. Returns what the window showed when it opened: text, selection length, tick.
  std::tuple<std::string, long, bool> answer(const std::string& typed, bool tick, bool ok = true) {
    std::tuple<std::string, long, bool> seen;
    host.onModal = [&](forms::Form&) {
      FrmPwd& w = frmPwd();
      seen = {w.txtPwd.Text(), w.txtPwd.SelStart() == 0 ? w.txtPwd.SelLength() : -1, w.chkSavePwd.Value() == 1};
      w.txtPwd.UserType(typed);
      if (std::get<2>(seen) != tick) w.chkSavePwd.UserClick();
      (ok ? w.cmdOK : w.cmdCancel).UserClick();
    };
    frmPwd().Show(forms::vbModal);
    EXPECT_FALSE(frmPwd().Loaded());
    return seen;
  }
};

TEST_F(PasswordWindow, OkSetsTheModeAndTheSettingsFileKeepsThePasswordOnlyWhenTicked) {
  struct Case {
    bool developing;
    const char* typed;
    bool tick, advanced, wrong;
  } cases[] = {
      {false, "QuillMarBENSO", true, true, false},  // any mix of case
      {false, "quillmarbenso", false, true, false},  // right, but the next start is not advanced
      {false, "quilmarbenso", true, false, true},    // wrong: off, and kept all the same
      {true, "x", false, true, true},                // developing mode implies advanced mode
  };
  const std::vector<testutil::Box> wrongBox{{"The password is not correct.", forms::vbQuestion, "Orvadex"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    gstrAdvancedPwd = SubMain::kAdvancedPassword;
    gblnAdvancedMode = true;
    gblnDeveloping = c.developing;
    host.boxes.clear();
    answer(c.typed, c.tick);
    EXPECT_EQ(gblnAdvancedMode, c.advanced);
    EXPECT_EQ(gstrAdvancedPwd, c.tick ? c.typed : "");
    EXPECT_EQ(host.boxes, c.wrong ? wrongBox : std::vector<testutil::Box>());
    ASSERT_TRUE(SubMain::gblnWriteInitFile());
    mdlCommon::WritePrivateProfileString("Mode", "Developing", c.developing ? "True" : "False",
                                         SubMain::gstrInitFileName());
    ASSERT_TRUE(SubMain::gblnReadInitFile());
    EXPECT_EQ(gblnAdvancedMode, (c.tick && !c.wrong) || c.developing);
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(PasswordWindow, OpensFromTheSavedPasswordAndCancelChangesNothing) {
  gstrAdvancedPwd = "QUILLMARBENSO";
  gblnAdvancedMode = true;
  EXPECT_EQ(answer("", false, false), std::tuple(std::string("QUILLMARBENSO"), 13L, true));
  EXPECT_EQ(std::tuple(gblnAdvancedMode, gstrAdvancedPwd), std::tuple(true, std::string("QUILLMARBENSO")));
  gstrAdvancedPwd = "guess";
  gblnAdvancedMode = false;
  EXPECT_EQ(answer("quillmarbenso", true, false), std::tuple(std::string("guess"), 5L, false));
  EXPECT_EQ(std::tuple(gblnAdvancedMode, gstrAdvancedPwd), std::tuple(false, std::string("guess")));
  EXPECT_TRUE(host.boxes.empty());
}

}  // namespace
