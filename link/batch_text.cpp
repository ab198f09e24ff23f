#include "link/batch_text.h"

#include "platform/vb/vb.h"

namespace batch {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::string current;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\r' || ch == '\n') {
      lines.push_back(std::move(current));
      current.clear();
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += ch;
    }
  }
  lines.push_back(std::move(current));
  return lines;
}

bool IsSkipped(std::string_view line) {
  if (vb::Trim(line).empty()) return true;
  return line.front() == ';' || line.front() == '#';
}

Line ParseLine(std::string_view text, std::string_view prefix) {
  const std::vector<std::string> fields = vb::Split(text, ",");
  Line line;
  const std::size_t k = !fields.empty() && fields[0].find('/') != std::string::npos ? 1 : 0;
  if (fields.size() < k + 2) return line;  // fewer than two fields after the time stamp

  if (vb::UCase(vb::Trim(fields[k])) == "SLEEP") {
    line.kind = Line::Pause;
    if (vb::IsNumeric(fields[k + 1])) {
      line.numeric = true;
      line.ms = vb::CLng(fields[k + 1]);
      // A negative pause would be a wait of weeks to the system's sleep; it waits nothing.
      line.wait = line.ms >= 0;
    }
    return line;
  }

  line.kind = Line::Command;
  line.command = vb::CByte(std::string(prefix) + fields[k]);
  line.data = vb::CByte(std::string(prefix) + fields[k + 1]);
  return line;
}

std::string PauseLog(const Line& pause) {
  return pause.numeric ? "Sleep," + vb::CStr(pause.ms) : std::string("Sleep,");
}

std::string CommandLog(uint8_t command, uint8_t data, uint8_t replyCommand, uint8_t replyData) {
  return vb::Hex(command) + "," + vb::Hex(data) + "," + vb::Hex(replyCommand) + "," + vb::Hex(replyData);
}

}  // namespace batch
