// What a new user does in the first minutes beside the journeys (see journey_support.h): every
// menu item and window once, each window left with Escape or its close box, parameter files and
// batch texts that are broken, and values out of range typed into each kind of value box. The
// camera (camsim's log) shows what reached it.
#include <QPlainTextEdit>

#include "journey_support.h"
#include "link/batch_window.h"
#include "link/connection_option_window.h"
#include "link/data_list_dialog.h"
#include "ui/about_window.h"
#include "ui/all_data_window.h"
#include "ui/file_data_window.h"
#include "ui/password_window.h"

namespace journey {
namespace {

class FirstMinutesTest : public JourneyTest {
 protected:
  // The user presses a key in the window that came up, once its focus has settled.
  static void press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    (void)QTest::qWaitFor([&] { return QApplication::focusWidget() && QApplication::focusWidget()->window() == window; }, patienceMs(0));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, key, mods);
  }
  // A window of `form` that the user leaves with Escape (or the title bar's close box).
  void leave(const std::string& what, std::function<forms::Form&()> form, bool closeBox = false) {
    dialogs_->window(what, host_, form, [closeBox](QWidget* w) {
      if (closeBox) w->close();
      else press(w, Qt::Key_Escape);
    });
  }
  // The commands camsim received since line `from`, less the reads a reconnect makes.
  std::vector<std::string> sentSince(long from) { return commandsOfLog(log(), from); }
};

