// Text to number and number to text, as the run time converts them.
#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/vb/locale.h"
#include "platform/vb/vb.h"

namespace vb {
namespace detail {

void RaiseOverflow() { Raise(errOverflow); }

}  // namespace detail

namespace {

// A number as the parser read it: either a radix (hex/octal) value or decimal digits.
struct Parsed {
  bool negative = false;
  bool radix = false;
  uint64_t radixValue = 0;
  bool radixTooBig = false;  // more than 64 bits
  std::string digits;        // significant digits, no leading or trailing zeros ("" = zero)
  long exponent = 0;         // value = digits * 10^exponent
};

// Bytes of the white-space character at s[i], 0 when there is none.
size_t SpaceAt(std::string_view s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') return 1;
  if (s.substr(i, 2) == "\xC2\xA0") return 2;      // no-break space
  if (s.substr(i, 3) == "\xE3\x80\x80") return 3;  // ideographic space
  return 0;
}

bool IsDigitIn(char c, int base) {
  if (base == 16) return std::isxdigit(static_cast<unsigned char>(c)) != 0;
  if (base == 8) return c >= '0' && c <= '7';
  return c >= '0' && c <= '9';
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return (std::tolower(static_cast<unsigned char>(c)) - 'a') + 10;
}

// The run time's number grammar (see vb.h). nullopt when the whole text is not a number.
std::optional<Parsed> ParseNumber(std::string_view s) {
  Parsed p;
  size_t i = 0, n = s.size();
  bool plus = false, minus = false, currency = false, paren = false;
  // Leading blanks, sign, currency symbol and opening bracket, in any order.
  while (i < n) {
    if (size_t w = SpaceAt(s, i)) { i += w; continue; }
    if (s[i] == '+' && !plus) { plus = true; ++i; continue; }
    if (s[i] == '-' && !minus) { minus = true; ++i; continue; }
    if (s.substr(i).starts_with(locale::kCurrency) && !currency) {
      currency = true;
      i += locale::kCurrency.size();
      continue;
    }
    if (s[i] == '(' && !paren) { paren = true; ++i; continue; }
    break;
  }
  bool anyDigit = false;
  if (!currency && i + 1 < n && s[i] == '&' &&
      (s[i + 1] == 'H' || s[i + 1] == 'h' || s[i + 1] == 'O' || s[i + 1] == 'o')) {
    int base = (s[i + 1] == 'H' || s[i + 1] == 'h') ? 16 : 8;
    i += 2;
    p.radix = true;
    while (i < n && IsDigitIn(s[i], base)) {
      anyDigit = true;
      uint64_t d = static_cast<uint64_t>(DigitValue(s[i]));
      if (p.radixValue > (UINT64_MAX - d) / static_cast<uint64_t>(base)) p.radixTooBig = true;
      p.radixValue = p.radixValue * static_cast<uint64_t>(base) + d;
      ++i;
    }
  } else {
    std::string all;  // every digit, integer and fraction
    long fractionDigits = 0;
    bool point = false;
    while (i < n) {
      char c = s[i];
      if (c >= '0' && c <= '9') {
        all += c;
        anyDigit = true;
        if (point) ++fractionDigits;
      } else if (c == locale::kThousands && anyDigit && !point) {
        // accepted anywhere after the first digit, without a grouping check
      } else if (c == locale::kDecimal && !point) {
        point = true;
      } else {
        break;
      }
      ++i;
    }
    if (!anyDigit) return std::nullopt;
    long exponent = 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
      size_t j = i + 1;
      bool expNegative = false;
      if (j < n && (s[j] == '+' || s[j] == '-')) expNegative = s[j++] == '-';
      if (j >= n || !IsDigitIn(s[j], 10)) return std::nullopt;  // "1e", "1e+"
      while (j < n && IsDigitIn(s[j], 10)) {
        if (exponent < 100000) exponent = exponent * 10 + (s[j] - '0');
        ++j;
      }
      if (expNegative) exponent = -exponent;
      i = j;
    }
    size_t first = all.find_first_not_of('0');
    if (first != std::string::npos) {
      size_t last = all.find_last_not_of('0');
      p.digits = all.substr(first, last - first + 1);
      p.exponent = exponent - fractionDigits + static_cast<long>(all.size() - 1 - last);
    }
  }
  if (!anyDigit) return std::nullopt;
  // Trailing blanks, separators, one sign (when none led), the closing bracket, currency.
  bool trailingSign = false, closed = false;
  while (i < n) {
    if (size_t w = SpaceAt(s, i)) { i += w; continue; }
    if (s[i] == locale::kThousands && !p.radix) { ++i; continue; }
    if ((s[i] == '+' || s[i] == '-') && !plus && !minus && !trailingSign) {
      trailingSign = true;
      minus = s[i] == '-';
      ++i;
      continue;
    }
    if (s[i] == ')' && paren && !closed) { closed = true; ++i; continue; }
    if (s.substr(i).starts_with(locale::kCurrency) && !currency) {
      currency = true;
      i += locale::kCurrency.size();
      continue;
    }
    break;
  }
  if (i != n || paren != closed) return std::nullopt;
  p.negative = minus || paren;
  return p;
}

Parsed ParseOrMismatch(std::string_view s) {
  auto p = ParseNumber(s);
  if (!p) Raise(errTypeMismatch);
  return *p;
}

// The parsed number in an integer type of range min..max whose unsigned form holds
// 0..unsignedMax (hexadecimal and octal values are read in that width).
int64_t ToIntegerOf(const Parsed& p, int64_t min, int64_t max, uint64_t unsignedMax) {
  if (p.radix) {
    if (p.radixTooBig || p.radixValue > unsignedMax) Raise(errOverflow);
    int64_t v = static_cast<int64_t>(p.radixValue);
    if (v > max) v -= static_cast<int64_t>(unsignedMax) + 1;  // e.g. &HFFFF is -1 as Integer
    if (p.negative) v = -v;
    if (v < min || v > max) Raise(errOverflow);
    return v;
  }
  uint64_t magnitude = 0;
  if (!p.digits.empty()) {
    const std::string& d = p.digits;
    long len = static_cast<long>(d.size());
    long intLen = len + p.exponent;  // digits before the decimal point
    if (intLen > 19) Raise(errOverflow);
    for (long k = 0; k < intLen; ++k)
      magnitude = magnitude * 10 + static_cast<uint64_t>(k < len ? d[static_cast<size_t>(k)] - '0' : 0);
    if (intLen < len) {
      // Round half to even on the exact decimal fraction.
      int firstFraction = intLen >= 0 ? d[static_cast<size_t>(intLen)] - '0' : 0;
      bool moreAfter = intLen < 0 || intLen + 1 < len;
      if (firstFraction > 5 || (firstFraction == 5 && (moreAfter || magnitude % 2 != 0))) ++magnitude;
    }
  }
  if (p.negative) {
    if (magnitude > static_cast<uint64_t>(-min)) Raise(errOverflow);
    return -static_cast<int64_t>(magnitude);
  }
  if (magnitude > static_cast<uint64_t>(max)) Raise(errOverflow);
  return static_cast<int64_t>(magnitude);
}

// The value, infinite beyond the range of a Double.
double ToDoubleOrInfinity(const Parsed& p) {
  if (p.radix) {
    double v = p.radixTooBig ? 1.8446744073709552e19 : static_cast<double>(p.radixValue);
    return p.negative ? -v : v;
  }
  if (p.digits.empty()) return 0.0;
  std::string text = (p.negative ? "-" : "") + p.digits + "e" + std::to_string(p.exponent);
  errno = 0;
  return std::strtod(text.c_str(), nullptr);
}

double ToDouble(const Parsed& p) {
  const double v = ToDoubleOrInfinity(p);
  if (std::isinf(v)) Raise(errOverflow);
  return v;
}

}  // namespace

