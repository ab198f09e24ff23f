// Form life cycle, modality, activation, control arrays and layouts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/platform/forms_sample.h"

namespace sample {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class Lifecycle : public FormsTest {
 protected:
  SampleForm f;
};

// A second window to open from the first.
class Dialog : public Form {
 public:
  Dialog() : Form("dlgTest") {
    UseLayoutText(
        "Form dlgTest Caption=\"Dialog\" ClientWidth=3000 ClientHeight=1000\n"
        "TextBox txtName Left=100 Top=100 Width=2000 Height=285\n"
        "CommandButton cmdOk Left=100 Top=500 Width=1000 Height=375 Caption=\"OK\" Default=True\n");
    cmdOk.Click = [this] { result = txtName.Text(); Unload(); };
  }
  void Form_Load() override { log.push_back("dlg Form_Load"); }
  void Form_Activate() override { log.push_back("dlg Form_Activate"); }
  void Form_Unload(int&) override { log.push_back("dlg Form_Unload"); }
  TextBox txtName{this, "txtName"};
  CommandButton cmdOk{this, "cmdOk"};
  std::string result;
  std::vector<std::string> log;
};

TEST_F(Lifecycle, ShowLoadsActivatesAndFocusesTheFirstControl) {
  EXPECT_FALSE(f.Loaded());
  f.Show();
  EXPECT_THAT(f.take(), ElementsAre("Form_Load", "Form_Activate", "txtValue_GotFocus"));
  EXPECT_EQ(Screen.ActiveForm(), &f);
  EXPECT_EQ(Screen.ActiveControl(), &f.txtValue);
  EXPECT_EQ(f.Caption(), "Sample");
  EXPECT_EQ(f.ScaleWidth(), 6000);
  EXPECT_EQ(f.ScaleHeight(), 4500);
  EXPECT_EQ(f.Left(), (Screen.Width() - f.Width()) / 2);  // centred on the screen
  EXPECT_THAT(host.FormLog(), ElementsAre("load test_sample"));
}

// A window that sizes itself while it loads, placed on a 1366 x 768 screen whose work area
// leaves a 40-pixel panel at the bottom (pixels; 15 twips each).
class Growing : public Form {
 public:
  Growing(int startUp, long left, long top, long width, long height, int borderStyle = 0)
      : Form("frmGrowing"), width_(width), height_(height) {
    UseLayoutText("Form frmGrowing ClientWidth=3000 ClientHeight=1350 BorderStyle=" + std::to_string(borderStyle) +
                  " StartUpPosition=" + std::to_string(startUp) + " Left=" + std::to_string(left * 15) +
                  " Top=" + std::to_string(top * 15) + "\n");
  }
  void Form_Load() override { ClientSize(width_ * 15, height_ * 15); }
  long width_, height_;
};

TEST_F(Lifecycle, AWindowIsPlacedWhenShownWithTheSizeItsLoadGaveItAndInsideTheWorkArea) {
  Screen.SetSize(1366 * 15, 768 * 15);
  Screen.SetWorkArea({0, 0, 1366 * 15, 728 * 15});
  struct Case {
    int startUp;
    long left, top, width, height;  // design place, size after Form_Load
    long wantLeft, wantTop;
  } cases[] = {
      {vbStartUpScreen, 0, 0, 594, 674, 386, 27},     // centred with its loaded size
      {vbStartUpOwner, 0, 0, 200, 90, 583, 319},
      {vbStartUpScreen, 0, 0, 1500, 800, 0, 0},       // larger than the work area: top-left on it
      {vbStartUpManual, 1200, 700, 300, 200, 1066, 528},  // pulled back inside
      {vbStartUpManual, -50, -20, 300, 200, 0, 0},
      {vbStartUpManual, 100, 50, 300, 200, 100, 50},  // left where the design puts it
  };
  for (const Case& c : cases) {
    Growing g(c.startUp, c.left, c.top, c.width, c.height);
    g.Show();
    EXPECT_EQ(g.Left(), c.wantLeft * 15) << c.startUp << " " << c.width;
    EXPECT_EQ(g.Top(), c.wantTop * 15) << c.startUp << " " << c.width;
    g.Move(10 * 15, 10 * 15);
    g.Hide();
    g.Show();  // shown again: stays where it was
    EXPECT_EQ(g.Left(), 10 * 15);
    g.Unload();
  }
  Screen.SetSize(1920 * 15, 1080 * 15);
}

// A framed window lies in the work area with the frame the screen draws: the window manager's
// where the host knows it (twips: left, title, right, bottom), else the forms' own (3 pixels a
// side and a 24-pixel title bar).
TEST_F(Lifecycle, AFramedWindowIsPlacedInsideTheWorkAreaWithTheFrameTheScreenDraws) {
  Screen.SetSize(1366 * 15, 768 * 15);
  Screen.SetWorkArea({0, 0, 1366 * 15, 728 * 15});
  struct Case {
    std::optional<WindowFrame> frame;
    int startUp;
    long left, top, width, height;  // design place, client size after Form_Load
    long wantLeft, wantTop;
  } cases[] = {
      {std::nullopt, vbStartUpScreen, 0, 0, 594, 674, 383, 12},
      {WindowFrame{0, 38 * 15, 0, 0}, vbStartUpScreen, 0, 0, 594, 674, 386, 8},  // a tall title bar
      {WindowFrame{15, 21 * 15, 15, 15}, vbStartUpScreen, 0, 0, 594, 674, 385, 16},
      {WindowFrame{0, 38 * 15, 0, 0}, vbStartUpManual, 1200, 700, 300, 200, 1066, 490},  // pulled back inside
      {WindowFrame{0, 38 * 15, 0, 0}, vbStartUpScreen, 0, 0, 1500, 800, 0, 0},
  };
  for (const Case& c : cases) {
    host.Frame = c.frame;
    Growing g(c.startUp, c.left, c.top, c.width, c.height, 3);
    g.Show();
    EXPECT_EQ(g.Left(), c.wantLeft * 15) << c.startUp << " " << c.width;
    EXPECT_EQ(g.Top(), c.wantTop * 15) << c.startUp << " " << c.width;
    EXPECT_EQ(g.ScaleHeight(), c.height * 15);
    g.Unload();
  }
  host.Frame.reset();
  Screen.SetSize(1920 * 15, 1080 * 15);
}

TEST_F(Lifecycle, TouchingAControlLoadsTheFormAndAReloadStartsFromTheDesign) {
  EXPECT_EQ(f.txtValue.Text(), "0");  // implicit load
  EXPECT_TRUE(f.Loaded());
  EXPECT_FALSE(f.Visible());
  EXPECT_THAT(f.take(), ElementsAre("Form_Load"));
  f.txtValue.Text("99");
  f.txtNum.Load(7);
  EXPECT_TRUE(f.Unload());
  EXPECT_THAT(f.take(), ElementsAre("txtValue_Change 99", "Form_QueryUnload 1", "Form_Unload"));
  EXPECT_TRUE(f.Controls().empty());
  EXPECT_EQ(f.txtValue.Text(), "0");
  EXPECT_FALSE(f.txtNum.Exists(7));
  EXPECT_THAT(host.FormLog(), ElementsAre("load test_sample", "unload test_sample", "load test_sample"));
  // Once the program's end has begun, code still running that touches the unloaded form's
  // controls or properties brings nothing back; an explicit Load goes on with the program.
  EXPECT_TRUE(f.Unload());
  f.take();
  BeginProgramEnd();
  f.txtValue.Text();
  f.cmdOk.Caption("Closed");
  f.Caption();
  EXPECT_FALSE(f.txtNum.Exists(7));
  std::vector<int> members;
  for (forms::TextBox& t : f.txtNum) members.push_back(t.Index());
  EXPECT_THAT(members, ElementsAre());
  EXPECT_FALSE(f.Loaded());
  EXPECT_THAT(f.take(), ElementsAre());
  f.Load();
  EXPECT_TRUE(f.Loaded());
  EXPECT_FALSE(ProgramEnding());
  EXPECT_THAT(f.take(), ElementsAre("Form_Load"));
}

TEST_F(Lifecycle, SetFocusInFormLoadRaises5) {
  long number = 0;
  f.onLoad = [&] {
    try {
      f.txtValue.SetFocus();
    } catch (const vb::Error& e) {
      number = e.Number();
    }
  };
  f.Show();
  EXPECT_EQ(number, 5);
}

TEST_F(Lifecycle, QueryUnloadCancelKeepsTheFormAndTheCloseBoxPassesItsMode) {
  f.Show();
  f.cancelQueryUnload = 1;
  EXPECT_FALSE(f.UserClose());
  EXPECT_TRUE(f.Loaded());
  f.cancelQueryUnload = 0;
  f.take();
  EXPECT_TRUE(f.UserClose());
  EXPECT_THAT(f.take(), ElementsAre("Form_QueryUnload 0", "Form_Unload"));
  EXPECT_EQ(Screen.ActiveForm(), nullptr);
}

TEST_F(Lifecycle, ModalShowReturnsWhenTheUserClosesTheDialog) {
  Dialog d;
  f.Show();
  f.take();
  std::vector<std::string> seenInside;
  host.OnModal("dlgTest", [&](Form& form) {
    EXPECT_EQ(&form, &d);
    EXPECT_FALSE(f.AcceptsInput());  // the window below takes no input meanwhile
    EXPECT_FALSE(f.chkLog.UserClick());
    ASSERT_TRUE(d.txtName.UserType("abc"));
    ASSERT_TRUE(d.UserKey(vbKeyReturn));  // Enter clicks the default button, which unloads
  });
  d.Show(vbModal);
  EXPECT_EQ(d.result, "abc");
  EXPECT_FALSE(d.Loaded());
  EXPECT_THAT(d.log, ElementsAre("dlg Form_Load", "dlg Form_Activate", "dlg Form_Unload"));
  // The window below is active again and gets its Activate.
  EXPECT_THAT(f.take(), ElementsAre("Form_Deactivate", "Form_Activate"));
  EXPECT_EQ(Screen.ActiveForm(), &f);
  EXPECT_THAT(host.ModalForms(), ElementsAre("dlgTest"));
}

TEST_F(Lifecycle, ModalErrorsAndAForgottenDialog) {
  Dialog d;
  d.Show();
  try {
    d.Show(vbModal);
    FAIL();
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.Number(), 400);
  }
  d.Hide();
  // Showing another window modeless while a modal one is up: 401.
  long number = 0;
  host.OnModal("dlgTest", [&](Form&) {
    try {
      f.Show();
    } catch (const vb::Error& e) {
      number = e.Number();
    }
    d.Hide();  // Hide also ends the modal show
  });
  d.Show(vbModal);
  EXPECT_EQ(number, 401);
  EXPECT_TRUE(d.Loaded());
  // A modal window the script does not close is a failure, and the host closes it.
  std::vector<std::string> failures;
  host.OnFailure = [&](const std::string& m) { failures.push_back(m); };
  host.OnModal("dlgTest", [](Form&) {});
  d.Show(vbModal);
  EXPECT_FALSE(d.Loaded());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_THAT(failures[0], HasSubstr("still open"));
}

