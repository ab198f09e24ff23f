#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <map>
#include <set>
#include <memory>

#include "layout_check.h"
#include "platform/app/res_string.h"
#include "platform/qt/activation.h"
#include "platform/qt/convert.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/spin_buttons.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_geometry.h"
#include "probe_form.h"
#include "qt_support.h"

namespace {

using namespace qttest;

std::string joined(const std::vector<std::string>& v) {
  std::string s;
  for (const auto& e : v) s += e + "\n";
  return s;
}

class FormViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app();
    forms::setHost(&host_);
    form_ = std::make_unique<ProbeForm>();
    form_->Show();
    settle();
    view_ = host_.viewOf(*form_);
    ASSERT_NE(view_, nullptr);
  }
  void TearDown() override {
    if (form_ && form_->Loaded()) form_->Unload();
    settle();
    form_.reset();
    forms::setHost(nullptr);
    vb::ForceResLanguage(std::nullopt);
  }
  template <class W>
  W* widget(const forms::Control& c) {
    W* w = qobject_cast<W*>(view_->widgetOf(&c));
    EXPECT_NE(w, nullptr) << c.DisplayName();
    return w;
  }
  qtview::QtHost host_;
  std::unique_ptr<ProbeForm> form_;
  qtview::FormView* view_ = nullptr;
};

TEST_F(FormViewTest, EveryControlHasAWidgetInTwipsAtFifteenPerPixel) {
  ProbeForm& f = *form_;
  EXPECT_TRUE(view_->window()->isVisible());
  EXPECT_EQ(view_->window()->windowTitle(), "Probe");
  EXPECT_EQ(view_->client()->size(), QSize(440, 280));
  EXPECT_EQ(view_->widgetOf(&f.txtValue)->geometry(), QRect(8, 8, 80, 19));
  EXPECT_EQ(view_->widgetOf(&f.udValue)->geometry(), QRect(88, 8, 16, 19));
  // Children of a frame sit in the frame's coordinates.
  EXPECT_EQ(view_->widgetOf(&f.optMode(1))->parentWidget(), view_->widgetOf(&f.fraMode));
  EXPECT_EQ(view_->widgetOf(&f.optMode(1))->geometry(), QRect(8, 40, 113, 17));
  EXPECT_EQ(widget<QLineEdit>(f.txtValue)->text(), "12");
  EXPECT_TRUE(widget<QRadioButton>(f.optMode(0))->isChecked());
  EXPECT_EQ(widget<QComboBox>(f.cmbPort)->count(), 3);
  EXPECT_EQ(widget<QPushButton>(f.cmdOk)->text(), "OK(&O)");
  ASSERT_NE(view_->menuBar(), nullptr);
  EXPECT_EQ(view_->actionOf(&f.mnuOpen)->text(), "Open(&O)...");
  // Only the current page of the tab control shows its controls.
  EXPECT_FALSE(view_->widgetOf(&f.txtOnPage)->isVisible());
  std::vector<std::string> problems = layoutProblems(*view_);
  EXPECT_TRUE(problems.empty()) << joined(problems);
  screenshot(view_->window(), "probe");
}

TEST_F(FormViewTest, ModelChangesReachTheWidgets) {
  ProbeForm& f = *form_;
  f.txtValue.Text("200");
  f.lblMsg.Caption("Sending data to the camera.");
  f.chkLog.Value(forms::vbChecked);
  f.optMode(1).Value(true);
  f.hsValue.Value(40);
  f.pBar.Value(5);
  f.cmbPort.ListIndex(2);
  f.cmdOk.Enabled(false);
  f.txtOther.Visible(false);
  f.fraMode.Move(120, 3000);
  f.pctGraph.ScaleMode(forms::vbPixels);
  f.pctGraph.Line(0, 0, 50, 50, forms::vbRed);
  f.pctGraph.Circle(60, 40, 20, forms::vbBlue);
  settle();
  EXPECT_EQ(widget<QLineEdit>(f.txtValue)->text(), "200");
  EXPECT_EQ(widget<QLabel>(f.lblMsg)->text(), "Sending data to the camera.");
  // An auto-sized label is as wide as its text in the window's font.
  QLabel* msg = widget<QLabel>(f.lblMsg);
  EXPECT_GE(msg->width(), QFontMetrics(msg->font()).horizontalAdvance(msg->text()));
  EXPECT_TRUE(widget<QCheckBox>(f.chkLog)->isChecked());
  EXPECT_TRUE(widget<QRadioButton>(f.optMode(1))->isChecked());
  EXPECT_FALSE(widget<QRadioButton>(f.optMode(0))->isChecked());
  EXPECT_EQ(widget<QScrollBar>(f.hsValue)->value(), 40);
  QProgressBar* bar = widget<QProgressBar>(f.pBar);
  EXPECT_EQ(bar->value() * 2, bar->maximum());
  EXPECT_EQ(widget<QComboBox>(f.cmbPort)->currentText(), "COM10");
  EXPECT_FALSE(view_->widgetOf(&f.cmdOk)->isEnabled());
  EXPECT_FALSE(view_->widgetOf(&f.txtOther)->isVisible());
  EXPECT_EQ(view_->widgetOf(&f.fraMode)->geometry().topLeft(), QPoint(8, 200));
  auto* pic = static_cast<qtview::PictureWidget*>(view_->widgetOf(&f.pctGraph));
  EXPECT_EQ(pic->drawing().size(), 2u);
  f.tabPages.Tab(1);
  settle();
  EXPECT_TRUE(view_->widgetOf(&f.txtOnPage)->isVisible());
  std::vector<std::string> problems = layoutProblems(*view_);
  EXPECT_TRUE(problems.empty()) << joined(problems);
  screenshot(view_->window(), "probe_after_changes");
}

// The darkest grey of a widget's pixels in a band of it (its text, arrows or check mark).
int darkest(QWidget* w, QRect band = {}) {
  const QImage image = w->grab(band.isNull() ? w->rect() : band).toImage();
  int d = 255;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) d = std::min(d, qGray(image.pixel(x, y)));
  return d;
}

