#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/start_up.h"
#include "core/upper_layers.h"
#include "core/variables.h"
#include "platform/vb/error.h"

namespace {

// Records what is reported through the error reporter, and clears the error as it does.
class Reports : public ::testing::Test {
 protected:
  void SetUp() override {
    vb::SetErrorReporter([this](const std::string& procedure) {
      reported.push_back(procedure + ":" + std::to_string(Err.Number));
      Err.Clear();
    });
    saved_ = SubMain::UpperLayers();
  }
  void TearDown() override {
    vb::SetErrorReporter(nullptr);
    SubMain::UpperLayers() = saved_;
    for (auto& e : gobjDataInfo) e.reset();
    gbyteCurrentData.fill(0);
  }
  std::vector<std::string> reported;

 private:
  SubMain::UpperLayerCalls saved_;
};

TEST(AppTexts, TitleAndVersion) {
  EXPECT_EQ(SubMain::gstrGetAppTitleString(), "Orvadex");
  EXPECT_EQ(SubMain::gstrGetVersionString(), "1.31");
}

TEST_F(Reports, IniVariableCopiesEveryDefault) {
  ASSERT_TRUE(SubMain::mblnSetDataInfo());
  gbyteCurrentData.fill(7);
  ASSERT_TRUE(SubMain::mblnIniVariable());
  EXPECT_EQ(gbyteCurrentData[0x00], 0);
  EXPECT_EQ(gbyteCurrentData[0x01], 255);
  EXPECT_EQ(gbyteCurrentData[0x02], 192);
  EXPECT_EQ(gbyteCurrentData[0x30], 48);
  EXPECT_EQ(gbyteCurrentData[0x94], 255);
  EXPECT_EQ(gbyteCurrentData[0xFB], 0);
  EXPECT_EQ(gbyteCurrentData[0xFF], 0);
  for (int c = 0; c < 256; ++c) EXPECT_EQ(gbyteCurrentData[c], gobjDataInfo[c]->DefaultValue) << c;
  EXPECT_TRUE(reported.empty());
}

TEST_F(Reports, IniVariableReportsADefaultOutsideAByteAndAMissingTable) {
  ASSERT_TRUE(SubMain::mblnSetDataInfo());
  gobjDataInfo[0x40]->DefaultValue = 256;
  EXPECT_FALSE(SubMain::mblnIniVariable());
  gobjDataInfo[0x40]->DefaultValue = -1;
  EXPECT_FALSE(SubMain::mblnIniVariable());
  gobjDataInfo[0x40].reset();
  EXPECT_FALSE(SubMain::mblnIniVariable());
  EXPECT_EQ(reported, (std::vector<std::string>{"SubMain.mblnIniVariable:6", "SubMain.mblnIniVariable:6",
                                                "SubMain.mblnIniVariable:91"}));
}

TEST_F(Reports, ShutdownStopsWhenThePortDoesNotClose) {
  ASSERT_TRUE(SubMain::mblnSetDataInfo());
  int closes = 0;
  SubMain::UpperLayers().gblnMSComm_Close = [&] {
    ++closes;
    return false;
  };
  EXPECT_FALSE(SubMain::gblnApplicationEnd());
  EXPECT_EQ(closes, 1);
  for (const auto& e : gobjDataInfo) EXPECT_TRUE(e);  // not released
  EXPECT_TRUE(reported.empty());                       // the close reports its own errors
}

TEST_F(Reports, ACallIntoAnUnsetLayerIsRunTimeError91) {
  SubMain::UpperLayers().gblnMSComm_Close = nullptr;
  EXPECT_FALSE(SubMain::gblnApplicationEnd());
  EXPECT_EQ(reported, (std::vector<std::string>{"SubMain.gblnApplicationEnd:91"}));
}

}  // namespace
