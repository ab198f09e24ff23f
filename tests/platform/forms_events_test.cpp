// Event order and nesting of the headless controls, driven as the user and as the program.
#include <gtest/gtest.h>

#include "tests/platform/forms_sample.h"

namespace sample {
namespace {

using ::testing::ElementsAre;

class Controls : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    f.Show();
    f.take();
  }
  SampleForm f;
};

TEST_F(Controls, TextChangeOnlyOnRealChangeAndNestsInsideTheWrite) {
  f.txtValue.Text("12");
  EXPECT_THAT(f.take(), ElementsAre("txtValue_Change 12"));
  EXPECT_EQ(f.udValue.Value(), 12);  // the up-down follows its buddy silently
  // Same text: no event, caret and selection stay where they were.
  f.txtValue.SelStart(1);
  f.txtValue.SelLength(1);
  f.txtValue.Text("12");
  EXPECT_TRUE(f.take().empty());
  EXPECT_EQ(f.txtValue.SelStart(), 1);
  EXPECT_EQ(f.txtValue.SelLength(), 1);
  // A handler that clamps its own text: the nested Change runs inside the outer one, and the
  // statement after the write sees the final text.
  int depth = 0, maxDepth = 0;
  f.onTxtChange = [&] {
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    if (f.txtValue.Text() == "300") f.txtValue.Text("255");
    --depth;
  };
  f.txtValue.Text("300");
  EXPECT_EQ(f.txtValue.Text(), "255");
  EXPECT_EQ(maxDepth, 2);
  EXPECT_THAT(f.take(), ElementsAre("txtValue_Change 300", "txtValue_Change 255"));
}

// A changed text keeps the caret and selection in the part that stays; an end inside the part
// that changed goes to its edge.
TEST_F(Controls, ARewrittenTextKeepsTheCaretInThePartThatStays) {
  struct Case {
    const char* before;
    long selStart, selLength;
    const char* after;
    long wantStart, wantLength;
  } cases[] = {
      {"05", 2, 0, "5", 1, 0},         // a leading zero dropped: the caret stays after the 5
      {"300", 3, 0, "255", 3, 0},      // clamped: after the new digits
      {"abc", 1, 0, "20", 2, 0},       // inside the part replaced: after it
      {"12", 0, 2, "13", 0, 2},        // all selected stays all selected
      {"1234", 0, 1, "1294", 0, 1},    // before the change: unmoved
      {"1234", 3, 1, "194", 2, 1},     // after the change: moved with the text behind it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.before) + " -> " + c.after);
    f.txtValue.Text(c.before);
    f.txtValue.SelStart(c.selStart);
    f.txtValue.SelLength(c.selLength);
    f.txtValue.Text(c.after);
    EXPECT_EQ(f.txtValue.SelStart(), c.wantStart);
    EXPECT_EQ(f.txtValue.SelLength(), c.wantLength);
  }
}

TEST_F(Controls, KeyDownSeesTheTextBeforeTheKeyAndKeyPressCanSwallowIt) {
  f.txtValue.Text("");
  ASSERT_TRUE(f.txtValue.UserType("4"));
  f.take();
  f.txtValue.SelStart(1);
  f.onKeyDown = [&](int& KeyCode, int) {
    // Writing the same text back from KeyDown neither raises Change nor moves the caret.
    f.txtValue.Text(f.txtValue.Text());
  };
  ASSERT_TRUE(f.txtValue.UserType("2"));
  EXPECT_THAT(f.take(), ElementsAre("txtValue_KeyDown 50 [4]", "txtValue_KeyPress 50", "txtValue_Change 42",
                                    "txtValue_KeyUp 50"));
  f.onKeyPress = [](int& KeyAscii) { KeyAscii = 0; };
  ASSERT_TRUE(f.txtValue.UserType("7"));
  EXPECT_EQ(f.txtValue.Text(), "42");
  // Setting KeyCode to 0 in KeyDown does not stop the character.
  f.onKeyPress = nullptr;
  f.onKeyDown = [](int& KeyCode, int) { KeyCode = 0; };
  ASSERT_TRUE(f.txtValue.UserType("1"));
  EXPECT_EQ(f.txtValue.Text(), "421");
  // Backspace and Delete edit at the caret.
  f.onKeyDown = nullptr;
  ASSERT_TRUE(f.UserKey(vbKeyBack));
  EXPECT_EQ(f.txtValue.Text(), "42");
  ASSERT_TRUE(f.UserKey(vbKeyHome));
  ASSERT_TRUE(f.UserKey(vbKeyDelete));
  EXPECT_EQ(f.txtValue.Text(), "2");
}

