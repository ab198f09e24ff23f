// Connecting: port set-up, detection and identity read, and the failures of a connect.
#include <tuple>

#include "tests/link/link_fixture.h"

namespace linktest {
namespace {

using mdlMSComm::gblnMSComm_Close;
using mdlMSComm::gblnMSComm_Init;

class Connect : public LinkTest {};

TEST_F(Connect, SetsUpThePortFindsTheRateAndReadsTheIdentity) {
  sim::CameraConfig config;
  config.firmware = 0x42;
  config.model = 24;
  config.type = 5;
  start(config);
  gstrSettings = "1200,n,8,2";
  gblnEEPROMWriting = gblnReadingData = true;
  gblnTimeOutRetry = gblnWrongReplayRetry = true;
  gblnKeepNotSupportCmd = true;
  EXPECT_TRUE(gblnMSComm_Init());
  EXPECT_TRUE(gblnOnLine);
  EXPECT_EQ(std::tuple(gbyteFirmVersion, gbyteCameraModel, gbyteCameraType), std::tuple(0x42, 24, 5));
  EXPECT_EQ(gstrSettings, "9600,n,8,2");
  EXPECT_EQ(glngSleepTimeUnit, 5);
  EXPECT_FALSE(gblnEEPROMWriting || gblnReadingData || gblnKeepNotSupportCmd);
  // The control as the protocol needs it: open, port, handshaking, input length, threshold, input
  // mode, buffer sizes, DTR, RTS, null discard; the line at 9600 baud with two stop bits.
  EXPECT_EQ((std::vector<long>{comm->PortOpen(), comm->CommPort(), comm->Handshaking(), comm->InputLen(),
                               comm->RThreshold(), comm->InputMode(), comm->InBufferSize(), comm->OutBufferSize(),
                               comm->DTREnable(), comm->RTSEnable(), comm->NullDiscard(), sim->line->Settings().baud,
                               sim->line->Settings().stopBitsX2}),
            (std::vector<long>{1, 1, 0, 1, 0, 1, 5, 5, 1, 0, 0, 9600, 4}));
  // The identity read is the last sequence on the wire.
  Wire w = wire();
  ASSERT_GE(w.size(), 5u);
  EXPECT_EQ(Wire(w.end() - 5, w.end()), (Wire{{0, 1}, {0, 16}, {0, 31}, {0, 23}, {0, 0}}));
  EXPECT_TRUE(host.boxes.empty());

  EXPECT_TRUE(gblnMSComm_Close());
  EXPECT_FALSE(comm->PortOpen());
  EXPECT_TRUE(gblnMSComm_Close());
}

TEST_F(Connect, ASilentCameraAsksAndLeavesThePortClosedAndOffLine) {
  camera().SetSilent(true);
  gblnOnLine = true;
  host.answers = {forms::vbNo};
  const double t0 = seconds();
  EXPECT_FALSE(gblnMSComm_Init());
  EXPECT_FALSE(gblnOnLine);
  EXPECT_FALSE(comm->PortOpen());
  EXPECT_EQ(countBoxes(331), 1);
  EXPECT_EQ(countBoxes(333), 1);
  EXPECT_EQ(host.boxes.size(), 2u);
  EXPECT_TRUE(reports.empty());
  // Two silent probes, the sync of the identity read and its silent retry: each 5 to 6 s.
  EXPECT_GT(seconds() - t0, 4 * 5.0);
  EXPECT_LT(seconds() - t0, 4 * 6.2);
}

TEST_F(Connect, ACameraAnsweringGarbageEndsWithTheQuestionsNotAHang) {
  camera().AddFault(fault("corrupt:index=1:value=0x5A:count=-1"));
  host.answers = {forms::vbNo, forms::vbNo};
  EXPECT_FALSE(gblnMSComm_Init());
  EXPECT_EQ(countBoxes(334), 1);
  EXPECT_EQ(countBoxes(332), 1);
  EXPECT_FALSE(gblnOnLine);
  EXPECT_FALSE(comm->PortOpen());
}

TEST_F(Connect, AnInvalidPortNumberIsReportedWhenTheUserKeepsIt) {
  glngPortNo = 300;
  EXPECT_FALSE(gblnMSComm_Init());
  EXPECT_EQ(countBoxes(313), 1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "mdlMSComm.gblnMSComm_Init");
  EXPECT_EQ(reports[0].number, vb::errInvalidPortNumber);
  EXPECT_FALSE(gblnOnLine);
  EXPECT_FALSE(comm->PortOpen());
}

TEST_F(Connect, WithoutTheSerialObjectTheConnectFailsWithAReport) {
  gobjMSComm = nullptr;
  EXPECT_FALSE(gblnMSComm_Init());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].number, vb::errObjectVariable);
  EXPECT_TRUE(gblnMSComm_Close());  // nothing open, nothing to close
}

}  // namespace
}  // namespace linktest
