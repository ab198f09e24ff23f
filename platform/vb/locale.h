#pragma once
// The regional settings the run time's conversions use, kept in one place: an English
// system's ("." decimal point, "," thousands separator, "$" currency, "/" and ":" separators).
#include <string_view>

namespace vb::locale {
inline constexpr char kDecimal = '.';
inline constexpr char kThousands = ',';
inline constexpr std::string_view kCurrency = "$";
inline constexpr std::string_view kDateSeparator = "/";
inline constexpr std::string_view kTimeSeparator = ":";
}  // namespace vb::locale