TEST_F(FormViewTest, AControlTheProgramDisablesIsGreyedButNotTheControlsOfADisabledFrame) {
  ProbeForm& f = *form_;
  const std::vector<forms::Control*> controls = {&f.txtValue, &f.udValue, &f.lblMsg, &f.chkLog,
                                                 &f.cmdOk, &f.cmbPort, &f.optMode(1)};
  f.cmbPort.ListIndex(0);
  settle();
  std::map<forms::Control*, int> shade;
  for (forms::Control* c : controls) {
    shade[c] = darkest(view_->widgetOf(c));
    EXPECT_LT(shade[c], 100) << c->DisplayName() << " draws dark text or arrows when enabled";
    c->Enabled(false);
  }
  settle();
  screenshot(view_->window(), "probe_disabled");
  for (forms::Control* c : controls)
    EXPECT_GT(darkest(view_->widgetOf(c)), shade[c] + 50) << c->DisplayName() << " is not greyed";
  for (forms::Control* c : controls) c->Enabled(true);
  settle();
  for (forms::Control* c : controls) EXPECT_EQ(darkest(view_->widgetOf(c)), shade[c]) << c->DisplayName();

  // A disabled frame greys its caption; the option buttons in it keep their look and refuse the user.
  QWidget* frame = view_->widgetOf(&f.fraMode);
  QWidget* option = view_->widgetOf(&f.optMode(1));
  const QRect caption(0, 0, frame->width(), view_->widgetOf(&f.optMode(0))->y() - 1);
  const int captionShade = darkest(frame, caption);
  const QImage look = option->grab().toImage();
  f.fraMode.Enabled(false);
  settle();
  EXPECT_GT(darkest(frame, caption), captionShade + 60);
  EXPECT_EQ(option->grab().toImage(), look);
  QTest::mouseClick(option, Qt::LeftButton);
  EXPECT_FALSE(f.optMode(1).Value());
  f.fraMode.Enabled(true);
  settle();
  EXPECT_EQ(darkest(frame, caption), captionShade);
}

TEST_F(FormViewTest, TypingRaisesKeyDownBeforeTheTextChangesThenChange) {
  ProbeForm& f = *form_;
  QLineEdit* box = widget<QLineEdit>(f.txtValue);
  f.txtValue.SetFocus();
  settle();
  EXPECT_EQ(view_->window()->focusWidget(), box);
  QTest::keyClick(box, Qt::Key_End);
  f.log.clear();
  QTest::keyClicks(box, "5");
  EXPECT_EQ(f.txtValue.Text(), "125");
  EXPECT_EQ(box->text(), "125");
  EXPECT_EQ(box->cursorPosition(), 3);
  const int down = f.at("txtValue_KeyDown 53 [12]"), press = f.at("txtValue_KeyPress 53"),
            change = f.at("txtValue_Change 125"), up = f.at("txtValue_KeyUp 53");
  ASSERT_GE(down, 0) << joined(f.log);
  EXPECT_LT(down, press);
  EXPECT_LT(press, change);
  EXPECT_LT(change, up);
  // Backspace is a key the model applies too.
  QTest::keyClick(box, Qt::Key_Backspace);
  EXPECT_EQ(f.txtValue.Text(), "12");
  EXPECT_EQ(box->text(), "12");
  // Pasting goes through the model as well.
  QApplication::clipboard()->setText("7");
  QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(f.txtValue.Text(), "127");
  // What an input method commits is typed into the model; its composition only shows.
  QInputMethodEvent compose(QString::fromUtf8("かめら"), {});
  QApplication::sendEvent(box, &compose);
  EXPECT_EQ(f.txtValue.Text(), "127");
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("カ"));
  QApplication::sendEvent(box, &commit);
  EXPECT_EQ(f.txtValue.Text(), "127カ");
  EXPECT_EQ(box->text(), QString::fromUtf8("127カ"));
  QTest::keyClick(box, Qt::Key_Backspace);
  EXPECT_EQ(f.txtValue.Text(), "127");
  // Enter presses the form's default button.
  f.log.clear();
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_GE(f.at("cmdOk_Click"), 0) << joined(f.log);
  EXPECT_EQ(f.txtValue.Text(), "127");
}

TEST_F(FormViewTest, ClicksReachTheModelWithThePlatformsEvents) {
  ProbeForm& f = *form_;
  f.log.clear();
  QTest::mouseClick(widget<QRadioButton>(f.optMode(1)), Qt::LeftButton);
  EXPECT_TRUE(f.optMode(1).Value());
  EXPECT_FALSE(f.optMode(0).Value());
  EXPECT_FALSE(widget<QRadioButton>(f.optMode(0))->isChecked());
  EXPECT_GE(f.at("optMode_Click 1"), 0) << joined(f.log);
  EXPECT_EQ(f.at("optMode_Click 0"), -1);

  QTest::mouseClick(widget<QCheckBox>(f.chkLog), Qt::LeftButton);
  EXPECT_EQ(f.chkLog.Value(), forms::vbChecked);
  EXPECT_GE(f.at("chkLog_Click 1"), 0) << joined(f.log);
  QTest::mouseClick(widget<QCheckBox>(f.chkLog), Qt::LeftButton);
  EXPECT_EQ(f.chkLog.Value(), forms::vbUnchecked);
  EXPECT_FALSE(widget<QCheckBox>(f.chkLog)->isChecked());

  QScrollBar* bar = widget<QScrollBar>(f.hsValue);
  clickScrollBar(bar, QStyle::SC_ScrollBarAddLine);
  EXPECT_EQ(f.hsValue.Value(), 1);
  EXPECT_GE(f.at("hsValue_Change 1"), 0) << joined(f.log);
  clickScrollBar(bar, QStyle::SC_ScrollBarAddPage);
  EXPECT_EQ(f.hsValue.Value(), 11);
  EXPECT_EQ(bar->value(), 11);
  clickScrollBar(bar, QStyle::SC_ScrollBarSubLine);
  EXPECT_EQ(f.hsValue.Value(), 10);

  auto* spin = qobject_cast<qtview::SpinButtons*>(view_->widgetOf(&f.udValue));
  ASSERT_NE(spin, nullptr);
  f.udValue.Value(12);
  f.log.clear();
  QTest::mouseClick(spin->upButton(), Qt::LeftButton);
  EXPECT_EQ(f.txtValue.Text(), "13");
  EXPECT_EQ(widget<QLineEdit>(f.txtValue)->text(), "13");
  const int change = f.at("udValue_Change 13"), upClick = f.at("udValue_UpClick");
  ASSERT_GE(change, 0) << joined(f.log);
  EXPECT_LT(f.at("txtValue_Change 13"), change);
  EXPECT_LT(change, upClick);
  QTest::mouseClick(spin->downButton(), Qt::LeftButton);
  QTest::mouseClick(spin->downButton(), Qt::LeftButton);
  EXPECT_EQ(f.udValue.Value(), 11);
  EXPECT_EQ(f.txtValue.Text(), "11");

  f.log.clear();
  QTest::mouseClick(widget<QPushButton>(f.cmdOk), Qt::LeftButton);
  EXPECT_EQ(f.log.back(), "cmdOk_Click");
  // A tab of the tab control selects its page.
  auto* strip = static_cast<qtview::TabStripWidget*>(view_->widgetOf(&f.tabPages));
  QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(1).center());
  EXPECT_EQ(f.tabPages.Tab(), 1);
  EXPECT_GE(f.at("tabPages_Click 0"), 0) << joined(f.log);
  EXPECT_TRUE(view_->widgetOf(&f.txtOnPage)->isVisible());
}