TEST_F(FirstMinutesTest, EveryMenuItemOpensItsWindowAndEscapeOrTheCloseBoxLeavesItWithoutAChange) {
  FrmMain& w = startOnLine();
  ASSERT_TRUE(w.Loaded());
  const long start = linesOf(log());
  // The window manager asked to maximise the main window or take it full-screen leaves it as it
  // is; the windows and message boxes that follow open where they belong.
  qttest::expectStaysPutWhenMaximisedOrFullScreen(view(w)->window(), patienceMs(0));

  // No help file beside the program: Help(&H)... is not offered.
  EXPECT_EQ(menuText(w, w.mnuHelp), "");
  // The about window tells the camera's firmware; Escape and the close box leave it.
  dialogs_->window("the about window", host_, []() -> forms::Form& { return frmAbout(); }, [&](QWidget* about) {
    FrmAbout& a = frmAbout();
    EXPECT_EQ(about->windowTitle(), "Orvadex [Version Information]");
    EXPECT_EQ(widget<QLabel>(a, a.lblFirmWare)->text(), "Firmware : Version     2");
    EXPECT_EQ(widget<QLabel>(a, a.lblDisclaimer)->text().left(9), "CDS131F02");
    qttest::expectStaysPutWhenMaximisedOrFullScreen(about, patienceMs(0));
    press(about, Qt::Key_Escape);
  });
  chooseMenu(w, {&w.mnuTitleHelp, &w.mnuVersion});
  leave("the about window again", [] () -> forms::Form& { return frmAbout(); }, true);
  chooseMenu(w, {&w.mnuTitleHelp, &w.mnuVersion});
  EXPECT_FALSE(frmAbout().Loaded());

  // Option: a time-out below its minimum is put back when the box is left; Escape and the
  // close box keep every setting, Enter (OK) stores them.
  const int32_t timeOut = glngTimeOut, retries = glngRcvRetry;
  dialogs_->window("the option window", host_, []() -> forms::Form& { return frmConectionOption(); }, [&](QWidget* opt) {
    FrmConectionOption& o = frmConectionOption();
    QLineEdit* box = widget<QLineEdit>(o, o.txtNum(258));
    typeInto(box, "0");
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(box->text().toStdString(), std::to_string(timeOut));
    typeInto(widget<QLineEdit>(o, o.txtNum(256)), "3");
    press(opt, Qt::Key_Escape);
  });
  chooseMenu(w, {&w.mnuTitleComm, &w.mnuConnectionOption});
  dialogs_->window("the option window closed by its box", host_, []() -> forms::Form& { return frmConectionOption(); }, [&](QWidget* opt) {
    typeInto(widget<QLineEdit>(frmConectionOption(), frmConectionOption().txtNum(256)), "4");
    opt->close();
  });
  chooseMenu(w, {&w.mnuTitleComm, &w.mnuConnectionOption});
  EXPECT_EQ(glngTimeOut, timeOut);
  EXPECT_EQ(glngRcvRetry, retries);
  dialogs_->window("the option window taken with Enter", host_, []() -> forms::Form& { return frmConectionOption(); }, [&](QWidget*) {
    typeInto(widget<QLineEdit>(frmConectionOption(), frmConectionOption().txtNum(256)), "3", true);
  });
  chooseMenu(w, {&w.mnuTitleComm, &w.mnuConnectionOption});
  EXPECT_EQ(glngRcvRetry, 3);
  glngRcvRetry = retries;

  // The port window left with Escape: "Open the same serial port again?" No keeps the link.
  leave("the port window", []() -> forms::Form& { return frmPortChange(); });
  dialogs_->box("Open the same serial port again?", QMessageBox::No);
  chooseMenu(w, {&w.mnuTitleComm, &w.mnuPortChange});
  EXPECT_EQ(status(), "On Line(COM1)");

  // A wrong password: told so, the advanced pages stay hidden; Escape changes nothing.
  dialogs_->window("the password window", host_, []() -> forms::Form& { return frmPwd(); }, [&](QWidget*) {
    typeInto(widget<QLineEdit>(frmPwd(), frmPwd().txtPwd), "quill", true);
  });
  // The box stays over the window through maximise and full-screen requests.
  dialogs_->expect("the message \"The password is not correct.\"", [](QWidget* m) {
    auto* box = qobject_cast<QMessageBox*>(m);
    return box && box->text() == "The password is not correct.";
  }, [](QWidget* m) {
    qttest::expectStaysPutWhenMaximisedOrFullScreen(m, patienceMs(0));
    static_cast<QMessageBox*>(m)->button(QMessageBox::Ok)->click();
  });
  chooseMenu(w, {&w.mnuTitleHelp, &w.mnuAdvancedOperation});
  leave("the password window", []() -> forms::Form& { return frmPwd(); });
  chooseMenu(w, {&w.mnuTitleHelp, &w.mnuAdvancedOperation});
  EXPECT_FALSE(gblnAdvancedMode);
  EXPECT_FALSE(w.SSTab1.TabVisible(10));

  // The EEPROM commands declined, the file-data window and the dialogs closed: cancelled.
  const struct { int item; const char* question; } eeprom[] = {
      {1, "Read EEPROM?"}, {3, "Clear EEPROM?"}, {4, "Write and optimize EEPROM?"}};
  for (const auto& e : eeprom) {
    dialogs_->box(e.question, QMessageBox::No);
    dialogs_->box("This operation was canceled.", QMessageBox::Ok);
    chooseMenu(w, {&w.mnuTitleComm, &w.mnuEEPROM(e.item)});
  }
  leave("the file-data window", []() -> forms::Form& { return frmDispKRVFileData(); }, true);
  dialogs_->box("This operation was canceled.", QMessageBox::Ok);
  chooseMenu(w, {&w.mnuTitleComm, &w.mnuEEPROM(2)});
  showPage(3);
  leave("the data list of the page write", []() -> forms::Form& { return frmDispSelectData(); });
  dialogs_->box("This operation was canceled.", QMessageBox::Ok);
  click(mainWidget(w.cmdWriteEEPROM(3)));
  for (int item : {1, 2}) {
    dialogs_->expect("the file dialog, cancelled", [](QWidget* d) { return qobject_cast<QFileDialog*>(d) != nullptr; },
                     [](QWidget* d) { press(d, Qt::Key_Escape); });
    dialogs_->expect("the message \"This operation was canceled.\"", [](QWidget* m) {
      auto* box = qobject_cast<QMessageBox*>(m);
      return box && box->text() == "This operation was canceled.";
    }, [item](QWidget* m) {
      if (item == 1) qttest::expectStaysPutWhenMaximisedOrFullScreen(m, patienceMs(0));
      static_cast<QMessageBox*>(m)->button(QMessageBox::Ok)->click();
    });
    chooseMenu(w, {&w.mnuTitleFile, &w.mnuFile(item)});
  }
  // View All Data left with Escape: the main window is back.
  leave("the all-data view", []() -> forms::Form& { return frmSimpleStyle(); });
  chooseMenu(w, {&w.mnuTitleView, &w.mnuViewAllData});
  EXPECT_TRUE(view(w)->window()->isVisible());
  ASSERT_TRUE(dialogs_->done()) << dialogs_->pending();

  // Nothing of all this reached the camera as a setting or into its EEPROM.
  for (const std::string& c : sentSince(start)) EXPECT_EQ(c.substr(0, 2), "00") << c;
  EXPECT_TRUE(cameraOfLog(log()).Eeprom().empty());

  // The title bar's close box asks "End?" as End does; No keeps the window.
  dialogs_->box("End?", QMessageBox::No);
  view(w)->window()->close();
  qttest::settle();
  EXPECT_TRUE(w.Loaded());
  dialogs_->box("End?", QMessageBox::Yes);
  view(w)->window()->close();
  qttest::settle();
  EXPECT_FALSE(w.Loaded());
  EXPECT_TRUE(reports_.empty()) << ::testing::PrintToString(reports_);
}

