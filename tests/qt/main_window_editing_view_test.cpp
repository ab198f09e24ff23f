// Editing the main window's values through the real Qt widgets (offscreen) against the
// simulated camera in this process: digits typed and text pasted into the value boxes, the
// re-display of the values, the 3100 K boxes in Enter-key mode, and the window closed while
// the status poll runs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/spin_buttons.h"
#include "platform/qt/widgets.h"
#include "qt_support.h"
#include "tests/ui/main_window_online_fixture.h"

namespace {

class MainWindowEditingView : public uitest::OnLineWindowTest {
 protected:
  void SetUp() override {
    OnLineWindowTest::SetUp();
    qttest::app();
    qtHost.setUnattended(true);  // a message box answers with its default button
  }
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    qttest::settle();
    forms::setHost(&host);
    OnLineWindowTest::TearDown();
  }
  // Connects to the camera and shows the window through the Qt view, in developing mode (every
  // page shown).
  void open() {
    developingMode();
    forms::setHost(&qtHost);
    ASSERT_TRUE(connectCamera());
    win().Show();
    view = qtHost.viewOf(win());
    ASSERT_NE(view, nullptr);
    qttest::settle();
  }
  // As open, in Enter-key mode, with Rcont(5100K) at 200 and its 3100 K difference at 50.
  void openInEnterKeyModeWithRedPair() {
    ini = "[Comm]\r\nEnterKeySend=True\r\n";
    config.defaults[84] = 200;
    config.defaults[85] = 50;
    open();
  }
  // The user clicks the tab of `page`.
  void clickTab(int page) {
    auto* tabs = static_cast<qtview::TabStripWidget*>(view->widgetOf(&win().SSTab1));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
    qttest::settle();
  }
  // The user brings the box's page to the front, clicks into the box and selects all of it.
  QLineEdit* selectAll(const forms::TextBox& box) {
    if (win().SSTab1.Tab() != pageOf(box)) clickTab(pageOf(box));
    auto* edit = qobject_cast<QLineEdit*>(view->widgetOf(&box));
    if (!edit) return nullptr;
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    qttest::settle();
    return edit;
  }
  void paste(QLineEdit* edit, const char* text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    qttest::settle();
  }
  // Nothing went wrong on the way: no error reported, no error log.
  void expectNoError() {
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(dir.exists("orvadex.ERR"));
  }

  qtview::QtHost qtHost;
  qtview::FormView* view = nullptr;
};

// Digits typed over a selected box after a leading zero: the key handler writes "05" back as
// "5" before the next key, and that key lands after the 5.
TEST_F(MainWindowEditingView, ALeadingZeroIsDroppedAndTheNextDigitFollowsTheLast) {
  open();
  const uint8_t lowNibble = gbyteCurrentData[208] & 15;
  struct Case {
    forms::TextBox* box;
    const char* typed;
    const char* shown;
    uint8_t code, value;
    std::vector<std::string> sent;  // the values of `code` the camera received
  } cases[] = {
      {&win().txtData(0x31), "053", "53", 0x31, 53, {"0", "5", "5", "53"}},
      {&win().txtChromaSetup(1), "053", "53", 56, 53, {"0", "5", "5", "53"}},
      {&win().txtHL(416), "012", "12", 208, static_cast<uint8_t>(12 * 16 + lowNibble), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box->DisplayName());
    QLineEdit* edit = selectAll(*c.box);
    ASSERT_NE(edit, nullptr);
    clearWire();
    QTest::keyClicks(edit, c.typed);
    qttest::settle();
    EXPECT_EQ(edit->text().toStdString(), c.shown);
    EXPECT_EQ(edit->cursorPosition(), 2);
    EXPECT_EQ(gbyteCurrentData[c.code], c.value);
    EXPECT_EQ(reg(c.code), c.value);
    if (!c.sent.empty()) {
      EXPECT_EQ(sentValues(c.code), c.sent);
    }
    if (c.code == 0x31) qttest::screenshot(view->window(), "main_editing_leading_zero");
  }
  expectNoError();
}