TEST_F(FormViewTest, ThumbDragRaisesScrollAtEachPositionAndChangeOnceOnRelease) {
  ProbeForm& f = *form_;
  QScrollBar* bar = widget<QScrollBar>(f.hsValue);
  QStyleOptionSlider opt;
  opt.initFrom(bar);
  opt.orientation = bar->orientation();
  opt.minimum = bar->minimum();
  opt.maximum = bar->maximum();
  opt.sliderPosition = opt.sliderValue = bar->value();
  opt.pageStep = bar->pageStep();
  const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar);
  const QRect groove = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarGroove, bar);
  ASSERT_FALSE(thumb.isEmpty());
  f.log.clear();
  QPoint at = thumb.center();
  QTest::mousePress(bar, Qt::LeftButton, {}, at);
  at.rx() += groove.width() / 4;
  QTest::mouseMove(bar, at);
  // Scroll while the thumb is still held, with the value it shows; no Change yet.
  const int first = f.hsValue.Value();
  EXPECT_GT(first, 0);
  EXPECT_GE(f.at("hsValue_Scroll " + std::to_string(first)), 0) << joined(f.log);
  EXPECT_EQ(std::count_if(f.log.begin(), f.log.end(), [](const std::string& e) { return e.rfind("hsValue_Change", 0) == 0; }), 0)
      << joined(f.log);
  at.rx() += groove.width() / 4;
  QTest::mouseMove(bar, at);
  const int second = f.hsValue.Value();
  EXPECT_GT(second, first);
  EXPECT_GE(f.at("hsValue_Scroll " + std::to_string(second)), 0) << joined(f.log);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
  EXPECT_EQ(f.log.back(), "hsValue_Change " + std::to_string(second)) << joined(f.log);
  EXPECT_EQ(std::count_if(f.log.begin(), f.log.end(), [](const std::string& e) { return e.rfind("hsValue_Change", 0) == 0; }), 1);
  EXPECT_EQ(bar->value(), second);
  // A drag that the text box's Validate refuses moves nothing and raises nothing.
  f.txtValue.SetFocus();
  f.keepFocus = true;
  settle();
  f.log.clear();
  opt.sliderPosition = opt.sliderValue = bar->value();
  at = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar).center();
  QTest::mousePress(bar, Qt::LeftButton, {}, at);
  QTest::mouseMove(bar, at - QPoint(groove.width() / 4, 0));
  QTest::mouseMove(bar, at - QPoint(groove.width() / 3, 0));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, at - QPoint(groove.width() / 3, 0));
  f.keepFocus = false;
  EXPECT_EQ(f.hsValue.Value(), second);
  EXPECT_EQ(bar->value(), second);
  EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "txtValue_Validate"), 1) << joined(f.log);
  EXPECT_EQ(f.at("hsValue_Scroll " + std::to_string(second)), -1);
}

// A real click raises MouseDown and MouseUp once each, at the pointer (twips), and the kind's
// Click: after MouseUp, but before it for a check box.
TEST_F(FormViewTest, ARealClickRaisesTheMouseEventsOnceAtThePointer) {
  ProbeForm& f = *form_;
  struct Case {
    forms::Control* control;
    QPoint at;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {&f.txtOther, {10, 5}, {"txtOther_MouseDown 1 150,75", "txtOther_GotFocus", "txtOther_MouseUp 1 150,75", "txtOther_Click"}},
      {&f.txtOther, {20, 6}, {"txtOther_MouseDown 1 300,90", "txtOther_MouseUp 1 300,90", "txtOther_Click"}},
      {&f.chkLog, {6, 4}, {"chkLog_MouseDown 1 90,60", "chkLog_Click 1", "chkLog_MouseUp 1 90,60"}},
      {&f.lblMsg, {3, 2}, {"lblMsg_MouseDown 1 45,30", "lblMsg_MouseUp 1 45,30", "lblMsg_Click"}},
      // A picture box's client area lies inside its two-pixel border.
      {&f.pctGraph, {12, 22}, {"pctGraph_MouseDown 1 150,300", "pctGraph_MouseUp 1 150,300", "pctGraph_Click"}},
  };
  for (const Case& c : cases) {
    f.log.clear();
    QTest::mouseClick(view_->widgetOf(c.control), Qt::LeftButton, {}, c.at);
    EXPECT_EQ(f.eventsOf(c.control->Name()), c.events) << c.control->Name() << "\n" << joined(f.log);
  }
  // The right button gives no Click.
  f.log.clear();
  QTest::mouseClick(view_->widgetOf(&f.chkLog), Qt::RightButton, {}, QPoint(6, 4));
  EXPECT_EQ(f.eventsOf("chkLog"), (std::vector<std::string>{"chkLog_MouseDown 2 90,60", "chkLog_MouseUp 2 90,60"}));
  EXPECT_EQ(f.chkLog.Value(), forms::vbChecked);
}

TEST_F(FormViewTest, ShiftWithArrowsHomeAndEndExtendsTheSelection) {
  ProbeForm& f = *form_;
  QLineEdit* box = widget<QLineEdit>(f.txtOther);
  f.txtOther.Text("camera");
  f.txtOther.SetFocus();
  settle();
  auto selection = [&] {
    EXPECT_EQ(box->selectedText().toStdString(), f.txtOther.SelText());
    return std::pair<long, long>(f.txtOther.SelStart(), f.txtOther.SelLength());
  };
  QTest::keyClick(box, Qt::Key_End);
  QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);
  QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(selection(), std::pair(4L, 2L));
  QTest::keyClick(box, Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(selection(), std::pair(0L, 6L));
  QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);  // the caret is at the start
  EXPECT_EQ(selection(), std::pair(1L, 5L));
  QTest::keyClick(box, Qt::Key_Left);
  EXPECT_EQ(selection(), std::pair(1L, 0L));
  QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(selection(), std::pair(1L, 5L));
  QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);  // the caret is at the end
  EXPECT_EQ(selection(), std::pair(1L, 4L));
  QTest::keyClick(box, Qt::Key_Right);
  EXPECT_EQ(selection(), std::pair(5L, 0L));
}

TEST_F(FormViewTest, UpDownStepsFromTheNumberItsBuddyShowsAtLoad) {
  ProbeForm& f = *form_;
  auto* spin = qobject_cast<qtview::SpinButtons*>(view_->widgetOf(&f.udValue));
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(f.udValue.Value(), 12);  // the layout gives the box "12"
  QTest::mouseClick(spin->upButton(), Qt::LeftButton);
  EXPECT_EQ(f.txtValue.Text(), "13");
  EXPECT_EQ(widget<QLineEdit>(f.txtValue)->text(), "13");
}