TEST_F(Controls, DigitsOnlyStyleLockedAndMaxLength) {
  f.txtValue.WindowStyle(f.txtValue.WindowStyle() | ES_NUMBER);
  f.txtValue.Text("");
  ASSERT_TRUE(f.txtValue.UserType("1a-2"));
  EXPECT_EQ(f.txtValue.Text(), "12");
  ASSERT_TRUE(f.txtValue.UserPaste("x"));  // pasting is not checked by the style
  EXPECT_EQ(f.txtValue.Text(), "12x");
  f.txtValue.MaxLength(4);
  ASSERT_TRUE(f.txtValue.UserType("345"));
  EXPECT_EQ(f.txtValue.Text(), "12x3");
  f.txtValue.Locked(true);
  f.take();
  ASSERT_TRUE(f.UserKey(vbKeyBack));
  EXPECT_EQ(f.txtValue.Text(), "12x3");
  f.txtValue.Text("code may write");  // Locked and MaxLength bind the user only
  EXPECT_EQ(f.txtValue.Text(), "code may write");
}

TEST_F(Controls, UpDownWritesItsBuddyAndFollowsWhatTheBuddyShows) {
  f.txtValue.Text("7");
  f.take();
  ASSERT_TRUE(f.udValue.UserUp());
  // Buddy first (its Change nests inside the up-down's value change), then Change, then UpClick.
  EXPECT_THAT(f.take(), ElementsAre("txtValue_Change 8", "udValue_Change 8", "udValue_UpClick"));
  EXPECT_FALSE(f.txtValue.HasFocus() && false);
  // An arrow gives the focus to the buddy first: the control that had it validates and loses
  // it, the box gets it, then the step. A Validate that keeps the focus stops the press.
  f.chkLog.SetFocus();
  f.take();
  ASSERT_TRUE(f.udValue.UserUp());
  EXPECT_THAT(f.take(), ElementsAre("chkLog_Validate", "chkLog_LostFocus", "txtValue_GotFocus", "txtValue_Change 9",
                                    "udValue_Change 9", "udValue_UpClick"));
  f.chkLog.SetFocus();
  const auto validate = f.chkLog.Validate;
  f.chkLog.Validate = [](bool& Cancel) { Cancel = true; };
  EXPECT_FALSE(f.udValue.UserUp());
  f.chkLog.Validate = validate;
  EXPECT_TRUE(f.chkLog.HasFocus());
  EXPECT_EQ(f.udValue.Value(), 9);
  // A typed value within the range is where the next step starts.
  f.txtValue.Text("100");
  f.take();
  ASSERT_TRUE(f.udValue.UserDown());
  EXPECT_EQ(f.txtValue.Text(), "99");
  // Out-of-range text is not followed; the step starts from the last value.
  f.txtValue.Text("300");
  ASSERT_TRUE(f.udValue.UserUp());
  EXPECT_EQ(f.txtValue.Text(), "100");
  // At the limit: UpClick only.
  f.udValue.Value(255);
  f.take();
  ASSERT_TRUE(f.udValue.UserUp());
  EXPECT_THAT(f.take(), ElementsAre("udValue_UpClick"));
  // Wrap, and a range given reversed (Min > Max): up runs towards Max, that is downwards.
  f.udValue.Wrap(true);
  ASSERT_TRUE(f.udValue.UserUp());
  EXPECT_EQ(f.udValue.Value(), 0);
  f.udValue.Wrap(false);
  f.udValue.Min(10);
  f.udValue.Max(0);
  f.udValue.Value(5);
  ASSERT_TRUE(f.udValue.UserUp());
  EXPECT_EQ(f.udValue.Value(), 4);
  // Assignments outside the range are clamped; narrowing the range moves the value in.
  f.udValue.Max(3);
  f.udValue.Min(0);
  EXPECT_EQ(f.udValue.Value(), 3);
  EXPECT_EQ(f.txtValue.Text(), "3");
  f.udValue.Value(99);
  EXPECT_EQ(f.udValue.Value(), 3);
  // The same value again raises no Change of the up-down, but a buddy showing another text
  // (pasted) shows the value again.
  f.txtValue.Text("abc");
  f.take();
  f.udValue.Value(3);
  EXPECT_EQ(f.txtValue.Text(), "3");
  EXPECT_THAT(f.take(), ElementsAre("txtValue_Change 3"));
  f.udValue.Value(3);
  EXPECT_TRUE(f.take().empty());
}