// A pasted number beyond the range of a Double is clamped like any other huge number, also
// when Enter-key mode takes it on Enter.
TEST_F(MainWindowEditingView, APastedNumberBeyondADoubleIsClampedWithoutAnError) {
  open();
  const forms::UpDown& range = win().udData(0x31);
  struct Case {
    forms::TextBox* box;
    const char* pasted;
    std::string shown;
    uint8_t code, value;
  } cases[] = {
      {&win().txtData(0x31), "1e400", std::to_string(range.Max()), 0x31, static_cast<uint8_t>(range.Max())},
      {&win().txtData(0x31), "-1e400", std::to_string(range.Min()), 0x31, static_cast<uint8_t>(range.Min())},
      {&win().txtData(0x31), "1e20", std::to_string(range.Max()), 0x31, static_cast<uint8_t>(range.Max())},
      {&win().txtChromaSetup(1), "1e400", "511", 57, 1},
      {&win().txtChromaSetup(1), "-1e400", "-512", 57, 2},
      {&win().txtWB3100(2), "1e400", "255", 0x59, static_cast<uint8_t>(255 - gbyteCurrentData[0x58])},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box->DisplayName() + " " + c.pasted);
    QLineEdit* edit = selectAll(*c.box);
    ASSERT_NE(edit, nullptr);
    paste(edit, c.pasted);
    EXPECT_EQ(edit->text().toStdString(), c.shown);
    EXPECT_EQ(gbyteCurrentData[c.code], c.value);
    EXPECT_EQ(reg(c.code), c.value);
  }
  // Enter-key mode: typed, pasted over, then Enter.
  gblnEnterKeySend = true;
  QLineEdit* edit = selectAll(win().txtData(0x31));
  QTest::keyClicks(edit, "7");
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  paste(edit, "-1e400");
  clearWire();
  QTest::keyClick(edit, Qt::Key_Return);
  qttest::settle();
  EXPECT_EQ(edit->text().toStdString(), std::to_string(range.Min()));
  EXPECT_EQ(reg(0x31), range.Min());
  EXPECT_FALSE(sentValues(0x31).empty());
  expectNoError();
}

// A pasted text that is no number leaves the value as it was; when the window shows the
// current values again (here after reading the EEPROM) the box shows the value again.
TEST_F(MainWindowEditingView, TheRedisplayRepairsABoxHoldingAPastedText) {
  open();
  QAction* readEeprom = view->window()->findChild<QAction*>("mnuEEPROM(1)");
  ASSERT_NE(readEeprom, nullptr);
  for (forms::TextBox* box : {&win().txtData(0x31), &win().txtWB3100(0)}) {
    SCOPED_TRACE(box->DisplayName());
    QLineEdit* edit = selectAll(*box);
    ASSERT_NE(edit, nullptr);
    const QString before = edit->text();
    paste(edit, "abc");
    EXPECT_EQ(edit->text(), "abc");
    readEeprom->trigger();  // "Read EEPROM?" answered Yes
    qttest::settle();
    EXPECT_EQ(box->Text(), before.toStdString());
    EXPECT_EQ(edit->text(), before);
  }
  expectNoError();
}

// Enter-key mode: a 3100 K box takes what is typed into it, and an up-down click right after
// typing, so that the box, the current values and the camera agree.
TEST_F(MainWindowEditingView, In3100KBoxesEnterKeyModeStoresAndSendsWhatTheBoxShows) {
  openInEnterKeyModeWithRedPair();
  ASSERT_TRUE(gblnEnterKeySend);
  QLineEdit* edit = selectAll(win().txtWB3100(0));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text(), "150");
  QTest::keyClicks(edit, "120");
  QTest::keyClick(edit, Qt::Key_Return);
  qttest::settle();
  EXPECT_EQ(edit->text(), "120");
  EXPECT_EQ(gbyteCurrentData[85], 80);
  EXPECT_EQ(reg(85), 80);
  EXPECT_EQ(reg(84), 200);

  edit = selectAll(win().txtWB3100(0));
  QTest::keyClicks(edit, "100");
  auto* spin = qobject_cast<qtview::SpinButtons*>(view->widgetOf(&win().udWB3100(0)));
  ASSERT_NE(spin, nullptr);
  QTest::mouseClick(spin->upButton(), Qt::LeftButton);
  qttest::settle();
  EXPECT_EQ(edit->text(), "101");
  EXPECT_EQ(gbyteCurrentData[85], 99);
  EXPECT_EQ(reg(85), 99);
  // Leaving the box keeps what it shows.
  selectAll(win().txtData(0x54));
  EXPECT_EQ(edit->text(), "101");
  EXPECT_EQ(win().txtData(85).Text(), "99");
  expectNoError();
}

