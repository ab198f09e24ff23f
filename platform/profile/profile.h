#pragma once
// Profile (ini) files: GetPrivateProfileString and WritePrivateProfileString with the
// behaviour programs written for the Windows functions rely on.
//
// Reading: section and key names match ignoring case (ASCII letters), the caller's names are
// trimmed first; the first section of a name and the first key of a name in it count; a
// value comes back without surrounding blanks and without one pair of enclosing quotes
// ("..." or '...'); a missing file, section or key, or a key line without "=", gives the
// default (trailing spaces removed, enclosing quotes removed). The file is read anew at
// every call. A UTF-8 byte-order mark at the start of the file is skipped.
//
// Writing: the value of an existing key is replaced where it stands (the key keeps its
// spelling, the line keeps its line end); a new key goes after the last non-blank line of
// its section; a new section goes at the end of the file; a missing file is created (its
// folder is not). Every line the call does not write is kept byte for byte. New lines end
// in CR LF. The file is replaced as files::ReplaceContent does: a file without write
// permission is not written (the call fails), a full disk or a process that dies mid-write
// never loses the file.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace profile {

// Copies the value (or the default) into `buffer`, at most size - 1 characters followed by a
// NUL, and returns the number of characters copied. With size 0 the buffer is not touched.
std::size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultText, char* buffer, std::size_t size,
                                    const std::string& fileName);

// Creates or replaces the key; returns non-zero on success. Fails (0, errno telling why) for
// an empty file name, a missing folder, a file that cannot be written (EFBIG or ENOSPC when the
// disk is full), a UTF-16 file, and a value or name holding CR, LF or NUL (such a value would
// break the file's structure; EINVAL for these two).
int WritePrivateProfileString(std::string_view section, std::string_view key,
                              std::string_view value, const std::string& fileName);

// A profile file's text parsed once, answering every key with the semantics of the two
// functions above (for a reader of many keys, and a writer of many keys that writes once).
class Document {
 public:
  Document() = default;
  explicit Document(std::string content);
  // The file's text as GetPrivateProfileString reads it: empty for a missing, unreadable or
  // UTF-16 file (every key then gives its default).
  static Document Read(const std::string& fileName);

  // As text::FindValue.
  bool Find(std::string_view section, std::string_view key, std::string& value) const;
  // As GetPrivateProfileString into a buffer of `size` characters (the value or the default,
  // at most size - 1 characters).
  std::string Get(std::string_view section, std::string_view key, std::string_view defaultText,
                  std::size_t size) const;
  // As text::SetValue.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // The whole text, every line not written kept byte for byte.
  std::string Text() const;

 private:
  // A line of the text read (a range of it) or written (text of its own), and its line end.
  struct Line {
    std::size_t begin = 0, size = 0;
    std::string own;
    bool owned = false;
    std::string_view end;  // "\r\n", "\r", "\n", or "" for a last line without one
  };
  // A section; its entries are looked at the first time a key of it is asked for.
  struct Section {
    std::size_t header = 0, end = 0;  // the header line; the line after the section's last
    mutable bool indexed = false;
    mutable std::size_t lastNonBlank = 0;  // the last line that is not blank (the header if none)
    mutable std::unordered_map<std::string, std::size_t> keys;  // first entry of a name: lines after the header
  };
  std::string_view text(const Line& line) const;
  const Section* find(std::string_view section) const;
  void index(const Section& s) const;
  std::string content_;
  std::size_t bomSize_ = 0;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> firstSection_;
};

// The text work behind the two functions, on the file's content in memory.
namespace text {
// The value of the key, or nothing when the section, the key or its "=" is missing. The
// value has its surrounding whitespace removed; quotes are not yet stripped.
bool FindValue(std::string_view content, std::string_view section, std::string_view key,
               std::string& value);
// A file in UTF-16 (by its byte-order mark), which the functions neither read nor write.
bool IsUtf16(std::string_view content);
// Quote stripping: "v" and 'v' become v when at least two characters long.
std::string StripQuotes(std::string_view s);
// The content after writing key=value into section (section, key and value already checked).
std::string SetValue(std::string_view content, std::string_view section, std::string_view key,
                     std::string_view value);
}  // namespace text

}  // namespace profile
