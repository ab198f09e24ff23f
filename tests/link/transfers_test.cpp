// List transfers, identity and status queries, as the camera sees them.
#include "link_fixture.h"

namespace linktest {
namespace {

using namespace mdlMSComm;

class Transfers : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    open();
  }
};

TEST_F(Transfers, AFramedSendPutsTheCurrentValuesOnTheWire) {
  gbyteCurrentData[1] = 3;
  gbyteCurrentData[65] = 200;
  EXPECT_TRUE(gblnSetDataFromPC("1,65", true));
  EXPECT_EQ(wire(), (Wire{{0, 1}, {1, 3}, {65, 200}, {0, 0}}));
  EXPECT_EQ(camera().Value(65), 200);
  camera().ClearReceived();
  EXPECT_TRUE(gblnSetDataFromPC("65", false));
  EXPECT_EQ(wire(), (Wire{{65, 200}}));
  camera().ClearReceived();
  EXPECT_TRUE(gblnSetDataFromPC("", true));
  EXPECT_EQ(wire(), (Wire{{0, 1}, {0, 0}}));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_FALSE(gblnShowStatus);
}

TEST_F(Transfers, AReadStoresEveryAnswerAndLeavesReadMode) {
  camera().SetValue(64, 57);
  camera().SetValue(144, 9);
  gbyteCurrentData[64] = 0;
  EXPECT_TRUE(gblnGetDataFromCamera("64,144"));
  EXPECT_EQ(gbyteCurrentData[64], 57);
  EXPECT_EQ(gbyteCurrentData[144], 9);
  EXPECT_FALSE(gblnReadingData);
  EXPECT_EQ(gbyteCurrentMode, 0);
  EXPECT_EQ(wire(), (Wire{{0, 1}, {0, 12}, {64, 0}, {144, 0}, {0, 0}}));
  camera().ClearReceived();
  EXPECT_TRUE(gblnGetDataFromCamera(""));
  EXPECT_EQ(wire(), (Wire{{0, 1}, {0, 12}, {0, 0}}));
}

TEST_F(Transfers, AFullReadOfEveryCodeAtNinetySixHundred) {
  std::string all;
  for (int c = 1; c <= 254; ++c) {
    camera().SetValue(static_cast<uint8_t>(c), static_cast<uint8_t>(255 - c));
    all += (all.empty() ? "" : ",") + std::to_string(c);
  }
  glngSleepTimeUnit = 5;
  EXPECT_TRUE(gblnGetDataFromCamera(all));
  for (int c = 1; c <= 254; ++c) EXPECT_EQ(gbyteCurrentData[c], 255 - c) << c;
  EXPECT_EQ(wire().size(), 257u);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Transfers, ANotSupportedCodeReadsAsItsDefaultAndLeavesTheLists) {
  camera().Config().unsupported = {144};
  gstrAllCmdList = "1,65,64,144";
  EXPECT_TRUE(gblnGetDataFromCamera(gstrAllCmdList));
  EXPECT_EQ(gbyteCurrentData[144], static_cast<uint8_t>(gobjDataInfo[144]->DefaultValue));
  EXPECT_EQ(gstrAllCmdList, "1,65,64");
  EXPECT_FALSE(gblnSupportCmdOrNot(144));
}

TEST_F(Transfers, AnyWayContinueInAReadStoresTheSentDataByte) {
  camera().SetValue(64, 57);
  gbyteCurrentData[64] = 99;
  camera().AddFault(fault("corrupt:c=64:index=0:value=1"));
  glngRetryWrongReplayBeforeMsg = 0;
  host.answers = {forms::vbNo, forms::vbYes};
  EXPECT_TRUE(gblnGetDataFromCamera("64"));
  EXPECT_EQ(gbyteCurrentData[64], 0);
}

TEST_F(Transfers, BadListItemsEndTheTransferWithTheErrorBox) {
  for (const char* list : {"1,abc", "1,256", "1,,2"}) {
    SCOPED_TRACE(list);
    reports.clear();
    host.boxes.clear();
    camera().ClearReceived();
    EXPECT_FALSE(gblnSetDataFromPC(list, true));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].text, "mdlMSComm.gblnSetDataFromPC");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].buttons, forms::vbCritical);
    // No end command after a failed transfer.
    EXPECT_EQ(wire().back(), (std::pair<uint8_t, uint8_t>{1, gbyteCurrentData[1]}));
    EXPECT_FALSE(gblnShowStatus);
  }
  reports.clear();
  EXPECT_FALSE(gblnGetDataFromCamera("64,300"));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "mdlMSComm.gblnGetDataFromCamera");
  EXPECT_FALSE(gblnReadingData);
  EXPECT_FALSE(gblnShowStatus);
}

TEST_F(Transfers, IdentityAndStatusQueries) {
  camera().Config().firmware = 0x23;
  camera().Config().model = 24;
  camera().Config().type = 3;
  camera().Config().status = {11, 12, 13, 14};
  uint8_t firm = 0;
  EXPECT_TRUE(gblnGetFirmVersion(firm));
  EXPECT_EQ(firm, 0x23);
  EXPECT_EQ(gbyteCameraModel, 24);
  EXPECT_EQ(gbyteCameraType, 3);
  EXPECT_EQ(wire(), (Wire{{0, 1}, {0, 16}, {0, 31}, {0, 23}, {0, 0}}));
  camera().ClearReceived();
  gstrCurStatusTime = "";
  EXPECT_TRUE(gblnGetCurrentData());
  EXPECT_EQ(wire(), (Wire{{0, 1}, {0, 17}, {0, 18}, {0, 19}, {0, 20}, {0, 0}}));
  EXPECT_EQ(gbyteCurIRIS, 11);
  EXPECT_EQ(gbyteCurWbRB, 12);
  EXPECT_EQ(gbyteCurWbMG, 13);
  EXPECT_EQ(gbyteCurGain, 14);
  EXPECT_EQ(gstrCurStatusTime.size(), 8u);
  EXPECT_EQ(gstrCurStatusTime[2], ':');
}

TEST_F(Transfers, TheStatusReadKeepsTheIrisWhenTheWhiteBalanceFails) {
  camera().Config().status = {77, 12, 13, 14};
  gbyteCurIRIS = 0;
  gbyteCurWbRB = 5;
  gstrCurStatusTime = "old";
  camera().AddFault(fault("drop:c=0:d=18:count=-1"));
  host.answers = {forms::vbNo};
  EXPECT_FALSE(gblnGetCurrentData());
  EXPECT_EQ(gbyteCurIRIS, 77);
  EXPECT_EQ(gbyteCurWbRB, 5);
  EXPECT_EQ(gstrCurStatusTime, "old");
}

TEST_F(Transfers, SupportTestComparesNumerically) {
  gstrAllCmdList = "1,065,x";
  EXPECT_TRUE(gblnSupportCmdOrNot(65));
  EXPECT_TRUE(reports.empty());
  EXPECT_FALSE(gblnSupportCmdOrNot(2));  // reaches the bad item
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "mdlMSComm.gblnSupportCmdOrNot");
  gstrAllCmdList = "";
  EXPECT_FALSE(gblnSupportCmdOrNot(1));
}

}  // namespace
}  // namespace linktest