TEST_F(FirstMinutesTest, ABrokenParameterFileIsRefusedWithItsMessageAndChangesNothing) {
  FrmMain& w = startOnLine();
  ASSERT_TRUE(w.Loaded());
  const std::string version = "[Version]\r\nFirmWare=2\r\nFirmWareMax=2\r\nFirmWareMin=2\r\n";
  const struct {
    const char* name;
    std::string text;
    const char* told;    // the start of the one message
    const char* report;  // the procedure the error reporter names, if any
  } files[] = {
      {"cut.KRV", "\"header\",4000,\"x\",1,2,\"y\",10,20\r\n", "This file type is not collect.\nThis operation was canceled.", ""},
      {"other.KRV", "\"header\",1234,\"x\"\r\n", "This file type is not collect.", ""},
      {"empty.CFG", "", "This file type is not collect.\nThis operation was canceled.", ""},
      {"noise.CFG", std::string("\x00\x01\xff\xfe[\r\n", 7), "This file type is not collect.", ""},
      {"blank.CFG", version + "[Y]\r\nPositiveSetup=\r\n", "System error occured.\nNo.13)", "SubMain.gblnKRVFileLoad"},
      {"words.CFG", version + "[Y]\r\nPositiveSetup=abc\r\n", "System error occured.\nNo.13)", "SubMain.gblnKRVFileLoad"},
      {"huge.CFG", version + "[Y]\r\nPositiveSetup=99999\r\n", "System error occured.\nNo.6)", "SubMain.gblnKRVFileLoad"},
      {"flag.CFG", version + "[Y]\r\nPositiveSetup=45\r\n[Factory]\r\nInitialSet=maybe\r\n", "System error occured.\nNo.13)", "SubMain.gblnKRVFileLoad"},
      {"gone.CFG", "", "File not found\nThis operation was canceled.", ""},
      {"older.CFG", "[Version]\r\nFirmWare=7\r\nFirmWareMax=7\r\nFirmWareMin=7\r\n[Y]\r\nPositiveSetup=44\r\n",
       "This KRV file is a different version. Do you use the file?", ""},
  };
  // Each file is named in the factory box of the Other page and read with its button.
  showPage(12);
  const long start = linesOf(log());
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const fs::path path = prog_ / f.name;
    if (f.name != std::string("gone.CFG")) std::ofstream(path, std::ios::binary) << f.text;
    typeInto(mainWidget<QLineEdit>(w.txtFileName), QString::fromStdString(path.string()));
    std::string told;
    dialogs_->expect(std::string("the message about ") + f.name, [](QWidget* m) { return qobject_cast<QMessageBox*>(m) != nullptr; },
                     [&](QWidget* m) {
                       auto* box = static_cast<QMessageBox*>(m);
                       told = box->text().toStdString();
                       (box->button(QMessageBox::No) ? box->button(QMessageBox::No) : box->button(QMessageBox::Ok))->click();
                     });
    click(mainWidget(w.cmdReadAndWrite(0)));
    ASSERT_TRUE(dialogs_->done()) << dialogs_->pending();
    EXPECT_EQ(told.rfind(f.told, 0), 0u) << told;
    EXPECT_EQ(reports_, f.report[0] ? std::vector<std::string>{f.report} : std::vector<std::string>{});
    reports_.clear();
    EXPECT_TRUE(mainWidget(w.txtData(0x30))->isEnabled());
  }
  // Not one value changed or sent, and no file entered the recent list.
  EXPECT_EQ(gbyteCurrentData[0x30], sim::FactoryDefaults()[0x30]);
  EXPECT_TRUE(sentSince(start).empty());
  EXPECT_EQ(menuText(w, w.mnuRecentlyFileName(0)), "");
  dialogs_->box("End?", QMessageBox::Yes);
  chooseMenu(w, {&w.mnuTitleFile, &w.mnuEnd});
}

