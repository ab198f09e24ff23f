#include "platform/qt/qt_host.h"

#include <QApplication>
#include <QWidget>
#include <cstdlib>

#include "platform/qt/message_box.h"

namespace qtview {

QWidget* dialogParent() {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  return QApplication::activeWindow();
}

int QtHost::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  MessageBox box(QString::fromStdString(prompt), buttons, QString::fromStdString(title), dialogParent());
  return box.ask();
}

bool displayAvailable(QString* why) {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  if (set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM")) return true;
  if (why)
    *why = "orvadex: no display to show its windows on (neither DISPLAY nor WAYLAND_DISPLAY is "
           "set). Start it from a desktop session, or set QT_QPA_PLATFORM (for example "
           "QT_QPA_PLATFORM=offscreen for tests).";
  return false;
}

}  // namespace qtview
