#pragma once
// The batch text of the batch window: lines of raw command pairs, pauses, comments and blank
// lines, and the log lines a run writes (which replay as input when Hex is ticked).
// A batch file is read into the window only up to kMaxBatchFileSize bytes.
//
//   ; a comment            # a comment too (only when ";" or "#" is the very first character)
//   0,1                    command byte and data byte, decimal (hexadecimal when Hex is ticked)
//   SLEEP,250              a pause of 250 ms (any case, blanks allowed around both fields)
//   2024/05/01 10:20:30,1F,80,1F,80   a first field holding "/" is a time stamp and skipped;
//                                     fields after the two used are ignored
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace batch {

inline constexpr std::uintmax_t kMaxBatchFileSize = 1024 * 1024;

// The lines of a batch text. Lines end in CR LF; a lone LF or CR ends a line too, so that texts
// written on this system (or pasted into the box) are not read as one long line.
std::vector<std::string> SplitLines(std::string_view text);

// A blank line (nothing but spaces) or a comment line (";" or "#" as first character): the run
// skips it and logs "#".
bool IsSkipped(std::string_view line);

// What one line that is not skipped asks for.
struct Line {
  enum Kind {
    Short,    // fewer than two fields after the optional time stamp: nothing is sent
    Pause,    // SLEEP: a wait of `ms` milliseconds when `wait` (the value is numeric and not negative)
    Command,  // send (command, data)
  };
  Kind kind = Short;
  bool numeric = false;  // the pause's value is a number (`ms`)
  bool wait = false;
  int32_t ms = 0;
  uint8_t command = 0;
  uint8_t data = 0;
};

// Reads one line. `prefix` is "&H" when the fields are hexadecimal, else "". A command or data
// field that is not a number raises run-time error 13, a value outside 0 to 255 error 6;
// a pause longer than a Long raises 6.
Line ParseLine(std::string_view line, std::string_view prefix);

// The log texts of one line, without the time stamp and "," the run puts before them.
std::string PauseLog(const Line& pause);  // "Sleep,250", "Sleep,-5" (no wait); "Sleep," for no number
std::string CommandLog(uint8_t command, uint8_t data, uint8_t replyCommand, uint8_t replyData);  // "1F,80,1F,80"

}  // namespace batch