TEST_F(Lifecycle, SwitchingWindowsMovesActivationBetweenTheForms) {
  class Other : public Form {
   public:
    Other(std::vector<std::string>& log) : Form("frmOther"), log_(log) {
      UseLayoutText(
          "Form frmOther ClientWidth=3000 ClientHeight=1000\n"
          "TextBox txtName Left=100 Top=100 Width=2000 Height=285\n");
      txtName.GotFocus = [this] { log_.push_back("txtName_GotFocus"); };
    }
    void Form_Activate() override { log_.push_back("other Form_Activate"); }
    void Form_Deactivate() override { log_.push_back("other Form_Deactivate"); }
    TextBox txtName{this, "txtName"};
    std::vector<std::string>& log_;
  } o(f.log);
  f.Show();
  o.Show();
  EXPECT_EQ(Screen.ActiveForm(), &o);
  f.take();
  ASSERT_TRUE(f.UserActivate());
  EXPECT_THAT(f.take(), ElementsAre("other Form_Deactivate", "Form_Activate"));
  EXPECT_EQ(Screen.ActiveForm(), &f);
  EXPECT_EQ(Screen.ActiveControl(), &f.txtValue);  // the form's focus stays where it was
  // The active form again: nothing happens.
  ASSERT_TRUE(f.UserActivate());
  EXPECT_TRUE(f.take().empty());
  ASSERT_TRUE(o.UserActivate());
  EXPECT_THAT(f.take(), ElementsAre("Form_Deactivate", "other Form_Activate"));
  // A hidden or disabled window cannot be switched to.
  f.Hide();
  f.take();
  EXPECT_FALSE(f.UserActivate());
  f.Show();
  o.Show();
  f.Enabled(false);
  f.take();
  EXPECT_FALSE(f.UserActivate());
  EXPECT_TRUE(f.take().empty());
  f.Enabled(true);
  // Nor a window below a modal one: activation stays with the dialog.
  Dialog d;
  host.OnModal("dlgTest", [&](Form&) {
    f.take();
    EXPECT_FALSE(f.UserActivate());
    EXPECT_FALSE(o.UserActivate());
    EXPECT_TRUE(f.take().empty());
    EXPECT_EQ(Screen.ActiveForm(), &d);
    d.Unload();
  });
  d.Show(vbModal);
  ASSERT_TRUE(o.UserActivate());
  EXPECT_EQ(Screen.ActiveForm(), &o);
  ASSERT_TRUE(o.Unload());
}

