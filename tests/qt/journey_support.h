#pragma once
// The whole program as its user meets it: started in this process as the program starts
// (start-up, the port window, the splash, the main window), against camsim run as a process
// of its own on a new pty linked as COM1 in the test's own ports folder, driven by mouse
// clicks and key presses on the real widgets; the dialogs that come up are answered by a
// script of what the user expects to see.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/logs.h"
#include "core/start_up.h"
#include "core/upper_layers.h"
#include "core/variables.h"
#include "link/mscomm.h"
#include "link/port_change_window.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/spin_buttons.h"
#include "platform/qt/widgets.h"
#include "qt_support.h"
#include "sim/camera.h"
#include "ui/main_window.h"

namespace journey {

namespace fs = std::filesystem;
using namespace mdlVariables;

// The baud rate of the journeys' camera: 9600, or ORVADEX_JOURNEY_BAUD (a run under a window
// manager takes the first start at 1200 too).
inline long journeyBaud() {
  const long baud = qEnvironmentVariableIntValue("ORVADEX_JOURNEY_BAUD");
  return baud > 0 ? baud : 9600;
}

// One transaction on the wire: two bytes each way at 11 bits a byte.
inline double transactionMs() { return 4 * 11 * 1000.0 / journeyBaud(); }

// How long a user waits for something that takes `transactions` of the camera: twenty times
// their wire time and ten seconds more, for a machine busy with other work.
inline int patienceMs(int transactions) { return static_cast<int>(transactions * transactionMs() * 20) + 10000; }

// The CPU time of the window manager the run started (scripts/run_under_window_manager.sh names its
// process in ORVADEX_WM_PID), counted from when this is made; no window manager, no figure.
class WindowManagerCpu {
 public:
  WindowManagerCpu() : pid_(qEnvironmentVariableIntValue("ORVADEX_WM_PID")), start_(seconds()) {}
  bool present() const { return pid_ > 0; }
  double used() const { return seconds() - start_; }

 private:
  double seconds() const { return bench::ProcessCpuSeconds(pid_); }
  int pid_;
  double start_;
};

// The user's side of the modal windows that come up while the program works: each step says
// which window it expects and what the user does in it. A window nobody expected fails the
// test and is closed, so that a journey never waits for an answer.
class Dialogs {
 public:
  using Match = std::function<bool(QWidget*)>;
  using Act = std::function<void(QWidget*)>;

  Dialogs() { arm(); }
  ~Dialogs() {
    for (auto& t : timers_)
      if (t) delete t;
  }

