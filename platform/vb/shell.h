#pragma once
// The run time's Shell: starts another program and returns at once.
#include <string>

namespace vb {

// Window styles of Shell. The started program opens its windows as it does by itself; the
// style is accepted for the callers' sake and not passed on.
enum VbAppWinStyle : int {
  vbHide = 0, vbNormalFocus = 1, vbMinimizedFocus = 2, vbMaximizedFocus = 3,
  vbNormalNoFocus = 4, vbMinimizedNoFocus = 6,
};

// Starts the program at `pathName` (the whole text is the program's path; no arguments are
// split off) with the caller's environment, without waiting for it, and returns its process
// id. The program is reaped when it ends, so that it leaves no zombie behind. A program that
// cannot be started raises a run-time error: 53 (File not found) when there is no such file,
// 70 (Permission denied) when it may not be run, 5 (Invalid procedure call or argument) for
// an empty path or any other failure.
long Shell(const std::string& pathName, int windowStyle = vbMinimizedFocus);

}  // namespace vb