int32_t CLng(std::string_view text) {
  return static_cast<int32_t>(ToIntegerOf(ParseOrMismatch(text), INT32_MIN, INT32_MAX, UINT32_MAX));
}

int16_t CInt(std::string_view text) {
  return static_cast<int16_t>(ToIntegerOf(ParseOrMismatch(text), INT16_MIN, INT16_MAX, UINT16_MAX));
}

uint8_t CByte(std::string_view text) {
  return static_cast<uint8_t>(ToIntegerOf(ParseOrMismatch(text), 0, UINT8_MAX, UINT8_MAX));
}

bool CBool(std::string_view text) {
  if (EqualNoCase(text, "True") || text == "#TRUE#") return true;
  if (EqualNoCase(text, "False") || text == "#FALSE#") return false;
  Parsed p = ParseOrMismatch(text);
  return p.radix ? p.radixValue != 0 || p.radixTooBig : !p.digits.empty();
}

double CDbl(std::string_view text) { return ToDouble(ParseOrMismatch(text)); }

double CDblWithinRange(std::string_view text) {
  const double v = ToDoubleOrInfinity(ParseOrMismatch(text));
  return std::isinf(v) ? std::copysign(DBL_MAX, v) : v;
}

float CSng(double value) {
  if (std::isfinite(value) && std::fabs(value) > static_cast<double>(FLT_MAX)) {
    // Values just above FLT_MAX still round to FLT_MAX.
    if (std::isinf(static_cast<float>(value))) Raise(errOverflow);
  }
  return static_cast<float>(value);
}