TEST_F(Controls, UpDownStartsFromTheTextItsBuddyHasWhenThePairIsMade) {
  class Spin : public Form {
   public:
    Spin() : Form("frmSpin") {
      UseLayoutText(
          "Form frmSpin ClientWidth=3000 ClientHeight=2000\n"
          "TextBox txtA Text=\"12\"\n"
          "UpDown udA BuddyControl=txtA SyncBuddy=True Min=1 Max=99\n"
          "TextBox txtB Text=\"500\"\n"
          "UpDown udB BuddyControl=txtB SyncBuddy=True Min=1 Max=99 Value=5\n"
          "TextBox txtC Text=\"1.5\"\n"
          "UpDown udC BuddyControl=txtC SyncBuddy=True Max=99 Value=3\n"
          "TextBox txtD Text=\"7\"\n"
          "UpDown udD BuddyControl=txtD Max=99\n"
          "TextBox txtE Text=\"40\"\n"
          "UpDown udE SyncBuddy=True Max=99\n");
      for (UpDown* u : {&udA, &udB, &udC, &udD, &udE})
        u->Change = [this, u] { log.push_back(u->Name() + "_Change"); };
      for (TextBox* t : {&txtA, &txtB, &txtC, &txtD, &txtE})
        t->Change = [this, t] { log.push_back(t->Name() + "_Change"); };
    }
    TextBox txtA{this, "txtA"}, txtB{this, "txtB"}, txtC{this, "txtC"}, txtD{this, "txtD"}, txtE{this, "txtE"};
    UpDown udA{this, "udA"}, udB{this, "udB"}, udC{this, "udC"}, udD{this, "udD"}, udE{this, "udE"};
    std::vector<std::string> log;
  } s;
  s.Load();
  // A whole number within the range becomes the value, silently (no Change, no write).
  EXPECT_EQ(s.udA.Value(), 12);
  EXPECT_EQ(s.txtA.Text(), "12");
  // Out of range, not a whole number, or no SyncBuddy: the up-down keeps its own value.
  EXPECT_EQ(s.udB.Value(), 5);
  EXPECT_EQ(s.txtB.Text(), "500");
  EXPECT_EQ(s.udC.Value(), 3);
  EXPECT_EQ(s.udD.Value(), 0);
  EXPECT_TRUE(s.log.empty());
  // So the first arrow steps from what the box shows.
  s.Show();
  ASSERT_TRUE(s.udA.UserUp());
  EXPECT_EQ(s.txtA.Text(), "13");
  // A buddy bound in code, or SyncBuddy turned on later, is read the same way.
  s.log.clear();
  s.udE.BuddyControl(&s.txtE);
  EXPECT_EQ(s.udE.Value(), 40);
  s.udD.SyncBuddy(true);
  EXPECT_EQ(s.udD.Value(), 7);
  EXPECT_TRUE(s.log.empty());
  // A reload starts from the design again.
  ASSERT_TRUE(s.Unload());
  s.Load();
  EXPECT_EQ(s.udA.Value(), 12);
  EXPECT_EQ(s.udE.Value(), 0);
  EXPECT_EQ(s.udE.BuddyControl(), nullptr);
}

