#include "qt_support.h"

#include <gtest/gtest.h>

#include <QDir>
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    instance = new QApplication(argc, argv);
    // The windows open on the smallest screen they are laid out for: 1366 x 768 pixels with a
    // 40-pixel panel at the bottom.
    forms::Screen.SetSize(kScreenWidth * 15, kScreenHeight * 15);
    forms::Screen.SetWorkArea({0, 0, kScreenWidth * 15, (kScreenHeight - 40) * 15});
  }
  return *instance;
}

QString screenshot(QWidget* w, const QString& name) {
  QDir dir(QString(ORVADEX_BINARY_DIR) + "/screenshots");
  dir.mkpath(".");
  QString path = dir.filePath(name + ".png");
  w->grab().save(path);
  return path;
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

void settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace qttest
