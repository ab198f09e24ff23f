#include "platform/profile/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace profile {
namespace {

// Blanks around lines, names and values: TAB, LF, VT, FF, CR, space and Ctrl-Z (the DOS
// end-of-file mark of old files).
bool IsBlank(char c) { return (c >= '\t' && c <= '\r') || c == ' ' || c == '\x1a'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// One physical line: [begin, contentEnd) is its text, [contentEnd, end) its line end
// (CR LF, CR or LF; empty for a last line without one).
struct Line {
  std::size_t begin, contentEnd, end;
};

std::vector<Line> SplitLines(std::string_view content, std::size_t start) {
  std::vector<Line> lines;
  std::size_t pos = start;
  while (pos < content.size()) {
    std::size_t eol = content.find_first_of("\r\n", pos);
    if (eol == std::string_view::npos) {
      lines.push_back({pos, content.size(), content.size()});
      break;
    }
    std::size_t next = eol + 1;
    if (content[eol] == '\r' && next < content.size() && content[next] == '\n') ++next;
    lines.push_back({pos, eol, next});
    pos = next;
  }
  return lines;
}

std::size_t ContentStart(std::string_view content) {
  return content.substr(0, kBom.size()) == kBom ? kBom.size() : 0;
}

// A section header: the trimmed line begins with "[" and has a "]" after it; the name is
// the trimmed text up to the last "]".
bool HeaderName(std::string_view trimmed, std::string_view& name) {
  if (trimmed.empty() || trimmed.front() != '[') return false;
  std::size_t close = trimmed.rfind(']');
  if (close == std::string_view::npos || close == 0) return false;
  name = TrimBlanks(trimmed.substr(1, close - 1));
  return true;
}

// An entry: the key is the trimmed text before the first "=", the value the text after it
// without leading blanks; a line without "=" is an entry without value.
struct Entry {
  std::string_view name;
  bool hasValue = false;
  std::string_view value;
};

Entry ParseEntry(std::string_view trimmed) {
  Entry e;
  std::size_t eq = trimmed.find('=');
  if (eq == std::string_view::npos) {
    e.name = trimmed;
    return e;
  }
  e.name = TrimBlanks(trimmed.substr(0, eq));
  e.hasValue = true;
  e.value = TrimLeft(trimmed.substr(eq + 1));
  return e;
}

// Reads the whole file; nothing when it cannot be read as a file.
std::optional<std::string> ReadFile(const std::string& fileName) {
  if (fileName.empty()) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::is_directory(fileName, ec)) return std::nullopt;
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return std::nullopt;
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return content;
}

mode_t CreationMode() {
  // The umask, read without changing it (umask() itself would race with other threads).
  mode_t mask = 022;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) {
      mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
      break;
    }
  }
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Replaces the file by `content`: a temporary file in the same folder, flushed to disk,
// then renamed over the target (the target of a symbolic link is replaced, not the link).
bool ReplaceFile(const std::string& fileName, std::string_view content) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target(fileName);
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    target = fs::weakly_canonical(target, ec);
    if (ec) return false;
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::is_directory(folder, ec)) return false;

  struct stat st {};
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return false;
  mode_t mode = exists ? (st.st_mode & 07777) : CreationMode();

  std::string tmp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(tmp.begin(), tmp.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  bool ok = WriteAll(fd, content) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  if (ok && exists) {
    // Keep the owner where we may; a failure here is no reason to refuse the write.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
    }
  }
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(name.data(), target.c_str()) != 0) ok = false;
  if (!ok) {
    ::unlink(name.data());
    return false;
  }
  return true;
}

bool HasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

}  // namespace

namespace text {

bool FindValue(std::string_view content, std::string_view section, std::string_view key, std::string& value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  bool inSection = false;
  for (const Line& line : SplitLines(content, ContentStart(content))) {
    std::string_view trimmed = TrimBlanks(content.substr(line.begin, line.contentEnd - line.begin));
    if (trimmed.empty()) continue;
    std::string_view name;
    if (HeaderName(trimmed, name)) {
      if (inSection) return false;  // only the first section of the name counts
      inSection = SameName(name, section);
      continue;
    }
    if (!inSection) continue;
    Entry e = ParseEntry(trimmed);
    if (SameName(e.name, key)) {
      if (!e.hasValue) return false;
      value.assign(e.value);
      return true;
    }
  }
  return false;
}

std::string StripQuotes(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    return std::string(s.substr(1, s.size() - 2));
  }
  return std::string(s);
}

