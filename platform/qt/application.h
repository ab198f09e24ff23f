#pragma once
// The program's window session: opens the display, installs the Qt host and view of the
// forms, runs start-up, and runs the event loop until no form is loaded.
#include <QObject>
#include <QTranslator>
#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace qtview {

class QtHost;

// The end of the user's session (SIGTERM, SIGHUP; SIGINT, Ctrl+C in the terminal, alike), which
// cannot be refused (the session manager kills the program a few seconds later): the program
// ends by itself. A change to the camera under way completes (an EEPROM write, a setting sent);
// a read of the camera, a status poll or batch stops at its next command, and a read's wait for
// a camera that does not answer ends; questions and modal windows close as cancelled
// (QtHost::EndSession), and once nothing runs every window closes with vbAppWindows, which
// asks nothing; the settings file is written as at a normal end. Installed for as long as the
// object lives.
class SessionEndWatch : public QObject {
 public:
  explicit SessionEndWatch(QtHost& host);
  ~SessionEndWatch() override;

 private:
  void closeWhenAtRest();
  QtHost& host_;
  QSocketNotifier* notifier_ = nullptr;
  bool pending_ = false;  // the windows are still to close
  struct sigaction saved_[3] {};  // the actions the session-end signals had before
};

// Qt's own texts (the buttons of message boxes, the file dialog) in the catalogue's language:
// the translator, or nullptr when the catalogue speaks English or the system lacks Qt's
// translations for it.
std::unique_ptr<QTranslator> qtTranslations();

// Runs `startup` (the program's Main) in a Qt session and returns the process's exit status:
// 0 when the program ended normally, 1 when no display could be opened (the reason is written
// to standard error first).
int run(int argc, char** argv, const std::function<void()>& startup);

}  // namespace qtview
