#include "core/value_tables.h"

#include "core/command_lists.h"
#include "core/variables.h"
#include "platform/vb/error.h"

namespace SubMain {

bool gblnDataCopy(std::span<const uint8_t> rbyteSource, std::span<uint8_t> rbyteDest) {
  return vb::guarded("SubMain.gblnDataCopy", [&] {
    for (std::size_t i = 0; i < rbyteSource.size(); ++i) {
      if (i >= rbyteDest.size()) vb::Raise(vb::errSubscript);
      rbyteDest[i] = rbyteSource[i];
    }
    return true;
  });
}

bool gblnFileDataCopy(std::span<const int16_t> rintValues, std::span<uint8_t> rbyteDest, std::string& rstrList) {
  return vb::guarded("SubMain.gblnFileDataCopy", [&] {
    const bool wantList = rstrList != kNoList;
    if (wantList) rstrList = "";
    for (std::size_t i = 0; i < rintValues.size(); ++i) {
      const int16_t value = rintValues[i];
      if (value == -1) continue;
      if (value < 0 || value > 255) vb::Raise(vb::errOverflow);
      if (i >= rbyteDest.size()) vb::Raise(vb::errSubscript);
      rbyteDest[i] = static_cast<uint8_t>(value);
      if (wantList) {
        if (!rstrList.empty()) rstrList += ",";
        rstrList += std::to_string(i);
      }
    }
    return true;
  });
}

bool gblnCheckChangeField(std::span<const uint8_t> rbyteFirst, std::span<const uint8_t> rbyteSecond,
                          std::string& rstrList, int32_t& rlngCount) {
  return vb::guarded("SubMain.gblnCheckChangeField", [&] {
    rstrList = "";
    rlngCount = 0;
    OrderedEntries entries;
    for (std::size_t i = 0; i < rbyteFirst.size(); ++i) {
      if (i >= rbyteSecond.size() || i >= gobjDataInfo.size()) vb::Raise(vb::errSubscript);
      if (rbyteFirst[i] == rbyteSecond[i]) continue;
      if (!gobjDataInfo[i]) vb::Raise(vb::errObjectVariable);
      const clsDataInfo& info = *gobjDataInfo[i];
      entries.Insert(info.SectionName + "," + info.KeyName + "," + std::to_string(rbyteFirst[i]) + "," +
                         std::to_string(rbyteSecond[i]) + "," + std::to_string(i),
                     std::to_string(i));
    }
    rstrList = entries.JoinPayloads();
    rlngCount = static_cast<int32_t>(entries.Items().size());
    return true;
  });
}

}  // namespace SubMain