TEST_F(FormViewTest, SwitchingWindowsActivatesTheFormsOnce) {
  ProbeForm& f = *form_;
  ProbeForm second;
  second.Show();
  settle();
  qtview::FormView* other = host_.viewOf(second);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(forms::Screen.ActiveForm(), &second);
  EXPECT_TRUE(other->window()->isActiveWindow());
  // The model's own activation came back from the window system without further events.
  EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "Form_Deactivate"), 1) << joined(f.log);
  EXPECT_EQ(second.at("Form_Deactivate"), -1) << joined(second.log);
  f.log.clear();
  second.log.clear();
  // The user switches back to the first window.
  view_->window()->activateWindow();
  settle();
  EXPECT_TRUE(view_->window()->isActiveWindow());
  EXPECT_EQ(forms::Screen.ActiveForm(), &f);
  EXPECT_EQ(second.log, std::vector<std::string>{"Form_Deactivate"});
  EXPECT_EQ(f.log, std::vector<std::string>{"Form_Activate"});
  // The program shows and activates windows in quick succession: the window system's late
  // reports of the earlier activations change nothing.
  f.log.clear();
  second.log.clear();
  second.Hide();
  second.Show();
  f.Hide();
  f.Show();
  settle();
  EXPECT_EQ(forms::Screen.ActiveForm(), &f);
  EXPECT_TRUE(view_->window()->isActiveWindow());
  EXPECT_EQ(f.log.back(), "Form_Activate") << joined(f.log);
  EXPECT_EQ(second.log.back(), "Form_Deactivate") << joined(second.log);
  f.log.clear();
  second.log.clear();
  settle();
  EXPECT_TRUE(f.log.empty()) << joined(f.log);
  // A window below a modal one cannot be switched to: the dialog stays active.
  ProbeForm dialog;
  std::vector<std::string> seen;
  whenModal([&](QWidget*) {
    f.log.clear();
    second.log.clear();
    other->window()->activateWindow();
    settle();
    seen = second.log;
    EXPECT_EQ(forms::Screen.ActiveForm(), &dialog);
    dialog.Unload();
  });
  dialog.Show(forms::vbModal);
  EXPECT_TRUE(seen.empty()) << joined(seen);
  EXPECT_EQ(dialog.at("Form_Deactivate"), -1) << joined(dialog.log);
  // The window system ignores the program's request for a window (here: one that takes no
  // activation; a window manager preventing focus stealing does the same). The user's switch
  // that follows is the user's all the same.
  other->window()->activateWindow();
  settle();
  ASSERT_EQ(forms::Screen.ActiveForm(), &second);
  f.log.clear();
  other->window()->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
  other->window()->show();
  settle();
  host_.requestActivation(other->window());
  view_->window()->activateWindow();
  settle();
  EXPECT_EQ(forms::Screen.ActiveForm(), &f);
  EXPECT_EQ(f.log, std::vector<std::string>{"Form_Activate"});
  second.Unload();
  settle();
}

// The activation record against a fake window system: windows A, B, C, A active; the program
// makes a form active and asks for its window (unless it will be active anyway), the window
// system activates windows (answering the program, or on the user's click), and the model
// follows each activation that is the user's. Steps: "ask B", "activate B" (the window system
// reports B active), "wait N" (ms), "hide B".
TEST(ActivationRecord, TellsTheProgramsAnswersFromTheUsersSwitches) {
  const struct {
    const char* name;
    std::vector<std::string> steps;
    std::string asked;  // the windows the program asked the window system for, in order
    std::string users;  // the activations taken as the user's switch, in order
  } cases[] = {
      {"answered at once", {"ask B", "activate B"}, "B", ""},
      {"answered late, after the program moved on", {"ask B", "ask C", "activate B", "activate C"}, "BC", ""},
      {"ignored, then the user goes to A and back to B", {"ask B", "activate A", "activate B"}, "B", "AB"},
      {"ignored, then the user goes to a third window", {"ask B", "activate C"}, "B", "C"},
      {"ignored, the user goes elsewhere, the program asks again", {"ask B", "activate C", "ask B", "activate B"}, "BB", "C"},
      {"not answered in time: asked again", {"ask B", "wait 2000", "ask B", "activate B"}, "BB", ""},
      {"still in time: not asked again", {"ask B", "wait 1999", "ask B", "activate B"}, "B", ""},
      {"its window left the screen", {"ask B", "hide B", "ask A", "activate A"}, "B", ""},
      {"the window that is active already", {"ask A", "activate A"}, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    static const char names[] = "ABC";
    const auto window = [](char n) { return static_cast<qtview::ActivationRecord::Window>(&names[n - 'A']); };
    qint64 now = 0;
    std::set<char> hidden;
    qtview::ActivationRecord record([&] { return now; }, [&](qtview::ActivationRecord::Window w) {
      return !hidden.count(*static_cast<const char*>(w));
    });
    char active = 'A', model = 'A';
    std::string asked, users;
    for (const std::string& step : c.steps) {
      const char w = step.back();
      if (step.rfind("ask ", 0) == 0) {
        model = w;
        if (record.toBeActive(window(active)) != window(w)) {
          record.requested(window(w));
          asked += w;
        }
      } else if (step.rfind("activate ", 0) == 0) {
        active = w;
        if (!record.answers(window(w)) && model != w) {
          users += w;
          model = w;
        }
      } else if (step.rfind("wait ", 0) == 0) {
        now += std::stol(step.substr(5));
      } else {
        hidden.insert(w);
      }
    }
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(users, c.users);
    EXPECT_EQ(model, active) << "the model's active form is not the one on the screen";
  }
}

// The frame a closed window leaves the screen with is the window its own window sits in; a window
// manager's virtual root, which never leaves the screen, is none (a closed box would otherwise
// wait the whole kUncoveredPaintWaitMs for it).
TEST(WindowSystemOnX, TheFrameOfAWindowIsWhatItSitsInButAVirtualRoot) {
  app();
  if (!onX11()) GTEST_SKIP() << "needs an X server";
  for (const bool virtualRoot : {false, true}) {
    QWidget w;
    w.resize(100, 80);
    w.show();
    ASSERT_TRUE(appears(&w, 10000));
    const unsigned long outer = putIntoWindow(&w, virtualRoot);
    ASSERT_NE(outer, 0ul);
    EXPECT_EQ(qtview::windowSystem().managerFrameOf(&w), virtualRoot ? 0ul : outer) << (virtualRoot ? "a virtual root" : "a frame");
  }
}

TEST_F(FormViewTest, AModalShowThatEndsWithoutItsLoopLeavesTheWindowModeless) {
  // Two ways a modal show ends before its loop runs: the form hides itself while activating,
  // and a host nobody answers closes it (the form refuses to unload, so it is hidden).
  const struct {
    const char* how;
    bool unattended;
  } cases[] = {{"hidden while activating", false}, {"closed by an unattended host", true}};
  for (const auto& c : cases) {
    ProbeForm dialog;
    dialog.refuseUnload = true;
    if (!c.unattended) dialog.onActivate = [&dialog] { dialog.Hide(); };
    host_.setUnattended(c.unattended);
    dialog.Show(forms::vbModal);
    host_.setUnattended(false);
    EXPECT_FALSE(dialog.Visible()) << c.how;
    // Shown modeless later, it blocks no other window.
    dialog.onActivate = nullptr;
    dialog.Show();
    settle();
    QWidget* window = host_.viewOf(dialog)->window();
    EXPECT_TRUE(window->isVisible()) << c.how;
    EXPECT_FALSE(window->isModal()) << c.how;
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.how;
    dialog.refuseUnload = false;
    dialog.Unload();
    settle();
  }
}

TEST_F(FormViewTest, EveryControlThatTakesTheFocusShowsTheFocusMark) {
  ProbeForm& f = *form_;
  for (forms::Control* c : std::initializer_list<forms::Control*>{
           &f.txtValue, &f.udValue, &f.optMode(0), &f.chkLog, &f.hsValue, &f.cmbPort, &f.pctGraph, &f.tabPages,
           &f.cmdOk, &f.cmdCancel}) {
    c->SetFocus();
    settle();
    QWidget* w = view_->widgetOf(c);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->hasFocus()) << c->DisplayName();
    const QImage focused = w->grab().toImage();
    f.txtOther.SetFocus();
    settle();
    EXPECT_NE(focused, w->grab().toImage()) << c->DisplayName() << " shows no focus mark";
  }
}