// Enter-key mode: the user types a number far beyond a Long into a 5100 K box and, before
// pressing Enter, clicks the up-down of its 3100 K box; then also pastes "1e400" and clicks
// again. The click takes the focus to the 3100 K box, which drops the 5100 K text not taken
// (the box shows its value again) without an error; the 3100 K step counts from that value,
// and the camera's pair gives the 3100 K value the box shows.
TEST_F(MainWindowEditingView, A5100KTextNotTakenYetIsDroppedWhenThe3100KUpDownIsClicked) {
  openInEnterKeyModeWithRedPair();
  ASSERT_TRUE(gblnEnterKeySend);
  auto* spin = qobject_cast<qtview::SpinButtons*>(view->widgetOf(&win().udWB3100(0)));
  ASSERT_NE(spin, nullptr);
  QLineEdit* box3100 = qobject_cast<QLineEdit*>(view->widgetOf(&win().txtWB3100(0)));
  ASSERT_NE(box3100, nullptr);
  for (const char* text : {"99999999999", "1e400"}) {
    SCOPED_TRACE(text);
    QLineEdit* box5100 = selectAll(win().txtData(84));
    ASSERT_NE(box5100, nullptr);
    QTest::keyClicks(box5100, "9");
    QTest::keyClick(box5100, Qt::Key_A, Qt::ControlModifier);
    paste(box5100, text);
    ASSERT_EQ(box5100->text().toStdString(), text);
    const long clicked = win().udWB3100(0).Value() + 1;
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
    qttest::settle();
    EXPECT_EQ(QApplication::focusWidget(), box3100);
    EXPECT_EQ(box5100->text(), "200");
    EXPECT_EQ(box3100->text().toStdString(), std::to_string(clicked));
    EXPECT_EQ(win().txtData(85).Text(), std::to_string(200 - clicked));
    EXPECT_EQ(reg(84), 200);
    EXPECT_EQ(reg(85), 200 - clicked);
    if (std::string(text) == "1e400") qttest::screenshot(view->window(), "main_editing_5100k_not_taken");
  }
  expectNoError();
}

// A click on an up-down's arrow gives the focus to its box, so that the keys go where the caret
// is: after the user clicked into Max Gain and then on Fixed Gain's up arrow, Backspace edits
// Fixed Gain, not Max Gain. In Enter-key mode the up-down then takes the focus from its box (a
// click is sent at once), and Backspace edits no box.
TEST_F(MainWindowEditingView, AnUpDownArrowGivesTheFocusToItsBoxSoKeysGoWhereTheCaretIs) {
  config.defaults[64] = 32;
  config.defaults[65] = 255;
  open();
  auto* spin = qobject_cast<qtview::SpinButtons*>(view->widgetOf(&win().udData(64)));
  ASSERT_NE(spin, nullptr);
  auto* fixedGain = qobject_cast<QLineEdit*>(view->widgetOf(&win().txtData(64)));
  QLineEdit* maxGain = selectAll(win().txtData(65));
  ASSERT_NE(maxGain, nullptr);
  ASSERT_EQ(QApplication::focusWidget(), maxGain);
  QTest::mouseClick(spin->upButton(), Qt::LeftButton);
  qttest::settle();
  EXPECT_EQ(reg(64), 33);
  EXPECT_EQ(win().ActiveControl(), &win().txtData(64));
  EXPECT_EQ(QApplication::focusWidget(), fixedGain);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
  QTest::keyClicks(QApplication::focusWidget(), "40");
  qttest::settle();
  EXPECT_EQ(fixedGain->text(), "40");
  EXPECT_EQ(reg(64), 40);
  EXPECT_EQ(maxGain->text(), "255");
  EXPECT_EQ(reg(65), 255);

  gblnEnterKeySend = true;
  selectAll(win().txtData(65));
  QTest::keyClicks(maxGain, "1");  // not taken: no Enter
  clearWire();
  QTest::mouseClick(spin->upButton(), Qt::LeftButton);
  qttest::settle();
  EXPECT_EQ(sentValues(64), std::vector<std::string>{"41"});
  EXPECT_EQ(maxGain->text(), "255");
  EXPECT_EQ(win().ActiveControl(), &win().udData(64));
  EXPECT_EQ(QApplication::focusWidget(), spin);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
  QTest::mouseClick(spin->upButton(), Qt::LeftButton);
  qttest::settle();
  EXPECT_EQ(fixedGain->text(), "42");
  EXPECT_EQ(reg(64), 42);
  EXPECT_EQ(maxGain->text(), "255");
  EXPECT_EQ(reg(65), 255);
  expectNoError();
}

