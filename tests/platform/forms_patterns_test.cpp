// The ways the program's windows use the forms layer: a list dialog built from run-time
// array members, a progress window beside the main window, a splash closed by a key, the
// focus rule of the spin controls, recent-file menus, default instances.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/platform/forms_sample.h"

namespace sample {
namespace {

using ::testing::ElementsAre;

// A dialog that lays out run-time rows, like a confirmation list.
class ListDialog : public Form {
 public:
  ListDialog() : Form("dlgList") {
    UseLayoutText(
        "Form dlgList Caption=\"List\" ClientWidth=3000 ClientHeight=2000 BorderStyle=3\n"
        "Label lblRow(0) Left=120 Top=120 AutoSize=True BackStyle=0 Caption=\"KeyName=XX\"\n"
        "Frame fraButtons Left=120 Top=1000 Width=2775 Height=615 BorderStyle=0\n"
        "CommandButton cmdOk in=fraButtons Left=120 Top=120 Width=1215 Height=375 Caption=\"OK(&O)\"\n"
        "CommandButton cmdCancel in=fraButtons Left=1440 Top=120 Width=1215 Height=375 Caption=\"Cancel(&C)\"\n");
    cmdOk.Click = [this] {
      cancelled = false;
      Unload();
    };
    cmdCancel.Click = [this] { Unload(); };
  }
  // Shows the rows; true when accepted.
  bool Ask(const std::vector<std::string>& rows) {
    Load();
    long top = 120, widest = 0;
    for (size_t p = 0; p < rows.size(); ++p) {
      if (p > 0) lblRow.Load(static_cast<int>(p));
      Label& l = lblRow(static_cast<int>(p));
      l.Caption("  " + rows[p]);
      l.Top(top);
      l.Visible(true);
      top += 250;
      widest = std::max(widest, l.Width());
    }
    fraButtons.Top(top + 250);
    ClientSize(widest + 500, top + 250 + fraButtons.Height());
    cancelled = true;
    Show(vbModal);
    return !cancelled;
  }
  ControlArray<Label> lblRow{this, "lblRow"};
  Frame fraButtons{this, "fraButtons"};
  CommandButton cmdOk{this, "cmdOk"};
  CommandButton cmdCancel{this, "cmdCancel"};
  bool cancelled = true;
};

class Patterns : public FormsTest {};

TEST_F(Patterns, ListDialogBuiltFromRunTimeMembersStartsAfreshEachTime) {
  ListDialog d;
  host.OnModal("dlgList", [&](Form&) {
    EXPECT_EQ(d.lblRow.Count(), 3);
    EXPECT_EQ(d.lblRow(2).Top(), 620);
    // Labels sized to their text (9 points: 90 twips a character here).
    EXPECT_EQ(d.lblRow(1).Width(), 90 * 10);
    EXPECT_EQ(d.fraButtons.Top(), 120 + 3 * 250 + 250);
    EXPECT_EQ(d.ScaleHeight(), d.fraButtons.Top() + 615);
    d.UserClose();  // the close box: the answer stays "cancelled"
  });
  EXPECT_FALSE(d.Ask({"Gain=1(2)", "Setup=30", "Pedestal=4"}));
  EXPECT_FALSE(d.Loaded());
  host.OnModal("dlgList", [&](Form&) {
    EXPECT_EQ(d.lblRow.Count(), 1);  // the rows of the last call are gone
    d.cmdOk.UserClick();
  });
  EXPECT_TRUE(d.Ask({"One=1"}));
}

// A progress window without focusable controls, shown beside the main window.
class Progress : public Form {
 public:
  Progress() : Form("frmProgress") {
    UseLayoutText(
        "Form frmProgress ClientWidth=4485 ClientHeight=855 StartUpPosition=2 BorderStyle=3\n"
        "Label lblStatusMsg Left=240 Top=120 AutoSize=True\n"
        "ProgressBar ProgressBar1 Left=300 Top=480 Width=3975 Height=315\n");
  }
  void Form_Load() override { log.push_back("bar Form_Load"); }
  void Form_Activate() override { log.push_back("bar Form_Activate"); }
  void Form_GotFocus() override { log.push_back("bar Form_GotFocus"); }
  void Form_LostFocus() override {
    log.push_back("bar Form_LostFocus");
    ZOrder(0);
  }
  void Form_Unload(int&) override { log.push_back("bar Form_Unload"); }
  Label lblStatusMsg{this, "lblStatusMsg"};
  ProgressBar ProgressBar1{this, "ProgressBar1"};
  std::vector<std::string> log;
};

TEST_F(Patterns, ModelessProgressWindowTakesAndGivesBackTheActivation) {
  SampleForm main;
  Progress bar;
  main.Show();
  main.take();
  bar.Show();
  EXPECT_THAT(main.take(), ElementsAre("Form_Deactivate"));
  EXPECT_THAT(bar.log, ElementsAre("bar Form_Load", "bar Form_Activate", "bar Form_GotFocus"));
  EXPECT_EQ(bar.ScaleWidth(), 4485);
  bar.ProgressBar1.Max(10);
  for (int i = 1; i <= 11; ++i)
    if (bar.ProgressBar1.Max() >= i) bar.ProgressBar1.Value(static_cast<float>(i));
  EXPECT_EQ(bar.ProgressBar1.Value(), 10);
  bar.Top(2000);
  EXPECT_EQ(bar.Top(), 2000);
  // Clicking into the main window deactivates the progress window.
  bar.log.clear();
  main.chkLog.SetFocus();
  EXPECT_THAT(bar.log, ElementsAre("bar Form_LostFocus"));
  EXPECT_THAT(main.take(), ElementsAre("Form_Activate", "txtValue_Validate", "txtValue_LostFocus", "chkLog_GotFocus"));
  bar.Show();
  EXPECT_THAT(main.take(), ElementsAre("Form_Deactivate"));
  bar.Unload();
  EXPECT_THAT(main.take(), ElementsAre("Form_Activate"));
  EXPECT_EQ(Screen.ActiveForm(), &main);
  EXPECT_EQ(Screen.ActiveControl(), &main.chkLog);  // the focus is where it was
}

// A splash window that closes on any key.
class Splash : public Form {
 public:
  Splash() : Form("frmSplash") {
    UseLayoutText(
        "Form frmSplash BorderStyle=0\n"
        "Frame fraLogo\n"
        "Image imgLogo(0) in=fraLogo Width=4000 Height=3000 Picture=\"images/logo.png\"\n"
        "Image imgLogo(1) in=fraLogo Width=10 Height=10\n");
  }
  void Form_Load() override {
    for (Image& i : imgLogo) i.Visible(i.Index() == 0);
    imgLogo(0).Move(100, 150);
    fraLogo.Move(50, 0, imgLogo(0).Width() + 200, imgLogo(0).Height() + 200);
    Width(fraLogo.Width() + 150);
    Height(fraLogo.Top() + fraLogo.Height() + 150);
  }
  void Form_KeyPress(int& KeyAscii) override { Unload(); }
  Frame fraLogo{this, "fraLogo"};
  ControlArray<Image> imgLogo{this, "imgLogo"};
};

TEST_F(Patterns, SplashWithoutFocusableControlsGetsTheKeysItself) {
  Splash s;
  s.Show();
  EXPECT_EQ(s.Width(), 4350);
  EXPECT_EQ(s.Height(), 3350);
  EXPECT_FALSE(s.imgLogo(1).Visible());
  EXPECT_EQ(s.imgLogo(0).Picture(), "images/logo.png");
  EXPECT_TRUE(s.UserKey('A'));
  EXPECT_FALSE(s.Loaded());
  EXPECT_EQ(Screen.ActiveForm(), nullptr);
}

TEST_F(Patterns, SpinControlTakesTheFocusFromItsBuddyInsideItsChange) {
  SampleForm f;
  f.Show();
  f.udValue.Change = [&] {
    f.log.push_back("udValue_Change " + std::to_string(f.udValue.Value()));
    if (f.udValue.Enabled() && f.udValue.Visible()) f.udValue.SetFocus();
  };
  f.udValue.GotFocus = [&] { f.log.push_back("udValue_GotFocus"); };
  f.take();
  ASSERT_TRUE(f.udValue.UserUp());
  EXPECT_THAT(f.take(), ElementsAre("txtValue_Change 1", "udValue_Change 1", "txtValue_Validate",
                                    "txtValue_LostFocus", "udValue_GotFocus", "udValue_UpClick"));
  // Arrow keys on the focused spin control step it.
  ASSERT_TRUE(f.UserKey(vbKeyUp));
  EXPECT_EQ(f.txtValue.Text(), "2");
}

TEST_F(Patterns, KeyPreviewSeesKeysFirst) {
  SampleForm f;
  f.Show();
  f.KeyPreview(true);
  f.txtValue.Text("");
  f.take();
  ASSERT_TRUE(f.UserKeyStroke('5', 0, '5'));
  EXPECT_THAT(f.take(), ElementsAre("Form_KeyDown 53", "txtValue_KeyDown 53 []", "Form_KeyPress 53",
                                    "txtValue_KeyPress 53", "txtValue_Change 5", "txtValue_KeyUp 53"));
}

TEST_F(Patterns, WideCharactersAreTypedAndErasedWhole) {
  SampleForm f;
  f.Show();
  f.txtValue.Text("");
  ASSERT_TRUE(f.UserKeyStroke(0, 0, 0x65E5));  // a character from an input method
  ASSERT_TRUE(f.txtValue.UserType("本"));
  EXPECT_EQ(f.txtValue.Text(), "日本");
  ASSERT_TRUE(f.UserKey(vbKeyBack));
  EXPECT_EQ(f.txtValue.Text(), "日");
}

TEST_F(Patterns, OptionButtonsOnAllPagesOfATabControlAreOneGroup) {
  class Paged : public Form {
   public:
    Paged() : Form("frmPaged") {
      UseLayoutText(
          "SSTab tab Tabs=2\n"
          "OptionButton opt(0) in=tab tab=0 Value=True\n"
          "OptionButton opt(1) in=tab tab=1\n"
          "Frame fra in=tab tab=1\n"
          "OptionButton opt(2) in=fra Value=True\n"
          "TextBox txtHidden in=tab tab=1\n"
          "TextBox txtShown in=tab tab=0\n");
    }
    SSTab tab{this, "tab"};
    ControlArray<OptionButton> opt{this, "opt"};
    Frame fra{this, "fra"};
    TextBox txtHidden{this, "txtHidden"};
    TextBox txtShown{this, "txtShown"};
  } p;
  p.Show();
  p.opt(1).Value(true);
  EXPECT_FALSE(p.opt(0).Value());
  EXPECT_TRUE(p.opt(2).Value());  // a frame on the page is a group of its own
  // The Tab key never reaches the controls of a page that is not shown.
  p.txtShown.SetFocus();
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(p.UserKey(vbKeyTab));
    EXPECT_NE(p.ActiveControl(), &p.txtHidden);
  }
  // Code may still give them the focus, as the platform allows.
  p.txtHidden.SetFocus();
  EXPECT_TRUE(p.txtHidden.HasFocus());
}

TEST_F(Patterns, RecentFileMenuItemsComeAndGo) {
  class WithMenu : public Form {
   public:
    WithMenu() : Form("frmMenu") {
      UseLayoutText(
          "Form frmMenu ClientWidth=3000 ClientHeight=2000\n"
          "Menu mnuTitleFile Caption=\"File(&F)\"\n"
          "Menu mnuRecently in=mnuTitleFile Caption=\"Recently Used Files(&R)\"\n"
          "Menu mnuRecentlyFileName(0) in=mnuRecently Caption=\"Recently Used File Name 00\"\n"
          "Menu mnuLine in=mnuRecently Caption=\"-\"\n");
      mnuRecentlyFileName.Click = [this](int Index) { chosen = Index; };
    }
    Menu mnuTitleFile{this, "mnuTitleFile"};
    Menu mnuRecently{this, "mnuRecently"};
    ControlArray<Menu> mnuRecentlyFileName{this, "mnuRecentlyFileName"};
    Menu mnuLine{this, "mnuLine"};
    int chosen = -1;
  } m;
  m.Show();
  EXPECT_EQ(m.ScaleHeight(), 2000);
  EXPECT_EQ(m.Height(), 2000 + m.FrameHeight());
  m.mnuRecentlyFileName.Load(1);
  EXPECT_EQ(m.mnuRecentlyFileName(1).ParentMenu(), &m.mnuRecently);
  EXPECT_FALSE(m.mnuRecentlyFileName(1).UserChoose());  // new members start hidden
  m.mnuRecentlyFileName(1).Visible(true);
  m.mnuRecentlyFileName(1).Caption("/data/a.cfg");
  EXPECT_TRUE(m.mnuRecentlyFileName(1).UserChoose());
  EXPECT_EQ(m.chosen, 1);
  EXPECT_FALSE(m.mnuLine.UserClick());  // a separator cannot be chosen
  m.mnuRecentlyFileName.Unload(1);
  EXPECT_EQ(m.mnuRecently.Items().size(), 2u);
}

TEST_F(Patterns, ControlsTakeTheWindowsFontAndAnyModalCallback) {
  class Big : public Form {
   public:
    Big() : Form("frmBig") {
      UseLayoutText("Form frmBig FontName=\"Noto Sans\" FontSize=12\nLabel lbl AutoSize=True Caption=\"ab\"\n"
                    "Label lblSmall FontSize=6 AutoSize=True Caption=\"ab\"\n");
    }
    Label lbl{this, "lbl"};
    Label lblSmall{this, "lblSmall"};
  } b;
  EXPECT_EQ(b.lbl.Font().Name, "Noto Sans");
  EXPECT_EQ(b.lbl.Width(), 2 * 120);
  EXPECT_EQ(b.lblSmall.Width(), 2 * 60);
  host.OnModal("*", [](Form& f) { f.Hide(); });
  b.Show(vbModal);
  EXPECT_THAT(host.ModalForms(), ElementsAre("frmBig"));
}

TEST_F(Patterns, WordWrappedAutoSizeLabelGrowsDownwards) {
  class Wrap : public Form {
   public:
    Wrap() : Form("frmWrap") { UseLayoutText("Label lblMsg Width=900 AutoSize=True WordWrap=True\n"); }
    Label lblMsg{this, "lblMsg"};
  } w;
  w.lblMsg.Caption("one two three four");  // 90 twips a character: 10 to a line
  EXPECT_EQ(w.lblMsg.Width(), 900);
  EXPECT_EQ(w.lblMsg.Height(), 2 * 180);
  w.lblMsg.Caption("one\r\ntwo three four five");
  EXPECT_EQ(w.lblMsg.Height(), 3 * 180);
}

TEST_F(Patterns, ThumbDragFromAViewAndMoveResize) {
  SampleForm f;
  f.Show();
  f.take();
  ASSERT_TRUE(f.vsValue.UserThumbMove(3));
  ASSERT_TRUE(f.vsValue.UserThumbMove(400));  // clamped to Max
  ASSERT_TRUE(f.vsValue.UserThumbRelease());
  EXPECT_FALSE(f.vsValue.UserThumbRelease());
  EXPECT_THAT(f.take(), ElementsAre("txtValue_Validate", "txtValue_LostFocus", "vsValue_GotFocus", "vsValue_Scroll 3",
                                    "vsValue_Scroll 255", "vsValue_Change 255"));
  ASSERT_TRUE(f.UserMoveResize(10, 20, 7000, 6000));
  EXPECT_EQ(f.Left(), 10);
  EXPECT_EQ(f.ScaleWidth(), 7000 - f.FrameWidth());
}

class Single : public Form {
 public:
  Single() : Form("frmSingle", Form::NoLayout) {}
  void Form_Load() override { ++loads; }
  TextBox txtA{this, "txtA"};
  int loads = 0;
};

TEST_F(Patterns, DefaultInstanceIsCreatedOnFirstUseAndReleasedForTheNextTest) {
  Single& a = DefaultInstance<Single>();
  EXPECT_EQ(&a, &DefaultInstance<Single>());
  a.txtA.Text("kept while loaded");
  EXPECT_EQ(a.loads, 1);
  a.Show();
  a.Unload();
  a.txtA.Text("x");  // loads again
  EXPECT_EQ(a.loads, 2);
  ReleaseDefaultInstances();
  Single& b = DefaultInstance<Single>();
  EXPECT_EQ(b.loads, 0);
  EXPECT_EQ(b.txtA.Text(), "");
  ReleaseDefaultInstances();
}

}  // namespace
}  // namespace sample
