// Four journeys through the whole program as its user meets it (see journey_support.h): the
// first start, the file road, the camera lost and found again, and the developer's windows.
// Each checks what the camera received (camsim's log) and the files the program left.
#include <QAbstractItemView>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTextBlock>
#include <atomic>
#include <csignal>
#include <optional>
#include <thread>

#include "platform/qt/application.h"
#include "platform/qt/convert.h"
#include "platform/qt/window_system.h"
#include "platform/vb/vb.h"

#include "journey_support.h"
#include "link/batch_window.h"
#include "link/data_list_dialog.h"
#include "link/status_bar_window.h"
#include "platform/serial/port_map.h"
#include "tests/core/core_fixture.h"
#include "ui/about_window.h"
#include "ui/all_data_window.h"
#include "ui/password_window.h"
#include "ui/splash_window.h"

namespace journey {
namespace {

// Looks at the splash and the progress window while the start-up reads the camera (the read
// lets the window system paint between commands) and photographs each once. Halfway through the
// read the user minimises both (`minimisedAtLine`: camsim's log then); at three quarters, where
// the window manager has more than one desktop, the user shows them again and goes to another
// desktop (`elsewhereAtLine`): the rest of the read goes on at the pace it had on the screen.
class StartUpWatch {
 public:
  StartUpWatch(qtview::QtHost& host, fs::path log) : host_(host), log_(std::move(log)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
    timer_.start();
  }
  bool splash = false, progress = false;
  int progressValue = -1;
  long minimisedAtLine = -1, elsewhereAtLine = -1;
  bool leftTheScreen = false;  // the progress window, after the user went to another desktop
  // Under a window manager, halfway through the read: the splash's window type and state, where
  // the progress window is and where the program put it, and whether it covers the splash's
  // copyright line.
  QString splashType, splashState;
  QPoint progressAt, progressPlaced;
  bool copyrightCovered = false;

 private:
  void look() {
    std::vector<QWidget*> startUpWindows;
    QProgressBar* bar = nullptr;
    QWidget* splashWindow = nullptr;
    for (forms::Form* f : forms::LoadedForms()) {
      qtview::FormView* v = host_.viewOf(*f);
      if (!v || !v->window()->isVisible()) continue;
      if (f->Name() == "frmSplash") {
        splashWindow = v->window();
        startUpWindows.push_back(v->window());
        if (!splash) qttest::screenshot(v->window(), "journey1_splash");
        splash = true;
      }
      if (f->Name() == "frmStatusBar") {
        startUpWindows.push_back(v->window());
        bar = v->window()->findChild<QProgressBar*>();
        if (elsewhereAtLine >= 0 && !v->window()->windowHandle()->isExposed()) leftTheScreen = true;
        // Halfway through the read: the splash above, the bar advanced.
        if (!progress && bar && bar->value() > bar->maximum() / 2) {
          progress = true;
          progressValue = bar->value();
          qttest::screenshot(v->window(), "journey1_progress");
          progressAt = v->window()->pos();
          progressPlaced = QPoint(qtview::px(f->Left()), qtview::px(f->Top()));
          if (QWidget* line = splashWindow ? host_.viewOf(frmSplash())->widgetOf(&frmSplash().lblCopyright) : nullptr) {
            const QRect copyright(line->mapToGlobal(QPoint(0, 0)), line->size());
            copyrightCovered = v->window()->frameGeometry().intersects(copyright);
          }
          if (splashWindow && qttest::onX11()) {
            splashType = qttest::windowProperty(splashWindow, "_NET_WM_WINDOW_TYPE");
            splashState = qttest::windowProperty(splashWindow, "_NET_WM_STATE");
          }
        }
      }
    }
    if (progress && minimisedAtLine < 0 && qttest::onX11()) {
      minimisedAtLine = linesOf(log_);
      for (QWidget* w : startUpWindows) w->showMinimized();
      desktops_ = qttest::windowProperty(nullptr, "_NET_NUMBER_OF_DESKTOPS").section('=', 1).toInt();
    } else if (desktops_ > 1 && elsewhereAtLine < 0 && bar && bar->value() > bar->maximum() * 3 / 4) {
      elsewhereAtLine = linesOf(log_);
      for (QWidget* w : startUpWindows) w->showNormal();
      qttest::sendToWindowManager(nullptr, "_NET_CURRENT_DESKTOP", {"1", "0"});
    }
  }
  qtview::QtHost& host_;
  fs::path log_;
  QTimer timer_;
  int desktops_ = 0;
};

// Whether a window of this name is loaded now.
bool loaded(const std::string& name) {
  for (forms::Form* f : forms::LoadedForms())
    if (f->Name() == name) return true;
  return false;
}

// The program ends by itself: its last window goes, which ends its event loop (status 0).
bool endsByItself(qtview::QtHost& host) {
  QEventLoop waiting;
  host.onNoFormLoaded = [&] { waiting.quit(); };
  QTimer::singleShot(patienceMs(0), &waiting, &QEventLoop::quit);
  if (!forms::LoadedForms().empty()) waiting.exec();
  host.onNoFormLoaded = nullptr;
  return forms::LoadedForms().empty();
}

TEST_F(JourneyTest, FirstStartChoosesThePortEditsTheGammaPageStoresItAndEnds) {
  // The camera's own gamma values differ from the program's defaults.
  startCamsim({"--eeprom", "0x5C=20,0x5D=12"});
  addPort(2);

  // No settings file: the port window lists the system's ports; the user picks COM1.
  dialogs_->window("the port window", host_, [] () -> forms::Form& { return frmPortChange(); }, [&](QWidget* w) {
    FrmPortChange& pc = frmPortChange();
    auto* combo = widget<QComboBox>(pc, pc.cmbPortNo);
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "COM1");
    EXPECT_EQ(combo->itemText(1), "COM2");
    shot(w, "journey1_port_window");
    qttest::expectFixedSizeForWindowManager(w);
    chooseFromList(combo, 0);
    EXPECT_EQ(combo->currentText(), "COM1");
    click(widget(pc, pc.btnOK));
  });
  StartUpWatch watch(host_, log());
  const WindowManagerCpu wm;
  const long beforeRead = linesOf(log());
  SubMain::Main();
  expectShownCalmly(wm);
  if (watch.minimisedAtLine >= 0) {
    // The second half of the read, with the windows minimised, at the pace of the first: a
    // window off the screen is never waited for.
    const double shown = medianGapMs(commandTimesOfLog(log(), beforeRead));
    std::vector<double> hidden = commandTimesOfLog(log(), watch.minimisedAtLine);
    const std::vector<double> elsewhere =
        watch.elsewhereAtLine >= 0 ? commandTimesOfLog(log(), watch.elsewhereAtLine) : std::vector<double>{};
    hidden.resize(hidden.size() - std::min(hidden.size(), elsewhere.size()));
    ASSERT_GT(hidden.size(), 20u);
    std::printf("the start-up read: %.1f ms a command on the screen, %.1f ms minimised, %.1f ms on another desktop\n",
                shown, medianGapMs(hidden), elsewhere.empty() ? 0.0 : medianGapMs(elsewhere));
    EXPECT_LT(medianGapMs(hidden), qtview::kFirstExposureWaitMs);
    if (watch.elsewhereAtLine >= 0) {
      EXPECT_TRUE(watch.leftTheScreen);
      ASSERT_GT(elsewhere.size(), 20u);
      EXPECT_LT(medianGapMs(elsewhere), qtview::kFirstExposureWaitMs);
    }
  }

