// String functions on UTF-8 text, counting characters (code points).
#include <algorithm>

#include "platform/vb/vb.h"

namespace vb {

namespace {

// Length in bytes of the character starting at s[i]: a complete, valid UTF-8 sequence, or
// 1 for a byte that does not start one.
size_t CharBytes(std::string_view s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t len;
  uint32_t min;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) { len = 2; min = 0x80; }
  else if (c >= 0xE0 && c <= 0xEF) { len = 3; min = 0x800; }
  else if (c >= 0xF0 && c <= 0xF4) { len = 4; min = 0x10000; }
  else return 1;
  if (i + len > s.size()) return 1;
  uint32_t cp = c & (0xFF >> (len + 1));
  for (size_t k = 1; k < len; ++k) {
    unsigned char cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) return 1;
    cp = (cp << 6) | (cc & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 1;
  return len;
}

uint32_t CodePointAt(std::string_view s, size_t i, size_t len) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (len == 1) return c;
  uint32_t cp = c & (0xFF >> (len + 1));
  for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return cp;
}

std::string Encode(uint32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

// Byte offset of the character with 0-based index `chars` (s.size() when beyond the end).
size_t ByteOffset(std::string_view s, long chars) {
  size_t i = 0;
  for (long k = 0; k < chars && i < s.size(); ++k) i += CharBytes(s, i);
  return i;
}

// Character index of byte offset `bytes`, or -1 when it falls inside a character.
long CharIndex(std::string_view s, size_t bytes) {
  size_t i = 0;
  long k = 0;
  while (i < bytes) {
    i += CharBytes(s, i);
    ++k;
  }
  return i == bytes ? k : -1;
}

template <class Map>
std::string MapCase(std::string_view s, Map map) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    size_t len = CharBytes(s, i);
    uint32_t cp = CodePointAt(s, i, len);
    uint32_t mapped = len == 1 && cp >= 0x80 ? cp : map(cp);
    if (mapped == cp) out.append(s.substr(i, len));
    else out += Encode(mapped);
    i += len;
  }
  return out;
}

uint32_t Upper(uint32_t cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 32;
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;       // Latin-1
  if (cp >= 0xFF41 && cp <= 0xFF5A) return cp - 0x20;                // full-width a-z
  return cp;
}

uint32_t Lower(uint32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 32;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
  if (cp >= 0xFF21 && cp <= 0xFF3A) return cp + 0x20;
  return cp;
}

}  // namespace

std::string Trim(std::string_view s) { return LTrim(RTrim(s)); }

std::string LTrim(std::string_view s) {
  size_t first = s.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

std::string RTrim(std::string_view s) {
  size_t last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string() : std::string(s.substr(0, last + 1));
}

std::string UCase(std::string_view s) { return MapCase(s, Upper); }
std::string LCase(std::string_view s) { return MapCase(s, Lower); }

bool EqualNoCase(std::string_view a, std::string_view b) { return UCase(a) == UCase(b); }

long Len(std::string_view s) { return CharIndex(s, s.size()); }

std::string Left(std::string_view s, long length) {
  if (length < 0) Raise(errInvalidCall);
  return std::string(s.substr(0, ByteOffset(s, length)));
}

std::string Right(std::string_view s, long length) {
  if (length < 0) Raise(errInvalidCall);
  long total = Len(s);
  if (length >= total) return std::string(s);
  return std::string(s.substr(ByteOffset(s, total - length)));
}

std::string Mid(std::string_view s, long start) {
  if (start < 1) Raise(errInvalidCall);
  return std::string(s.substr(ByteOffset(s, start - 1)));
}

std::string Mid(std::string_view s, long start, long length) {
  if (start < 1 || length < 0) Raise(errInvalidCall);
  std::string_view rest = s.substr(ByteOffset(s, start - 1));
  return std::string(rest.substr(0, ByteOffset(rest, length)));
}

long InStr(std::string_view s, std::string_view find) { return InStr(1, s, find); }

long InStr(long start, std::string_view s, std::string_view find) {
  if (start < 1) Raise(errInvalidCall);
  if (s.empty()) return 0;
  if (start > Len(s)) return 0;
  if (find.empty()) return start;
  size_t pos = ByteOffset(s, start - 1);
  while ((pos = s.find(find, pos)) != std::string_view::npos) {
    long index = CharIndex(s, pos);
    if (index >= 0) return index + 1;
    ++pos;  // the match began inside a character
  }
  return 0;
}

long InStrRev(std::string_view s, std::string_view find, long start) {
  if (start == 0 || start < -1) Raise(errInvalidCall);
  long total = Len(s);
  if (s.empty()) return 0;
  if (start == -1) start = total;
  if (start > total) return 0;
  if (find.empty()) return start;
  size_t limit = ByteOffset(s, start);  // the match must end at or before this byte
  if (find.size() > limit) return 0;
  size_t pos = limit - find.size();
  while (true) {
    pos = s.rfind(find, pos);
    if (pos == std::string_view::npos) return 0;
    long index = CharIndex(s, pos);
    if (index >= 0) return index + 1;
    if (pos == 0) return 0;
    --pos;
  }
}

std::string Replace(std::string_view s, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(s);
  std::string out;
  size_t pos = 0;
  while (true) {
    size_t hit = s.find(find, pos);
    if (hit == std::string_view::npos) break;
    out.append(s.substr(pos, hit - pos));
    out.append(with);
    pos = hit + find.size();
  }
  out.append(s.substr(pos));
  return out;
}

std::vector<std::string> Split(std::string_view s, std::string_view delimiter) {
  std::vector<std::string> parts;
  if (s.empty()) return parts;
  if (delimiter.empty()) return {std::string(s)};
  size_t pos = 0;
  while (true) {
    size_t hit = s.find(delimiter, pos);
    if (hit == std::string_view::npos) break;
    parts.emplace_back(s.substr(pos, hit - pos));
    pos = hit + delimiter.size();
  }
  parts.emplace_back(s.substr(pos));
  return parts;
}

std::string Join(const std::vector<std::string>& parts, std::string_view delimiter) {
  std::string out;
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k > 0) out.append(delimiter);
    out.append(parts[k]);
  }
  return out;
}

std::string Chr(long code) {
  if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) Raise(errInvalidCall);
  return Encode(static_cast<uint32_t>(code));
}

long Asc(std::string_view s) {
  if (s.empty()) Raise(errInvalidCall);
  return static_cast<long>(CodePointAt(s, 0, CharBytes(s, 0)));
}

std::string Space(long count) {
  if (count < 0) Raise(errInvalidCall);
  return std::string(static_cast<size_t>(count), ' ');
}

std::string String(long count, char c) {
  if (count < 0) Raise(errInvalidCall);
  return std::string(static_cast<size_t>(count), c);
}

std::string String(long count, std::string_view c) {
  if (count < 0 || c.empty()) Raise(errInvalidCall);
  std::string_view first = c.substr(0, CharBytes(c, 0));
  std::string out;
  out.reserve(first.size() * static_cast<size_t>(count));
  for (long k = 0; k < count; ++k) out.append(first);
  return out;
}

}  // namespace vb