TEST_F(Controls, TextBoxClickComesAfterTheFocusMoveAndMouseUpComboBoxClickOnlyOnSelection) {
  f.txtNum.Click = [this](int Index) { f.log.push_back("txtNum_Click " + std::to_string(Index)); };
  f.txtNum.MouseDown = [this](int Index, int, int, float, float) { f.log.push_back("txtNum_MouseDown " + std::to_string(Index)); };
  f.txtNum.MouseUp = [this](int Index, int, int, float, float) { f.log.push_back("txtNum_MouseUp " + std::to_string(Index)); };
  ASSERT_TRUE(f.txtNum(1).UserClick());
  EXPECT_THAT(f.take(), ElementsAre("txtNum_MouseDown 1", "txtValue_Validate", "txtValue_LostFocus", "txtNum_GotFocus 1",
                                    "txtNum_MouseUp 1", "txtNum_Click 1"));
  ASSERT_TRUE(f.txtNum(1).UserClick());  // already focused
  EXPECT_THAT(f.take(), ElementsAre("txtNum_MouseDown 1", "txtNum_MouseUp 1", "txtNum_Click 1"));
  // Validate keeping the focus swallows the click.
  f.txtValue.SetFocus();
  f.cancelValidate = true;
  f.take();
  EXPECT_FALSE(f.txtNum(1).UserClick());
  EXPECT_THAT(f.take(), ElementsAre("txtNum_MouseDown 1", "txtValue_Validate"));
  f.cancelValidate = false;
  // A click into a combo box takes the focus but selects nothing: no Click.
  ASSERT_TRUE(f.cmbPort.UserClick());
  EXPECT_TRUE(f.cmbPort.HasFocus());
  EXPECT_THAT(f.take(), ElementsAre("txtValue_Validate", "txtValue_LostFocus"));
}

TEST_F(Controls, OptionButtonsAreExclusivePerContainerWithOneClick) {
  EXPECT_TRUE(f.optMode(0).Value());
  EXPECT_TRUE(f.optOther.Value());  // another container: its own group
  f.optMode(1).Value(true);
  EXPECT_THAT(f.take(), ElementsAre("optMode_Click 1"));
  EXPECT_FALSE(f.optMode(0).Value());
  EXPECT_TRUE(f.optOther.Value());
  f.optMode(1).Value(true);  // already True: nothing
  f.optMode(1).Value(false);  // False: no event, nothing else selected
  EXPECT_TRUE(f.take().empty());
  EXPECT_FALSE(f.optMode(0).Value());
  ASSERT_TRUE(f.optMode(0).UserClick());  // the focus moves first
  EXPECT_THAT(f.take(), ElementsAre("txtValue_Validate", "txtValue_LostFocus", "optMode_Click 0"));
}

TEST_F(Controls, CheckBoxClickOnValueAssignmentAndUserClick) {
  f.chkLog.Value(1);
  f.chkLog.Value(1);
  EXPECT_THAT(f.take(), ElementsAre("chkLog_Click 1"));
  EXPECT_THROW(f.chkLog.Value(3), vb::Error);
  f.chkLog.Value(2);
  f.take();
  ASSERT_TRUE(f.chkLog.UserClick());  // a grey box becomes ticked
  EXPECT_EQ(f.chkLog.Value(), 1);
  ASSERT_TRUE(f.chkLog.UserClick());
  EXPECT_EQ(f.chkLog.Value(), 0);
  f.take();
  ASSERT_TRUE(f.UserKey(vbKeySpace));  // the focused box toggles on Space
  EXPECT_THAT(f.take(), ElementsAre("chkLog_Click 1"));
}

