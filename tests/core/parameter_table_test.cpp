#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "tests/core/core_fixture.h"

namespace {

using ParameterTable = testutil::CoreTest;

struct Row {
  int code;
  std::string section, key;
  int32_t defaultValue, min, max;
  std::string mode;
};

void expectRow(const Row& r) {
  SCOPED_TRACE(r.code);
  ASSERT_TRUE(gobjDataInfo[r.code]);
  const clsDataInfo& d = *gobjDataInfo[r.code];
  EXPECT_EQ(d.SectionName, r.section);
  EXPECT_EQ(d.KeyName, r.key);
  EXPECT_EQ(d.DefaultValue, r.defaultValue);
  EXPECT_EQ(d.Min, r.min);
  EXPECT_EQ(d.Max, r.max);
  EXPECT_EQ(d.EnableMode, r.mode);
}

TEST_F(ParameterTable, DefinedRows) {
  const Row rows[] = {
      {0x00, "", "", 0, 0, 255, "Normal"},  // codes 0 and 255 keep the initial values
      {0xFF, "", "", 0, 0, 255, "Normal"},
      {0x01, "Switch", "DIPSwitch", 255, 0, 255, "Normal"},
      {0x04, "Configuration", "Config2", 5, 0, 255, "Normal"},
      {0x09, "ManualWhiteBalance", "G", 1, 0, 7, "Normal"},  // 09 and 53 share section and key
      {0x53, "ManualWhiteBalance", "G", 1, 0, 7, "Advanced"},
      {0x2E, "TimingParameter", "VSTART", 16, 0, 31, "Advanced"},
      {0x55, "AutoWhiteBalance", "PositiveR5100-3100", 108, 0, 255, "Advanced"},
      {0x8B, "AutoWhiteBalance", "MinimumBGain", 0, 0, 255, "Normal"},
      {0xC3, "IRIS", "Shift", 17, 1, 255, "Normal"},
      {0xCE, "IRIS", "FieldDivide", 1, 1, 255, "Normal"},
      {0xD1, "IRIS", "AE_Speed_Reguration", 19, 1, 255, "Normal"},
      {0xF0, "Chroma2", "BurstLebelB-Y_IDH", 0, 0, 127, "Advanced"},
      {0xFB, "Chroma2", "YDelay_H_LL", 0, 0, 0, "Advanced"},
  };
  for (const Row& r : rows) expectRow(r);
  for (int code : {0x52, 0xF5}) EXPECT_EQ(gobjDataInfo[code]->Min + gobjDataInfo[code]->Max, 0) << code;
  // Building again gives fresh objects.
  gobjDataInfo[0x30]->DefaultValue = 99;
  ASSERT_TRUE(SubMain::mblnSetDataInfo());
  EXPECT_EQ(gobjDataInfo[0x30]->DefaultValue, 48);
}

TEST_F(ParameterTable, UndefinedCodesFollowTheRule) {
  std::set<int> undefined;
  for (auto [first, last] : {std::pair{0x05, 0x08}, {0x0C, 0x1F}, {0x3E, 0x3F}, {0x46, 0x4B}, {0x60, 0x63},
                             {0x85, 0x87}, {0x8F, 0x8F}, {0x94, 0xBF}, {0xD8, 0xDF}, {0xE3, 0xE3},
                             {0xE7, 0xEF}, {0xFC, 0xFE}})
    for (int c = first; c <= last; ++c) undefined.insert(c);
  ASSERT_EQ(undefined.size(), 105u);
  for (int c = 1; c <= 254; ++c) EXPECT_EQ(gobjDataInfo[c]->EnableMode == "Developing", undefined.count(c) == 1) << c;
  for (int c : undefined) {
    char key[3];
    std::snprintf(key, sizeof key, "%02X", c);
    expectRow({c, std::string(1, key[0]) + "X", key, 255, 0, 255, "Developing"});
  }
}

TEST_F(ParameterTable, ModeCountsAndRangesHold) {
  int normal = 0, advanced = 0, developing = 0;
  std::set<std::pair<std::string, std::string>> keys;
  for (int c = 1; c <= 254; ++c) {
    const clsDataInfo& d = *gobjDataInfo[c];
    normal += d.EnableMode == "Normal";
    advanced += d.EnableMode == "Advanced";
    developing += d.EnableMode == "Developing";
    EXPECT_LE(0, d.Min) << c;
    EXPECT_LE(d.Min, d.DefaultValue) << c;
    EXPECT_LE(d.DefaultValue, d.Max) << c;
    EXPECT_LE(d.Max, 255) << c;
    EXPECT_FALSE(d.SectionName.empty() || d.KeyName.empty()) << c;
    keys.insert({d.SectionName, d.KeyName});
  }
  EXPECT_EQ(normal, 85);
  EXPECT_EQ(advanced, 64);
  EXPECT_EQ(developing, 105);
  EXPECT_EQ(keys.size(), 253u);  // only 0x09 and 0x53 share section and key
}

TEST(DataInfo, InitialValuesAndSetInfoArgumentOrder) {
  clsDataInfo d;
  EXPECT_EQ(d.SectionName + "|" + d.KeyName + "|" + d.EnableMode, "||Normal");
  EXPECT_EQ(d.DefaultValue, 0);
  EXPECT_EQ(d.Min, 0);
  EXPECT_EQ(d.Max, 255);
  EXPECT_TRUE(d.SetInfo("Sec", "Key", 7, 1, 254, "Advanced"));
  EXPECT_EQ(d.SectionName + "|" + d.KeyName + "|" + d.EnableMode, "Sec|Key|Advanced");
  EXPECT_EQ(d.DefaultValue, 7);
  EXPECT_EQ(d.Min, 1);
  EXPECT_EQ(d.Max, 254);
}

}  // namespace
