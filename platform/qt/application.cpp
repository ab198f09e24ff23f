#include "platform/qt/application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QTranslator>
#include <iterator>
#include <memory>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "platform/forms/forms.h"
#include "platform/qt/convert.h"
#include "platform/qt/qt_host.h"
#include "platform/serial/clock.h"

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

// The end of the user's session (SIGTERM, SIGHUP, SIGINT): the signal handler only writes to a
// pipe (keeping errno as the interrupted code had it). The pipe is left unread while the program
// ends: its input is what tells the serial link and the host that the session has ended
// (serial::SessionEnded); the event loop takes it up once.
int signalPipe[2] = {-1, -1};
const int kSessionEndSignals[] = {SIGTERM, SIGHUP, SIGINT};

void onSessionEndSignal(int) {
  const int savedErrno = errno;
  const char byte = 1;
  const ssize_t ignored = write(signalPipe[1], &byte, 1);
  (void)ignored;
  errno = savedErrno;
}

// Every window closes as at the end of a Windows session (QueryUnload with vbAppWindows).
void closeEveryForm() {
  std::vector<forms::Form*> loaded = forms::LoadedForms();
  for (auto it = loaded.rbegin(); it != loaded.rend(); ++it)
    if ((*it)->Loaded()) (*it)->unload(forms::vbAppWindows);
}

}  // namespace

SessionEndWatch::SessionEndWatch(QtHost& host) : host_(host) {
  if (signalPipe[0] < 0) {
    if (pipe(signalPipe) != 0) return;
    fcntl(signalPipe[0], F_SETFL, fcntl(signalPipe[0], F_GETFL) | O_NONBLOCK);
    fcntl(signalPipe[1], F_SETFL, fcntl(signalPipe[1], F_GETFL) | O_NONBLOCK);
  }
  struct sigaction sa {};
  sa.sa_handler = onSessionEndSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  static_assert(std::size(kSessionEndSignals) == sizeof saved_ / sizeof saved_[0]);
  for (size_t i = 0; i < std::size(kSessionEndSignals); ++i) sigaction(kSessionEndSignals[i], &sa, &saved_[i]);
  serial::SetPauseBreaker(signalPipe[0]);
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    notifier_->setEnabled(false);  // the pipe keeps its input
    host_.EndSession();
    pending_ = true;
    closeWhenAtRest();
  });
  // The work under way when the session ended (a transfer, a poll or batch stopping at its
  // next command) is done when the program next waits with nothing running.
  if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
    connect(d, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
      if (pending_ && !host_.atWork()) QTimer::singleShot(0, this, [this] { closeWhenAtRest(); });
    });
}

SessionEndWatch::~SessionEndWatch() {
  for (size_t i = 0; i < std::size(kSessionEndSignals); ++i) sigaction(kSessionEndSignals[i], &saved_[i], nullptr);
  serial::SetPauseBreaker(-1);
  char bytes[16];
  while (signalPipe[0] >= 0 && read(signalPipe[0], bytes, sizeof bytes) > 0) {
  }
}

void SessionEndWatch::closeWhenAtRest() {
  // Windows never close in the middle of the program's work: a transfer completes first.
  if (!pending_ || host_.atWork()) return;
  pending_ = false;
  closeEveryForm();
}

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
  SessionEndWatch sessionEnd(host);
  startup();
  int status = 0;
  if (!forms::LoadedForms().empty() && !ended) status = app.exec();
  host.closeAll();
  forms::setHost(nullptr);
  return status;
}

}  // namespace qtview
