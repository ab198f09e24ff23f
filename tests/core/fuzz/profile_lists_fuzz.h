#pragma once
// The body of the profile-and-list fuzz target, shared by the libFuzzer entry and the test
// that replays the seed corpus.
//
// The input is read as a profile file: the first section and key it names (or "s" and "k")
// are looked up, then written; the written value must read back, and every byte of the old
// content must survive except inside the one line replaced. The input is also read as two
// command lists (split at the first "|"): union, intersection, difference and sort either
// fail with run-time error 13 or 9, or give items taken as written from their inputs.
// Any breach calls std::abort().
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_lists.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "platform/profile/profile.h"
#include "platform/vb/error.h"
#include "platform/vb/vb.h"

namespace profile_lists_fuzz {

inline void Check(bool ok) {
  if (!ok) std::abort();
}

inline std::string_view Trimmed(std::string_view s) {
  auto blank = [](char c) { return (c >= '\t' && c <= '\r') || c == ' ' || c == '\x1a'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// The first section header and the first key after it, as the file names them.
inline void PickNames(std::string_view content, std::string& section, std::string& key) {
  section = "s";
  key = "k";
  bool inSection = false;
  std::size_t pos = 0;
  while (pos < content.size()) {
    std::size_t end = content.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = Trimmed(content.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty()) continue;
    std::size_t close = line.rfind(']');
    if (line.front() == '[' && close != std::string_view::npos && close > 0) {
      if (inSection) return;
      section = std::string(Trimmed(line.substr(1, close - 1)));
      inSection = true;
    } else if (inSection) {
      key = std::string(Trimmed(line.substr(0, line.find('='))));
      // A key that would read as a section header once "=value" follows is left alone.
      if (!key.empty() && key.front() == '[' && key.find(']') != std::string::npos) key = "k";
      return;
    }
  }
}

inline void FuzzProfile(std::string_view content) {
  std::string section, key, value;
  PickNames(content, section, key);
  if (profile::text::FindValue(content, section, key, value)) {
    Check(value.find_first_of("\r\n") == std::string::npos);
  }
  const std::string written = profile::text::SetValue(content, section, key, "fuzz value");
  std::string back;
  Check(profile::text::FindValue(written, section, key, back));
  Check(back == "fuzz value");
  // The old content is the new one with one stretch taken out, and that stretch of the old
  // content lies inside one line.
  std::size_t prefix = 0;
  while (prefix < content.size() && prefix < written.size() && content[prefix] == written[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < content.size() - prefix && suffix < written.size() - prefix &&
         content[content.size() - 1 - suffix] == written[written.size() - 1 - suffix]) {
    ++suffix;
  }
  const std::string_view removed = content.substr(prefix, content.size() - prefix - suffix);
  Check(removed.find_first_of("\r\n") == std::string_view::npos);
}

inline bool ItemsFrom(const std::string& result, const std::string& a, const std::string& b) {
  if (result.empty()) return true;
  std::vector<std::string> pool = vb::Split(a, ",");
  for (const std::string& item : vb::Split(b, ",")) pool.push_back(item);
  for (const std::string& item : vb::Split(result, ",")) {
    if (std::find(pool.begin(), pool.end(), item) == pool.end()) return false;
  }
  return true;
}

inline void FuzzLists(std::string_view text) {
  if (text.size() > 512) text = text.substr(0, 512);  // the set operations are quadratic
  if (!gobjDataInfo[1]) Check(SubMain::mblnSetDataInfo());
  long lastError = 0;
  vb::SetErrorReporter([&](const std::string&) {
    lastError = Err.Number;
    Err.Clear();
  });
  const std::size_t bar = text.find('|');
  const std::string a(text.substr(0, bar));
  const std::string b(bar == std::string_view::npos ? std::string_view() : text.substr(bar + 1));
  auto expectOnlyListErrors = [&](bool ok) {
    if (!ok) Check(lastError == vb::errTypeMismatch || lastError == vb::errOverflow || lastError == vb::errSubscript);
    lastError = 0;
    return ok;
  };
  std::string r;
  if (expectOnlyListErrors(SubMain::gblnSumCmdSet(a, b, r))) {
    Check(ItemsFrom(r, a, b));
    Check(r.compare(0, a.size(), a) == 0);
  }
  if (expectOnlyListErrors(SubMain::gblnAndCmdSet(a, b, r))) Check(ItemsFrom(r, b, ""));
  if (expectOnlyListErrors(SubMain::gblnSubCmdSet(a, b, r))) Check(ItemsFrom(r, a, ""));
  const std::string sorted = SubMain::gstrSortCommandList(a);
  expectOnlyListErrors(lastError == 0);
  std::vector<std::string> before = vb::Split(a, ","), after = vb::Split(sorted, ",");
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  Check(before == after);
  vb::SetErrorReporter(nullptr);
}

inline int Run(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  FuzzProfile(text);
  FuzzLists(text);
  return 0;
}

}  // namespace profile_lists_fuzz
