#include "platform/app/res_string.h"

#include <charconv>
#include <cstdlib>

#include "platform/vb/error.h"
#include "resources/resources.h"

namespace vb {
namespace {

constexpr long errResourceNotFound = 326;

std::optional<ResLanguage>& forcedLanguage() {
  static std::optional<ResLanguage> forced;
  return forced;
}

std::string unescape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      switch (s[i + 1]) {
        case '\\': out += '\\'; ++i; continue;
        case 't': out += '\t'; ++i; continue;
        case 'r': out += '\r'; ++i; continue;
        case 'n': out += '\n'; ++i; continue;
        default: break;
      }
    }
    out += s[i];
  }
  return out;
}

const std::map<long, std::string>& table(ResLanguage language) {
  // Each language's file is parsed once, on first use.
  static const std::map<long, std::string> english =
      ParseResStrings(resources::find("messages/en.txt").value_or(std::string_view{}));
  static const std::map<long, std::string> japanese =
      ParseResStrings(resources::find("messages/ja.txt").value_or(std::string_view{}));
  return language == ResLanguage::Japanese ? japanese : english;
}

}  // namespace

ResLanguage LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang) {
  const char* chosen = nullptr;
  for (const char* v : {lcAll, lcMessages, lang}) {
    if (v && *v) {
      chosen = v;
      break;
    }
  }
  if (!chosen) return ResLanguage::English;
  std::string_view name(chosen);
  if (name.substr(0, 2) == "ja" && (name.size() == 2 || name[2] == '_' || name[2] == '.' || name[2] == '@')) {
    return ResLanguage::Japanese;
  }
  return ResLanguage::English;
}

ResLanguage UserInterfaceLanguage() {
  return LanguageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

void ForceResLanguage(std::optional<ResLanguage> language) { forcedLanguage() = language; }

std::string LoadResString(long number) {
  return LoadResString(number, forcedLanguage().value_or(UserInterfaceLanguage()));
}

std::string LoadResString(long number, ResLanguage language) {
  const auto& entries = table(language);
  auto it = entries.find(number);
  if (it == entries.end()) {
    Raise(errResourceNotFound, "Resource with identifier '" + std::to_string(number) + "' not found");
  }
  return it->second;
}

std::map<long, std::string> ParseResStrings(std::string_view data, std::string* badLines) {
  std::map<long, std::string> entries;
  long lineNo = 0;
  while (!data.empty()) {
    ++lineNo;
    size_t end = data.find('\n');
    std::string_view line = data.substr(0, end);
    data = end == std::string_view::npos ? std::string_view{} : data.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    size_t tab = line.find('\t');
    long number = 0;
    auto [p, ec] = std::from_chars(line.data(), line.data() + (tab == std::string_view::npos ? line.size() : tab), number);
    bool ok = tab != std::string_view::npos && tab > 0 && ec == std::errc{} && p == line.data() + tab &&
              !entries.count(number);
    if (!ok) {
      if (badLines) {
        if (!badLines->empty()) *badLines += ",";
        *badLines += std::to_string(lineNo);
      }
      continue;
    }
    entries.emplace(number, unescape(line.substr(tab + 1)));
  }
  return entries;
}

}  // namespace vb