TEST_F(FormViewTest, AccessKeysPageKeysArrowsMenuKeyAndUndoFromRealKeys) {
  ProbeForm& f = *form_;
  auto press = [&](Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != view_->window()) target = view_->window();
    QTest::keyClick(target, key, mods);
    settle();
  };
  f.txtValue.SetFocus();
  settle();
  f.log.clear();
  press(Qt::Key_L, Qt::AltModifier);  // a check box's key toggles it
  EXPECT_EQ(f.chkLog.Value(), 1);
  press(Qt::Key_M, Qt::AltModifier);  // a frame's key: on to the group's selected button
  EXPECT_EQ(f.ActiveControl(), &f.optMode(0));
  press(Qt::Key_Down);  // the arrows move the group's selection, a click each
  press(Qt::Key_Up);
  press(Qt::Key_Right);
  EXPECT_TRUE(f.optMode(1).Value());
  press(Qt::Key_T, Qt::AltModifier);  // a tab caption's key selects its page
  EXPECT_EQ(f.tabPages.Tab(), 1);
  press(Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(f.tabPages.Tab(), 0);
  press(Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(f.tabPages.Tab(), 1);
  press(Qt::Key_PageDown, Qt::ControlModifier);
  press(Qt::Key_O, Qt::AltModifier);  // a button's key clicks it, the focus on it
  EXPECT_EQ(f.ActiveControl(), &f.cmdOk);
  // (Before the first click: the Alt key down and up, then the focus leaving the box.)
  f.log.erase(f.log.begin(), std::find(f.log.begin(), f.log.end(), "chkLog_Click 1"));
  EXPECT_EQ(joined(f.log), joined({"chkLog_Click 1", "optMode_Click 1", "optMode_Click 0", "optMode_Click 1",
                                   "tabPages_Click 0", "tabPages_Click 1", "tabPages_Click 0", "tabPages_Click 1",
                                   "cmdOk_Click"}));

  // F10 opens the menu bar: the arrow keys then go to the menu, never to the focused box.
  f.txtValue.SetFocus();
  settle();
  f.log.clear();
  press(Qt::Key_F10);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(f.log, std::vector<std::string>{"mnuFile_Click"});
  QTest::keyClick(menu, Qt::Key_Down);
  QTest::keyClick(menu, Qt::Key_Escape);
  settle();
  if (QWidget* open = QApplication::activePopupWidget()) open->close();
  settle();
  EXPECT_EQ(f.txtValue.Text(), "12");
  EXPECT_EQ(f.log, std::vector<std::string>{"mnuFile_Click"});
  // So does the Alt key pressed and let go on its own.
  press(Qt::Key_Alt);
  menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  QTest::keyClick(menu, Qt::Key_Down);
  while (QWidget* open = QApplication::activePopupWidget()) open->close();
  settle();
  EXPECT_EQ(f.txtValue.Text(), "12");

  // Ctrl+Z undoes the typing: the text before it comes back as a change.
  f.log.clear();
  press(Qt::Key_End);
  QTest::keyClicks(QApplication::focusWidget(), "34");
  settle();
  EXPECT_EQ(f.txtValue.Text(), "1234");
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(f.txtValue.Text(), "12");
  EXPECT_EQ(widget<QLineEdit>(f.txtValue)->text(), "12");
  EXPECT_EQ(f.log.back(), "txtValue_KeyUp 90");
  EXPECT_EQ(f.log[f.log.size() - 2], "txtValue_Change 12");
}

TEST_F(FormViewTest, ComboPicksAndMenusReachTheModel) {
  ProbeForm& f = *form_;
  QComboBox* combo = widget<QComboBox>(f.cmbPort);
  f.log.clear();
  emit combo->activated(1);  // what the list's choice signals
  EXPECT_EQ(f.cmbPort.ListIndex(), 1);
  EXPECT_GE(f.at("cmbPort_Click COM3"), 0) << joined(f.log);
  view_->actionOf(&f.mnuOpen)->trigger();
  EXPECT_EQ(f.log.back(), "mnuOpen_Click");
  // A disabled item cannot be chosen.
  f.mnuOpen.Enabled(false);
  EXPECT_FALSE(view_->actionOf(&f.mnuOpen)->isEnabled());
}

TEST_F(FormViewTest, ValidateCancelKeepsTheFocusAndSwallowsTheClick) {
  ProbeForm& f = *form_;
  QLineEdit* value = widget<QLineEdit>(f.txtValue);
  QLineEdit* other = widget<QLineEdit>(f.txtOther);
  f.txtValue.SetFocus();
  settle();
  f.keepFocus = true;
  f.log.clear();
  QTest::mouseClick(other, Qt::LeftButton);
  EXPECT_EQ(f.ActiveControl(), &f.txtValue);
  EXPECT_EQ(view_->window()->focusWidget(), value);
  EXPECT_GE(f.at("txtValue_Validate"), 0);
  EXPECT_EQ(f.at("txtOther_GotFocus"), -1) << joined(f.log);
  f.keepFocus = false;
  f.log.clear();
  QTest::mouseClick(other, Qt::LeftButton);
  EXPECT_EQ(f.ActiveControl(), &f.txtOther);
  EXPECT_EQ(view_->window()->focusWidget(), other);
  const int validate = f.at("txtValue_Validate"), lost = f.at("txtValue_LostFocus"), got = f.at("txtOther_GotFocus");
  ASSERT_GE(validate, 0) << joined(f.log);
  EXPECT_LT(validate, lost);
  EXPECT_LT(lost, got);
  // Tab moves the focus as the model's tab order says.
  f.txtValue.SetFocus();
  QTest::keyClick(value, Qt::Key_Tab);
  EXPECT_NE(f.ActiveControl(), &f.txtValue);
  EXPECT_EQ(view_->window()->focusWidget(), view_->widgetOf(f.ActiveControl()));
}

TEST_F(FormViewTest, PictureBoxMouseAndFileDrops) {
  ProbeForm& f = *form_;
  QWidget* pic = view_->widgetOf(&f.pctGraph);
  f.log.clear();
  // A drag: the move and the release at the pointer.
  QTest::mousePress(pic, Qt::LeftButton, {}, QPoint(12, 22));
  QTest::mouseMove(pic, QPoint(22, 32));
  QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(22, 32));
  EXPECT_EQ(f.eventsOf("pctGraph"), (std::vector<std::string>{"pctGraph_MouseDown 1 150,300", "pctGraph_MouseMove 1 300,450",
                                                               "pctGraph_MouseUp 1 300,450", "pctGraph_Click"}));

  f.log.clear();
  auto* mime = new QMimeData;
  mime->setUrls({QUrl::fromLocalFile("/tmp/a.krv"), QUrl::fromLocalFile("/tmp/b.cfg")});
  QWidget* window = view_->window();
  const QPoint at = view_->widgetOf(&f.txtOther)->mapTo(window, QPoint(5, 5));
  QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, {});
  QApplication::sendEvent(window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, mime, Qt::LeftButton, {});
  QApplication::sendEvent(window, &drop);
  delete mime;
  EXPECT_GE(f.at("Form_OLEDragDrop /tmp/a.krv /tmp/b.cfg"), 0) << joined(f.log);
}

