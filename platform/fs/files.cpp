#include "platform/fs/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/vb/error.h"

namespace files {
namespace {

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The run-time error for a failed open of `path`.
[[noreturn]] void RaiseOpenError(int err, const std::string& path, bool forWriting) {
  switch (err) {
    case ENOENT:
      if (forWriting || !IsFolder(FolderOf(path))) vb::Raise(vb::errPathNotFound);
      vb::Raise(vb::errFileNotFound);
    case ENOTDIR:
      vb::Raise(vb::errPathNotFound);
    case ENOSPC:
    case EDQUOT:
      vb::Raise(vb::errDiskFull);
    case EMFILE:
    case ENFILE:
      vb::Raise(67);
    case EACCES:
    case EPERM:
    case EROFS:
      if (forWriting) vb::Raise(vb::errPathFileAccess);
      vb::Raise(vb::errPermissionDenied);
    default:
      vb::Raise(vb::errPathFileAccess);
  }
}

int OpenForReading(const std::string& path) {
  if (path.empty()) vb::Raise(vb::errBadFileNameOrNumber);
  // Without waiting for a writer, should the name be a pipe: only ordinary files are read (a
  // pipe or a device could block or never end).
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) RaiseOpenError(errno, path, false);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    vb::Raise(vb::errPathFileAccess);
  }
  return fd;
}

std::string ReadDescriptor(int fd) {
  std::string data;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      vb::Raise(vb::errDeviceIO);
    }
    if (n == 0) break;
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return data;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The file-name wildcards of Kill: "*" and "?", letters ignoring case; "*.*" is every name.
bool WildcardMatch(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*") pattern = "*";
  std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Like patterns, compiled.
struct Token {
  enum Kind { Literal, AnyChar, Digit, Star, Class } kind;
  explicit Token(Kind k, char ch = 0) : kind(k), c(ch) {}
  char c = 0;
  bool negate = false;
  std::string ranges;  // pairs of (low, high)
};

std::vector<Token> CompilePattern(std::string_view pattern) {
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '*') {
      if (tokens.empty() || tokens.back().kind != Token::Star) tokens.emplace_back(Token::Star);
    } else if (c == '?') {
      tokens.emplace_back(Token::AnyChar);
    } else if (c == '#') {
      tokens.emplace_back(Token::Digit);
    } else if (c == '[') {
      std::size_t close = pattern.find(']', i + 1);
      if (close == std::string_view::npos) vb::Raise(93);
      std::string_view body = pattern.substr(i + 1, close - i - 1);
      i = close;
      if (body.empty()) continue;  // "[]" matches the empty text
      Token t(Token::Class);
      if (body.front() == '!' && body.size() > 1) {
        t.negate = true;
        body.remove_prefix(1);
      }
      for (std::size_t k = 0; k < body.size(); ++k) {
        char lo = body[k];
        char hi = lo;
        if (k + 2 < body.size() && body[k + 1] == '-') {
          hi = body[k + 2];
          if (static_cast<unsigned char>(hi) < static_cast<unsigned char>(lo)) vb::Raise(93);
          k += 2;
        }
        t.ranges += lo;
        t.ranges += hi;
      }
      tokens.push_back(t);
    } else {
      tokens.emplace_back(Token::Literal, c);
    }
  }
  return tokens;
}

bool InRanges(const std::string& ranges, char c) {
  auto u = static_cast<unsigned char>(c);
  for (std::size_t k = 0; k + 1 < ranges.size(); k += 2) {
    if (u >= static_cast<unsigned char>(ranges[k]) && u <= static_cast<unsigned char>(ranges[k + 1])) return true;
  }
  return false;
}

bool TokenMatches(const Token& t, char c, bool ignoreCase) {
  switch (t.kind) {
    case Token::Literal:
      return ignoreCase ? Lower(t.c) == Lower(c) : t.c == c;
    case Token::AnyChar:
      return true;
    case Token::Digit:
      return c >= '0' && c <= '9';
    case Token::Class: {
      bool in = InRanges(t.ranges, c) || (ignoreCase && (InRanges(t.ranges, Lower(c)) || InRanges(t.ranges, Upper(c))));
      return in != t.negate;
    }
    case Token::Star:
      break;
  }
  return false;
}

}  // namespace

InputFile::InputFile(const std::string& path) : data_(ReadDescriptor(OpenForReading(path))) {}