TEST_F(Controls, FocusMovesWithValidateLostFocusGotFocus) {
  f.txtValue.SetFocus();
  f.take();
  f.chkLog.SetFocus();
  EXPECT_THAT(f.take(), ElementsAre("txtValue_Validate", "txtValue_LostFocus", "chkLog_GotFocus"));
  // Validate with Cancel keeps the focus, and a click on a button then does nothing.
  f.txtValue.SetFocus();
  f.cancelValidate = true;
  f.take();
  EXPECT_FALSE(f.cmdOk.UserClick());
  EXPECT_TRUE(f.txtValue.HasFocus());
  EXPECT_THAT(f.take(), ElementsAre("cmdOk_MouseDown", "txtValue_Validate"));
  // A target without CausesValidation skips Validate.
  f.cmdCancel.SetFocus();
  EXPECT_THAT(f.take(), ElementsAre("txtValue_LostFocus"));
  f.cancelValidate = false;
  // Button click order: MouseDown, LostFocus, GotFocus, Click, MouseUp.
  f.txtValue.SetFocus();
  f.take();
  ASSERT_TRUE(f.cmdOk.UserClick());
  EXPECT_THAT(f.take(), ElementsAre("cmdOk_MouseDown", "txtValue_Validate", "txtValue_LostFocus", "cmdOk_GotFocus",
                                    "cmdOk_Click", "cmdOk_MouseUp"));
}

TEST_F(Controls, SetFocusOnDisabledOrHiddenRaises5AndRedirectsInsideLostFocus) {
  f.chkLog.Enabled(false);
  try {
    f.chkLog.SetFocus();
    FAIL();
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.Number(), 5);
  }
  f.chkLog.Enabled(true);
  f.fraMode.Visible(false);  // hidden through its container
  EXPECT_THROW(f.optMode(0).SetFocus(), vb::Error);
  f.fraMode.Visible(true);
  f.fraMode.Enabled(false);
  EXPECT_THROW(f.optMode(0).SetFocus(), vb::Error);
  EXPECT_TRUE(f.optMode(0).Enabled());
  f.fraMode.Enabled(true);
  EXPECT_THROW(f.lblStatus.SetFocus(), vb::Error);  // labels never take the focus
  // A SetFocus inside LostFocus decides where the focus ends.
  f.chkLog.SetFocus();
  f.onChkLostFocus = [&] { f.tabPages.SetFocus(); };
  f.take();
  EXPECT_FALSE(f.txtValue.UserFocus());  // the focus went elsewhere
  EXPECT_TRUE(f.tabPages.HasFocus());
  EXPECT_THAT(f.take(), ElementsAre("chkLog_Validate", "chkLog_LostFocus", "tabPages_GotFocus"));
}

TEST_F(Controls, TabKeyFollowsTheTabOrderAndSkipsWhatCannotTakeTheFocus) {
  // txtNum(1) has TabIndex 2 in the layout: it comes right after the up-down.
  std::vector<std::string> order;
  for (Control* c : f.TabOrder()) order.push_back(c->DisplayName());
  EXPECT_THAT(std::vector<std::string>(order.begin(), order.begin() + 5),
              ElementsAre("txtValue", "udValue", "txtNum(1)", "vsValue", "fraMode"));
  f.txtValue.SetFocus();
  ASSERT_TRUE(f.UserKey(vbKeyTab));  // the up-down is no tab stop
  EXPECT_EQ(f.ActiveControl(), &f.txtNum(1));
  ASSERT_TRUE(f.UserKey(vbKeyTab));
  ASSERT_TRUE(f.UserKey(vbKeyTab));
  EXPECT_EQ(f.ActiveControl(), &f.optMode(0));  // only the selected option of a group
  ASSERT_TRUE(f.UserKey(vbKeyTab, vbShiftMask));
  EXPECT_EQ(f.ActiveControl(), &f.vsValue);
  // TabIndex assignment shifts the others.
  f.vsValue.TabIndex(0);
  EXPECT_EQ(f.TabOrder()[0], &f.vsValue);
  EXPECT_EQ(f.txtValue.TabIndex(), 1);
  EXPECT_EQ(f.txtNum(1).TabIndex(), 3);
}

