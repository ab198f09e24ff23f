#include "platform/qt/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

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

}  // namespace

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

  const bool japanese = catalogueIsJapanese();
  QTranslator qtTexts;
  if (japanese && qtTexts.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&qtTexts);
  app.setFont(uiFont(japanese));
  if (QScreen* s = app.primaryScreen())
    forms::Screen.SetSize(twips(s->geometry().width()), twips(s->geometry().height()));

  QtHost host;
  host.setUnattended(unattended);
  forms::setHost(&host);
  bool ended = false;
  host.onNoFormLoaded = [&] {
    ended = true;
    app.quit();
  };
  startup();
  int status = 0;
  if (!forms::LoadedForms().empty() && !ended) status = app.exec();
  host.closeAll();
  forms::setHost(nullptr);
  return status;
}

}  // namespace qtview
