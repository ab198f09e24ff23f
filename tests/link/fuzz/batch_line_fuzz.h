#pragma once
// The body of the batch-line fuzz target, shared by the libFuzzer entry and the test that
// replays the seed corpus: every line of the input is read as the batch window reads it, in
// decimal and in hexadecimal. A line may be refused only with run-time error 13 or 6; anything
// else (a crash, another exception, a pause that waits though negative) is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "link/batch_text.h"
#include "platform/vb/error.h"

namespace batch_line_fuzz {

// Returns the number of lines that parsed to a command or a pause.
inline int ParseBytes(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int parsed = 0;
  for (const std::string& line : batch::SplitLines(text)) {
    if (line.find('\r') != std::string::npos || line.find('\n') != std::string::npos) std::abort();
    if (batch::IsSkipped(line)) continue;
    for (const char* prefix : {"", "&H"}) {
      try {
        const batch::Line l = batch::ParseLine(line, prefix);
        if (l.kind == batch::Line::Pause && l.wait && l.ms < 0) std::abort();
        if (l.kind == batch::Line::Pause) (void)batch::PauseLog(l);
        if (l.kind == batch::Line::Command) (void)batch::CommandLog(l.command, l.data, l.command, l.data);
        if (l.kind != batch::Line::Short) ++parsed;
      } catch (const vb::Error& e) {
        if (e.Number() != vb::errTypeMismatch && e.Number() != vb::errOverflow) std::abort();
      }
    }
  }
  return parsed;
}

}  // namespace batch_line_fuzz