TEST_F(Controls, ScrollBarValueRangeAndUserScroll) {
  EXPECT_THROW(f.vsValue.Value(256), vb::Error);
  f.vsValue.Value(10);
  f.vsValue.Value(10);
  EXPECT_THAT(f.take(), ElementsAre("vsValue_Change 10"));
  f.vsValue.LargeChange(5);
  ASSERT_TRUE(f.vsValue.UserScroll(ScrollBar::Step::PageDown));
  EXPECT_THAT(f.take(), ElementsAre("txtValue_Validate", "txtValue_LostFocus", "vsValue_GotFocus", "vsValue_Change 15"));
  ASSERT_TRUE(f.vsValue.UserTrack({20, 30}));
  EXPECT_THAT(f.take(), ElementsAre("vsValue_Scroll 20", "vsValue_Scroll 30", "vsValue_Change 30"));
  ASSERT_TRUE(f.UserKey(vbKeyHome));
  EXPECT_EQ(f.vsValue.Value(), 0);
  f.take();
  f.vsValue.Min(5);  // the value moves into range silently
  EXPECT_EQ(f.vsValue.Value(), 5);
  f.vsValue.Max(-5);  // reversed
  EXPECT_TRUE(f.take().empty());
  ASSERT_TRUE(f.vsValue.UserScroll(ScrollBar::Step::LineDown));  // towards Max
  EXPECT_EQ(f.vsValue.Value(), 4);
  EXPECT_THROW(f.vsValue.SmallChange(0), vb::Error);
}

TEST_F(Controls, ComboBoxSelectionTextAndList) {
  f.cmbPort.ListIndex(1);
  f.cmbPort.ListIndex(1);
  EXPECT_THAT(f.take(), ElementsAre("cmbPort_Click COM3"));
  EXPECT_THROW(f.cmbPort.ListIndex(3), vb::Error);
  f.cmbPort.Text("com10");  // a drop-down list selects the matching item
  EXPECT_EQ(f.cmbPort.ListIndex(), 2);
  try {
    f.cmbPort.Text("COM7");
    FAIL();
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.Number(), 383);
  }
  f.cmbPort.AddItem("COM2", 1);
  EXPECT_EQ(f.cmbPort.ListIndex(), 3);  // the selected item moved down
  EXPECT_EQ(f.cmbPort.List(1), "COM2");
  EXPECT_EQ(f.cmbPort.List(9), "");
  EXPECT_THROW(f.cmbPort.AddItem("x", 9), vb::Error);
  f.take();
  ASSERT_TRUE(f.cmbPort.UserSelect(0));
  EXPECT_THAT(f.take(), ElementsAre("cmbPort_DropDown", "txtValue_Validate", "txtValue_LostFocus", "cmbPort_Click COM1"));
  f.cmbPort.Clear();
  EXPECT_EQ(f.cmbPort.ListCount(), 0);
  EXPECT_EQ(f.cmbPort.ListIndex(), -1);
  EXPECT_EQ(f.cmbPort.Text(), "");
}

TEST_F(Controls, LabelChangeAndAutoSize) {
  long w = f.lblStatus.Width();
  f.lblStatus.Caption("Ready and waiting");
  EXPECT_GT(f.lblStatus.Width(), w);
  f.lblStatus.Caption("Ready and waiting");
  EXPECT_THAT(f.take(), ElementsAre("lblStatus_Change"));
}

TEST_F(Controls, TabControlPagesHideTheirControlsAndRaiseClick) {
  EXPECT_FALSE(f.txtOnPage.IsShownInForm());
  EXPECT_TRUE(f.txtOnPage.Visible());
  f.tabPages.Tab(1);
  EXPECT_THAT(f.take(), ElementsAre("tabPages_Click 0"));
  EXPECT_TRUE(f.txtOnPage.IsShownInForm());
  EXPECT_THROW(f.tabPages.Tab(2), vb::Error);
  f.tabPages.TabVisible(1, false);  // hiding the current page shows the first visible one
  EXPECT_EQ(f.tabPages.Tab(), 0);
  EXPECT_FALSE(f.tabPages.UserSelectTab(1));
  f.tabPages.TabVisible(1, true);
  f.chkLog.SetFocus();
  f.take();
  // A click on a page: the page changes first, then the tab control takes the focus.
  ASSERT_TRUE(f.tabPages.UserSelectTab(1));
  EXPECT_THAT(f.take(), ElementsAre("tabPages_Click 0", "chkLog_Validate", "chkLog_LostFocus", "tabPages_GotFocus"));
}