TEST_F(Lifecycle, UnloadInFormLoadGives364ToShow) {
  f.onLoad = [&] { f.Unload(); };
  try {
    f.Show();
    FAIL();
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.Number(), 364);
  }
  EXPECT_FALSE(f.Loaded());
}

TEST_F(Lifecycle, ControlArraysLoadAndUnloadMembersAtRunTime) {
  f.Show();
  EXPECT_EQ(f.txtNum.Count(), 2);
  EXPECT_EQ(f.txtNum.LBound(), 1);
  EXPECT_EQ(f.txtNum.UBound(), 3);
  f.txtNum(3).Width(1234);
  f.txtNum(1).Width(999);
  f.txtNum.Load(2);
  TextBox& t = f.txtNum(2);
  EXPECT_FALSE(t.Visible());           // new members start hidden
  EXPECT_EQ(t.Width(), 999);           // copied from the lowest member
  EXPECT_EQ(t.Text(), "one");
  EXPECT_EQ(f.TabOrder().back(), &t);  // last in the tab order
  t.Visible(true);
  f.take();
  t.Text("two");
  t.SetFocus();
  EXPECT_THAT(f.take(), ElementsAre("txtNum_Change 2", "txtValue_Validate", "txtValue_LostFocus", "txtNum_GotFocus 2"));
  std::vector<int> seen;
  for (TextBox& m : f.txtNum) seen.push_back(m.Index());
  EXPECT_THAT(seen, ElementsAre(1, 2, 3));
  auto err = [](auto&& fn) {
    try {
      fn();
    } catch (const vb::Error& e) {
      return e.Number();
    }
    return 0L;
  };
  EXPECT_EQ(err([&] { f.txtNum.Load(2); }), 360);
  EXPECT_EQ(err([&] { f.txtNum.Unload(1); }), 362);
  EXPECT_EQ(err([&] { f.txtNum(5); }), 340);
  EXPECT_EQ(err([&] { f.txtNum.Unload(5); }), 340);
  try {
    f.txtNum(5);
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.Description(), "Control array element '5' doesn't exist");
  }
  f.txtNum.Unload(2);  // the focused member goes: no control has the focus
  EXPECT_FALSE(f.txtNum.Exists(2));
  EXPECT_EQ(f.ActiveControl(), nullptr);
}