  // The splash during the read, the progress window below it, then the main window on line
  // with the camera's values.
  EXPECT_TRUE(watch.splash);
  EXPECT_TRUE(watch.progress);
  // The progress window where the program put it, below the splash's copyright line; the splash
  // a splash screen to the window manager, without a taskbar entry.
  EXPECT_EQ(watch.progressAt, watch.progressPlaced);
  EXPECT_FALSE(watch.copyrightCovered);
  if (qttest::onX11() && qEnvironmentVariableIsSet("ORVADEX_WM_PID")) {
    EXPECT_TRUE(watch.splashType.contains("_NET_WM_WINDOW_TYPE_SPLASH") ||
                watch.splashState.contains("_NET_WM_STATE_SKIP_TASKBAR"))
        << watch.splashType.toStdString() << " " << watch.splashState.toStdString();
  }
  FrmMain& w = frmMain();
  ASSERT_TRUE(w.Loaded());
  EXPECT_FALSE(frmSplash().Loaded());
  QWidget* window = view(w)->window();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(status(), "On Line(COM1)");
  EXPECT_EQ(statusColour(), QColor(0, 255, 0));
  showPage(3);  // Gamma
  QLineEdit* gammaY = mainWidget<QLineEdit>(w.txtData(0x5C));
  QLineEdit* gammaC = mainWidget<QLineEdit>(w.txtData(0x5D));
  ASSERT_TRUE(gammaY && gammaC);
  EXPECT_EQ(gammaY->text(), "20");
  EXPECT_EQ(gammaC->text(), "12");
  shot(window, "journey1_main_window");
  qttest::expectFixedSizeForWindowManager(window);
  QWidget* curve = mainWidget(w.pctData(0x5C));
  const QImage before = curve->grab().toImage();
  const QString labelBefore = mainWidget<QLabel>(w.lblCurGamma(0x5C))->text();

  // Gamma Y two steps up with its spin buttons: sent at each step, the curve redrawn.
  auto* spin = qobject_cast<qtview::SpinButtons*>(mainWidget(w.udData(0x5C)));
  ASSERT_NE(spin, nullptr);
  click(spin->upButton());
  click(spin->upButton());
  EXPECT_EQ(gammaY->text(), "22");
  EXPECT_NE(curve->grab().toImage(), before);
  EXPECT_NE(mainWidget<QLabel>(w.lblCurGamma(0x5C))->text(), labelBefore);
  // Gamma C typed, then Enter.
  typeInto(gammaC, "9", true);
  EXPECT_EQ(gammaC->text(), "9");
  shot(window, "journey1_gamma_edited");

  // Pedestal Level on the Y page one step with its scroll bar.
  showPage(1);
  QLineEdit* pedestal = mainWidget<QLineEdit>(w.txtData(0x31));
  const int pedestalBefore = pedestal->text().toInt();
  qttest::clickScrollBar(mainWidget<QScrollBar>(w.vsData(0x31)), QStyle::SC_ScrollBarSubLine);
  qttest::settle();
  const int pedestalAfter = pedestal->text().toInt();
  EXPECT_EQ(std::abs(pedestalAfter - pedestalBefore), 1);

  // "Write(&W)" on the gamma page lists the page's codes and stores them in the EEPROM. The
  // desktop session ends while they go out, once the progress window has counted a code (the
  // terminal that started the program is closed: SIGHUP): the write goes on to its end, then
  // the program ends by itself without asking "End?".
  qtview::SessionEndWatch sessionEnd(host_);
  bool hungUpAtWork = false;
  QTimer hangUp;
  showPage(3);
  std::vector<std::string> listed;
  dialogs_->window("the data list", host_, []() -> forms::Form& { return frmDispSelectData(); }, [&](QWidget* list) {
    FrmDispSelectData& d = frmDispSelectData();
    for (forms::Label& row : d.lblKeyAndValue) listed.push_back(vb::Trim(row.Caption()));
    shot(list, "journey1_write_list");
    click(widget(d, d.cmdOk));
  });
  const long beforeWrite = linesOf(log());
  QObject::connect(&hangUp, &QTimer::timeout, [&] {
    if (!loaded("frmStatusBar") || glngStatusValue < 1) return;
    hangUp.stop();
    hungUpAtWork = host_.atWork();
    std::raise(SIGHUP);
  });
  hangUp.start(1);
  click(mainWidget(w.cmdWriteEEPROM(3)));
  EXPECT_TRUE(hungUpAtWork);
  EXPECT_FALSE(hangUp.isActive());
  EXPECT_TRUE(dialogs_->done());
  ASSERT_EQ(listed.size(), 4u);
  EXPECT_NE(listed[0].find("PositiveY"), std::string::npos) << listed[0];
  EXPECT_NE(listed[0].find("22"), std::string::npos) << listed[0];
  EXPECT_TRUE(endsByItself(host_));

  // The camera: the edits in its registers, the gamma page in its EEPROM (written now, to the
  // end of the write: out of the EEPROM mode again).
  const sim::Camera cam = cameraOfLog(log(), {{0x5C, 20}, {0x5D, 12}});
  EXPECT_EQ(cam.Value(0x5C), 22);
  EXPECT_EQ(cam.Value(0x5D), 9);
  EXPECT_EQ(cam.Value(0x31), pedestalAfter);
  EXPECT_EQ(cam.Eeprom().at(0x5C), 22);
  EXPECT_EQ(cam.Eeprom().at(0x5D), 9);
  EXPECT_EQ(cam.Eeprom().count(0x31), 0u);  // another page's edit stays in the register
  const std::vector<std::string> written = commandsOfLog(log(), beforeWrite);
  EXPECT_NE(std::find(written.begin(), written.end(), "5C 16"), written.end());
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(written.back(), "00 00");
  // The backup taken before the EEPROM was written is gone after its success.
  EXPECT_TRUE(!fs::exists(prog_ / "tmp") || fs::is_empty(prog_ / "tmp"));