TEST_F(Controls, EnterAndEscapeClickTheDefaultAndCancelButtons) {
  f.txtValue.SetFocus();
  f.take();
  ASSERT_TRUE(f.UserKey(vbKeyReturn));
  ASSERT_TRUE(f.UserKey(vbKeyEscape));
  EXPECT_THAT(f.take(), ElementsAre("txtValue_KeyDown 13 [0]", "cmdOk_Click", "txtValue_KeyUp 13",
                                    "txtValue_KeyDown 27 [0]", "cmdCancel_Click", "txtValue_KeyUp 27"));
}

TEST_F(Controls, AccessKeysClickToggleSelectPagesAndMoveTheFocusOn) {
  f.txtValue.SetFocus();
  f.take();
  // A button's key: the focus moves to it, then its Click; no KeyPress, the key comes up there.
  ASSERT_TRUE(f.UserKey('O', vbAltMask));
  EXPECT_THAT(f.take(), ElementsAre("txtValue_KeyDown 79 [0]", "txtValue_Validate", "txtValue_LostFocus",
                                    "cmdOk_GotFocus", "cmdOk_Click"));
  // A check box toggles, a frame's key goes on to the next control of the order (the selected
  // option of its group), a tab caption's key selects the page as a click on its tab.
  ASSERT_TRUE(f.UserKey('L', vbAltMask));
  EXPECT_THAT(f.take(), ElementsAre("chkLog_GotFocus", "chkLog_Click 1"));
  ASSERT_TRUE(f.UserKey('M', vbAltMask));
  EXPECT_EQ(f.ActiveControl(), &f.optMode(0));
  f.take();
  ASSERT_TRUE(f.UserKey('T', vbAltMask));
  EXPECT_EQ(f.tabPages.Tab(), 1);
  EXPECT_EQ(f.ActiveControl(), &f.tabPages);
  EXPECT_THAT(f.take(), ElementsAre("tabPages_Click 0", "tabPages_GotFocus"));
  // A key nobody has, or whose control is disabled, does nothing.
  f.cmdOk.Enabled(false);
  ASSERT_TRUE(f.UserKey('O', vbAltMask));
  ASSERT_TRUE(f.UserKey('Q', vbAltMask));
  EXPECT_TRUE(f.take().empty());
  EXPECT_EQ(f.ActiveControl(), &f.tabPages);
}

TEST_F(Controls, F10BelongsToTheMenuBarAndCtrlZUndoesTheLastEdit) {
  f.txtValue.SetFocus();
  f.take();
  EXPECT_TRUE(f.IsMenuKey(vbKeyF10, 0));
  EXPECT_FALSE(f.IsMenuKey(vbKeyF10, vbShiftMask));
  ASSERT_TRUE(f.UserKey(vbKeyF10));
  EXPECT_TRUE(f.take().empty());  // the control never sees it
  // Typed characters make one edit; Ctrl+Z puts the text before it back (a change like any
  // other), a second Ctrl+Z redoes it.
  f.txtValue.UserSelect(0, 1);
  f.txtValue.UserType("12");
  f.take();
  ASSERT_TRUE(f.UserKey('Z', vbCtrlMask));
  EXPECT_EQ(f.txtValue.Text(), "0");
  ASSERT_TRUE(f.UserKey('Z', vbCtrlMask));
  EXPECT_EQ(f.txtValue.Text(), "12");
  EXPECT_THAT(f.take(), ElementsAre("txtValue_KeyDown 90 [12]", "txtValue_Change 0", "txtValue_KeyUp 90",
                                    "txtValue_KeyDown 90 [0]", "txtValue_Change 12", "txtValue_KeyUp 90"));
  // Backspace is an edit of its own; the program's write of another text forgets the edit.
  ASSERT_TRUE(f.UserKey(vbKeyBack));
  ASSERT_TRUE(f.UserKey('Z', vbCtrlMask));
  EXPECT_EQ(f.txtValue.Text(), "12");
  f.txtValue.Text("7");
  ASSERT_TRUE(f.UserKey('Z', vbCtrlMask));
  EXPECT_EQ(f.txtValue.Text(), "7");
  f.mnuFile.Visible(false);
  EXPECT_FALSE(f.IsMenuKey(vbKeyF10, 0));
}

