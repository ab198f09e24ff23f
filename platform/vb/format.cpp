// Format of numbers with digit patterns and of dates with date patterns; Now.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <ctime>

#include "platform/vb/locale.h"
#include "platform/vb/vb.h"

namespace vb {

namespace {

// Adds one to a string of decimal digits (growing it on a carry out of the first digit).
void Increment(std::string& digits) {
  for (size_t k = digits.size(); k-- > 0;) {
    if (digits[k] != '9') {
      ++digits[k];
      return;
    }
    digits[k] = '0';
  }
  digits.insert(digits.begin(), '1');
}

// |value| taken to 15 significant digits, then rounded half away from zero to `decimals`
// fraction digits: integer digits (no leading zeros, "" for zero) and exactly `decimals`
// fraction digits.
void DecimalDigits(double value, size_t decimals, std::string& integer, std::string& fraction) {
  integer.clear();
  fraction.clear();
  if (value != 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string mantissa;
    const char* c = buf;
    for (; *c && *c != 'e'; ++c)
      if (std::isdigit(static_cast<unsigned char>(*c))) mantissa += *c;
    long exponent = std::strtol(c + 1, nullptr, 10);
    // mantissa = d.dddddddddddddd, the point after the first digit
    if (exponent >= 0) {
      size_t intLen = static_cast<size_t>(exponent) + 1;
      if (intLen >= mantissa.size()) {
        integer = mantissa + std::string(intLen - mantissa.size(), '0');
      } else {
        integer = mantissa.substr(0, intLen);
        fraction = mantissa.substr(intLen);
      }
    } else {
      fraction = std::string(static_cast<size_t>(-exponent - 1), '0') + mantissa;
    }
  }
  if (fraction.size() > decimals) {
    bool up = fraction[decimals] >= '5';
    fraction.resize(decimals);
    if (up) {
      std::string all = integer + fraction;
      Increment(all);
      integer = all.substr(0, all.size() - decimals);
      fraction = all.substr(all.size() - decimals);
    }
  }
  fraction.resize(decimals, '0');
  size_t first = integer.find_first_not_of('0');
  integer = first == std::string::npos ? std::string() : integer.substr(first);
}

// A pattern element: a digit placeholder ('0' or '#'), the decimal point ('.'), or literal text.
struct Element {
  char kind;  // '0', '#', '.', 'L'
  std::string text;
};

std::string GroupThousands(const std::string& digits) {
  std::string out;
  for (size_t k = 0; k < digits.size(); ++k) {
    if (k > 0 && (digits.size() - k) % 3 == 0) out += locale::kThousands;
    out += digits[k];
  }
  return out;
}

}  // namespace

std::string Format(double value, std::string_view pattern) {
  if (pattern.empty() || !std::isfinite(value)) return CStr(value);
  std::vector<Element> elements;
  bool grouping = false, percent = false, pointSeen = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '0' || c == '#') {
      elements.push_back({c, {}});
    } else if (c == '.' && !pointSeen) {
      pointSeen = true;
      elements.push_back({'.', {}});
    } else if (c == ',' && !pointSeen) {
      grouping = true;
    } else if (c == '\\' && i + 1 < pattern.size()) {
      elements.push_back({'L', std::string(1, pattern[++i])});
    } else if (c == '"') {
      size_t end = pattern.find('"', i + 1);
      if (end == std::string_view::npos) end = pattern.size();
      elements.push_back({'L', std::string(pattern.substr(i + 1, end - i - 1))});
      i = end;
    } else {
      if (c == '%') percent = true;
      elements.push_back({'L', std::string(1, c)});
    }
  }
  if (percent) value *= 100;

  size_t pointAt = elements.size();
  for (size_t k = 0; k < elements.size(); ++k)
    if (elements[k].kind == '.') pointAt = k;
  std::vector<size_t> intSlots, fracSlots;
  for (size_t k = 0; k < elements.size(); ++k) {
    if (elements[k].kind != '0' && elements[k].kind != '#') continue;
    (k < pointAt ? intSlots : fracSlots).push_back(k);
  }

  std::string integer, fraction;
  DecimalDigits(value, fracSlots.size(), integer, fraction);

  // Integer digits: padded to the placeholders from the first '0' on, grouped when asked;
  // filled from the right, the leftmost placeholder taking every remaining digit.
  size_t minDigits = 0;
  for (size_t k = 0; k < intSlots.size(); ++k) {
    if (elements[intSlots[k]].kind == '0') {
      minDigits = intSlots.size() - k;
      break;
    }
  }
  if (integer.size() < minDigits) integer.insert(0, minDigits - integer.size(), '0');
  std::string intText = grouping ? GroupThousands(integer) : integer;
  std::vector<std::string> slotText(elements.size());
  for (size_t k = intSlots.size(); k-- > 0;) {
    size_t take = k == 0 ? intText.size() : std::min<size_t>(1, intText.size());
    slotText[intSlots[k]] = intText.substr(intText.size() - take);
    intText.resize(intText.size() - take);
  }
  // Fraction digits: '#' places drop trailing zeros, '0' places keep them.
  size_t keep = 0;
  for (size_t k = 0; k < fracSlots.size(); ++k)
    if (elements[fracSlots[k]].kind == '0' || fraction[k] != '0') keep = k + 1;
  for (size_t k = 0; k < keep; ++k) slotText[fracSlots[k]] = std::string(1, fraction[k]);

  std::string out = value < 0 ? "-" : "";
  for (size_t k = 0; k < elements.size(); ++k) {
    switch (elements[k].kind) {
      case '.': out += locale::kDecimal; break;
      case 'L': out += elements[k].text; break;
      default: out += slotText[k]; break;
    }
  }
  return out;
}