  // The next modal window must satisfy `match`; `act` is what the user does in it.
  void expect(const std::string& what, Match match, Act act) { steps_.push_back({what, match, act}); }
  // A message box whose text starts with `text`, answered with `button`.
  void box(const std::string& text, QMessageBox::StandardButton button) {
    expect("the message \"" + text + "\"",
           [text](QWidget* w) {
             auto* b = qobject_cast<QMessageBox*>(w);
             return b && b->text().toStdString().rfind(text, 0) == 0;
           },
           [button](QWidget* w) { static_cast<QMessageBox*>(w)->button(button)->click(); });
  }
  // The window of `form` (looked up when it shows).
  void window(const std::string& what, qtview::QtHost& host, std::function<forms::Form&()> form, Act act) {
    expect(what, [&host, form](QWidget* w) {
      qtview::FormView* v = host.viewOf(form());
      return v && v->window() == w;
    }, act);
  }
  // The file dialog: the user types `path` into its name box and accepts it.
  void file(const std::string& path) {
    expect("the file dialog", [](QWidget* w) { return qobject_cast<QFileDialog*>(w) != nullptr; },
           [path](QWidget* w) {
             auto* dlg = static_cast<QFileDialog*>(w);
             // The user looks at the folder first: its listing has arrived.
             if (auto* model = dlg->findChild<QFileSystemModel*>()) {
               const QString folder = dlg->directory().absolutePath();
               EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(model->index(folder)) > 0; }, patienceMs(0)))
                   << "the file dialog did not list the folder " << folder.toStdString() << " within "
                   << patienceMs(0) << " ms";
             }
             auto* name = dlg->findChild<QLineEdit*>("fileNameEdit");
             ASSERT_NE(name, nullptr);
             name->setText(QString::fromStdString(path));
             QMetaObject::invokeMethod(dlg, "accept", Qt::QueuedConnection);
           });
  }
  // Every expected window has come.
  bool done() const { return steps_.empty(); }
  std::string pending() const { return steps_.empty() ? "" : steps_.front().what; }
  // What every window that came said (message texts, window titles).
  std::vector<std::string> seen;

 private:
  struct Step {
    std::string what;
    Match match;
    Act act;
  };
  // A new poll for every window handled: the user's action may open the next window inside
  // it, where the poll that found the first one does not run again.
  void arm() {
    auto* t = new QTimer(&qttest::app());
    t->setInterval(10);
    QObject::connect(t, &QTimer::timeout, [this, t] { poll(t); });
    timers_.push_back(t);
    t->start();
  }
  void poll(QTimer* t) {
    QWidget* m = QApplication::activeModalWidget();
    if (!m || !m->isVisible()) return;
    for (const auto& h : handled_)
      if (h == m) return;
    t->stop();
    handled_.push_back(m);
    arm();
    auto* b = qobject_cast<QMessageBox*>(m);
    seen.push_back(b ? b->text().toStdString() : m->windowTitle().toStdString());
    EXPECT_TRUE(qttest::appears(m, patienceMs(0))) << "\"" << seen.back() << "\" never appeared on the screen";
    // Under a window manager the user acts on a window once the manager has activated it (its
    // activation would close a list dropped down before).
    if (qttest::onX11()) {
      EXPECT_TRUE(QTest::qWaitForWindowActive(m, patienceMs(0))) << "\"" << seen.back() << "\" never became active";
      // A message box opens over the window it belongs to.
      if (b) qttest::expectOverItsWindow(m, patienceMs(0));
    }
    if (!steps_.empty() && steps_.front().match(m)) {
      Step step = steps_.front();
      steps_.pop_front();
      QPointer<QWidget> window = m;
      step.act(m);
      // A step that failed halfway leaves its window to the test, which must not wait for it.
      if (::testing::Test::HasFatalFailure() && window && window->isVisible()) dismiss(window);
      return;
    }
    ADD_FAILURE() << "came unexpected: \"" << seen.back() << "\""
                  << (steps_.empty() ? std::string() : "; expected " + steps_.front().what);
    dismiss(m);
  }
  static void dismiss(QWidget* m) {
    auto* b = qobject_cast<QMessageBox*>(m);
    if (b) {
      QAbstractButton* out = b->escapeButton() ? b->escapeButton() : b->button(QMessageBox::Ok);
      if (out) out->click();
      else b->reject();
    } else if (auto* d = qobject_cast<QDialog*>(m)) {
      d->reject();
    } else {
      m->close();
    }
  }

  std::deque<Step> steps_;
  std::vector<QPointer<QWidget>> handled_;
  std::vector<QPointer<QTimer>> timers_;
};

// The camera as camsim's log shows it: every command it received, replayed on a camera of the
// same make from power-up.
inline sim::Camera cameraOfLog(const fs::path& log, const std::map<uint8_t, uint8_t>& eeprom = {}, long fromLine = 0) {
  sim::Camera cam;
  for (const auto& [c, v] : eeprom) cam.Eeprom()[c] = v;
  cam.PowerUp();
  std::ifstream in(log);
  std::string line;
  for (long n = 0; std::getline(in, line); ++n) {
    const size_t rx = line.find(" RX ");
    if (n < fromLine || rx == std::string::npos) continue;
    cam.Command(static_cast<uint8_t>(std::stoul(line.substr(rx + 4, 2), nullptr, 16)),
                static_cast<uint8_t>(std::stoul(line.substr(rx + 7, 2), nullptr, 16)));
  }
  return cam;
}

// The commands camsim's log shows from line `fromLine` on, as "C D" in hexadecimal.
inline std::vector<std::string> commandsOfLog(const fs::path& log, long fromLine = 0) {
  std::ifstream in(log);
  std::string line;
  std::vector<std::string> out;
  for (long n = 0; std::getline(in, line); ++n) {
    const size_t rx = line.find(" RX ");
    if (n >= fromLine && rx != std::string::npos) out.push_back(line.substr(rx + 4, 5));
  }
  return out;
}

// When camsim received each command from line `fromLine` on, in milliseconds from its start.
inline std::vector<double> commandTimesOfLog(const fs::path& log, long fromLine = 0) {
  std::ifstream in(log);
  std::string line;
  std::vector<double> out;
  for (long n = 0; std::getline(in, line); ++n) {
    const size_t rx = line.find(" RX ");
    if (n >= fromLine && rx != std::string::npos) out.push_back(std::stod(line.substr(0, rx)));
  }
  return out;
}

// The median of the times between consecutive commands (0 with fewer than two).
inline double medianGapMs(const std::vector<double>& times) {
  std::vector<double> gaps;
  for (size_t i = 1; i < times.size(); ++i) gaps.push_back(times[i] - times[i - 1]);
  if (gaps.empty()) return 0;
  std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
  return gaps[gaps.size() / 2];
}