TEST_F(FormViewTest, CloseBoxAsksTheModelAndUnloadRemovesTheWindow) {
  ProbeForm& f = *form_;
  QPointer<QWidget> window = view_->window();
  window->close();
  settle();
  EXPECT_GE(f.at("Form_QueryUnload 0"), 0) << joined(f.log);
  EXPECT_FALSE(f.Loaded());
  EXPECT_EQ(host_.viewOf(f), nullptr);
  settle();
  EXPECT_TRUE(window.isNull() || !window->isVisible());
  // Loading again builds a new window from the design state.
  f.Show();
  settle();
  ASSERT_NE(host_.viewOf(f), nullptr);
  EXPECT_EQ(qobject_cast<QLineEdit*>(host_.viewOf(f)->widgetOf(&f.txtValue))->text(), "12");
}

TEST_F(FormViewTest, ArrayMembersLoadedAtRunTimeGetWidgets) {
  ProbeForm& f = *form_;
  f.optMode.Load(2);
  f.optMode(2).Move(120, 600 + 300);
  f.optMode(2).Caption("Auto");
  f.fraMode.Height(1300);
  f.optMode(2).Visible(true);
  settle();
  auto* added = qobject_cast<QRadioButton*>(view_->widgetOf(&f.optMode(2)));
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->text(), "Auto");
  EXPECT_TRUE(added->isVisible());
  QTest::mouseClick(added, Qt::LeftButton);
  EXPECT_TRUE(f.optMode(2).Value());
  EXPECT_FALSE(f.optMode(0).Value());
  f.optMode.Unload(2);
  settle();
  EXPECT_EQ(view_->widgetOf(f.optMode.Find(2)), nullptr);
}

// A window whose tab control holds a label, a text box and a frame with overlapping shapes.
class PagesForm : public forms::Form {
 public:
  PagesForm() : Form("qt_pages") {
    UseLayoutText(R"layout(
Form qt_pages Caption="Pages" ClientWidth=6000 ClientHeight=4200 StartUpPosition=2 BorderStyle=3
Label lblOff Left=120 Top=3900 AutoSize=True Caption="On no page"
SSTab tabPages Left=120 Top=120 Width=5700 Height=3600 Tabs=3 TabsPerRow=3 TabCaption(0)="One" TabCaption(1)="Two" TabCaption(2)="Three"
Label lblOne in=tabPages tab=0 Left=120 Top=500 AutoSize=True Caption="First"
TextBox txtTwo in=tabPages tab=1 Left=120 Top=500 Width=1200 Height=285 Text="1"
Frame fraThree in=tabPages tab=2 Left=120 Top=500 Width=3000 Height=2000 Caption="Bars"
Shape shpBack in=fraThree Left=120 Top=300 Width=2000 Height=300 FillStyle=0 FillColor=&HC08000&
Shape shpFront in=fraThree Left=120 Top=300 Width=1000 Height=300 FillStyle=0 FillColor=&HFFFFFF&
CheckBox chkThree(0) in=fraThree Left=120 Top=800 Width=1500 Height=255 Caption="Check"
)layout");
  }
  forms::Label lblOff{this, "lblOff"}, lblOne{this, "lblOne"};
  forms::SSTab tabPages{this, "tabPages"};
  forms::TextBox txtTwo{this, "txtTwo"};
  forms::Frame fraThree{this, "fraThree"};
  forms::Shape shpBack{this, "shpBack"}, shpFront{this, "shpFront"};
  forms::ControlArray<forms::CheckBox> chkThree{this, "chkThree"};
};

