#pragma once
// The program's window session: opens the display, installs the Qt host and view of the
// forms, runs start-up, and runs the event loop until no form is loaded.
#include <QTranslator>
#include <functional>
#include <memory>

namespace qtview {

// Qt's own texts (the buttons of message boxes, the file dialog) in the catalogue's language:
// the translator, or nullptr when the catalogue speaks English or the system lacks Qt's
// translations for it.
std::unique_ptr<QTranslator> qtTranslations();

// Runs `startup` (the program's Main) in a Qt session and returns the process's exit status:
// 0 when the program ended normally, 1 when no display could be opened (the reason is written
// to standard error first).
int run(int argc, char** argv, const std::function<void()>& startup);

}  // namespace qtview