  // The settings file holds the port and the page, as after End.
  const std::string ini = readFile(prog_ / "orvadex.ini");
  EXPECT_NE(ini.find("PortNo=1"), std::string::npos) << ini;
  EXPECT_NE(ini.find("StartUpTabNo=3"), std::string::npos) << ini;
  EXPECT_TRUE(reports_.empty());
}

TEST_F(JourneyTest, ThePortWindowClosedWithItsListDroppedDownEndsTheStartAsACancel) {
  // The port window is closed (its close box, or the session's end) while its list is dropped
  // down, or just after the list went up: the start ends as when the user cancels, and nothing
  // is reported.
  addPort(1);
  addPort(2);
  for (const bool listDown : {true, false}) {
    SCOPED_TRACE(listDown ? "list down" : "list just gone up");
    dialogs_->window("the port window", host_, [] () -> forms::Form& { return frmPortChange(); }, [&](QWidget* w) {
      FrmPortChange& pc = frmPortChange();
      auto* combo = widget<QComboBox>(pc, pc.cmbPortNo);
      ASSERT_NE(combo, nullptr);
      QTest::mousePress(combo, Qt::LeftButton);
      ASSERT_TRUE(combo->view()->isVisible());
      if (!listDown) QTest::keyClick(combo->view(), Qt::Key_Escape);
      w->close();
    });
    SubMain::Main();
    qttest::settle();
    EXPECT_TRUE(dialogs_->done());
    EXPECT_EQ(glngPortNo, 0);
    EXPECT_FALSE(frmMain().Loaded());
    EXPECT_TRUE(reports_.empty()) << reports_.front();
    EXPECT_FALSE(fs::exists(prog_ / "orvadex.ERR"));
  }
}

TEST_F(JourneyTest, SavesACfgFileOpensItBackIntoTheEepromAndAgainFromTheRecentFiles) {
  // A returning user: the settings file names the port. The camera's EEPROM holds three values
  // of its own, on three pages.
  const std::map<uint8_t, uint8_t> stored = {{0x30, 40}, {0x5C, 20}, {0x71, 9}};
  FrmMain& w = startOnLine({"--eeprom", "0x30=40,0x5C=20,0x71=9"});
  ASSERT_TRUE(w.Loaded());
  QWidget* window = view(w)->window();

  // File > Save: the user types a name; the program gives it the CFG extension.
  const std::string saved = (prog_ / "mine.CFG").string();
  dialogs_->file((prog_ / "mine").string());
  chooseMenu(w, {&w.mnuTitleFile, &w.mnuFile(2)});
  ASSERT_TRUE(fs::exists(saved));
  const std::string file = readFile(saved);
  EXPECT_NE(file.find("FileKind=CFG"), std::string::npos);
  EXPECT_NE(file.find("Setup=40"), std::string::npos) << file;

  // Three values changed on three pages; each reaches the camera's register.
  const struct { int page; uint8_t code; const char* typed; } edits[] = {{1, 0x30, "61"}, {3, 0x5C, "7"}, {4, 0x71, "3"}};
  for (const auto& e : edits) {
    showPage(e.page);
    typeInto(mainWidget<QLineEdit>(w.txtData(e.code)), e.typed);
  }
  EXPECT_EQ(cameraOfLog(log(), stored).Value(0x30), 61);
  EXPECT_EQ(cameraOfLog(log(), stored).Value(0x71), 3);

  // File > Open of the saved file: the data list shows the three codes, "Write EEPROM?" Yes.
  std::vector<std::string> listed;
  dialogs_->file(saved);
  dialogs_->window("the data list", host_, []() -> forms::Form& { return frmDispSelectData(); }, [&](QWidget* list) {
    FrmDispSelectData& d = frmDispSelectData();
    for (forms::Label& row : d.lblKeyAndValue) listed.push_back(vb::Trim(row.Caption()));
    shot(list, "journey2_open_list");
    click(widget(d, d.cmdOk));
  });
  dialogs_->box("Write EEPROM?", QMessageBox::Yes);
  const long beforeOpen = linesOf(log());
  chooseMenu(w, {&w.mnuTitleFile, &w.mnuFile(1)});
  ASSERT_TRUE(dialogs_->done());
  // Key = the file's value (the current value), by section: Aperture, Gamma, Y.
  EXPECT_EQ(listed, (std::vector<std::string>{"EnhancerNormalH=9(3)", "PositiveY=20(7)", "PositiveSetup=40(61)"}));

  // The camera holds the file's values in its registers and in its EEPROM, written by this open.
  const sim::Camera cam = cameraOfLog(log(), stored);
  for (const auto& [code, value] : stored) {
    EXPECT_EQ(cam.Value(code), value) << int(code);
    EXPECT_EQ(cam.Eeprom().at(code), value) << int(code);
  }
  const std::vector<std::string> sent = commandsOfLog(log(), beforeOpen);
  const auto eepromMode = std::find(sent.begin(), sent.end(), "00 F3");
  ASSERT_NE(eepromMode, sent.end());
  for (const char* pair : {"30 28", "5C 14", "71 09"})
    EXPECT_NE(std::find(eepromMode, sent.end(), pair), sent.end()) << pair;
  EXPECT_EQ(mainWidget<QLineEdit>(w.txtData(0x71))->text(), "9");
  shot(window, "journey2_opened");

  // The recent-file menu lists the file; chosen after another edit, it is opened again and
  // its value sent without storing it ("Write EEPROM?" No).
  EXPECT_EQ(menuText(w, w.mnuRecentlyFileName(0)), saved);
  showPage(1);
  typeInto(mainWidget<QLineEdit>(w.txtData(0x30)), "50");
  listed.clear();
  dialogs_->window("the data list", host_, []() -> forms::Form& { return frmDispSelectData(); }, [&](QWidget*) {
    FrmDispSelectData& d = frmDispSelectData();
    for (forms::Label& row : d.lblKeyAndValue) listed.push_back(vb::Trim(row.Caption()));
    click(widget(d, d.cmdOk));
  });
  dialogs_->box("Write EEPROM?", QMessageBox::No);
  const long beforeRecent = linesOf(log());
  chooseMenu(w, {&w.mnuTitleFile, &w.mnuRecently, &w.mnuRecentlyFileName(0)});
  ASSERT_TRUE(dialogs_->done());
  EXPECT_EQ(listed, (std::vector<std::string>{"PositiveSetup=40(50)"}));
  const std::vector<std::string> resent = commandsOfLog(log(), beforeRecent);
  EXPECT_NE(std::find(resent.begin(), resent.end(), "30 28"), resent.end());
  EXPECT_EQ(std::find(resent.begin(), resent.end(), "00 F3"), resent.end());
  EXPECT_EQ(mainWidget<QLineEdit>(w.txtData(0x30))->text(), "40");
  EXPECT_EQ(cameraOfLog(log(), stored).Value(0x30), 40);

  dialogs_->box("End?", QMessageBox::Yes);
  chooseMenu(w, {&w.mnuTitleFile, &w.mnuEnd});
  EXPECT_FALSE(w.Loaded());
  EXPECT_NE(readFile(prog_ / "orvadex.ini").find("mine.CFG"), std::string::npos);
  EXPECT_TRUE(reports_.empty());
}

TEST_F(JourneyTest, TheCameraGoesAwayTheWindowGoesOffLineAndRebootFindsItAgain) {
  FrmMain& w = startOnLine();
  ASSERT_TRUE(w.Loaded());
  QWidget* window = view(w)->window();
  showPage(1);
  QLineEdit* setup = mainWidget<QLineEdit>(w.txtData(0x30));

  // The camera goes away (its cable pulled): camsim ends, and its pty with it. The next edit
  // fails; whatever the program says about it is acknowledged, and the window is off line,
  // in red, with the edit kept.
  stopCamsim();
  std::vector<std::string> told;
  dialogs_->expect("what the program says about the lost camera", [](QWidget*) { return true; }, [&](QWidget* m) {
    auto* box = qobject_cast<QMessageBox*>(m);
    ASSERT_NE(box, nullptr);
    told.push_back(box->text().toStdString());
    // The status line says the camera is gone before the user has read why.
    EXPECT_EQ(status(), "Off Line(COM1)");
    EXPECT_EQ(statusColour(), QColor(255, 0, 0));
    shot(m, "journey3_camera_lost_message");
    (box->button(QMessageBox::No) ? box->button(QMessageBox::No) : box->button(QMessageBox::Ok))->click();
  });
  typeInto(setup, "45");
  EXPECT_TRUE(dialogs_->done());
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(setup->text(), "45");
  EXPECT_EQ(gbyteCurrentData[0x30], 45);
  shot(window, "journey3_off_line");
  EXPECT_FALSE(gblnOnLine);
  EXPECT_EQ(status(), "Off Line(COM1)");
  EXPECT_EQ(statusColour(), QColor(255, 0, 0));
  EXPECT_EQ(mainWidget<QLabel>(w.lblFirmWareVersion)->text(), "FirmWare Ver.0");
  dialogs_ = std::make_unique<Dialogs>();  // what came after the first message is not part of the journey
  reports_.clear();

  // "Reboot(&R)" while the camera is still away: COM1's link went with it, so COM1 is a port
  // the program cannot find. The port window lists no port, and no serial device of the machine
  // was opened in COM1's place; the user cancels and is told.
  dialogs_->window("the port window", host_, []() -> forms::Form& { return frmPortChange(); }, [&](QWidget*) {
    FrmPortChange& pc = frmPortChange();
    EXPECT_EQ(widget<QComboBox>(pc, pc.cmbPortNo)->count(), 0);
    const std::vector<std::string> machine = serial::PresentSerialDevices(serial::PortMapRoots{});
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
      std::error_code ec;
      const std::string target = fs::read_symlink(fd.path(), ec).string();
      EXPECT_EQ(std::find(machine.begin(), machine.end(), target), machine.end()) << target;
    }
    click(widget(pc, pc.btnCancel));
  });
  dialogs_->box("This serial port number is not correct.", QMessageBox::Ok);
  dialogs_->box("System error occured.", QMessageBox::Ok);
  click(mainWidget(w.cmdReboot(1)));
  EXPECT_TRUE(dialogs_->done());
  EXPECT_EQ(status(), "Off Line(COM1)");
  EXPECT_EQ(reports_, (std::vector<std::string>{"mdlMSComm.gblnMSComm_Init"}));
  reports_.clear();

