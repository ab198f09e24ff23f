// The advanced-mode password window, played by the test as the user, and what the settings
// file keeps of its answer.
#include "ui/password_window.h"

#include <tuple>

#include "core/common_helpers.h"
#include "core/settings_file.h"
#include "tests/core/core_fixture.h"

namespace {

using testutil::Box;

class PasswordWindow : public testutil::CoreTest {
 protected:
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    gstrAdvancedPwd.clear();
    CoreTest::TearDown();
  }

  // Opens the window modally; the user types `typed` over the selected text, sets the tick and
  // presses OK (or Cancel).
  void answer(const std::string& typed, bool tick, bool ok = true) {
    host.onModal = [&](forms::Form&) {
      FrmPwd& w = frmPwd();
      seenText = w.txtPwd.Text();
      seenCaption = w.Caption();
      seenSelection = {w.txtPwd.SelStart(), w.txtPwd.SelLength()};
      seenTicked = w.chkSavePwd.Value() == forms::vbChecked;
      w.txtPwd.UserSelect(0, static_cast<long>(w.txtPwd.Text().size()));
      w.txtPwd.UserType(typed);
      if (seenTicked != tick) w.chkSavePwd.UserClick();
      (ok ? w.cmdOK : w.cmdCancel).UserClick();
    };
    frmPwd().Show(forms::vbModal);
    EXPECT_FALSE(frmPwd().Loaded());
  }

  std::string seenText, seenCaption;
  std::pair<long, long> seenSelection;
  bool seenTicked = false;
};

const Box kWrong{"The password is not correct.", forms::vbOKOnly + forms::vbQuestion, "Orvadex"};

TEST_F(PasswordWindow, OkSetsTheModeAndKeepsThePasswordOnlyWhenAskedTo) {
  struct Case {
    const char* saved;
    bool advanced, developing;
    const char* typed;
    bool tick;
    bool advancedAfter;
    const char* savedAfter;
    bool wrongBox;
  } cases[] = {
      // Any mix of case unlocks.
      {"", false, false, "QuillMarBENSO", true, true, "QuillMarBENSO", false},
      {"", false, false, "quillmarbenso", false, true, "", false},
      // A wrong password turns advanced mode off, unless developing mode is on; a ticked wrong
      // password is kept all the same.
      {"quillmarbenso", true, false, "quilmarbenso", true, false, "quilmarbenso", true},
      {"quillmarbenso", true, true, "x", false, true, "", true},
      {"", false, false, "", false, false, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    gstrAdvancedPwd = c.saved;
    gblnAdvancedMode = c.advanced;
    gblnDeveloping = c.developing;
    host.boxes.clear();
    answer(c.typed, c.tick);
    EXPECT_EQ(gblnAdvancedMode, c.advancedAfter);
    EXPECT_EQ(gstrAdvancedPwd, c.savedAfter);
    EXPECT_EQ(host.boxes, c.wrongBox ? std::vector<Box>{kWrong} : std::vector<Box>{});
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(PasswordWindow, OpensWithTheSavedPasswordSelectedAndTickedOnlyWhenItIsRight) {
  gstrAdvancedPwd = "QUILLMARBENSO";
  gblnAdvancedMode = true;
  answer("", true, false);
  EXPECT_EQ(seenText, "QUILLMARBENSO");
  EXPECT_EQ(seenSelection, (std::pair<long, long>{0, 13}));
  EXPECT_TRUE(seenTicked);
  EXPECT_EQ(seenCaption, "Orvadex [Advanced Operation]");
  // Cancel changed nothing.
  EXPECT_EQ(std::tuple(gblnAdvancedMode, gstrAdvancedPwd), std::tuple(true, std::string("QUILLMARBENSO")));

  gstrAdvancedPwd = "guess";
  gblnAdvancedMode = false;
  answer("", true, false);
  EXPECT_EQ(seenText, "guess");
  EXPECT_FALSE(seenTicked);
  EXPECT_EQ(std::tuple(gblnAdvancedMode, gstrAdvancedPwd), std::tuple(false, std::string("guess")));
  // The close box is a cancel too.
  host.onModal = nullptr;
  frmPwd().Show(forms::vbModal);
  EXPECT_EQ(std::tuple(gblnAdvancedMode, gstrAdvancedPwd), std::tuple(false, std::string("guess")));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(PasswordWindow, TheNextStartFollowsWhatTheSettingsFileKept) {
  struct Case {
    const char* typed;
    bool tick, developing;
    bool advancedAtNextStart;
  } cases[] = {
      {"quillmarbenso", true, false, true},
      {"quillmarbenso", false, false, false},  // right, but not saved
      {"quillmarbenso", false, true, true},    // developing mode implies it
      {"wrong", true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + (c.tick ? " saved" : " not saved"));
    gstrAdvancedPwd.clear();
    gblnDeveloping = c.developing;
    answer(c.typed, c.tick);
    ASSERT_TRUE(SubMain::gblnWriteInitFile());
    gstrAdvancedPwd = "stale";
    gblnAdvancedMode = !c.advancedAtNextStart;
    mdlCommon::WritePrivateProfileString("Mode", "Developing", c.developing ? "True" : "False",
                                         SubMain::gstrInitFileName());
    ASSERT_TRUE(SubMain::gblnReadInitFile());
    EXPECT_EQ(gstrAdvancedPwd, c.tick ? c.typed : "");
    EXPECT_EQ(gblnAdvancedMode, c.advancedAtNextStart);
  }
}

}  // namespace
