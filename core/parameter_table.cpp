// The parameter table: the definition of every command code, built once at start-up from the
// built-in data file parameters.tsv (the defined codes) and the rule for undefined codes.
#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/start_up.h"
#include "core/variables.h"
#include "platform/vb/error.h"
#include "resources/resources.h"

namespace SubMain {
namespace {

struct Definition {
  std::string section, key;
  int32_t defaultValue = 0, min = 0, max = 0;
  std::string mode;
};

std::vector<std::string_view> splitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

template <class T>
T number(std::string_view text, int base = 10) {
  T value{};
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc{} || p != text.data() + text.size()) vb::Raise(vb::errTypeMismatch);
  return value;
}

// The defined codes of parameters.tsv, by code. A malformed file is a run-time error.
std::array<std::optional<Definition>, 256> readDefinitions() {
  auto data = resources::find("parameters.tsv");
  if (!data) vb::Raise(326, "Resource with identifier 'parameters.tsv' not found");
  std::array<std::optional<Definition>, 256> table;
  std::string_view rest = *data;
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    auto f = splitTabs(line);
    if (f.size() != 7) vb::Raise(vb::errTypeMismatch);
    int code = number<int>(f[0], 16);
    if (code < 1 || code > 254 || table[code]) vb::Raise(vb::errSubscript);
    table[code] = Definition{std::string(f[1]), std::string(f[2]), number<int32_t>(f[3]),
                             number<int32_t>(f[4]), number<int32_t>(f[5]), std::string(f[6])};
  }
  return table;
}

std::string hex2(int code) {
  static const char digits[] = "0123456789ABCDEF";
  return {digits[code >> 4], digits[code & 15]};
}

}  // namespace

bool mblnSetDataInfo() {
  return vb::guarded("SubMain.mblnSetDataInfo", [&] {
    const auto defined = readDefinitions();
    for (auto& entry : gobjDataInfo) entry = std::make_unique<clsDataInfo>();
    for (int code = 0x01; code <= 0xFE; ++code) {
      bool ok;
      if (const auto& d = defined[code]) {
        ok = gobjDataInfo[code]->SetInfo(d->section, d->key, d->defaultValue, d->min, d->max, d->mode);
      } else {
        // Undefined: section "<high digit>X", key the two hex digits, 255 in 0 to 255.
        const std::string key = hex2(code);
        ok = gobjDataInfo[code]->SetInfo(key.substr(0, 1) + "X", key, 255, 0, 255, "Developing");
      }
      if (!ok) return false;  // SetInfo has reported its error
    }
    return true;
  });
}

}  // namespace SubMain
