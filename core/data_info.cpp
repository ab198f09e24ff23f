#include "core/data_info.h"

#include <utility>

#include "platform/vb/error.h"

bool clsDataInfo::SetInfo(std::string vstrSectionName, std::string vstrKeyName, int32_t vlngDefaultValue,
                          const int32_t& vlngMin, const int32_t& vlngMax, const std::string& vstrEnableMode) {
  return vb::guarded("clsDataInfo.SetInfo", [&] {
    SectionName = std::move(vstrSectionName);
    KeyName = std::move(vstrKeyName);
    DefaultValue = vlngDefaultValue;
    Min = vlngMin;
    Max = vlngMax;
    EnableMode = vstrEnableMode;
    return true;
  });
}