std::string InputFile::Input() {
  while (pos_ < data_.size() && (data_[pos_] == ' ' || data_[pos_] == '\t')) ++pos_;
  if (pos_ >= data_.size()) vb::Raise(vb::errInputPastEnd);

  std::string field;
  if (data_[pos_] == '"') {
    std::size_t close = data_.find('"', pos_ + 1);
    if (close == std::string::npos) close = data_.size();
    field = data_.substr(pos_ + 1, close - pos_ - 1);
    pos_ = close < data_.size() ? close + 1 : close;
    // A quote right after the closing quote begins the next field ("1,2""X" is two
    // fields); anything else up to the separator is dropped.
    std::size_t next = pos_;
    while (next < data_.size() && (data_[next] == ' ' || data_[next] == '\t')) ++next;
    if (next < data_.size() && data_[next] == '"') {
      pos_ = next;
      return field;
    }
    while (pos_ < data_.size() && data_[pos_] != ',' && !IsLineEnd(data_[pos_])) ++pos_;
  } else {
    while (pos_ < data_.size() && data_[pos_] != ',' && !IsLineEnd(data_[pos_])) {
      if (data_[pos_] != '"') field += data_[pos_];
      ++pos_;
    }
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.pop_back();
  }

  // Consume the separator: a comma, or one line end (CR LF counts as one).
  if (pos_ < data_.size()) {
    if (data_[pos_] == ',') {
      ++pos_;
    } else if (data_[pos_] == '\r') {
      ++pos_;
      if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
    } else if (data_[pos_] == '\n') {
      ++pos_;
    }
  }
  return field;
}

std::string ReadAll(const std::string& path) { return ReadDescriptor(OpenForReading(path)); }

void AppendLine(const std::string& path, std::string_view line) {
  if (path.empty()) vb::Raise(vb::errBadFileNameOrNumber);
  if (IsFolder(path)) vb::Raise(vb::errPathFileAccess);
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) RaiseOpenError(errno, path, true);
  std::string text(line);
  text += "\r\n";
  // A line is written whole or not at all: when the disk fills in the middle of it, the part
  // written is cut off again, so that the next line does not run into it.
  struct stat st {};
  const off_t end = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : -1;
  std::string_view rest = text;
  while (!rest.empty()) {
    ssize_t n = ::write(fd, rest.data(), rest.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      // Best effort: the error below is what the caller learns either way.
      if (end >= 0 && rest.size() < text.size()) (void)!::ftruncate(fd, end);
      ::close(fd);
      if (err == ENOSPC || err == EDQUOT || err == EFBIG) vb::Raise(vb::errDiskFull);
      vb::Raise(vb::errDeviceIO);
    }
    rest.remove_prefix(static_cast<std::size_t>(n));
  }
  if (::close(fd) != 0) vb::Raise(vb::errDeviceIO);
}

void Kill(const std::string& pathPattern) {
  if (pathPattern.empty()) vb::Raise(vb::errBadFileNameOrNumber);
  std::size_t slash = pathPattern.rfind('/');
  std::string folder = FolderOf(pathPattern);
  std::string name = slash == std::string::npos ? pathPattern : pathPattern.substr(slash + 1);
  if (!IsFolder(folder)) vb::Raise(vb::errPathNotFound);

  auto remove = [](const std::string& path) {
    if (::unlink(path.c_str()) != 0) {
      if (errno == ENOENT) vb::Raise(vb::errFileNotFound);
      vb::Raise(vb::errPathFileAccess);
    }
  };

  if (name.find_first_of("*?") == std::string::npos) {
    struct stat st {};
    if (name.empty() || ::lstat(pathPattern.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
      vb::Raise(vb::errFileNotFound);
    }
    remove(pathPattern);
    return;
  }
  std::string prefix = slash == std::string::npos ? "" : pathPattern.substr(0, slash + 1);
  bool any = false;
  for (const std::string& file : ListFiles(folder)) {
    if (WildcardMatch(file, name)) {
      remove(prefix + file);
      any = true;
    }
  }
  if (!any) vb::Raise(vb::errFileNotFound);
}

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::string dir = folder.empty() ? "." : folder;
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return names;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name.empty() || name[0] == '.') continue;
    std::string full = dir;
    if (full.back() != '/') full += '/';
    full += name;
    struct stat st {};
    if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
  }
  ::closedir(d);
  return names;
}

bool Like(std::string_view text, std::string_view pattern, bool ignoreCase) {
  const std::vector<Token> tokens = CompilePattern(pattern);
  std::size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
  while (n < text.size()) {
    if (p < tokens.size() && tokens[p].kind == Token::Star) {
      starP = p++;
      starN = n;
    } else if (p < tokens.size() && TokenMatches(tokens[p], text[n], ignoreCase)) {
      ++p;
      ++n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < tokens.size() && tokens[p].kind == Token::Star) ++p;
  return p == tokens.size();
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

long ErrorNumberOf(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return vb::errPathNotFound;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return vb::errDiskFull;
    case EACCES:
    case EPERM:
    case EROFS: return vb::errPermissionDenied;
    case EIO: return vb::errDeviceIO;
    default: return vb::errPathFileAccess;
  }
}

}  // namespace files
