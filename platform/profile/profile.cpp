#include "platform/profile/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/fs/files.h"

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

// Reads the whole file; nothing when it cannot be read as an ordinary file (a pipe or a device
// is not waited for).
std::optional<std::string> ReadFile(const std::string& fileName) {
  if (fileName.empty()) return std::nullopt;
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::optional<std::string> content;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    content.emplace();
    content->resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    for (;;) {
      if (done == content->size()) content->resize(done + 65536);
      const ssize_t n = ::read(fd, content->data() + done, content->size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        content.reset();
        break;
      }
      if (n == 0) {
        content->resize(done);
        break;
      }
      done += static_cast<std::size_t>(n);
    }
  }
  ::close(fd);
  return content;
}

bool HasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

std::string LowerName(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = Lower(c);
  return out;
}

}  // namespace

Document::Document(std::string content) : content_(std::move(content)) {
  bomSize_ = ContentStart(content_);
  const std::string_view all(content_);
  const auto raw = SplitLines(all, bomSize_);
  lines_.reserve(raw.size());
  for (const auto& l : raw) {
    Line line;
    line.begin = l.begin;
    line.size = l.contentEnd - l.begin;
    const std::string_view end = all.substr(l.contentEnd, l.end - l.contentEnd);
    line.end = end == "\r\n" ? "\r\n" : end == "\r" ? "\r" : end == "\n" ? "\n" : "";
    lines_.push_back(line);
    const std::string_view trimmed = TrimBlanks(all.substr(line.begin, line.size));
    std::string_view name;
    if (!trimmed.empty() && trimmed.front() == '[' && HeaderName(trimmed, name)) {
      const std::size_t i = lines_.size() - 1;
      if (!sections_.empty()) sections_.back().end = i;
      firstSection_.try_emplace(LowerName(name), sections_.size());
      Section s;
      s.header = i;
      sections_.push_back(std::move(s));
    }
  }
  if (!sections_.empty()) sections_.back().end = lines_.size();
}

Document Document::Read(const std::string& fileName) {
  std::optional<std::string> content = ReadFile(fileName);
  if (!content || text::IsUtf16(*content)) return Document();
  return Document(std::move(*content));
}

std::string_view Document::text(const Line& line) const {
  return line.owned ? std::string_view(line.own) : std::string_view(content_).substr(line.begin, line.size);
}

// The entries of a section by name, and its last line that is not blank.
void Document::index(const Section& s) const {
  if (s.indexed) return;
  s.indexed = true;
  s.lastNonBlank = s.header;
  for (std::size_t i = s.header + 1; i < s.end; ++i) {
    const std::string_view trimmed = TrimBlanks(text(lines_[i]));
    if (trimmed.empty()) continue;
    s.lastNonBlank = i;
    s.keys.try_emplace(LowerName(ParseEntry(trimmed).name), i - s.header);
  }
}

// The first section of the name (the only one that counts), or nullptr.
const Document::Section* Document::find(std::string_view section) const {
  auto it = firstSection_.find(LowerName(TrimBlanks(section)));
  if (it == firstSection_.end()) return nullptr;
  index(sections_[it->second]);
  return &sections_[it->second];
}

bool Document::Find(std::string_view section, std::string_view key, std::string& value) const {
  const Section* s = find(section);
  if (!s) return false;
  auto it = s->keys.find(LowerName(TrimBlanks(key)));
  if (it == s->keys.end()) return false;
  const Entry e = ParseEntry(TrimBlanks(text(lines_[s->header + it->second])));
  if (!e.hasValue) return false;
  value.assign(e.value);
  return true;
}

std::string Document::Get(std::string_view section, std::string_view key, std::string_view defaultText,
                          std::size_t size) const {
  if (size == 0) return {};
  std::string found, result;
  if (Find(section, key, found)) {
    result = text::StripQuotes(found);
  } else {
    while (!defaultText.empty() && defaultText.back() == ' ') defaultText.remove_suffix(1);
    result = text::StripQuotes(defaultText);
  }
  if (result.size() > size - 1) result.resize(size - 1);
  return result;
}

