#include <cctype>
#include <cmath>

#include "platform/serial/channel.h"
#include "platform/vb/error.h"

namespace serial {

int LineSettings::FrameBits() const {
  int bits = 1 + dataBits + (parity == 'N' ? 0 : 1);
  bits += stopBitsX2 >= 3 ? 2 : 1;
  return bits;
}

int64_t LineSettings::CharTimeUs() const {
  if (baud <= 0) return 0;
  return (int64_t(FrameBits()) * 1000000 + baud / 2) / baud;
}

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

[[noreturn]] void invalid() { vb::Raise(380); }

long parseNumber(std::string_view s) {
  if (s.empty() || s.size() > 9) invalid();
  long v = 0;
  for (char ch : s) {
    if (!std::isdigit(static_cast<unsigned char>(ch))) invalid();
    v = v * 10 + (ch - '0');
  }
  return v;
}

}  // namespace

LineSettings ParseSettings(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    fields.push_back(trim(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (fields.size() != 4) invalid();
  LineSettings s;
  s.baud = parseNumber(fields[0]);
  static const long rates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                               19200, 28800, 38400, 56000, 57600, 115200, 128000, 256000};
  bool known = false;
  for (long r : rates) known = known || r == s.baud;
  if (!known) invalid();
  if (fields[1].size() != 1) invalid();
  s.parity = static_cast<char>(std::toupper(static_cast<unsigned char>(fields[1][0])));
  if (std::string_view("NEOMS").find(s.parity) == std::string_view::npos) invalid();
  s.dataBits = static_cast<int>(parseNumber(fields[2]));
  if (s.dataBits < 4 || s.dataBits > 8) invalid();
  if (fields[3] == "1") s.stopBitsX2 = 2;
  else if (fields[3] == "1.5") s.stopBitsX2 = 3;
  else if (fields[3] == "2") s.stopBitsX2 = 4;
  else invalid();
  return s;
}

}  // namespace serial