TEST_F(FirstMinutesTest, ABatchWithBadLinesSendsItsGoodLinesAndStopsAtTheFirstBadNumber) {
  startCamsim();
  writeSettings("[Comm]\r\nPortNo=1\r\n[Mode]\r\nDeveloping=True\r\n");
  SubMain::Main();
  FrmMain& w = frmMain();
  ASSERT_TRUE(w.Loaded());
  const struct {
    const char* lines;    // typed, one line per Enter
    const char* logTail;  // what each line logged after its time stamp, joined by "|"
    const char* told;     // the message that ends the run
    std::vector<std::string> sent;
  } batches[] = {
      {"12\n  ;x\nSLEEP,abc\nsleep, 5\n48,34", ",|,|,Sleep,|,Sleep,5|,30,22,30,22", "Finished.", {"30 22"}},
      {"48,35\nabc,1\n48,36", ",30,23,30,23", "System error occured.\nNo.13)", {"30 23"}},
      {"48,37\n256,0\n48,38", ",30,25,30,25", "System error occured.\nNo.6)", {"30 25"}},
      {"48,-1", "", "System error occured.\nNo.6)", {}},
      {"2024/05/01 10:20:30,30,2A,30,2A", "", "System error occured.\nNo.13)", {}},
  };
  dialogs_->box("Reboot be done after batch process.OK?", QMessageBox::Yes);
  dialogs_->window("the batch window", host_, []() -> forms::Form& { return frmBatch(); }, [&](QWidget* window) {
    FrmBatch& b = frmBatch();
    auto* in = widget<QPlainTextEdit>(b, b.txtData(0));
    for (const auto& batch : batches) {
      SCOPED_TRACE(batch.lines);
      click(widget(b, b.cmdClear(0)));
      click(widget(b, b.cmdClear(1)));
      click(in);
      const QStringList lines = QString(batch.lines).split('\n');
      for (int i = 0; i < lines.size(); ++i) {
        QTest::keyClicks(in, lines[i]);
        if (i + 1 < lines.size()) QTest::keyClick(in, Qt::Key_Return);
      }
      std::string told;
      dialogs_->expect("the end of the run", [](QWidget* m) { return qobject_cast<QMessageBox*>(m) != nullptr; }, [&](QWidget* m) {
        told = static_cast<QMessageBox*>(m)->text().toStdString();
        static_cast<QMessageBox*>(m)->buttons().front()->click();
      });
      const long before = linesOf(log());
      click(widget(b, b.cmdSend));
      EXPECT_EQ(told.rfind(batch.told, 0), 0u) << told;
      // Each processed line logs a time stamp, then what it did; the run stops at the bad one.
      std::string tails;
      for (const QString& line : widget<QPlainTextEdit>(b, b.txtData(1))->toPlainText().split('\n', Qt::SkipEmptyParts))
        tails += (tails.empty() ? "" : "|") + line.mid(19).toStdString();
      EXPECT_EQ(tails, batch.logTail);
      EXPECT_EQ(sentSince(before), batch.sent);
      EXPECT_TRUE(widget(b, b.cmdSend)->isEnabled());
      EXPECT_FALSE(widget(b, b.cmdStop)->isEnabled());
    }
    shot(window, "first_minutes_batch");
    click(widget(b, b.cmdClose));
  });
  chooseMenu(w, {&w.mnuTitleComm, &w.mnuBatch});
  EXPECT_TRUE(dialogs_->done()) << dialogs_->pending();
  // The reconnect after the batch shows the camera's value.
  showPage(1);
  EXPECT_EQ(mainWidget<QLineEdit>(w.txtData(0x30))->text(), "37");
  EXPECT_EQ(reports_.size(), 4u);
  reports_.clear();
  dialogs_->box("End?", QMessageBox::Yes);
  chooseMenu(w, {&w.mnuTitleFile, &w.mnuEnd});
}

