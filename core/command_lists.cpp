#include "core/command_lists.h"

#include <algorithm>

#include "core/variables.h"
#include "platform/vb/vb.h"

namespace SubMain {
namespace {

constexpr const char* kAllNormal =
    "1,65,64,144,145,146,147,11,10,48,49,50,51,52,53,54,55,66,67,68,69,57,56,59,58,61,60,77,76,104,105,92,93,94,95,"
    "113,114,120,121,122,123,124,125,126,127,112,115,116,117,192,193,194,200,201,202,203,204,205,206,207,195,230,"
    "229,228,226,225,224,208,209,210,211,212,213,214,215,32,33,34,35,39,36,37,38,40,41,42,43,44,45,46,47,2,4,197,"
    "196,78,79,118,119,106,107,3,142,140,141,128,130,129,131,132,198,199,84,85,88,89,86,87,90,91,136,137,138,139,"
    "100,101,102,103,108,109,110,111,240,241,242,243,244,245,246,247,248,249,250,251,80,81,82,83";

constexpr const char* kAllDeveloping =
    "5,6,7,8,9,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,62,63,70,71,72,73,74,75,96,97,98,99,133,"
    "134,135,143,148,149,150,151,152,153,154,155,156,157,158,159,160,161,162,163,164,165,166,167,168,169,170,171,"
    "172,173,174,175,176,177,178,179,180,181,182,183,184,185,186,187,188,189,190,191,216,217,218,219,220,221,222,"
    "223,227,231,232,233,234,235,236,237,238,239,252,253,254";

constexpr const char* kKRV =
    "1,10,11,48,52,64,65,66,67,76,77,78,79,92,93,94,95,144,145,146,147,192,200,201,202,203,204,205,206,207,224,228,"
    "229,32,33,34,35,36,37,38,39,112,113,114,115";

constexpr const char* kWriteNormal = "32,33,34,35,39,36,37,38,40,41,42,43,44,45,46,47,56,57,58,59,60,61";

// True when some item of `items` has the numeric value of `item` (the search stops at the
// first match; items are converted as they are reached).
bool Contains(const std::vector<std::string>& items, const std::string& item) {
  const int32_t value = vb::CLng(item);
  for (const std::string& other : items) {
    if (vb::CLng(other) == value) return true;
  }
  return false;
}

void Append(std::string& list, const std::string& item) {
  if (!list.empty()) list += ",";
  list += item;
}

// The parameter definition of a code named by a list item (9 outside 0 to 255, 91 when the
// table has been released).
const clsDataInfo& Definition(const std::string& item) {
  const int32_t code = vb::CLng(item);
  if (code < 0 || code > 255) vb::Raise(vb::errSubscript);
  if (!gobjDataInfo[static_cast<std::size_t>(code)]) vb::Raise(vb::errObjectVariable);
  return *gobjDataInfo[static_cast<std::size_t>(code)];
}

}  // namespace

void OrderedEntries::Insert(const std::string& text, std::string payload) {
  std::string upper = vb::UCase(text);
  auto at = std::upper_bound(items_.begin(), items_.end(), upper,
                             [](const std::string& a, const std::pair<std::string, std::string>& b) { return a < b.first; });
  items_.emplace(at, std::move(upper), std::move(payload));
}

std::string OrderedEntries::JoinPayloads() const {
  std::string out;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (i) out += ",";
    out += items_[i].second;
  }
  return out;
}

bool gblnMakeAllCmdSet() {
  return vb::guarded("SubMain.gblnMakeAllCmdSet", [&] {
    gstrAllCmdList = "";
    gstrKRVCmdList = "";
    gstrAllCmdList = kAllNormal;
    if (gblnDeveloping) gstrAllCmdList += std::string(",") + kAllDeveloping;
    gstrWriteCmdList = kWriteNormal;
    if (gblnDeveloping) gstrWriteCmdList += ",62,63";
    gstrKRVCmdList = kKRV;
    return true;
  });
}

bool gblnSumCmdSet(std::string vstrCmdA, std::string vstrCmdB, std::string& rstrResult) {
  return vb::guarded("SubMain.gblnSumCmdSet", [&] {
    if (vstrCmdA.empty()) {
      rstrResult = vstrCmdB;
      return true;
    }
    if (vstrCmdB.empty()) {
      rstrResult = vstrCmdA;
      return true;
    }
    const std::vector<std::string> a = vb::Split(vstrCmdA, ",");
    const std::vector<std::string> b = vb::Split(vstrCmdB, ",");
    rstrResult = vstrCmdA;
    for (const std::string& item : b) {
      if (!Contains(a, item)) Append(rstrResult, item);
    }
    return true;
  });
}

bool gblnAndCmdSet(std::string vstrCmdA, std::string vstrCmdB, std::string& rstrResult) {
  return vb::guarded("SubMain.gblnAndCmdSet", [&] {
    if (vstrCmdA.empty() || vstrCmdB.empty()) {
      rstrResult = "";
      return true;
    }
    const std::vector<std::string> a = vb::Split(vstrCmdA, ",");
    const std::vector<std::string> b = vb::Split(vstrCmdB, ",");
    rstrResult = "";
    for (const std::string& item : b) {
      if (Contains(a, item)) Append(rstrResult, item);
    }
    return true;
  });
}

bool gblnSubCmdSet(std::string vstrCmdA, std::string vstrCmdB, std::string& rstrResult) {
  return vb::guarded("SubMain.gblnSubCmdSet", [&] {
    if (vstrCmdA.empty()) {
      rstrResult = "";
      return true;
    }
    if (vstrCmdB.empty()) {
      rstrResult = vstrCmdA;
      return true;
    }
    const std::vector<std::string> a = vb::Split(vstrCmdA, ",");
    const std::vector<std::string> b = vb::Split(vstrCmdB, ",");
    rstrResult = "";
    for (const std::string& item : a) {
      if (!Contains(b, item)) Append(rstrResult, item);
    }
    return true;
  });
}

std::string gstrSortCommandList(std::string vstrCmdList) {
  std::string result = vstrCmdList;
  vb::guarded("SubMain.gstrSortCommandList", [&] {
    OrderedEntries entries;
    for (const std::string& item : vb::Split(vstrCmdList, ",")) {
      const clsDataInfo& info = Definition(item);
      entries.Insert(info.SectionName + "," + info.KeyName + "," + item, item);
    }
    result = entries.JoinPayloads();
    return true;
  });
  return result;
}

std::string gstrChangeEnableCommandList() {
  std::string result = gstrAllCmdList;
  vb::guarded("SubMain.gstrChangeEnableCommandList", [&] {
    if (gblnDeveloping) return true;
    std::string kept;
    for (const std::string& item : vb::Split(gstrAllCmdList, ",")) {
      const std::string mode = vb::UCase(Definition(item).EnableMode);
      if (mode == "DEVELOPING") continue;
      if (mode == "ADVANCED" && !gblnAdvancedMode) continue;
      Append(kept, item);
    }
    result = kept;
    return true;
  });
  return result;
}

}  // namespace SubMain
