#include "qt_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QWindow>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <memory>

#include "platform/forms/forms.h"

namespace qttest {

namespace {

QApplication* instance = nullptr;

// Deletes the application before the program's static objects go, which Qt needs.
class AppEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete instance;
    instance = nullptr;
  }
};
const auto* registered = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace

QApplication& app() {
  if (!instance) {
    // Offscreen, unless the run asks for the X server it set up (a private one, with a window
    // manager: see scripts/run_under_window_manager.sh).
    if (qgetenv("QT_QPA_PLATFORM") != "xcb") qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    instance = new QApplication(argc, argv);
    // The windows open on a screen with a panel at the bottom: offscreen one of 1366 x 768
    // pixels, on an X server its own (scripts/run_under_window_manager.sh sets its size).
    QSize size(kScreenWidth, kScreenHeight);
    if (onX11() && QGuiApplication::primaryScreen()) size = QGuiApplication::primaryScreen()->geometry().size();
    forms::Screen.SetSize(size.width() * 15, size.height() * 15);
    forms::Screen.SetWorkArea({0, 0, size.width() * 15, (size.height() - kPanelHeight) * 15});
  }
  return *instance;
}

QString screenshot(QWidget* w, const QString& name) {
  QDir dir(QString(ORVADEX_BINARY_DIR) + "/screenshots");
  dir.mkpath(".");
  const QString prefix = qEnvironmentVariable("ORVADEX_SCREENSHOT_PREFIX");
  QString path = dir.filePath(prefix + name + ".png");
  // On an X server the screen as the user sees it, the window manager's frames included.
  if (onX11()) {
    if (QScreen* screen = w->screen()) screen->grabWindow(0).save(path);
  } else {
    w->grab().save(path);
  }
  return path;
}

QSize screenSize() {
  app();
  return {static_cast<int>(forms::Screen.Width() / 15), static_cast<int>(forms::Screen.Height() / 15)};
}

bool onX11() { return QGuiApplication::platformName() == "xcb"; }

QString windowProperty(QWidget* w, const QString& name) {
  QProcess xprop;
  xprop.start("xprop", {"-id", QString::number(w->winId()), name});
  if (!xprop.waitForFinished(10000)) return {};
  return QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
}

void expectFixedSizeForWindowManager(QWidget* w) {
  if (!onX11() || !qEnvironmentVariableIsSet("ORVADEX_WM_PID")) return;
  const QString actions = windowProperty(w, "_NET_WM_ALLOWED_ACTIONS");
  EXPECT_TRUE(actions.contains("_NET_WM_ACTION_MOVE")) << actions.toStdString();
  EXPECT_FALSE(actions.contains("_NET_WM_ACTION_RESIZE")) << actions.toStdString();
  EXPECT_FALSE(actions.contains("_NET_WM_ACTION_MAXIMIZE")) << actions.toStdString();
}

bool appears(QWidget* w, int timeoutMs) {
  if (!w) return false;
  return QTest::qWaitFor([w] { return w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed(); },
                         timeoutMs);
}

void whenModal(std::function<void(QWidget*)> act, int timeoutMs) {
  auto* timer = new QTimer(&app());
  auto start = std::make_shared<qint64>(0);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act, start, timeoutMs] {
    *start += 10;
    QWidget* m = QApplication::activeModalWidget();
    if (m && m->isVisible()) {
      timer->stop();
      timer->deleteLater();
      act(m);
    } else if (*start > timeoutMs) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start();
}

void clickScrollBar(QScrollBar* bar, QStyle::SubControl part) {
  ASSERT_NE(bar, nullptr);
  QStyleOptionSlider opt;
  opt.initFrom(bar);
  opt.orientation = bar->orientation();
  opt.minimum = bar->minimum();
  opt.maximum = bar->maximum();
  opt.sliderPosition = bar->sliderPosition();
  opt.sliderValue = bar->value();
  opt.singleStep = bar->singleStep();
  opt.pageStep = bar->pageStep();
  opt.upsideDown = bar->invertedAppearance();
  const QRect r = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
  ASSERT_FALSE(r.isEmpty());
  QTest::mouseClick(bar, Qt::LeftButton, {}, r.center());
}

void settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace qttest
