#pragma once
// Run-time semantics the program's procedures are written against: errors, conversions,
// strings and dates. Conversions raise vb::Error exactly where the run time raises an error.
//
// Locale: decimal point ".", thousands separator ",", currency symbol "$", date separator "/"
// and time separator ":" (the run time's behaviour on an English system), kept in vb.cpp.
//
// Strings are UTF-8. Len, Left, Right, Mid, InStr and InStrRev count characters (code points),
// not bytes, so Japanese texts are cut between characters; a byte that does not start a
// valid UTF-8 sequence counts as one character of its own.
#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/vb/error.h"

namespace vb {

template <class T>
concept Number = std::is_arithmetic_v<T>;

// ---- Conversions of text to numbers --------------------------------------------------
// Leading and trailing blanks are ignored; decimal, "&H" hexadecimal and "&O" octal forms,
// a sign before or after the number, "(12)" for -12, thousands separators after the first
// digit and exponents are accepted; fractions round half to even on the decimal digits;
// "" and non-numeric text raise 13 (Type mismatch); a value outside the target type raises
// 6 (Overflow). Hexadecimal and octal values are read in the target's width: CInt("&HFFFF")
// is -1, CLng("&HFFFF") is 65535.
int32_t CLng(std::string_view text);   // Long
int16_t CInt(std::string_view text);   // Integer
uint8_t CByte(std::string_view text);  // Byte
bool CBool(std::string_view text);     // "True"/"False" (any case) or a number (0 is False)
float CSng(std::string_view text);     // Single
double CDbl(std::string_view text);    // Double
// Not a conversion of the run time: CDbl for a caller that clamps whatever number it is given
// to a range of its own. A number beyond the range of a Double gives the largest Double of its
// sign instead of raising 6; a text that is no number still raises 13.
double CDblWithinRange(std::string_view text);

namespace detail {
[[noreturn]] void RaiseOverflow();
template <class R, class T>
R ToInteger(T value) {
  if constexpr (std::is_same_v<T, bool>) {
    if (!value) return R(0);
    if constexpr (std::is_signed_v<R>) return R(-1);
    else RaiseOverflow();
  } else if constexpr (std::is_integral_v<T>) {
    if (!std::in_range<R>(value)) RaiseOverflow();
    return static_cast<R>(value);
  } else {
    double rounded = std::nearbyint(static_cast<double>(value));  // half to even
    if (!(rounded >= static_cast<double>(std::numeric_limits<R>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<R>::max())))
      RaiseOverflow();  // also NaN
    return static_cast<R>(rounded);
  }
}
}  // namespace detail

// Conversions of numbers: fractions round half to even; 6 outside the target type;
// True converts to -1 (and to Byte raises 6, as -1 is no Byte).
template <Number T> int32_t CLng(T value) { return detail::ToInteger<int32_t>(value); }
template <Number T> int16_t CInt(T value) { return detail::ToInteger<int16_t>(value); }
template <Number T> uint8_t CByte(T value) { return detail::ToInteger<uint8_t>(value); }
template <Number T> bool CBool(T value) { return value != 0; }
template <Number T> double CDbl(T value) {
  if constexpr (std::is_same_v<T, bool>) return value ? -1.0 : 0.0;
  else return static_cast<double>(value);
}
float CSng(double value);  // 6 beyond the Single range

// Val: the leading number of the text (blanks, tabs and line feeds anywhere are ignored;
// "&H"/"&O" forms typed like literals: Val("&HFFFF") = -1, Val("&HFFFF&") = 65535),
// 0 when there is none. Never raises 13 for junk; raises 6 only beyond the Double range.
double Val(std::string_view text);
// IsNumeric: True when the text converts to a number without error (no range check).
bool IsNumeric(std::string_view text);

// ---- Numbers to text -------------------------------------------------------------------
namespace detail {
std::string HexDigits(uint64_t bits);
std::string IntegerText(long long value);
}  // namespace detail

// Hex: upper case, no leading zeros. A negative Integer (16-bit) argument is shown as 4 digits
// (Hex(int16_t(-1)) = "FFFF"), any other negative integer as the 32-bit two's complement
// ("FFFFFFFF"); values outside the Long range raise 6. Floating arguments are rounded half
// to even to a Long first.
template <Number T>
std::string Hex(T value) {
  if constexpr (std::is_same_v<T, bool>) {
    return value ? "FFFF" : "0";
  } else if constexpr (std::is_floating_point_v<T>) {
    return Hex(CLng(value));
  } else if constexpr (std::is_signed_v<T> && sizeof(T) <= 2) {
    return detail::HexDigits(static_cast<uint16_t>(value));
  } else if constexpr (std::is_signed_v<T>) {
    if (!std::in_range<int32_t>(value)) detail::RaiseOverflow();
    return detail::HexDigits(static_cast<uint32_t>(static_cast<int32_t>(value)));
  } else {
    if (!std::in_range<uint32_t>(value)) detail::RaiseOverflow();
    return detail::HexDigits(value);
  }
}

// CStr: "-5", "12", "0.5", up to 15 significant digits for a Double and 7 for a Single,
// trailing zeros dropped, scientific form beyond that ("1E+15", "1E-05").
std::string CStr(double value);
std::string CStr(float value);
std::string CStr(bool value);  // "True" / "False"
template <std::integral T>
std::string CStr(T value) { return detail::IntegerText(static_cast<long long>(value)); }
inline std::string CStr(std::string_view text) { return std::string(text); }
inline std::string CStr(const char* text) { return std::string(text); }

// Str: a leading blank for zero and positive numbers, no leading zero before the point
// (Str(0.5) = " .5", Str(-0.25) = "-.25").
std::string Str(double value);
template <std::integral T>
std::string Str(T value) {
  return (value >= 0 ? " " : "") + detail::IntegerText(static_cast<long long>(value));
}

// Format of a number with a digit pattern: "0" (digit or zero), "#" (digit or nothing),
// "." (decimal point), "," in the integer part (thousands grouping), "%" (times 100),
// "\c" and "text" literals, other characters copied. The number is first taken to
// 15 significant digits and then rounded half away from zero: Format(1.005, "0.00") = "1.01",
// Format(2.5, "0") = "3". A negative number keeps its sign even when it rounds to zero.
// An empty pattern gives CStr. Sections (";") and scientific patterns are not supported.
std::string Format(double value, std::string_view pattern = {});

// ---- Dates -------------------------------------------------------------------------------
struct DateTime {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};
DateTime Now();  // local time
// Date patterns: yyyy, yy, m, mm (minutes when it follows an hour token), mmm, mmmm, d, dd,
// ddd, dddd, h, hh (24-hour), n, nn, s, ss; "/" and ":" are the separators; "\c" and
// "text" literals; other characters copied. "yyyy/mm/dd hh:mm:ss" gives 2024/03/05 07:08:09,
// "yyyymmddhhmmss" gives 20240305070809, "hh:mm:ss" gives 07:08:09.
std::string Format(const DateTime& when, std::string_view pattern);

// ---- Strings ------------------------------------------------------------------------------
std::string Trim(std::string_view s);   // blanks (U+0020) only, as the run time does
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string UCase(std::string_view s);  // ASCII, Latin-1 and full-width Latin letters
std::string LCase(std::string_view s);
std::string Left(std::string_view s, long length);            // 5 when length < 0
std::string Right(std::string_view s, long length);           // 5 when length < 0
std::string Mid(std::string_view s, long start);              // 5 when start < 1
std::string Mid(std::string_view s, long start, long length); // 5 when start < 1 or length < 0
long InStr(std::string_view s, std::string_view find);        // 1-based, 0 when absent
long InStr(long start, std::string_view s, std::string_view find);  // 5 when start < 1
// Last match ending at or before `start` (-1: the end); 5 when start is 0 or below -1.
long InStrRev(std::string_view s, std::string_view find, long start = -1);
long Len(std::string_view s);                                 // characters
std::string Replace(std::string_view s, std::string_view find, std::string_view with);
// Split("") is an empty list; an empty delimiter gives the whole text as one element.
std::vector<std::string> Split(std::string_view s, std::string_view delimiter = " ");
std::string Join(const std::vector<std::string>& parts, std::string_view delimiter = " ");
std::string Chr(long code);                                   // Unicode code point; 5 if invalid
long Asc(std::string_view s);                                 // first code point; 5 on ""
std::string Space(long count);                                // 5 when count < 0
std::string String(long count, char c);                       // 5 when count < 0
std::string String(long count, std::string_view c);           // first character of c; 5 on ""
bool EqualNoCase(std::string_view a, std::string_view b);

inline constexpr const char* vbCrLf = "\r\n";
inline constexpr const char* vbCr = "\r";
inline constexpr const char* vbLf = "\n";
inline constexpr const char* vbTab = "\t";
inline constexpr const char* vbNullString = "";

}  // namespace vb