bool IsUtf16(std::string_view content) {
  return content.size() >= 2 &&
         ((content[0] == '\xFF' && content[1] == '\xFE') || (content[0] == '\xFE' && content[1] == '\xFF'));
}

std::string SetValue(std::string_view content, std::string_view section, std::string_view key, std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  value = TrimLeft(value);
  const std::size_t start = ContentStart(content);
  const std::vector<Line> lines = SplitLines(content, start);

  // The first section of the name, and the end of its lines.
  std::size_t header = lines.size();
  std::size_t sectionEnd = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view trimmed = TrimBlanks(content.substr(lines[i].begin, lines[i].contentEnd - lines[i].begin));
    std::string_view name;
    if (!HeaderName(trimmed, name)) continue;
    if (header == lines.size()) {
      if (SameName(name, section)) header = i;
    } else {
      sectionEnd = i;
      break;
    }
  }

  std::string out;
  if (header == lines.size()) {
    // A new section at the end of the file.
    out.assign(content);
    if (out.size() > start && out.back() != '\n' && out.back() != '\r') out += "\r\n";
    out += "[";
    out += section;
    out += "]\r\n";
    out += key;
    out += "=";
    out += value;
    out += "\r\n";
    return out;
  }

  std::size_t lastNonBlank = header;
  for (std::size_t i = header + 1; i < sectionEnd; ++i) {
    const Line& line = lines[i];
    std::string_view trimmed = TrimBlanks(content.substr(line.begin, line.contentEnd - line.begin));
    if (trimmed.empty()) continue;
    lastNonBlank = i;
    Entry e = ParseEntry(trimmed);
    if (SameName(e.name, key)) {
      // Replace the value where it stands; the key keeps its spelling, the line its end.
      out.assign(content.substr(0, line.begin));
      out += e.name;
      out += "=";
      out += value;
      out += content.substr(line.contentEnd);
      return out;
    }
  }

  // A new key after the last non-blank line of the section.
  const Line& after = lines[lastNonBlank];
  out.assign(content.substr(0, after.end));
  if (after.end == after.contentEnd) out += "\r\n";
  out += key;
  out += "=";
  out += value;
  out += "\r\n";
  out += content.substr(after.end);
  return out;
}

}  // namespace text

std::size_t GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultText,
                                    char* buffer, std::size_t size, const std::string& fileName) {
  if (buffer == nullptr || size == 0) return 0;
  std::string result;
  std::string found;
  std::optional<std::string> content = ReadFile(fileName);
  if (content && !text::IsUtf16(*content) && text::FindValue(*content, section, key, found)) {
    result = text::StripQuotes(found);
  } else {
    while (!defaultText.empty() && defaultText.back() == ' ') defaultText.remove_suffix(1);
    result = text::StripQuotes(defaultText);
  }
  std::size_t n = std::min(result.size(), size - 1);
  std::memcpy(buffer, result.data(), n);
  buffer[n] = '\0';
  return n;
}

int WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                              const std::string& fileName) {
  if (fileName.empty()) return 0;
  if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) return 0;
  if (key.find('=') != std::string_view::npos) return 0;
  std::string content;
  std::error_code ec;
  if (std::filesystem::exists(fileName, ec)) {
    std::optional<std::string> old = ReadFile(fileName);
    if (!old || text::IsUtf16(*old)) return 0;
    content = std::move(*old);
    std::string updated = text::SetValue(content, section, key, value);
    if (updated == content) return 1;  // nothing changes: leave the file alone
    return ReplaceFile(fileName, updated) ? 1 : 0;
  }
  return ReplaceFile(fileName, text::SetValue(content, section, key, value)) ? 1 : 0;
}

}  // namespace profile