// ---- Dates -------------------------------------------------------------------------------

DateTime Now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

namespace {

std::string TwoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

// 0 = Sunday (Sakamoto's method on the proleptic Gregorian calendar).
int Weekday(int y, int m, int d) {
  static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 1 || m > 12) return 0;
  if (m < 3) y -= 1;
  int w = (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
  return w < 0 ? w + 7 : w;
}

int DayOfYear(int y, int m, int d) {
  static const int before[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  if (m < 1 || m > 12) return d;
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return before[m - 1] + d + (leap && m > 2 ? 1 : 0);
}

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string MonthName(int m, bool full) {
  if (m < 1 || m > 12) return std::to_string(m);
  std::string name = kMonths[m - 1];
  return full ? name : name.substr(0, 3);
}

}  // namespace

std::string Format(const DateTime& when, std::string_view pattern) {
  std::string out;
  bool afterHour = false;  // the next m/mm means minutes
  size_t i = 0, n = pattern.size();
  auto run = [&](char lower, size_t max) {
    size_t k = 0;
    while (i + k < n && k < max && std::tolower(static_cast<unsigned char>(pattern[i + k])) == lower) ++k;
    i += k;
    return k;
  };
  while (i < n) {
    char c = pattern[i];
    char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    switch (lower) {
      case 'y': {
        size_t k = run('y', 4);
        if (k == 4) {
          char buf[16];
          std::snprintf(buf, sizeof buf, "%04d", when.year);
          out += buf;
        } else if (k >= 2) {
          out += TwoDigits(((when.year % 100) + 100) % 100);
          if (k == 3) out += std::to_string(DayOfYear(when.year, when.month, when.day));
        } else {
          out += std::to_string(DayOfYear(when.year, when.month, when.day));
        }
        afterHour = false;
        break;
      }
      case 'm': {
        size_t k = run('m', 4);
        if (k <= 2 && afterHour) {
          out += k == 2 ? TwoDigits(when.minute) : std::to_string(when.minute);
        } else if (k <= 2) {
          out += k == 2 ? TwoDigits(when.month) : std::to_string(when.month);
        } else {
          out += MonthName(when.month, k == 4);
        }
        afterHour = false;
        break;
      }
      case 'd': {
        size_t k = run('d', 4);
        if (k == 1) out += std::to_string(when.day);
        else if (k == 2) out += TwoDigits(when.day);
        else {
          std::string name = kDays[Weekday(when.year, when.month, when.day)];
          out += k == 4 ? name : name.substr(0, 3);
        }
        afterHour = false;
        break;
      }
      case 'h': {
        size_t k = run('h', 2);
        out += k == 2 ? TwoDigits(when.hour) : std::to_string(when.hour);
        afterHour = true;
        break;
      }
      case 'n': {
        size_t k = run('n', 2);
        out += k == 2 ? TwoDigits(when.minute) : std::to_string(when.minute);
        afterHour = false;
        break;
      }
      case 's': {
        size_t k = run('s', 2);
        out += k == 2 ? TwoDigits(when.second) : std::to_string(when.second);
        afterHour = false;
        break;
      }
      case '/':
        out += locale::kDateSeparator;
        ++i;
        break;
      case ':':
        out += locale::kTimeSeparator;
        ++i;
        break;
      case '\\':
        if (i + 1 < n) out += pattern[i + 1];
        i += 2;
        break;
      case '"': {
        size_t end = pattern.find('"', i + 1);
        if (end == std::string_view::npos) end = n;
        out += pattern.substr(i + 1, end - i - 1);
        i = end + 1;
        break;
      }
      default:
        out += c;
        ++i;
        break;
    }
  }
  return out;
}

}  // namespace vb