TEST_F(Controls, ProgressBarRangeAndMenus) {
  f.pBar.Value(10);
  EXPECT_THROW(f.pBar.Value(11), vb::Error);
  f.pBar.Max(5);
  EXPECT_EQ(f.pBar.Value(), 5);
  ASSERT_TRUE(f.mnuOpen.UserChoose());
  EXPECT_THAT(f.take(), ElementsAre("mnuFile_Click", "mnuOpen_Click"));
  f.mnuOpen.Enabled(false);
  EXPECT_FALSE(f.mnuOpen.UserClick());
  f.mnuOpen.Enabled(true);
  f.mnuFile.Visible(false);
  EXPECT_FALSE(f.mnuOpen.UserClick());
  EXPECT_EQ(f.mnuFile.Items().size(), 2u);
}

TEST_F(Controls, PictureBoxKeepsADisplayListInItsScale) {
  f.pctGraph.ScaleMode(vbPixels);
  EXPECT_DOUBLE_EQ(f.pctGraph.ScaleWidth(), 102);  // 1530 twips, no border
  f.pctGraph.BorderStyle(1);
  EXPECT_DOUBLE_EQ(f.pctGraph.ScaleWidth(), 98);
  f.pctGraph.BorderStyle(0);
  f.pctGraph.Line(1, 1, 1, 50);
  f.pctGraph.Circle(51, 51, 5, RGB(0, 255, 255));
  ASSERT_EQ(f.pctGraph.DisplayList().size(), 2u);
  const DrawOp& circle = f.pctGraph.DisplayList()[1];
  EXPECT_EQ(circle.type, DrawOp::Circle);
  EXPECT_DOUBLE_EQ(circle.radius, 5);
  EXPECT_EQ(circle.color, 0xFFFF00);
  EXPECT_EQ(f.pctGraph.DisplayList()[0].color, vbBlack);
  EXPECT_DOUBLE_EQ(f.pctGraph.CurrentX(), 51);
  f.pctGraph.Cls();
  EXPECT_TRUE(f.pctGraph.DisplayList().empty());
  // A user scale maps onto the same pixels.
  f.pctGraph.ScaleWidth(10);
  f.pctGraph.ScaleHeight(10);
  f.pctGraph.Line(0, 0, 10, 10);
  EXPECT_DOUBLE_EQ(f.pctGraph.DisplayList()[0].x2, 102);
  // Mouse positions arrive in the picture's scale.
  f.pctGraph.ScaleMode(vbPixels);
  f.take();
  ASSERT_TRUE(f.pctGraph.UserMouseMove(vbLeftButton, 0, 40, 20));
  EXPECT_THAT(f.take(), ElementsAre("pctGraph_MouseMove 1 40,20"));
}

TEST_F(Controls, DroppedFilesReachTheNearestControlOrTheForm) {
  f.OLEDropMode(vbOLEDropManual);
  std::vector<std::string> got;
  f.txtNum.OLEDragDrop = [&](int Index, const DataObject& Data) { got = Data.Files; };
  ASSERT_TRUE(f.txtValue.UserDropFiles({"/tmp/a.cfg", "/tmp/b.cfg"}));
  EXPECT_THAT(f.take(), ElementsAre("Form_OLEDragDrop /tmp/a.cfg"));
  f.txtNum(1).OLEDropMode(vbOLEDropManual);
  ASSERT_TRUE(f.txtNum(1).UserDropFiles({"/tmp/c.log"}));
  EXPECT_THAT(got, ElementsAre("/tmp/c.log"));
}

TEST_F(Controls, ColoursAreRGBLongs) {
  EXPECT_EQ(RGB(255, 0, 0), vbRed);
  EXPECT_EQ(RGB(0, 0, 255), 0xFF0000);
  EXPECT_EQ(RGB(300, -4, 0), 255);
  EXPECT_EQ(ResolveColor(vbWindowBackground), 0xFFFFFF);
  EXPECT_EQ(ResolveColor(0x123456), 0x123456);
  EXPECT_EQ(f.shpBar.FillColor(), vbBlue);
}

}  // namespace
}  // namespace sample