// The iris frame's Divide and Multiply follow from its six weights, also in developing mode:
// their boxes take no focus and have no up-down; a weight typed on the IRIS page sends them
// with the weights' sum over 63 in lowest terms.
TEST_F(MainWindowEditingView, IrisFrameDivideAndMultiplyFollowTheWeightsTyped) {
  for (int c = 200; c <= 205; ++c) config.defaults[c] = 1;
  open();
  ASSERT_TRUE(gblnDeveloping);
  QLineEdit* weight = selectAll(win().txtData(200));
  ASSERT_NE(weight, nullptr);
  QTest::keyClicks(weight, "13");  // 18 / 63 = 2 / 7
  qttest::settle();
  EXPECT_EQ(reg(200), 13);
  EXPECT_EQ(reg(206), 2);
  EXPECT_EQ(reg(207), 7);
  EXPECT_EQ(win().lblIrisFrame(0).Caption(), "13");
  for (int c : {206, 207}) {
    auto* box = qobject_cast<QLineEdit*>(view->widgetOf(&win().txtData(c)));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toInt(), reg(static_cast<uint8_t>(c)));
    EXPECT_FALSE(box->isEnabled()) << c;
    EXPECT_FALSE(view->widgetOf(&win().udData(c))->isVisible()) << c;
    QTest::mouseClick(box, Qt::LeftButton);  // takes no focus
    qttest::settle();
    EXPECT_EQ(QApplication::focusWidget(), weight) << c;
  }
  qttest::screenshot(view->window(), "main_window_iris_weights_developing");
  expectNoError();
}

// End while the status poll runs: the poll (stopped by the click on another tab) ends with the
// window, which is not loaded again; the settings file is written. The poll's line, read
// before, fits on one line of its label.
TEST_F(MainWindowEditingView, EndWhileTheStatusPollRunsClosesTheWindowForGood) {
  open();
  clickTab(13);
  auto* get = qobject_cast<QPushButton*>(view->widgetOf(&win().cmdGetCurrentData));
  ASSERT_NE(get, nullptr);
  // In the poll's first pause the user clicks the tab of page 3, then End(&E) there.
  bool ended = false;
  QTimer act;
  QObject::connect(&act, &QTimer::timeout, [&] {
    if (ended || !win().Loaded() || !vb::CBool(win().cmdGetCurrentData.Tag())) return;
    ended = true;
    auto* line = qobject_cast<QLabel*>(view->widgetOf(&win().lblCurrentData));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text().left(5), "Time ");
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width()) << line->text().toStdString();
    qttest::screenshot(view->window(), "main_status_poll");
    clickTab(3);
    QTest::mouseClick(view->widgetOf(&win().cmdEnd(3)), Qt::LeftButton);
  });
  act.start(0);
  QTest::mouseClick(get, Qt::LeftButton);
  qttest::settle();
  act.stop();
  EXPECT_TRUE(ended);
  EXPECT_FALSE(win().Loaded());
  // Code still running that reads a control of the closed window brings nothing back.
  win().cmdGetCurrentData.Tag();
  EXPECT_FALSE(win().Loaded());
  EXPECT_NE(settingsFile().find("StartUpTabNo=3"), std::string::npos);
  expectNoError();
}

}  // namespace