void Document::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  value = TrimLeft(value);
  Line entry;
  entry.own = std::string(key) + "=" + std::string(value);
  entry.owned = true;
  entry.end = "\r\n";
  const Section* found = find(section);
  if (!found) {
    // A new section at the end of the file.
    if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = "\r\n";
    firstSection_.emplace(LowerName(section), sections_.size());
    Line header;
    header.own = "[" + std::string(section) + "]";
    header.owned = true;
    header.end = "\r\n";
    Section s;
    s.header = lines_.size();
    lines_.push_back(std::move(header));
    lines_.push_back(std::move(entry));
    s.end = lines_.size();
    sections_.push_back(std::move(s));
    index(sections_.back());
    return;
  }
  auto it = found->keys.find(LowerName(key));
  if (it != found->keys.end()) {
    // Replace the value where it stands; the key keeps its spelling, the line its end.
    Line& line = lines_[found->header + it->second];
    line.own = std::string(ParseEntry(TrimBlanks(text(line))).name) + "=" + std::string(value);
    line.owned = true;
    return;
  }
  // A new key after the last non-blank line of the section; the sections after it move down.
  const std::size_t ordinal = static_cast<std::size_t>(found - sections_.data());
  if (lines_[found->lastNonBlank].end.empty()) lines_[found->lastNonBlank].end = "\r\n";
  const std::size_t at = found->lastNonBlank + 1;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
  for (std::size_t k = ordinal + 1; k < sections_.size(); ++k) {
    ++sections_[k].header;
    ++sections_[k].end;
    ++sections_[k].lastNonBlank;
  }
  Section& s = sections_[ordinal];
  ++s.end;
  s.lastNonBlank = at;
  s.keys.try_emplace(LowerName(key), at - s.header);
}

std::string Document::Text() const {
  std::size_t size = bomSize_;
  for (const Line& l : lines_) size += text(l).size() + l.end.size();
  std::string out;
  out.reserve(size);
  out.append(content_, 0, bomSize_);
  for (const Line& l : lines_) {
    out += text(l);
    out += l.end;
  }
  return out;
}

namespace text {

bool FindValue(std::string_view content, std::string_view section, std::string_view key, std::string& value) {
  return Document(std::string(content)).Find(section, key, value);
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
  Document d{std::string(content)};
  d.Set(section, key, value);
  return d.Text();
}

}  // namespace text

std::size_t GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultText,
                                    char* buffer, std::size_t size, const std::string& fileName) {
  if (buffer == nullptr || size == 0) return 0;
  const std::string result = Document::Read(fileName).Get(section, key, defaultText, size);
  std::memcpy(buffer, result.data(), result.size());
  buffer[result.size()] = '\0';
  return result.size();
}

namespace {
// A failed write: 0, with errno telling why.
int writeFailed(int err) {
  errno = err;
  return 0;
}
// The file written in place of its content; 0 with errno when it could not be.
int replace(const std::string& fileName, const std::string& content) {
  const int err = files::ReplaceContent(fileName, content);
  return err == 0 ? 1 : writeFailed(err);
}
}  // namespace

int WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                              const std::string& fileName) {
  if (fileName.empty()) return writeFailed(ENOENT);
  if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) return writeFailed(EINVAL);
  if (key.find('=') != std::string_view::npos) return writeFailed(EINVAL);
  std::string content;
  std::error_code ec;
  if (std::filesystem::exists(fileName, ec)) {
    std::optional<std::string> old = ReadFile(fileName);
    if (!old) return writeFailed(errno != 0 ? errno : EIO);
    if (text::IsUtf16(*old)) return writeFailed(EINVAL);
    content = std::move(*old);
    std::string updated = text::SetValue(content, section, key, value);
    if (updated == content) return 1;  // nothing changes: leave the file alone
    return replace(fileName, updated);
  }
  return replace(fileName, text::SetValue(content, section, key, value));
}

}  // namespace profile
