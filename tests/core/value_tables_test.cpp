#include <gtest/gtest.h>

#include <array>

#include "core/value_tables.h"
#include "tests/core/core_fixture.h"

namespace {

using ValueTables = testutil::CoreTest;

std::array<int16_t, 256> NoValues() {
  std::array<int16_t, 256> v;
  v.fill(-1);
  return v;
}

TEST_F(ValueTables, FileValuesOverlayInAscendingCodeOrder) {
  std::array<uint8_t, 256> dest;
  dest.fill(9);
  std::string list = "old";
  auto values = NoValues();
  ASSERT_TRUE(SubMain::gblnFileDataCopy(values, dest, list));
  EXPECT_EQ(list, "");
  EXPECT_EQ(dest[0], 9);
  EXPECT_EQ(dest[255], 9);

  values[3] = 5;
  values[1] = 7;
  values[255] = 0;
  ASSERT_TRUE(SubMain::gblnFileDataCopy(values, dest, list));
  EXPECT_EQ(list, "1,3,255");
  EXPECT_EQ(dest[1], 7);
  EXPECT_EQ(dest[3], 5);
  EXPECT_EQ(dest[255], 0);
  EXPECT_EQ(dest[2], 9);

  std::string none = SubMain::kNoList;
  values[4] = 200;
  ASSERT_TRUE(SubMain::gblnFileDataCopy(values, dest, none));
  EXPECT_EQ(none, SubMain::kNoList);
  EXPECT_EQ(dest[4], 200);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ValueTables, AValueOutsideAByteStopsTheCopyThere) {
  for (int16_t bad : {int16_t(256), int16_t(-2)}) {
    std::array<uint8_t, 256> dest{};
    auto values = NoValues();
    values[2] = 11;
    values[10] = bad;
    values[20] = 22;
    std::string list;
    EXPECT_FALSE(SubMain::gblnFileDataCopy(values, dest, list));
    EXPECT_EQ(list, "2");
    EXPECT_EQ(dest[2], 11);
    EXPECT_EQ(dest[20], 0);
  }
  EXPECT_EQ(ErrorLogLines(), (std::vector<std::string>{"SubMain.gblnFileDataCopy\t6\tOverflow",
                                                       "SubMain.gblnFileDataCopy\t6\tOverflow"}));
}

TEST_F(ValueTables, CopyNeedsADestinationAsLongAsTheSource) {
  std::array<uint8_t, 256> src;
  for (int i = 0; i < 256; ++i) src[i] = static_cast<uint8_t>(i);
  std::array<uint8_t, 256> dst{};
  ASSERT_TRUE(SubMain::gblnDataCopy(src, dst));
  EXPECT_EQ(dst, src);
  std::array<uint8_t, 10> shortDst{};
  EXPECT_FALSE(SubMain::gblnDataCopy(src, shortDst));
  EXPECT_EQ(shortDst[9], 9);
  EXPECT_EQ(ErrorLogLines(), (std::vector<std::string>{"SubMain.gblnDataCopy\t9\tSubscript out of range"}));
}

TEST_F(ValueTables, ChangedCodesComeOutBySectionAndKey) {
  std::array<uint8_t, 256> a{}, b{};
  std::string list = "old";
  int32_t count = -1;
  ASSERT_TRUE(SubMain::gblnCheckChangeField(a, b, list, count));
  EXPECT_EQ(list, "");
  EXPECT_EQ(count, 0);

  b[48] = 1;   // Y
  b[92] = 1;   // Gamma
  b[100] = 1;  // Chroma2
  b[56] = 1;   // Chroma
  b[0] = 1;    // no setting: empty section and key sort first
  ASSERT_TRUE(SubMain::gblnCheckChangeField(a, b, list, count));
  EXPECT_EQ(list, "0,56,100,92,48");
  EXPECT_EQ(count, 5);

  // Codes 9 and 83 share section and key: ordered by the first value's text, then the second's.
  std::array<uint8_t, 256> c{}, d{};
  c[9] = 5;
  c[83] = 10;
  ASSERT_TRUE(SubMain::gblnCheckChangeField(c, d, list, count));
  EXPECT_EQ(list, "83,9");
  c[83] = 5;
  d[9] = 3;
  d[83] = 1;
  ASSERT_TRUE(SubMain::gblnCheckChangeField(c, d, list, count));
  EXPECT_EQ(list, "83,9");
  EXPECT_EQ(count, 2);

  std::array<uint8_t, 100> shortTable{};
  EXPECT_FALSE(SubMain::gblnCheckChangeField(a, shortTable, list, count));
  EXPECT_EQ(list, "");
  EXPECT_EQ(count, 0);
}

}  // namespace