// The controls of a page that has not shown yet have no widget until the page shows or someone
// asks for one; the widget then shows the control as the program left it, stacked as the
// model orders the controls.
TEST(FormViewPages, AHiddenPagesWidgetsAreBuiltWhenThePageShowsOrWhenAskedFor) {
  app();
  qtview::QtHost host;
  forms::setHost(&host);
  {
    PagesForm f;
    f.Show();
    settle();
    qtview::FormView* view = host.viewOf(f);
    ASSERT_NE(view, nullptr);
    auto built = [&](const forms::Control& c) {
      for (qtview::ControlView* v : view->builtViews())
        if (&v->control() == &c) return true;
      return false;
    };
    for (const forms::Control* c : std::initializer_list<const forms::Control*>{&f.lblOff, &f.tabPages, &f.lblOne})
      EXPECT_TRUE(built(*c)) << c->DisplayName();
    for (const forms::Control* c : std::initializer_list<const forms::Control*>{&f.txtTwo, &f.fraThree, &f.shpBack, &f.shpFront, &f.chkThree(0)})
      EXPECT_FALSE(built(*c)) << c->DisplayName();

    // The program changes controls that have no widget, and loads another on a hidden page.
    f.txtTwo.Text("42");
    f.txtTwo.Enabled(false);
    f.shpFront.Width(1500);
    f.chkThree.Load(1);
    f.chkThree(1).Move(120, 1100);
    f.chkThree(1).Caption("Added");
    f.chkThree(1).Visible(true);
    settle();
    EXPECT_FALSE(built(f.chkThree(1)));

    // Asked for, a widget is built inside its container, hidden like the rest of its page.
    auto* check = qobject_cast<QCheckBox*>(view->widgetOf(&f.chkThree(0)));
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(built(f.fraThree));
    EXPECT_EQ(check->parentWidget(), view->widgetOf(&f.fraThree));
    EXPECT_FALSE(check->isVisible());
    EXPECT_FALSE(built(f.shpBack));

    // The user picks the pages with the mouse.
    auto* strip = static_cast<qtview::TabStripWidget*>(view->widgetOf(&f.tabPages));
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(1).center());
    settle();
    ASSERT_EQ(f.tabPages.Tab(), 1);
    ASSERT_TRUE(built(f.txtTwo));
    auto* two = qobject_cast<QLineEdit*>(view->widgetOf(&f.txtTwo));
    ASSERT_NE(two, nullptr);
    EXPECT_TRUE(two->isVisible());
    EXPECT_EQ(two->text(), "42");
    EXPECT_FALSE(two->isEnabled());
    EXPECT_EQ(two->geometry(), qtview::pxRect(120, 500, 1200, 285));
    EXPECT_FALSE(view->widgetOf(&f.lblOne)->isVisible());
    EXPECT_FALSE(built(f.shpBack));

    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(2).center());
    settle();
    ASSERT_EQ(f.tabPages.Tab(), 2);
    QWidget* frame = view->widgetOf(&f.fraThree);
    std::vector<QWidget*> stack;  // the frame's children, back to front
    for (QObject* o : frame->children())
      if (auto* w = qobject_cast<QWidget*>(o)) stack.push_back(w);
    const std::vector<QWidget*> model{view->widgetOf(&f.shpBack), view->widgetOf(&f.shpFront),
                                      view->widgetOf(&f.chkThree(0)), view->widgetOf(&f.chkThree(1))};
    EXPECT_EQ(stack, model);
    for (QWidget* w : model) EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(qobject_cast<QCheckBox*>(model[3])->text(), "Added");
    // The front shape covers the back one where they overlap.
    const QImage look = frame->grab().toImage();
    EXPECT_EQ(look.pixelColor(qtview::px(120 + 750), qtview::px(450)), QColor(Qt::white));
    EXPECT_EQ(look.pixelColor(qtview::px(120 + 1750), qtview::px(450)), QColor(0x00, 0x80, 0xC0));
    screenshot(view->window(), "pages_built_as_shown");
    f.Unload();
    settle();
  }
  forms::setHost(nullptr);
}

TEST_F(FormViewTest, ModalWindowRunsANestedLoopUntilItIsUnloaded) {
  ProbeForm& f = *form_;
  ProbeForm dialog;
  dialog.onOk = [&dialog] { dialog.Unload(); };
  bool sawModal = false;
  whenModal([&](QWidget* w) {
    sawModal = w == host_.viewOf(dialog)->window();
    screenshot(w, "probe_modal");
    QTest::mouseClick(host_.viewOf(dialog)->widgetOf(&dialog.cmdOk), Qt::LeftButton);
  });
  dialog.Show(forms::vbModal);
  EXPECT_TRUE(sawModal);
  EXPECT_FALSE(dialog.Loaded());
  EXPECT_GE(dialog.at("cmdOk_Click"), 0);
  EXPECT_EQ(host_.modalDepth(), 0);
  // The owner is usable again.
  QTest::mouseClick(widget<QCheckBox>(f.chkLog), Qt::LeftButton);
  EXPECT_EQ(f.chkLog.Value(), forms::vbChecked);
}

TEST_F(FormViewTest, MessageBoxFromAHandlerAnswers) {
  ProbeForm& f = *form_;
  int answer = 0;
  f.onOk = [&] { answer = forms::MsgBox("End?", forms::vbYesNo | forms::vbQuestion, "Orvadex"); };
  whenModal([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::Yes)->click();
  });
  QTest::mouseClick(widget<QPushButton>(f.cmdOk), Qt::LeftButton);
  EXPECT_EQ(answer, forms::vbYes);
}

TEST_F(FormViewTest, SizableWindowResizedByTheUserResizesTheForm) {
  ProbeForm& f = *form_;
  f.BorderStyle(2);
  settle();
  QWidget* window = view_->window();
  const int menuH = view_->client()->y();
  window->resize(500, 300 + menuH);
  settle();
  EXPECT_EQ(f.ScaleWidth(), 500 * 15);
  EXPECT_EQ(f.ScaleHeight(), 300 * 15);
  EXPECT_EQ(view_->client()->size(), QSize(500, 300));
}

// Counts the paint events a widget gets.
struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// A window system that maximises or full-screens a window of a fixed size all the same (off X:
// through Qt alone) gets the window back at its size and place, three times in a row; the user's
// move afterwards is the form's, and stays.
TEST_F(FormViewTest, AFixedSizeWindowComesBackFromEveryStateAndKeepsTheUsersMove) {
  ProbeForm& f = *form_;
  QWindow* handle = view_->window()->windowHandle();
  auto* keeper = view_->window()->findChild<qtview::WindowGeometry*>();
  ASSERT_NE(keeper, nullptr);
  const QRect at = handle->geometry();
  // The window system's change is taken up, then undone.
  const auto back = [&](const QRect& where) {
    return QTest::qWaitFor([&] { return keeper->holding(); }, 5000) && QTest::qWaitFor([&] { return !keeper->holding(); }, 5000) &&
           handle->geometry() == where && handle->windowStates() == Qt::WindowNoState;
  };
  for (Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowFullScreen, Qt::WindowMaximized}) {
    handle->setWindowState(state);
    EXPECT_TRUE(back(at)) << state << ": at " << handle->x() << "," << handle->y() << " " << handle->width() << "x" << handle->height();
  }
  const QPoint moved = handle->framePosition() + QPoint(40, 30);
  handle->setFramePosition(moved);
  EXPECT_TRUE(QTest::qWaitFor([&] { return f.Left() == moved.x() * 15 && f.Top() == moved.y() * 15; }, 5000))
      << f.Left() / 15 << "," << f.Top() / 15;
  handle->setWindowState(Qt::WindowFullScreen);
  EXPECT_TRUE(back(at.translated(40, 30)));

  // A manager that draws another frame round this window than it said it would for the kind of
  // window (a thinner one round a window of a fixed size): the window comes back by the frame it
  // drew.
  struct SaysAnotherFrame : qtview::QtOnlyWindowSystem {
    std::optional<QMargins> frameFor(bool) override { return QMargins(5, 24, 5, 5); }
  } manager;
  qtview::useWindowSystem(&manager);
  const auto realManager = qScopeGuard([] { qtview::useWindowSystem(nullptr); });
  form_->Unload();
  form_ = std::make_unique<ProbeForm>();
  form_->Show();
  view_ = host_.viewOf(*form_);
  ASSERT_TRUE(view_ && QTest::qWaitForWindowExposed(view_->window()));
  handle = view_->window()->windowHandle();
  keeper = view_->window()->findChild<qtview::WindowGeometry*>();
  const QRect shown = handle->geometry();
  handle->setWindowState(Qt::WindowFullScreen);
  EXPECT_TRUE(back(shown)) << "at " << handle->x() << "," << handle->y() << ", was " << shown.x() << "," << shown.y();
}

