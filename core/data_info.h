#pragma once
// The definition of one camera setting: where it lives in parameter files, its range, its
// factory default and the mode in which it may be seen and edited.
#include <cstdint>
#include <string>

class clsDataInfo {
 public:
  std::string SectionName;              // section in parameter files and reports
  std::string KeyName;                  // key within the section
  int32_t Min = 0;                      // lowest allowed value
  int32_t Max = 255;                    // highest allowed value
  int32_t DefaultValue = 0;             // factory default, the start value of the current data
  std::string EnableMode = "Normal";    // "Normal", "Advanced" or "Developing"

  // Stores the six values. Mind the order: the default comes before the minimum and maximum.
  // No checking is done.
  bool SetInfo(std::string vstrSectionName, std::string vstrKeyName, int32_t vlngDefaultValue,
               const int32_t& vlngMin, const int32_t& vlngMax, const std::string& vstrEnableMode);
};
