#pragma once
// Sequential text files, the folder listing and deleting by name, with the rules of the run
// time the program is written against. Failures raise vb::Error with the run time's numbers:
// 53 file not found, 76 path not found, 75 path/file access error, 70 permission denied,
// 61 disk full, 62 input past end of file, 93 invalid pattern string.
// Text passes through as bytes (the program's files are in one 8-bit code page).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace files {

// A file opened for sequential input (Open ... For Input). The whole file is read at open.
class InputFile {
 public:
  // Raises 53 (no such file), 76 (no such folder), 75 (not an ordinary file: a folder, a
  // pipe, a device; or unreadable), 70.
  explicit InputFile(const std::string& path);

  // Input #: the next field. Fields are separated by commas and line ends (CR LF, CR or LF);
  // blanks before a field are skipped; a field that begins with a double quote runs to the
  // next double quote (commas inside are data; a double quote right after it begins the
  // next field, anything else up to the separator is dropped); an unquoted field runs to the next comma or line end, without trailing blanks
  // and without double quotes; a blank line, or a comma with nothing before it, is an empty
  // field. The line end after a line's last field is consumed, so EOF is True after the last
  // line. Raises 62 when the file has no more data.
  std::string Input();

  // EOF(n): True once everything has been read.
  bool Eof() const { return pos_ >= data_.size(); }

 private:
  std::string data_;
  std::size_t pos_ = 0;
};

// The whole content of a file, unchanged. Raises as InputFile does.
std::string ReadAll(const std::string& path);

// Open ... For Append, Print # line, Close: appends the line and CR LF, creating the file.
// Raises 76 (no such folder), 75 (a folder or read-only), 61 (disk full).
void AppendLine(const std::string& path, std::string_view line);

// Kill: deletes the named file; the name part may hold the wildcards "*" and "?" (letters
// compared ignoring case; hidden files and folders are never deleted). Raises 53 when
// nothing matches, 76 when the folder does not exist, 75 when a file cannot be deleted.
void Kill(const std::string& pathPattern);

// The names (without folder) of the ordinary files of a folder: no folders, no hidden files
// (names beginning with "."), in the order the file system lists them. A folder that does
// not exist lists nothing.
std::vector<std::string> ListFiles(const std::string& folder);

// The Like operator: "*" any run of characters, "?" one character, "#" one digit,
// "[abc]", "[a-z]" one character of the list, "[!a-z]" one character not in it; "[*]",
// "[?]", "[#]", "[[]" stand for the character itself. Raises 93 for a bad pattern
// (an unclosed "[" or a descending range).
bool Like(std::string_view text, std::string_view pattern, bool ignoreCase);

// Puts `content` in place of a file's content, creating the file when it is missing (its
// folder is not). A link is followed. A file whose permission bits grant this program no
// write (the counterpart of the read-only attribute, judged by the bits also for root) is
// left alone. The new text goes to a temporary file beside the old one that is renamed over
// it, so that a crash or a full disk never leaves half a file; in a folder that takes no new
// file the file is written in place, its room reserved first so that a full disk fails
// before any byte changes. The file keeps its permissions. Returns 0, or the errno of the
// failure (EACCES for a read-only file, EISDIR for anything but a regular file).
int ReplaceContent(const std::string& path, std::string_view content);

// The run-time error number for a failed write's errno: 61 Disk full for a full disk or a
// file-size limit, 76 Path not found, 70 Permission denied, 57 Device I/O error, else 75.
long ErrorNumberOf(int err);

// True when the path names an existing file (not a folder).
bool FileExists(const std::string& path);

}  // namespace files
