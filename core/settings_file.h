#pragma once
// The settings file beside the program (module SubMain): "<folder>/<name>.ini", where name is
// the executable's name without the part from its last ".". Read once at start-up into the
// settings variables of core/variables.h, written once at shutdown; it also keeps the list
// of the five most recently used parameter files.
#include <string>

namespace SubMain {

// The built-in advanced-mode password (compared ignoring case).
inline constexpr const char* kAdvancedPassword = "quillmarbenso";

// The settings file's name.
std::string gstrInitFileName();

// Reads every key (a missing key or file gives the default), clamps SleepTimeUnit (>= 1),
// TimeOut (>= 5) and RetryTimesForTimeOutBeforeMsg (>= 1), and derives gblnAdvancedMode.
// A numeric or Boolean key that does not convert is a run-time error: reported, False.
bool gblnReadInitFile();
// Writes every key but Developing back. A key that could not be written (a full disk, a
// read-only file) leaves its run-time error pending, unreported, and the result False: the
// program's end reports it.
bool gblnWriteInitFile();
// Empties the recent-file entries 0 to 4.
bool gblnClearRecentlyUsedFile();
// Puts the name at the top of the recent-file list, moving the others down.
bool gblnAddRecentlyUsedFile(std::string vstrFileName);

}  // namespace SubMain
