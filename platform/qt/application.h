#pragma once
// The program's window session: opens the display, installs the Qt host and view of the
// forms, runs start-up, and runs the event loop until no form is loaded.
#include <functional>

namespace qtview {

// Runs `startup` (the program's Main) in a Qt session and returns the process's exit status:
// 0 when the program ended normally, 1 when no display could be opened (the reason is written
// to standard error first).
int run(int argc, char** argv, const std::function<void()>& startup);

}  // namespace qtview