  // The camera is back (with a value of its own); "Reboot(&R)" off line asks nothing,
  // connects and reads every value again: on line, in green.
  startCamsim({"--eeprom", "0x30=77", "--response-ms", "20"});
  const long before = linesOf(log());
  click(mainWidget(w.cmdReboot(1)));
  EXPECT_EQ(status(), "On Line(COM1)");
  EXPECT_EQ(statusColour(), QColor(0, 255, 0));
  EXPECT_EQ(setup->text(), "77");
  EXPECT_EQ(mainWidget<QLabel>(w.lblFirmWareVersion)->text(), "FirmWare Ver.2");
  const std::vector<std::string> read = commandsOfLog(log(), before);
  EXPECT_NE(std::find(read.begin(), read.end(), "00 0C"), read.end());
  EXPECT_NE(std::find(read.begin(), read.end(), "30 00"), read.end());
  shot(window, "journey3_on_line_again");

  // The camera starts again at another baud rate and says nothing at the old one. "Reboot(&R)"
  // on line asks first; Yes: while the connect waits out the silence, the question is gone from
  // the screen (the main window painted again where it was), even when the window manager takes
  // the question's frame away only some time after the click (it is held still from the click
  // until the connect is heard, or for 0.3 s); the camera is found at its new rate.
  startCamsim({"--eeprom", "0x30=77", "--response-ms", "20"}, journeyBaud() == 9600 ? 1200 : 9600);
  QRect boxFrame;
  QImage boxOnScreen, duringConnect;
  std::atomic<unsigned long> managerFrame{0};
  std::atomic<long> answeredAtLine{-1};
  std::atomic<bool> connected{false}, managerHeld{false};
  const int managerPid = qEnvironmentVariableIntValue("ORVADEX_WM_PID");
  const auto release = [&] {
    if (managerHeld.exchange(false)) ::kill(managerPid, SIGCONT);
  };
  dialogs_->expect("the message \"Reboot?\"", [](QWidget* m) {
    auto* b = qobject_cast<QMessageBox*>(m);
    return b && b->text() == "Reboot?";
  }, [&](QWidget* m) {
    // The question as it painted itself, once it shows on the screen (nearly every pixel: the
    // grab and the screen may differ in a few, e.g. the default button's glow).
    boxFrame = qttest::screenRect(m);
    const QImage painted = m->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto shows = [&] {
      const QImage now = qttest::screenArea(boxFrame);
      if (now.size() != painted.size()) return false;
      long same = 0;
      for (int y = 0; y < now.height(); ++y)
        for (int x = 0; x < now.width(); ++x) same += ((now.pixel(x, y) ^ painted.pixel(x, y)) & 0xffffff) == 0;
      return same * 20 >= 19L * now.width() * now.height();
    };
    if (qttest::onX11()) {
      EXPECT_TRUE(QTest::qWaitFor(shows, 10000)) << "the question never showed";
    }
    boxOnScreen = qttest::screenArea(boxFrame);
    managerFrame = qtview::windowSystem().managerFrameOf(m);
    if (managerPid > 0 && managerFrame) managerHeld = ::kill(managerPid, SIGSTOP) == 0;
    answeredAtLine = linesOf(log());
    static_cast<QMessageBox*>(m)->button(QMessageBox::Yes)->click();
  });
  // The user looks at the screen once the camera has heard the connect at the old rate and the
  // window manager has taken the question's frame away.
  std::thread user([&] {
    std::optional<std::chrono::steady_clock::time_point> answered;
    while (!connected) {
      const long from = answeredAtLine;
      if (from >= 0 && !answered) answered = std::chrono::steady_clock::now();
      if (answered && std::chrono::steady_clock::now() - *answered > std::chrono::milliseconds(300)) release();
      std::ifstream in(log());
      std::string line;
      for (long n = 0; from >= 0 && std::getline(in, line); ++n) {
        if (n < from || line.find(" ignored ") == std::string::npos) continue;
        release();
        for (int i = 0; i < 5000 && qttest::onScreen(managerFrame); ++i)
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        duringConnect = qttest::screenArea(boxFrame);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  click(mainWidget(w.cmdReboot(1)));
  connected = true;
  user.join();
  release();
  EXPECT_TRUE(dialogs_->done());
  EXPECT_EQ(status(), "On Line(COM1)");
  EXPECT_EQ(setup->text(), "77");
  if (qttest::onX11() && !qttest::compositing()) {
    ASSERT_FALSE(duringConnect.isNull()) << "the connect never tried the old rate";
    EXPECT_NE(duringConnect, boxOnScreen) << "the question stayed on the screen while the connect ran";
  }

  // A file whose values differ in nearly every code (the saved values, each one step off) goes
  // out to the slow camera, "Write EEPROM?" No, and the camera goes away half-way: the window
  // is off line in red and shows the file's values, which a save then writes.
  const fs::path many = prog_ / "many.CFG";
  dialogs_->file((prog_ / "many").string());
  chooseMenu(w, {&w.mnuTitleFile, &w.mnuFile(2)});
  std::istringstream saved(readFile(many));
  std::string text, line, section;
  int changed = 0;
  while (std::getline(saved, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t eq = line.find('=');
    if (line.rfind('[', 0) == 0) section = line;
    else if (section != "[Version]" && section != "[Factory]" && eq != std::string::npos) {
      const int v = std::stoi(line.substr(eq + 1));
      line = line.substr(0, eq + 1) + std::to_string(v > 0 ? v - 1 : v + 1);
      ++changed;
    }
    text += line + "\r\n";
  }
  ASSERT_GT(changed, 100);
  std::ofstream(many, std::ios::binary) << text;
  dialogs_->file(many.string());
  // Values one step past their range are fitted to it (the user is told).
  dialogs_->box("Invalid value was found. The value is replaced to the maximum value.", QMessageBox::Ok);
  dialogs_->box("Invalid value was found. The value is replaced to the minimum value.", QMessageBox::Ok);
  dialogs_->window("the data list", host_, []() -> forms::Form& { return frmDispSelectData(); },
                   [&](QWidget*) { click(widget(frmDispSelectData(), frmDispSelectData().cmdOk)); });
  dialogs_->box("Write EEPROM?", QMessageBox::No);
  std::vector<std::string> lost;
  dialogs_->expect("what the program says about the lost camera", [](QWidget*) { return true; }, [&](QWidget* m) {
    auto* box = qobject_cast<QMessageBox*>(m);
    ASSERT_NE(box, nullptr);
    lost.push_back(box->text().toStdString());
    EXPECT_EQ(status(), "Off Line(COM1)");
    EXPECT_EQ(statusColour(), QColor(255, 0, 0));
    (box->button(QMessageBox::No) ? box->button(QMessageBox::No) : box->button(QMessageBox::Ok))->click();
  });
  const long beforeFile = linesOf(log());
  QTimer pull;  // the cable is pulled once the first values have reached the camera
  QObject::connect(&pull, &QTimer::timeout, [&] {
    if (commandsOfLog(log(), beforeFile).size() < 8) return;
    pull.stop();
    stopCamsim();
  });
  pull.start(5);
  chooseMenu(w, {&w.mnuTitleFile, &w.mnuFile(1)});
  EXPECT_TRUE(dialogs_->done());
  EXPECT_FALSE(pull.isActive());
  EXPECT_FALSE(lost.empty());
  EXPECT_FALSE(gblnOnLine);
  EXPECT_EQ(status(), "Off Line(COM1)");
  EXPECT_EQ(statusColour(), QColor(255, 0, 0));
  EXPECT_EQ(setup->text(), "76");
  shot(window, "journey3_lost_during_a_file");
  dialogs_->file(many.string());
  dialogs_->box("many.CFG already exists.", QMessageBox::Yes);
  chooseMenu(w, {&w.mnuTitleFile, &w.mnuFile(2)});
  EXPECT_NE(readFile(many).find("PositiveSetup=76"), std::string::npos);
  for (forms::TextBox& t : w.txtData)
    EXPECT_EQ(t.Text(), vb::CStr(long{gbyteCurrentData[t.Index()]})) << t.Index();

  // Off line, the window closes without asking.
  click(mainWidget(w.cmdEnd(1)));
  EXPECT_FALSE(w.Loaded());
}

// The communication log on a disk that fills during the connect (a file-size limit stands in
// for it): the full disk is reported once and the log stops there; the connect and a Reboot go
// on, on line with the camera's firmware, and the setting stays on.
TEST_F(JourneyTest, ACommLogThatFillsTheDiskStopsOnceAndTheLinkGoesOn) {
  startCamsim();
  writeSettings("[Comm]\r\nPortNo=1\r\n[File]\r\nWriteLogFile=True\r\n");
  constexpr size_t kLimit = 3000;
  dialogs_->expect("the full disk's report", [](QWidget* m) {
    auto* box = qobject_cast<QMessageBox*>(m);
    return box && box->windowTitle() == "SubMain.gblnWriteCommLog" && box->text().contains("No.61)");
  }, [](QWidget* m) { static_cast<QMessageBox*>(m)->button(QMessageBox::Ok)->click(); });
  dialogs_->box("Reboot?", QMessageBox::Yes);
  {
    const testutil::FileSizeLimit limit(kLimit);
    SubMain::Main();
    ASSERT_TRUE(frmMain().Loaded());
    EXPECT_EQ(status(), "On Line(COM1)");
    showPage(1);
    click(mainWidget(frmMain().cmdReboot(1)));
  }
  FrmMain& w = frmMain();
  EXPECT_TRUE(dialogs_->done());
  EXPECT_EQ(reports_, (std::vector<std::string>{"SubMain.gblnWriteCommLog"}));
  EXPECT_EQ(status(), "On Line(COM1)");
  EXPECT_EQ(mainWidget<QLabel>(w.lblFirmWareVersion)->text(), "FirmWare Ver.2");
  const size_t logged = fs::file_size(prog_ / "orvadex.LOG");
  EXPECT_GT(logged, kLimit / 2);
  EXPECT_LE(logged, kLimit);
  dialogs_->box("End?", QMessageBox::Yes);
  click(mainWidget(w.cmdEnd(1)));
  EXPECT_NE(readFile(prog_ / "orvadex.ini").find("WriteLogFile=True"), std::string::npos);
}

TEST_F(JourneyTest, PasswordUnlocksTheAdvancedPagesAllDataEditsAndTheBatchSendsAFile) {
  FrmMain& w = startOnLine();
  ASSERT_TRUE(w.Loaded());
  QWidget* window = view(w)->window();
  for (int page : {6, 8, 9, 10, 11}) EXPECT_FALSE(w.SSTab1.TabVisible(page)) << page;

  // Help > Advanced Operation: the password typed, OK: the advanced pages show, with the
  // camera's values.
  dialogs_->window("the password window", host_, []() -> forms::Form& { return frmPwd(); }, [&](QWidget* pwd) {
    FrmPwd& p = frmPwd();
    typeInto(widget<QLineEdit>(p, p.txtPwd), "QuillMarbenso");
    shot(pwd, "journey4_password");
    click(widget(p, p.cmdOK));
  });
  chooseMenu(w, {&w.mnuTitleHelp, &w.mnuAdvancedOperation});
  for (int page : {6, 8, 9, 10, 11}) EXPECT_TRUE(w.SSTab1.TabVisible(page)) << page;
  showPage(6);  // Timing
  EXPECT_EQ(mainWidget<QLineEdit>(w.txtData(0x20))->text().toInt(), sim::FactoryDefaults()[0x20]);
  shot(window, "journey4_advanced_pages");

  // View > View All Data: the main window gives way to the list; a value typed there reaches
  // the camera, and the main window shows it when it comes back.
  dialogs_->window("the all-data view", host_, []() -> forms::Form& { return frmSimpleStyle(); }, [&](QWidget* all) {
    FrmSimpleStyle& a = frmSimpleStyle();
    EXPECT_FALSE(window->isVisible());
    typeInto(widget<QLineEdit>(a, a.txtData(0x30)), "61");
    EXPECT_EQ(cameraOfLog(log()).Value(0x30), 61);
    EXPECT_EQ(widget<QLabel>(a, a.lblStatus)->text(), "On Line");
    shot(all, "journey4_all_data");
    click(widget(a, a.cmdEnd));
  });
  chooseMenu(w, {&w.mnuTitleView, &w.mnuViewAllData});
  EXPECT_TRUE(window->isVisible());
  showPage(1);
  EXPECT_EQ(mainWidget<QLineEdit>(w.txtData(0x30))->text(), "61");
  dialogs_->box("End?", QMessageBox::Yes);
  click(mainWidget(w.cmdEnd(1)));
  ASSERT_FALSE(w.Loaded());

  // The developer turns developing mode on in the settings file and starts again.
  std::string ini = readFile(prog_ / "orvadex.ini");
  const size_t mode = ini.find("[Mode]\r\n");
  ASSERT_NE(mode, std::string::npos) << ini;
  ini.insert(mode + 8, "Developing=True\r\n");
  writeSettings(ini);
  std::string notes;  // enough lines that the log box scrolls
  for (int i = 0; i < 30; ++i) notes += "# note " + std::to_string(i) + "\r\n";
  std::ofstream(prog_ / "batch.txt", std::ios::binary) << "# the developer's batch\r\n48,33\r\n" << notes
                                                       << "SLEEP,10\r\n92,5\r\n";
  forms::ReleaseDefaultInstances();
  SubMain::Main();
  FrmMain& w2 = frmMain();
  ASSERT_TRUE(w2.Loaded());
  ASSERT_EQ(status(), "On Line(COM1/9600bps)");

  // View All Data in developing mode lists every code; the main window gives way meanwhile.
  dialogs_->window("the all-data view of developing mode", host_, []() -> forms::Form& { return frmSimpleStyle(); },
                   [&](QWidget* all) {
                     EXPECT_FALSE(view(w2)->window()->isVisible());
                     shot(all, "journey4_all_data_developing");
                     click(widget(frmSimpleStyle(), frmSimpleStyle().cmdEnd));
                   });
  chooseMenu(w2, {&w2.mnuTitleView, &w2.mnuViewAllData});
  EXPECT_TRUE(dialogs_->done());
  EXPECT_TRUE(qttest::appears(view(w2)->window(), patienceMs(0)));

  // Comm > Batch: the file opened, sent, the replies logged; a pause stopped and one closed;
  // closing the window reconnects, which reads the camera's new values.
  std::string sentLog;
  dialogs_->box("Reboot be done after batch process.OK?", QMessageBox::Yes);
  dialogs_->window("the batch window", host_, []() -> forms::Form& { return frmBatch(); }, [&](QWidget* batch) {
    FrmBatch& b = frmBatch();
    click(widget(b, b.cmdOpen));
    EXPECT_NE(widget<QPlainTextEdit>(b, b.txtData(0))->toPlainText().toStdString().find("48,33"), std::string::npos);
    click(widget(b, b.cmdSend));
    auto* logBox = widget<QPlainTextEdit>(b, b.txtData(1));
    sentLog = logBox->toPlainText().toStdString();
    // The log box follows the newest line.
    EXPECT_GT(logBox->verticalScrollBar()->maximum(), 0);
    const QTextCursor newest(logBox->document()->lastBlock().previous());
    EXPECT_TRUE(logBox->viewport()->rect().contains(logBox->cursorRect(newest)));
    shot(batch, "journey4_batch");

    // A long pause, then a command: the window is served during the pause. Stop a second into it
    // ends the run at once, and Close in the next run closes the window at once; the command
    // after the pause never goes.
    const int pauseMs = 3 * patienceMs(1);
    click(widget(b, b.cmdClear(0)));
    auto* in = widget<QPlainTextEdit>(b, b.txtData(0));
    click(in);
    QTest::keyClicks(in, "Sleep," + QString::number(pauseMs));
    QTest::keyClick(in, Qt::Key_Return);
    QTest::keyClicks(in, "48,20");
    for (forms::CommandButton* button : {&b.cmdStop, &b.cmdClose}) {
      SCOPED_TRACE(button->Name());
      const auto sentAt = std::chrono::steady_clock::now();
      std::optional<std::chrono::steady_clock::time_point> clickedAt;
      QTimer second;  // a second into the pause
      second.setSingleShot(true);
      QObject::connect(&second, &QTimer::timeout, [&] {
        EXPECT_TRUE(widget(b, b.cmdStop)->isEnabled());
        EXPECT_FALSE(widget(b, b.cmdSend)->isEnabled());
        if (button == &b.cmdStop) shot(batch, "journey4_batch_pause");
        clickedAt = std::chrono::steady_clock::now();
        click(widget(b, *button));
      });
      second.start(1000);
      click(widget(b, b.cmdSend));
      ASSERT_TRUE(clickedAt);
      EXPECT_LT(*clickedAt - sentAt, std::chrono::milliseconds(pauseMs)) << "the window was not served in the pause";
      EXPECT_LT(std::chrono::steady_clock::now() - *clickedAt, std::chrono::milliseconds(patienceMs(1)));
    }
    EXPECT_FALSE(b.Loaded());
  });
  dialogs_->file((prog_ / "batch.txt").string());
  dialogs_->box("Finished.", QMessageBox::Ok);
  const long beforeBatch = linesOf(log());
  chooseMenu(w2, {&w2.mnuTitleComm, &w2.mnuBatch});
  EXPECT_TRUE(dialogs_->done());
  EXPECT_NE(sentLog.find(",30,21,30,21"), std::string::npos) << sentLog;
  EXPECT_NE(sentLog.find(",Sleep,10"), std::string::npos) << sentLog;
  EXPECT_NE(sentLog.find(",5C,5,5C,5"), std::string::npos) << sentLog;
  const std::vector<std::string> sent = commandsOfLog(log(), beforeBatch);
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent[0], "30 21");  // exactly the file's pairs, without framing
  EXPECT_EQ(sent[1], "5C 05");
  EXPECT_EQ(std::find(sent.begin(), sent.end(), "30 14"), sent.end());
  showPage(1);
  EXPECT_EQ(mainWidget<QLineEdit>(w2.txtData(0x30))->text(), "33");
  shot(view(w2)->window(), "journey4_after_batch");

  dialogs_->box("End?", QMessageBox::Yes);
  click(mainWidget(w2.cmdEnd(1)));
  EXPECT_FALSE(w2.Loaded());
  EXPECT_TRUE(reports_.empty()) << ::testing::PrintToString(reports_);
}

// The desktop session ends (a logout: SIGTERM; the terminal closed: SIGHUP; Ctrl+C in it:
// SIGINT) in each state the program can be in on line: it ends by itself soon, asks nothing, and
// writes its settings file.
enum class Busy { StatusPoll, AboutBox, Question, FileDialog, Batch, SilentCamera, Reboot, EepromWrite };
struct SessionEndCase {
  const char* name;
  Busy busy;
  int signal;
  long baud = 0;  // the camera's (0: the journeys')
};
const SessionEndCase kSessionEnds[] = {
    {"StatusPoll", Busy::StatusPoll, SIGTERM},
    {"AboutBox", Busy::AboutBox, SIGHUP},
    {"Question", Busy::Question, SIGHUP},
    {"FileDialog", Busy::FileDialog, SIGTERM},
    {"Batch", Busy::Batch, SIGTERM},
    {"SilentCamera", Busy::SilentCamera, SIGTERM},
    {"RebootRead1200", Busy::Reboot, SIGHUP, 1200},
    {"EepromWriteCtrlC1200", Busy::EepromWrite, SIGINT, 1200},
};

class SessionEnd : public JourneyTest, public ::testing::WithParamInterface<SessionEndCase> {};

TEST_P(SessionEnd, EndsTheProgramByItself) {
  const SessionEndCase& c = GetParam();
  const long baud = c.baud ? c.baud : journeyBaud();
  // The silent camera stops answering at its first status query; the link would wait a minute.
  const bool silent = c.busy == Busy::SilentCamera;
  startCamsim(silent ? std::vector<std::string>{"--fault", "silent:c=0:d=17"} : std::vector<std::string>{}, baud);
  writeSettings("[Comm]\r\nPortNo=1\r\nSettings=" + std::to_string(baud) + ",n,8,2\r\n" +
                (silent ? "TimeOut=60\r\n" : "") + "[Mode]\r\nDeveloping=True\r\n");
  SubMain::Main();
  FrmMain& w = frmMain();
  ASSERT_TRUE(w.Loaded());
  ASSERT_EQ(status().rfind("On Line(COM1", 0), 0u) << status();
  qtview::SessionEndWatch sessionEnd(host_);
  const long start = linesOf(log());
  long atSignal = -1;
  int page = -1;
  std::optional<std::chrono::steady_clock::time_point> pauseStart;
  auto endSession = [&] {
    atSignal = linesOf(log());
    page = w.SSTab1.Tab();
    std::raise(c.signal);
  };
  QTimer when;  // the program's own state that the session ends in
  when.setInterval(1);
  // The session ends once the progress window has counted `steps` (values read, codes written).
  auto endAtStep = [&](int32_t steps) {
    QObject::connect(&when, &QTimer::timeout, [&, steps] {
      if (!loaded("frmStatusBar") || glngStatusValue < steps) return;
      when.stop();
      endSession();
    });
    when.start();
  };
  switch (c.busy) {
    case Busy::StatusPoll: {
      // Get(G) on the Dev1 page: once a status line is in, the session ends; the poll stops
      // at its next command (at most the round it is in goes on).
      showPage(13);
      QObject::connect(&when, &QTimer::timeout, [&] {
        if (!vb::CBool(w.cmdGetCurrentData.Tag()) || w.lblCurrentData.Caption().rfind("Time ", 0) != 0) return;
        when.stop();
        endSession();
      });
      when.start();
      click(mainWidget(w.cmdGetCurrentData));
      ASSERT_GE(atSignal, 0);
      const size_t after = commandsOfLog(log(), atSignal).size();
      EXPECT_LE(after, commandsOfLog(log(), start).size() - after);  // not more than the first round
      break;
    }
    case Busy::AboutBox:
      dialogs_->window("the about window", host_, []() -> forms::Form& { return frmAbout(); }, [&](QWidget*) { endSession(); });
      chooseMenu(w, {&w.mnuTitleHelp, &w.mnuVersion});
      break;
    case Busy::Question:
      // "Reboot?" closed as cancelled: No, the camera is not read again.
      dialogs_->expect("the question \"Reboot?\"", [](QWidget* m) {
        auto* b = qobject_cast<QMessageBox*>(m);
        return b && b->text() == "Reboot?";
      }, [&](QWidget*) { endSession(); });
      showPage(1);
      click(mainWidget(w.cmdReboot(1)));
      EXPECT_TRUE(commandsOfLog(log(), start).empty());
      break;
    case Busy::FileDialog:
      // File > Open: the file dialog is cancelled, nothing is read or sent.
      dialogs_->expect("the file dialog", [](QWidget* m) { return qobject_cast<QFileDialog*>(m) != nullptr; },
                       [&](QWidget*) { endSession(); });
      chooseMenu(w, {&w.mnuTitleFile, &w.mnuFile(1)});
      EXPECT_TRUE(commandsOfLog(log(), start).empty());
      break;
    case Busy::Batch: {
      // A batch of 20 commands, typed in, stops at its next command once three have gone, in
      // the middle of a two-minute Sleep line after them (the session ends 0.2 s into it: the
      // pause ends with it); the window closes as by its close box, and the camera is not read
      // again after it.
      dialogs_->box("Reboot be done after batch process.OK?", QMessageBox::Yes);
      dialogs_->window("the batch window", host_, []() -> forms::Form& { return frmBatch(); }, [&](QWidget*) {
        FrmBatch& b = frmBatch();
        auto* in = widget<QPlainTextEdit>(b, b.txtData(0));
        click(in);
        for (int i = 0; i < 20; ++i) {
          QTest::keyClicks(in, "48," + QString::number(i));
          QTest::keyClick(in, Qt::Key_Return);
          if (i != 2) continue;
          QTest::keyClicks(in, "Sleep,120000");
          QTest::keyClick(in, Qt::Key_Return);
        }
        // Keyed to the bar the batch advances (a timer started inside the window's own event
        // would not fire while the batch runs under it).
        QObject::connect(widget<QProgressBar>(b, b.pBar), &QProgressBar::valueChanged, [&](int sent) {
          if (sent < 3 || atSignal >= 0) return;
          atSignal = linesOf(log());
          page = w.SSTab1.Tab();
          pauseStart = std::chrono::steady_clock::now();
          std::thread([&c] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            ::kill(::getpid(), c.signal);
          }).detach();
        });
        click(widget(b, b.cmdSend));
      });
      chooseMenu(w, {&w.mnuTitleComm, &w.mnuBatch});
      ASSERT_GE(atSignal, 0);
      const std::vector<std::string> sent = commandsOfLog(log(), start);
      EXPECT_GE(sent.size(), 3u);
      EXPECT_LT(sent.size(), 10u);
      for (const std::string& command : sent) EXPECT_EQ(command.substr(0, 2), "30") << command;
      break;
    }
    case Busy::SilentCamera: {
      // Get(G) on the Dev1 page; the session ends while the link waits for the status the
      // camera does not send: the wait ends (it is a read), the poll stops, nothing is asked.
      showPage(13);
      page = 13;
      std::chrono::steady_clock::time_point signalled;
      std::thread ender([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMs(0));
        for (std::vector<std::string> sent; std::find(sent.begin(), sent.end(), "00 11") == sent.end() &&
                                            std::chrono::steady_clock::now() < until;
             sent = commandsOfLog(log(), start))
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(20 * transactionMs())));
        atSignal = linesOf(log());
        signalled = std::chrono::steady_clock::now();
        ::kill(::getpid(), c.signal);
      });
      click(mainWidget(w.cmdGetCurrentData));
      const auto stopped = std::chrono::steady_clock::now();
      ender.join();
      EXPECT_LT(stopped - signalled, std::chrono::seconds(glngTimeOut)) << "the wait ran to its time-out";
      EXPECT_TRUE(commandsOfLog(log(), atSignal).empty());
      break;
    }
    case Busy::Reboot:
      // Reboot on the Y page reads the camera again, at 1200 baud; once 20 values are in, the
      // session ends. The read stops at its next command (the one on the wire is answered) and
      // leaves the camera in read mode, as a failed read does: it changed nothing on it.
      dialogs_->box("Reboot?", QMessageBox::Yes);
      showPage(1);
      endAtStep(20);
      click(mainWidget(w.cmdReboot(1)));
      ASSERT_GE(atSignal, 0);
      EXPECT_LE(commandsOfLog(log(), atSignal).size(), 1u) << "the read went on";
      break;
    case Busy::EepromWrite: {
      // Write(W) on the IRIS page at 1200 baud, OK in the list of its 26 codes; Ctrl+C in the
      // terminal once the first code has gone: the write completes, out of the EEPROM mode.
      showPage(5);
      dialogs_->window("the data list", host_, []() -> forms::Form& { return frmDispSelectData(); },
                       [&](QWidget*) { click(widget(frmDispSelectData(), frmDispSelectData().cmdOk)); });
      endAtStep(1);
      click(mainWidget(w.cmdWriteEEPROM(5)));
      ASSERT_GE(atSignal, 0);
      const std::vector<std::string> written = commandsOfLog(log(), start);
      ASSERT_EQ(written.size(), 30u) << ::testing::PrintToString(written);
      EXPECT_EQ(written[1], "00 F3");
      EXPECT_EQ(written[28], "00 F0");
      EXPECT_EQ(written[29], "00 00");
      for (size_t i = 2; i < 28; ++i) EXPECT_NE(written[i].substr(0, 2), "00") << written[i];  // the codes
      break;
    }
  }
  EXPECT_TRUE(dialogs_->done());
  EXPECT_TRUE(endsByItself(host_)) << c.name;
  if (pauseStart) {
    EXPECT_LT(std::chrono::steady_clock::now() - *pauseStart, std::chrono::seconds(60)) << "the Sleep line held the end";
  }
  // The settings file as after End: written in full, with the page shown.
  const std::string ini = readFile(prog_ / "orvadex.ini");
  EXPECT_NE(ini.find("PortNo=1"), std::string::npos) << ini;
  EXPECT_NE(ini.find("LargeChange="), std::string::npos) << ini;
  EXPECT_NE(ini.find("StartUpTabNo=" + std::to_string(page)), std::string::npos) << ini;
  EXPECT_TRUE(reports_.empty()) << ::testing::PrintToString(reports_);
}

INSTANTIATE_TEST_SUITE_P(Journey, SessionEnd, ::testing::ValuesIn(kSessionEnds),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace journey
