#include "platform/forms/layout.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>

#include "platform/forms/forms.h"
#include "platform/vb/error.h"

namespace forms {
namespace {

[[noreturn]] void bad(const std::string& source, int line, const std::string& what) {
  vb::Raise(380, source + " line " + std::to_string(line) + ": " + what);
}

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// Splits a line into fields: words and key=value pairs, values possibly quoted.
std::vector<std::string> fields(std::string_view s, const std::string& source, int line,
                                std::vector<bool>& quoted) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i >= s.size()) break;
    std::string field;
    bool q = false;
    while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) {
      if (s[i] == '"') {
        q = true;
        ++i;
        for (;;) {
          if (i >= s.size()) bad(source, line, "unterminated text");
          if (s[i] == '"') {
            if (i + 1 < s.size() && s[i + 1] == '"') {
              field += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          field += s[i++];
        }
      } else {
        field += s[i++];
      }
    }
    out.push_back(field);
    quoted.push_back(q);
  }
  return out;
}

}  // namespace

std::pair<std::string, int> SplitIndexedName(const std::string& text) {
  auto open = text.find('(');
  if (open == std::string::npos || text.back() != ')') return {text, -1};
  std::string num = text.substr(open + 1, text.size() - open - 2);
  if (num.empty()) vb::Raise(380, "bad index in '" + text + "'");
  for (char c : num)
    if (!std::isdigit(static_cast<unsigned char>(c))) vb::Raise(380, "bad index in '" + text + "'");
  long v = std::strtol(num.c_str(), nullptr, 10);
  if (v > 32767) vb::Raise(341, "Invalid control array index");
  return {text.substr(0, open), static_cast<int>(v)};
}

// Numbers a property holds: a Long (a colour may be written as its unsigned 32-bit pattern).
constexpr long kLongMin = -2147483648L, kLongMax = 2147483647L;

long LayoutLong(const std::string& value) {
  static const std::map<std::string, long> names = {
      {"vbblack", vbBlack}, {"vbred", vbRed}, {"vbgreen", vbGreen}, {"vbyellow", vbYellow},
      {"vbblue", vbBlue}, {"vbmagenta", vbMagenta}, {"vbcyan", vbCyan}, {"vbwhite", vbWhite},
      {"vbbuttonface", vbButtonFace}, {"vbbuttontext", vbButtonText},
      {"vbwindowbackground", vbWindowBackground}, {"vbwindowtext", vbWindowText},
      {"vbhighlight", vbHighlight}, {"vbhighlighttext", vbHighlightText},
      {"vbgraytext", vbGrayText}, {"vbinfobackground", vbInfoBackground},
      {"vbinfotext", vbInfoText}, {"true", -1}, {"false", 0}};
  std::string lower;
  for (char c : value) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (auto it = names.find(lower); it != names.end()) return it->second;
  std::string v = value;
  if (!v.empty() && v.back() == '&') v.pop_back();
  if (v.size() > 2 && v[0] == '&' && (v[1] == 'H' || v[1] == 'h')) {
    char* end = nullptr;
    unsigned long long x = std::strtoull(v.c_str() + 2, &end, 16);
    if (*end || x > 0xFFFFFFFFULL) vb::Raise(380, "bad number '" + value + "'");
    return static_cast<long>(x);  // the 32-bit pattern, as the colour constants hold it
  }
  char* end = nullptr;
  errno = 0;
  long x = std::strtol(v.c_str(), &end, 10);
  if (v.empty() || *end) vb::Raise(380, "bad number '" + value + "'");
  if (errno == ERANGE || x < kLongMin || x > kLongMax) vb::Raise(380, "number out of range '" + value + "'");
  return x;
}

double LayoutDouble(const std::string& value) {
  char* end = nullptr;
  double x = std::strtod(value.c_str(), &end);
  if (value.empty() || *end) return static_cast<double>(LayoutLong(value));
  if (!std::isfinite(x) || x < kLongMin || x > kLongMax) vb::Raise(380, "number out of range '" + value + "'");
  return x;
}

bool LayoutBool(const std::string& value) {
  if (iequals(value, "true") || value == "-1" || value == "1") return true;
  if (iequals(value, "false") || value == "0") return false;
  vb::Raise(380, "bad Boolean '" + value + "'");
}

Layout ParseLayout(std::string_view text, const std::string& source) {
  Layout layout;
  layout.source = source;
  int lineNo = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#' || line[first] == '\'') {
      if (end == text.size()) break;
      continue;
    }
    std::vector<bool> quoted;
    auto f = fields(line, source, lineNo, quoted);
    if (f.size() < 2) bad(source, lineNo, "a kind and a name are needed");
    LayoutEntry e;
    e.line = lineNo;
    e.kind = f[0];
    if (e.kind != "Form" && !KindFromName(e.kind)) bad(source, lineNo, "unknown kind '" + e.kind + "'");
    if (f[1].find('=') != std::string::npos) bad(source, lineNo, "the name is missing");
    try {
      auto [name, index] = SplitIndexedName(f[1]);
      e.name = name;
      e.index = index;
    } catch (const vb::Error& err) {
      bad(source, lineNo, err.Description());
    }
    if (e.name.empty()) bad(source, lineNo, "the name is missing");
    for (size_t i = 2; i < f.size(); ++i) {
      auto eq = f[i].find('=');
      if (eq == std::string::npos || eq == 0) bad(source, lineNo, "expected key=value, found '" + f[i] + "'");
      std::string key = f[i].substr(0, eq), value = f[i].substr(eq + 1);
      if (key == "in" || key == "Container") {
        try {
          auto [name, index] = SplitIndexedName(value);
          e.container = name;
          e.containerIndex = index;
        } catch (const vb::Error& err) {
          bad(source, lineNo, err.Description());
        }
      } else if (key == "tab") {
        try {
          e.tab = static_cast<int>(LayoutLong(value));
        } catch (const vb::Error&) {
          bad(source, lineNo, "bad page '" + value + "'");
        }
      } else {
        if (key == "TabIndex") e.hasTabIndex = true;
        e.props.emplace_back(key, value);
      }
    }
    layout.entries.push_back(std::move(e));
    if (end == text.size()) break;
  }
  return layout;
}

}  // namespace forms