inline long linesOf(const fs::path& log) {
  std::ifstream in(log);
  std::string line;
  long n = 0;
  while (std::getline(in, line)) ++n;
  return n;
}

inline std::string hex2(int v) {
  char b[3];
  std::snprintf(b, sizeof b, "%02X", v & 0xFF);
  return b;
}

// The program in this process, wired as app/main.cpp wires it (the error reporter, the
// windows start-up and shutdown call into), on the Qt host, in a program folder of its own
// holding the ports folder (ORVADEX_PORTS_DIR); the camera comes from the test.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qttest::app();
    dir_ = bench::MakeTempFolder("orvadex-program");
    prog_ = dir_;  // the program's folder, with the ports folder and camsim's log in it
    fs::create_directories(dir_ / "ports");
    setenv("ORVADEX_PORTS_DIR", (dir_ / "ports").c_str(), 1);
    vb::App::SetLocationForTesting(prog_.string(), "orvadex");
    vb::ForceResLanguage(vb::ResLanguage::English);
    vb::SetErrorReporter([this](const std::string& procedure) {
      reports_.push_back(procedure);
      SubMain::gErrorProc(procedure);
    });
    forms::setHost(&host_);
    saved_ = SubMain::UpperLayers();
    SubMain::UpperLayerCalls& upper = SubMain::UpperLayers();
    upper.frmPortChange_ShowModal = [] { frmPortChange().Show(forms::vbModal); };
    upper.frmMain_Show = [] { frmMain().Show(); };
    upper.gblnMSComm_Close = [] { return mdlMSComm::gblnMSComm_Close(); };
  }
  void TearDown() override {
    qttest::settle();
    forms::ReleaseDefaultInstances();
    gobjMSComm = nullptr;
    stopCamera();
    SubMain::UpperLayers() = saved_;
    forms::setHost(nullptr);
    vb::SetErrorReporter(nullptr);
    vb::ForceResLanguage(std::nullopt);
    vb::App::SetLocationForTesting("", "");
    unsetenv("ORVADEX_PORTS_DIR");
    for (auto& e : gobjDataInfo) e.reset();
    glngPortNo = 0;
    gblnOnLine = false;
    std::error_code ec;
    if (!HasFailure()) fs::remove_all(dir_, ec);
    else std::printf("the test's folder (program, ports, camsim's log) is kept: %s\n", dir_.c_str());
  }
  // Ends the camera of the test once the program's windows are gone.
  virtual void stopCamera() {}

  void writeSettings(const std::string& text) { std::ofstream(prog_ / "orvadex.ini", std::ios::binary) << text; }
  std::string readFile(const fs::path& p) const {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // The widgets of a window.
  qtview::FormView* view(forms::Form& f) { return host_.viewOf(f); }
  template <class W = QWidget>
  W* widget(forms::Form& f, const forms::Control& c) {
    qtview::FormView* v = view(f);
    return v ? qobject_cast<W*>(v->widgetOf(&c)) : nullptr;
  }
  template <class W = QWidget>
  W* mainWidget(const forms::Control& c) { return widget<W>(frmMain(), c); }

  fs::path dir_, prog_;
  qtview::QtHost host_;
  SubMain::UpperLayerCalls saved_;
  std::vector<std::string> reports_;
};

class JourneyTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    dialogs_ = std::make_unique<Dialogs>();
  }
  void TearDown() override {
    EXPECT_TRUE(dialogs_->done()) << "never came: " << dialogs_->pending();
    qttest::settle();
    dialogs_.reset();
    ProgramTest::TearDown();
  }
  void stopCamera() override { camsim_.reset(); }

  // camsim serves the camera at 9600 baud (see journeyBaud) on a new pty linked as COM1 in the test's ports
  // folder (as scripts/run.sh starts it), logging every command; `extra`: its options.
  // `baud`: another rate than the journeys' (0: theirs).
  void startCamsim(const std::vector<std::string>& extra = {}, long baud = 0) {
    camsim_.reset();
    camsim_ = std::make_unique<bench::Camsim>(std::string(ORVADEX_BINARY_DIR) + "/sim/camsim", dir_,
                                              baud ? baud : journeyBaud(), false, extra);
  }
  // The camera is gone: camsim ends, its pty and its COM1 link with it.
  void stopCamsim() { camsim_.reset(); }
  fs::path log() const { return dir_ / "camsim.log"; }
  // Another port the system lists, with no camera behind it.
  void addPort(int n) { fs::create_symlink("/dev/null", dir_ / "ports" / ("com" + std::to_string(n))); }
  // A returning user's start: the settings file names COM1, camsim (with `extra`) answers;
  // the program starts into its main window on line.
  FrmMain& startOnLine(const std::vector<std::string>& extra = {}) {
    startCamsim(extra);
    writeSettings("[Comm]\r\nPortNo=1\r\n");
    const WindowManagerCpu wm;
    SubMain::Main();
    expectShownCalmly(wm);
    EXPECT_TRUE(frmMain().Loaded());
    EXPECT_EQ(status(), "On Line(COM1)");
    return frmMain();
  }

  // The start ended with the main window on the screen, and the window manager stayed near
  // idle meanwhile (a program that fights it over the activation keeps it busy for seconds).
  void expectShownCalmly(const WindowManagerCpu& wm) {
    ASSERT_TRUE(frmMain().Loaded());
    EXPECT_TRUE(qttest::appears(view(frmMain())->window(), patienceMs(0))) << "the main window never appeared";
    if (wm.present()) {
      EXPECT_LT(wm.used(), 1.0) << "the window manager's CPU seconds during the start";
    }
  }

  // The user clicks on a widget and lets the program answer.
  void click(QWidget* w, QPoint at = QPoint()) {
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString();
    QTest::mouseClick(w, Qt::LeftButton, {}, at.isNull() ? w->rect().center() : at);
    qttest::settle();
  }
  // The user clicks the tab of a page of the main window.
  void showPage(int page) {
    auto* tabs = static_cast<qtview::TabStripWidget*>(mainWidget(frmMain().SSTab1));
    ASSERT_NE(tabs, nullptr);
    click(tabs, tabs->tabRect(page).center());
    ASSERT_EQ(frmMain().SSTab1.Tab(), page);
  }
  // The user picks a row of a drop-down list: a click drops the list down (a list that a window
  // manager's activation closed at once is dropped down again), a click on the row picks it.
  void chooseFromList(QComboBox* combo, int row) {
    ASSERT_NE(combo, nullptr);
    for (int tries = 0; tries < 3 && !combo->view()->isVisible(); ++tries) click(combo);
    ASSERT_TRUE(combo->view()->isVisible()) << "the list never dropped down";
    QTest::mouseClick(combo->view()->viewport(), Qt::LeftButton, {},
                      combo->view()->visualRect(combo->model()->index(row, 0)).center());
    qttest::settle();
  }
  // The user opens a menu of the menu bar and clicks through its submenus to an item.
  void chooseMenu(forms::Form& f, std::vector<forms::Menu*> path) {
    qtview::FormView* v = view(f);
    ASSERT_NE(v, nullptr);
    QWidget* in = v->menuBar();
    ASSERT_NE(in, nullptr);
    for (forms::Menu* m : path) {
      QAction* action = v->actionOf(m);
      ASSERT_NE(action, nullptr) << m->Name();
      ASSERT_TRUE(action->isVisible() && action->isEnabled()) << action->text().toStdString();
      const QRect r = in == v->menuBar() ? v->menuBar()->actionGeometry(action)
                                          : static_cast<QMenu*>(in)->actionGeometry(action);
      QTest::mouseClick(in, Qt::LeftButton, {}, r.center());
      if (m == path.back()) break;
      QMenu* menu = action->menu();
      ASSERT_NE(menu, nullptr) << m->Name();
      ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, patienceMs(0)));
      in = menu;
    }
    qttest::settle();
  }
  // The menu item's text as the menu shows it.
  std::string menuText(forms::Form& f, forms::Menu& m) {
    QAction* a = view(f)->actionOf(&m);
    return a && a->isVisible() ? a->text().toStdString() : "";
  }
  // The user replaces the text of a value box: a click, the old digits deleted, the new typed.
  void typeInto(QLineEdit* box, const QString& text, bool enter = false) {
    ASSERT_NE(box, nullptr);
    click(box);
    QTest::keyClick(box, Qt::Key_End);
    while (!box->text().isEmpty()) QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
    if (enter) QTest::keyClick(box, Qt::Key_Return);
    qttest::settle();
  }
  QString shot(QWidget* w, const std::string& name) { return qttest::screenshot(w, QString::fromStdString(name)); }

  // The status line of the main window: its text and whether it is drawn green (else red).
  std::string status() { return mainWidget<QLabel>(frmMain().lblOnLine)->text().toStdString(); }
  QColor statusColour() {
    QLabel* l = mainWidget<QLabel>(frmMain().lblOnLine);
    return l->palette().color(l->foregroundRole());
  }

  std::unique_ptr<bench::Camsim> camsim_;
  std::unique_ptr<Dialogs> dialogs_;
};

}  // namespace journey
