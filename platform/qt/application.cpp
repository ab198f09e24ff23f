#include "platform/qt/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QTranslator>
#include <memory>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <unistd.h>

#include "platform/forms/forms.h"
#include "platform/qt/convert.h"
#include "platform/qt/qt_host.h"

namespace qtview {

namespace {

bool starting = false;
bool quiet = false;

// Qt ends the process when it cannot open the display; say why in our words first. On the
// offscreen platform Qt's own warnings (about the screen nobody sees) are dropped.
void messageHandler(QtMsgType type, const QMessageLogContext&, const QString& msg) {
  if (quiet && type != QtCriticalMsg && type != QtFatalMsg) return;
  std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
  if (type == QtFatalMsg && starting) {
    std::fprintf(stderr, "orvadex: cannot open the display to show its windows.\n");
    std::fflush(stderr);
    std::_Exit(1);
  }
}

// The end of the user's session (SIGTERM, SIGHUP): the signal handler only writes to a pipe;
// the event loop then asks every window to close as when Windows shuts down, and a window
// may refuse as it may there.
int signalPipe[2] = {-1, -1};

void onSessionEndSignal(int) {
  const char byte = 1;
  const ssize_t ignored = write(signalPipe[1], &byte, 1);
  (void)ignored;
}

void closeEveryForm() {
  std::vector<forms::Form*> loaded = forms::LoadedForms();
  for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
    if (!(*it)->Loaded()) continue;
    if (!(*it)->unload(forms::vbAppWindows)) return;  // refused: the session goes on
  }
}

}  // namespace

std::unique_ptr<QTranslator> qtTranslations() {
  if (!catalogueIsJapanese()) return nullptr;
  auto texts = std::make_unique<QTranslator>();
  if (!texts->load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return nullptr;
  return texts;
}

int run(int argc, char** argv, const std::function<void()>& startup) {
  QString why;
  if (!displayAvailable(&why)) {
    std::fprintf(stderr, "%s\n", why.toLocal8Bit().constData());
    return 1;
  }
  starting = true;
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  quiet = platform.startsWith("offscreen") || platform.startsWith("minimal");
  qInstallMessageHandler(messageHandler);
  QApplication app(argc, argv);
  starting = false;
  const bool unattended = QGuiApplication::platformName() == "offscreen" || QGuiApplication::platformName() == "minimal";
  app.setQuitOnLastWindowClosed(false);

  const std::unique_ptr<QTranslator> qtTexts = qtTranslations();
  if (qtTexts) app.installTranslator(qtTexts.get());
  app.setFont(uiFont(catalogueIsJapanese()));
  if (QScreen* s = app.primaryScreen()) {
    forms::Screen.SetSize(twips(s->geometry().width()), twips(s->geometry().height()));
    const QRect work = s->availableGeometry();
    forms::Screen.SetWorkArea({twips(work.x()), twips(work.y()), twips(work.width()), twips(work.height())});
  }

  QtHost host;
  host.setUnattended(unattended);
  forms::setHost(&host);
  bool ended = false;
  host.onNoFormLoaded = [&] {
    ended = true;
    app.quit();
  };
  std::unique_ptr<QSocketNotifier> sessionEnd;
  if (signalPipe[0] < 0 && pipe(signalPipe) == 0) {
    struct sigaction sa {};
    sa.sa_handler = onSessionEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
  }
  if (signalPipe[0] >= 0) {
    sessionEnd = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(sessionEnd.get(), &QSocketNotifier::activated, [] {
      char byte;
      const ssize_t ignored = read(signalPipe[0], &byte, 1);
      (void)ignored;
      closeEveryForm();
    });
  }
  startup();
  int status = 0;
  if (!forms::LoadedForms().empty() && !ended) status = app.exec();
  host.closeAll();
  forms::setHost(nullptr);
  return status;
}

}  // namespace qtview