float CSng(std::string_view text) { return CSng(CDbl(text)); }

bool IsNumeric(std::string_view text) { return ParseNumber(text).has_value(); }

double Val(std::string_view text) {
  std::string s;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n') s += c;
  size_t i = 0, n = s.size();
  if (i + 1 < n && s[i] == '&' && (s[i + 1] == 'H' || s[i + 1] == 'h' || s[i + 1] == 'O' || s[i + 1] == 'o')) {
    int base = (s[i + 1] == 'H' || s[i + 1] == 'h') ? 16 : 8;
    i += 2;
    uint64_t v = 0;
    bool any = false;
    while (i < n && IsDigitIn(s[i], base)) {
      v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(DigitValue(s[i]));
      if (v > UINT32_MAX) Raise(errOverflow);
      any = true;
      ++i;
    }
    if (!any) return 0;
    bool longSuffix = i < n && s[i] == '&';
    // Typed like a literal: Integer when it fits 16 bits, Long otherwise.
    if (!longSuffix && v <= UINT16_MAX) return static_cast<int16_t>(static_cast<uint16_t>(v));
    if (longSuffix && v <= UINT16_MAX) return static_cast<double>(v);
    return static_cast<int32_t>(static_cast<uint32_t>(v));
  }
  size_t start = i;
  if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
  bool any = false;
  while (i < n && IsDigitIn(s[i], 10)) { ++i; any = true; }
  if (i < n && s[i] == '.') {
    ++i;
    while (i < n && IsDigitIn(s[i], 10)) { ++i; any = true; }
  }
  if (!any) return 0;
  if (i < n && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    size_t j = i + 1;
    if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < n && IsDigitIn(s[j], 10)) {
      while (j < n && IsDigitIn(s[j], 10)) ++j;
      i = j;
    }
  }
  std::string number = s.substr(start, i - start);
  for (char& c : number)
    if (c == 'd' || c == 'D') c = 'e';
  double v = std::strtod(number.c_str(), nullptr);
  if (std::isinf(v)) Raise(errOverflow);
  return v;
}

// ---- Numbers to text -------------------------------------------------------------------

namespace detail {

std::string HexDigits(uint64_t bits) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(bits));
  return buf;
}

std::string IntegerText(long long value) { return std::to_string(value); }

}  // namespace detail

namespace {

std::string GeneralText(double value, int digits) {
  if (value == 0) return "0";  // also -0
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*G", digits, value);
  std::string s = buf;
  if (locale::kDecimal != '.') {
    for (char& c : s)
      if (c == '.') c = locale::kDecimal;
  }
  return s;
}

}  // namespace

std::string CStr(double value) { return GeneralText(value, 15); }
std::string CStr(float value) { return GeneralText(static_cast<double>(value), 7); }
std::string CStr(bool value) { return value ? "True" : "False"; }

std::string Str(double value) {
  std::string s = GeneralText(value, 15);
  for (char& c : s)
    if (c == locale::kDecimal) c = '.';
  if (s.starts_with("0.")) s.erase(0, 1);
  else if (s.starts_with("-0.")) s.erase(1, 1);
  return value >= 0 || value == 0 ? " " + s : s;
}

}  // namespace vb