TEST_F(Lifecycle, ObserversSeePropertyChangesAndArrayMembers) {
  f.Show();
  std::vector<std::string> seen;
  int a = f.txtValue.Subscribe([&](Control& c, Prop p) { seen.push_back(c.Name() + (p == Prop::Text ? " text" : " other")); });
  int b = f.Subscribe([&](Control& c, Prop p) {
    if (p == Prop::ControlAdded) seen.push_back("added " + c.DisplayName());
    if (p == Prop::ControlRemoved) seen.push_back("removed " + c.DisplayName());
  });
  f.txtValue.Text("5");
  f.txtNum.Load(9);
  f.txtNum.Unload(9);
  EXPECT_THAT(seen, ElementsAre("txtValue text", "added txtNum(9)", "removed txtNum(9)"));
  f.txtValue.Unsubscribe(a);
  f.Unsubscribe(b);
  f.txtValue.Text("6");
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(Lifecycle, LayoutCreatesUndeclaredControlsAndResolvesContainers) {
  f.Show();
  Control* decor = f.FindControl("Label1");
  ASSERT_NE(decor, nullptr);
  EXPECT_EQ(decor->kind(), Kind::Label);
  EXPECT_EQ(static_cast<Label*>(decor)->Caption(), "decoration");
  EXPECT_EQ(f.optMode(1).Container(), &f.fraMode);
  EXPECT_EQ(f.txtOnPage.Container(), &f.tabPages);
  EXPECT_EQ(f.txtOnPage.ContainerTab(), 1);
  EXPECT_EQ(f.mnuOpen.ParentMenu(), &f.mnuFile);
  EXPECT_THAT(f.MenuBar(), ElementsAre(&f.mnuFile));
  EXPECT_EQ(f.DefaultButton(), &f.cmdOk);
  EXPECT_EQ(f.CancelButton(), &f.cmdCancel);
  EXPECT_EQ(f.udValue.BuddyControl(), &f.txtValue);
  EXPECT_EQ(f.cmbPort.ListCount(), 3);
}

class Broken : public Form {
 public:
  explicit Broken(const std::string& layout) : Form("frmBroken") { UseLayoutText(layout); }
  TextBox txtA{this, "txtA"};
};

TEST_F(Lifecycle, BadLayoutsFailWithTheLineAndLeaveTheFormUnloaded) {
  auto loadError = [](const std::string& layout) {
    Broken b(layout);
    try {
      b.Load();
    } catch (const vb::Error& e) {
      EXPECT_FALSE(b.Loaded());
      return e.Description();
    }
    return std::string("loaded");
  };
  EXPECT_EQ(loadError("TextBox txtA\n"), "loaded");
  EXPECT_THAT(loadError("TextBox txtA\nWidget w\n"), HasSubstr("line 2: unknown kind 'Widget'"));
  EXPECT_THAT(loadError("TextBox txtA Left=abc\n"), HasSubstr("line 1: Left: bad number 'abc'"));
  EXPECT_THAT(loadError("Form frmBroken ClientWidth=" + std::string(150, '9') + "\nTextBox txtA\n"),
              HasSubstr("line 1: ClientWidth: number out of range"));
  EXPECT_THAT(loadError("TextBox txtA Bogus=1\n"), HasSubstr("line 1: TextBox has no property Bogus"));
  EXPECT_THAT(loadError("Label lbl\n"), HasSubstr("txtA of frmBroken is missing"));
  EXPECT_THAT(loadError("Label txtA\n"), HasSubstr("txtA is a TextBox"));
  EXPECT_THAT(loadError("TextBox txtA in=fraNone\n"), HasSubstr("unknown container fraNone"));
  EXPECT_THAT(loadError("TextBox txtA Text=\"open\n"), HasSubstr("unterminated text"));
  EXPECT_THAT(loadError("TextBox txtA\nTextBox txtA\n"), HasSubstr("appears twice"));
  EXPECT_THAT(loadError("Label lbl\nTextBox txtA in=lbl\n"), HasSubstr("cannot hold"));
  EXPECT_EQ(loadError("# comment\r\n\r\nTextBox txtA Text=\"say \"\"hi\"\"\" Tag=x\r\n"), "loaded");
}

}  // namespace
}  // namespace sample