TEST_F(FormViewTest, RefreshPaintsNowAndTheWindowsRefreshPaintsOnlyWhatIsOutOfDate) {
  // A transfer's progress: the bar's value, the bar's Refresh, the window's Refresh, as many
  // times as there are commands, without returning to the event loop.
  QProgressBar* bar = widget<QProgressBar>(form_->pBar);
  QLabel* msg = widget<QLabel>(form_->lblMsg);
  ASSERT_TRUE(bar && msg);
  form_->Refresh();
  PaintCounter barPaints, msgPaints;
  bar->installEventFilter(&barPaints);
  msg->installEventFilter(&msgPaints);
  for (int value = 1; value <= 10; ++value) {
    form_->pBar.Value(static_cast<float>(value));
    form_->pBar.Refresh();
    EXPECT_GE(barPaints.paints, value);
    form_->Refresh();
  }
  // The bar was painted at every step (and when its style animates it), the window around
  // it not again.
  EXPECT_EQ(msgPaints.paints, 0);
  // What changed without a Refresh of its own is painted by the window's.
  form_->lblMsg.Caption("Done");
  form_->Refresh();
  EXPECT_EQ(msg->text(), "Done");
  EXPECT_GE(msgPaints.paints, 1);
  bar->removeEventFilter(&barPaints);
  msg->removeEventFilter(&msgPaints);
  screenshot(view_->window(), "probe_progress_refreshed");
}

TEST_F(FormViewTest, HourglassIsTheOverrideCursor) {
  forms::Screen.MousePointer(forms::vbHourglass);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  forms::Screen.MousePointer(forms::vbDefault);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FormViewTest, JapaneseCatalogueGetsAJapaneseFont) {
  form_->Unload();
  vb::ForceResLanguage(vb::ResLanguage::Japanese);
  form_->Show();
  settle();
  view_ = host_.viewOf(*form_);
  ASSERT_NE(view_, nullptr);
  form_->lblMsg.Caption(vb::LoadResString(303));
  form_->chkLog.Caption(vb::LoadResString(264));
  form_->chkLog.Width(2400);
  settle();
  QLabel* msg = widget<QLabel>(form_->lblMsg);
  EXPECT_TRUE(QFontInfo(msg->font()).family().contains("CJK JP")) << QFontInfo(msg->font()).family().toStdString();
  const QFontMetrics fm(msg->font());
  for (QChar c : msg->text()) EXPECT_TRUE(fm.inFontUcs4(c.unicode()));
  EXPECT_GE(msg->width(), fm.horizontalAdvance(msg->text()));
  screenshot(view_->window(), "probe_japanese");
}

TEST(QtHostDialogs, FileDialogOffersTheFiltersAndReturnsTheChoice) {
  app();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile(dir.filePath("cam.KRV")).open(QIODevice::WriteOnly);
  QFile(dir.filePath("notes.txt")).open(QIODevice::WriteOnly);
  qtview::QtHost host;
  forms::FileDialogRequest r;
  r.Filter = "Parameter files (*.krv)|*.krv|All files (*.*)|*.*";
  r.FilterIndex = 1;
  r.InitDir = dir.path().toStdString();
  r.DialogTitle = "Open";
  QStringList filters, visible;
  whenModal([&](QWidget* w) {
    auto* dlg = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dlg, nullptr);
    filters = dlg->nameFilters();
    screenshot(dlg, "file_dialog_open");
    dlg->selectFile(dir.filePath("cam.KRV"));
    QMetaObject::invokeMethod(dlg, "accept");
  });
  ASSERT_TRUE(host.FileDialog(r));
  EXPECT_EQ(QString::fromStdString(r.FileName), dir.filePath("cam.KRV"));
  EXPECT_EQ(r.FilterIndex, 1);
  ASSERT_EQ(filters.size(), 2);
  EXPECT_TRUE(filters[0].startsWith("Parameter files (*.krv)"));
  // Cancel leaves the request unchanged and says so.
  forms::FileDialogRequest c;
  c.FileName = "keep";
  whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
  EXPECT_FALSE(host.FileDialog(c));
  EXPECT_EQ(c.FileName, "keep");
}

TEST(QtHostDialogs, UnattendedHostNeverWaits) {
  app();
  qtview::QtHost host;
  host.setUnattended(true);
  EXPECT_EQ(host.MsgBox("End?", forms::vbYesNo | forms::vbDefaultButton2, "Orvadex"), forms::vbNo);
  forms::FileDialogRequest r;
  EXPECT_FALSE(host.FileDialog(r));
}

TEST(QtHostText, MeasuresWithTheWindowsFont) {
  app();
  qtview::QtHost host;
  forms::Font font;
  const forms::TextSize one = host.MeasureText("Receiving data from the camera.", font);
  const forms::TextSize two = host.MeasureText("Receiving data\r\nfrom the camera.", font);
  EXPECT_GT(one.Width, two.Width);
  EXPECT_GT(two.Height, one.Height);
  EXPECT_EQ(one.Width % 15, 0);
  EXPECT_EQ(host.MeasureText("", font).Width, 15);
  // A text measured before measures the same in the same font, and differently in another
  // size or style, however many other texts came between.
  forms::Font bold = font, large = font;
  bold.Bold = true;
  large.Size = 14;
  const forms::TextSize boldOne = host.MeasureText("Receiving data from the camera.", bold);
  const forms::TextSize largeOne = host.MeasureText("Receiving data from the camera.", large);
  EXPECT_GT(boldOne.Width, one.Width);
  EXPECT_GT(largeOne.Height, one.Height);
  for (int i = 0; i < 5000; ++i) host.MeasureText("Code " + std::to_string(i), font);
  auto wh = [](forms::TextSize t) { return std::make_pair(t.Width, t.Height); };
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(wh(host.MeasureText("Receiving data from the camera.", font)), wh(one));
    EXPECT_EQ(wh(host.MeasureText("Receiving data\r\nfrom the camera.", font)), wh(two));
    EXPECT_EQ(wh(host.MeasureText("Receiving data from the camera.", bold)), wh(boldOne));
    EXPECT_EQ(wh(host.MeasureText("Receiving data from the camera.", large)), wh(largeOne));
  }
}

}  // namespace
