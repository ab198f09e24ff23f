#pragma once
// Run-time semantics the program's procedures are written against: errors, conversions,
// strings and dates. Conversions raise vb::Error exactly where the run time raises an error.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vb/error.h"

namespace vb {

// ---- Conversions of text to numbers --------------------------------------------------
// Leading and trailing blanks are ignored; decimal, "&H" hexadecimal and "&O" octal forms and
// exponents are accepted; fractions round half to even; "" and non-numeric text raise 13
// (Type mismatch); a value outside the target type raises 6 (Overflow).
int32_t CLng(std::string_view text);   // Long
int16_t CInt(std::string_view text);   // Integer
uint8_t CByte(std::string_view text);  // Byte
bool CBool(std::string_view text);     // "True"/"False" (any case) or a number (0 is False)
float CSng(std::string_view text);     // Single
double CDbl(std::string_view text);    // Double

// Conversions of numbers (half to even; 6 outside the target type).
int32_t CLng(double value);
int16_t CInt(double value);
uint8_t CByte(double value);

// Val: the leading number of the text, 0 when there is none; never raises.
double Val(std::string_view text);
// IsNumeric: True when the text converts to a number without error.
bool IsNumeric(std::string_view text);

// ---- Numbers to text -------------------------------------------------------------------
std::string Hex(long value);          // upper case, no leading zeros; negative as 32-bit
std::string CStr(long value);         // "-5", "12"
std::string CStr(double value);       // shortest form as the run time writes it
std::string CStr(bool value);         // "True" / "False"
std::string Str(long value);          // leading blank for non-negative numbers
std::string Format(double value, std::string_view pattern);  // "0.00", "0", "00", "000"

// ---- Dates -------------------------------------------------------------------------------
struct DateTime {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};
DateTime Now();  // local time
// Patterns used by the program: "yyyy/mm/dd hh:mm:ss", "yyyymmddhhmmss", "hh:mm:ss".
std::string Format(const DateTime& when, std::string_view pattern);

// ---- Strings ------------------------------------------------------------------------------
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string UCase(std::string_view s);
std::string LCase(std::string_view s);
std::string Left(std::string_view s, long length);            // 5 when length < 0
std::string Right(std::string_view s, long length);           // 5 when length < 0
std::string Mid(std::string_view s, long start);              // 5 when start < 1
std::string Mid(std::string_view s, long start, long length);
long InStr(std::string_view s, std::string_view find);        // 1-based, 0 when absent
long InStr(long start, std::string_view s, std::string_view find);
long Len(std::string_view s);
std::string Replace(std::string_view s, std::string_view find, std::string_view with);
std::vector<std::string> Split(std::string_view s, std::string_view delimiter = " ");
std::string Join(const std::vector<std::string>& parts, std::string_view delimiter = " ");
std::string Chr(int code);
int Asc(std::string_view s);                                  // 5 on ""
std::string Space(long count);
std::string String(long count, char c);
bool EqualNoCase(std::string_view a, std::string_view b);

inline constexpr const char* vbCrLf = "\r\n";
inline constexpr const char* vbCr = "\r";
inline constexpr const char* vbLf = "\n";
inline constexpr const char* vbTab = "\t";

}  // namespace vb
