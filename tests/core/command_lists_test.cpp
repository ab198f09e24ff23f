#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "core/command_lists.h"
#include "tests/core/core_fixture.h"

namespace {

using CommandLists = testutil::CoreTest;
using testutil::Codes;

TEST_F(CommandLists, SetOperations) {
  struct C {
    char op;
    const char* a;
    const char* b;
    const char* result;
  } cases[] = {
      {'+', "", "5,6", "5,6"},       {'+', "1,2", "", "1,2"},     {'+', "1,2", "2,3,3", "1,2,3,3"},
      {'+', "1", "01", "1"},         {'+', "1,1", "2", "1,1,2"},  {'+', "x", "", "x"},
      {'&', "1,2,3", "3,1", "3,1"},  {'&', "", "1", ""},          {'&', "1", "", ""},
      {'&', "1", "01", "01"},        {'&', "1,2", "2,2,5", "2,2"}, {'&', " 7 ", "007", "007"},
      {'-', "", "1", ""},            {'-', "1,2,3", "", "1,2,3"}, {'-', "1,2,3", "2", "1,3"},
      {'-', "1,2,2,3", "02", "1,3"}, {'-', "5,5", "4", "5,5"},
  };
  for (const C& c : cases) {
    std::string r = "old";
    bool ok = c.op == '+' ? SubMain::gblnSumCmdSet(c.a, c.b, r)
              : c.op == '&' ? SubMain::gblnAndCmdSet(c.a, c.b, r)
                            : SubMain::gblnSubCmdSet(c.a, c.b, r);
    EXPECT_TRUE(ok) << c.op << " " << c.a << " " << c.b;
    EXPECT_EQ(r, c.result) << c.op << " " << c.a << " " << c.b;
  }
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(CommandLists, ANonNumericItemFailsWithATypeMismatchAndAPartialResult) {
  std::string r;
  EXPECT_FALSE(SubMain::gblnSubCmdSet("1,,2", "5", r));
  EXPECT_EQ(r, "1");
  EXPECT_FALSE(SubMain::gblnSumCmdSet("1", "2,a", r));
  EXPECT_EQ(r, "1,2");
  EXPECT_FALSE(SubMain::gblnAndCmdSet("1", "x", r));
  EXPECT_EQ(ErrorLogLines(), (std::vector<std::string>{"SubMain.gblnSubCmdSet\t13\tType mismatch",
                                                       "SubMain.gblnSumCmdSet\t13\tType mismatch",
                                                       "SubMain.gblnAndCmdSet\t13\tType mismatch"}));
  EXPECT_EQ(host.boxes.size(), 3u);
}

// The lists in both modes, whole: the transfer order and the file order are the program's
// contract with the camera and with the files it wrote before.
TEST_F(CommandLists, TheThreeListsInBothModes) {
  std::map<std::string, std::string> want;
  std::ifstream in(std::string(ORVADEX_SOURCE_DIR) + "/tests/core/data/command_lists.txt");
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') want[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
  ASSERT_EQ(want.size(), 5u);
  gstrAllCmdList = "stale";
  ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
  EXPECT_EQ(gstrAllCmdList, want["all"]);
  EXPECT_EQ(gstrKRVCmdList, want["krv"]);
  EXPECT_EQ(gstrWriteCmdList, want["write"]);
  gblnDeveloping = true;
  ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
  EXPECT_EQ(gstrAllCmdList, want["all"] + "," + want["developing extension"]);
  EXPECT_EQ(gstrKRVCmdList, want["krv"]);
  EXPECT_EQ(gstrWriteCmdList, want["developing write"]);
}

TEST_F(CommandLists, SortBySectionThenKeyThenCodeText) {
  // 56 Chroma/RSetupL, 100 Chroma2/C-YMatrix1, 92 Gamma/PositiveY, 48 Y/PositiveSetup,
  // 9 and 83 ManualWhiteBalance/G.
  EXPECT_EQ(SubMain::gstrSortCommandList("48,100,92,56"), "56,100,92,48");
  EXPECT_EQ(SubMain::gstrSortCommandList("9,83"), "83,9");
  EXPECT_EQ(SubMain::gstrSortCommandList("83,9,83"), "83,83,9");
  EXPECT_EQ(SubMain::gstrSortCommandList("56,057"), "057,56");  // RSetupH before RSetupL, as written
  EXPECT_EQ(SubMain::gstrSortCommandList(""), "");
  EXPECT_TRUE(host.boxes.empty());
  // A code outside the table: the input comes back unchanged.
  EXPECT_EQ(SubMain::gstrSortCommandList("5,256,1"), "5,256,1");
  EXPECT_EQ(ErrorLogLines(), (std::vector<std::string>{"SubMain.gstrSortCommandList\t9\tSubscript out of range"}));
}

TEST_F(CommandLists, FilterByMode) {
  ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
  const std::string full = gstrAllCmdList;
  const std::vector<int> normal = Codes(SubMain::gstrChangeEnableCommandList());
  std::vector<int> expectedNormal, expectedAdvanced;
  for (int c : Codes(full)) {
    const std::string& mode = gobjDataInfo[c]->EnableMode;
    if (mode == "Normal") expectedNormal.push_back(c);
    if (mode != "Developing") expectedAdvanced.push_back(c);
  }
  EXPECT_EQ(normal, expectedNormal);
  EXPECT_LT(normal.size(), expectedAdvanced.size());
  gblnAdvancedMode = true;
  EXPECT_EQ(Codes(SubMain::gstrChangeEnableCommandList()), expectedAdvanced);
  gblnDeveloping = true;
  gstrAllCmdList = "254,1";
  EXPECT_EQ(SubMain::gstrChangeEnableCommandList(), "254,1");
  gblnDeveloping = false;
  gstrAllCmdList = "";
  EXPECT_EQ(SubMain::gstrChangeEnableCommandList(), "");
  gstrAllCmdList = "1,abc";
  EXPECT_EQ(SubMain::gstrChangeEnableCommandList(), "1,abc");
  EXPECT_EQ(host.boxes.size(), 1u);
}

}  // namespace