TEST_F(FirstMinutesTest, ValuesOutOfRangeTypedIntoEachKindOfBoxAreHeldToTheRangeAndSent) {
  FrmMain& w = startOnLine({"--unsupported", "0xC1,0xC2"});  // the newer AE layout, with its digit boxes
  ASSERT_TRUE(w.Loaded());
  dialogs_->window("the password window", host_, []() -> forms::Form& { return frmPwd(); }, [&](QWidget*) {
    typeInto(widget<QLineEdit>(frmPwd(), frmPwd().txtPwd), "QUILLMARBENSO", true);
  });
  chooseMenu(w, {&w.mnuTitleHelp, &w.mnuAdvancedOperation});
  const struct {
    int page;
    forms::Control* box;
    const char* typed;
    const char* shown;  // after the box is left
    uint8_t code;
    int value;          // in the camera
  } cases[] = {
      {1, &w.txtData(0x31), "300", "255", 0x31, 255},
      {1, &w.txtData(0x31), "99999999999", "255", 0x31, 255},
      {3, &w.txtData(0x5C), "99", "31", 0x5C, 31},
      {2, &w.txtChromaSetup(1), "-600", "-512", 0x39, 2},
      {2, &w.txtChromaSetup(1), "600", "511", 0x38, 255},
      {2, &w.txtChromaSetup(1), "1e3", "511", 0x39, 1},
      {5, &w.txtHL(419), "0", "1", 0xD1, 0x11},
      {5, &w.txtHL(416), "16", "15", 0xD0, 0xF2},
      {5, &w.txtData(0xC8), "300", "31", 0xC8, 31},
      {10, &w.txtData(0x54), "300", "255", 0x55, 255},
      {10, &w.txtWB3100(0), "300", "255", 0x55, 0},
      {0, &w.txtData(0x0A), "300", "255", 0x0A, 255},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box->DisplayName() + " " + c.typed);
    showPage(c.page);
    QLineEdit* box = mainWidget<QLineEdit>(*c.box);
    typeInto(box, c.typed);
    QTest::keyClick(box, Qt::Key_Tab);
    qttest::settle();
    EXPECT_EQ(box->text(), c.shown);
    EXPECT_EQ(cameraOfLog(log()).Value(c.code), c.value);
  }
  shot(view(w)->window(), "first_minutes_out_of_range");
  EXPECT_TRUE(reports_.empty()) << ::testing::PrintToString(reports_);
  dialogs_->box("End?", QMessageBox::Yes);
  chooseMenu(w, {&w.mnuTitleFile, &w.mnuEnd});
}

}  // namespace
}  // namespace journey
