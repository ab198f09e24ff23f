// The link over the real termios serial stack on a pseudo-terminal, against the simulated
// camera (served in a thread, and as the camsim program), on the real clock: connects, reads,
// sends and EEPROM operations, checked from the camera's side.
#include <signal.h>
#include <sys/wait.h>

#include <filesystem>

#include "link/eeprom_operations.h"
#include "tests/link/link_fixture.h"

namespace linktest {
namespace {

namespace fs = std::filesystem;
using namespace mdlMSComm;

class PtyLink : public PtyTest {
 protected:
  void SetUp() override {
    PtyTest::SetUp();
    glngRcvRetry = 3;
    // A silent camera (a probe at the other baud rate) is given up after one to two seconds; a
    // reply, a few milliseconds on the wire, is never taken for a time-out however busy the
    // machine (a time-out of 0 ended a late reply's wait at the next whole second).
    glngTimeOut = 1;
  }

  std::string everyCode() const {
    std::string all;
    for (int c = 1; c <= 254; ++c) all += (all.empty() ? "" : ",") + std::to_string(c);
    return all;
  }

  void connectReadAndSend(long baud, const std::string& stored) {
    camera.Config().baud = baud;
    camera.Config().firmware = 0x31;
    for (int c = 1; c <= 254; ++c) camera.SetValue(static_cast<uint8_t>(c), static_cast<uint8_t>(c ^ 0x5A));
    serve();
    gstrSettings = stored;
    glngSleepTimeUnit = 250;  // a hand-written interval the calibration replaces
    ASSERT_TRUE(gblnMSComm_Init());
    EXPECT_TRUE(gblnOnLine);
    EXPECT_EQ(gbyteFirmVersion, 0x31);
    EXPECT_EQ(gstrSettings, std::to_string(baud) + ",n,8,2");
    EXPECT_EQ(server->ProgramBaud(), baud);

    ASSERT_TRUE(gblnGetDataFromCamera(everyCode()));
    for (int c = 1; c <= 254; ++c) ASSERT_EQ(gbyteCurrentData[c], c ^ 0x5A) << c;
    gblnKeepNotSupportCmd = true;

    gbyteCurrentData[65] = 17;
    gbyteCurrentData[144] = 201;
    withCamera([](sim::Camera& cam) { cam.ClearReceived(); });
    ASSERT_TRUE(gblnSetDataFromPC("65,144", true));
    withCamera([](sim::Camera& cam) {
      EXPECT_EQ(cam.Received(), (Wire{{0, 1}, {65, 17}, {144, 201}, {0, 0}}));
      EXPECT_EQ(cam.Value(65), 17);
      EXPECT_EQ(cam.Value(144), 201);
    });
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(reports.empty());
  }

  uint8_t value(uint8_t code) {
    return withCamera([code](sim::Camera& cam) { return cam.Value(code); });
  }
  uint8_t defaultOf(uint8_t code) const { return camera.Config().defaults[code]; }
};

TEST_F(PtyLink, At9600FromAWrongStoredSetting) {
  connectReadAndSend(9600, "1200,n,8,2");
  // A command and its reply take 4.6 ms on the wire at 9600 baud: the calibration stores an
  // interval of 100 or below in place of the 250 the settings held. Where exactly it stops
  // depends on how promptly a loaded machine wakes the program and the camera; the exact end
  // values are checked on the virtual clock.
  EXPECT_GE(glngSleepTimeUnit, 1);
  EXPECT_LE(glngSleepTimeUnit, 100);
}

TEST_F(PtyLink, At1200FromAWrongStoredSetting) {
  connectReadAndSend(1200, "9600,n,8,2");
  // 36.7 ms on the wire at 1200 baud (see above).
  EXPECT_GE(glngSleepTimeUnit, 1);
  EXPECT_LE(glngSleepTimeUnit, 100);
}

TEST_F(PtyLink, APortThatDoesNotExistFailsTheConnect) {
  // Nothing is linked as COM7: the port-selection window is offered; the port is unchanged.
  host.sayNo = true;
  glngPortNo = 7;
  EXPECT_FALSE(gblnMSComm_Init());
  EXPECT_FALSE(gblnOnLine);
  EXPECT_FALSE(comm->PortOpen());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "mdlMSComm.gblnMSComm_Init");
  EXPECT_EQ(reports[0].number, vb::errInvalidPortNumber);
}

// The camsim program itself: a connect and a read of the whole list of transferred codes.
TEST_F(PtyLink, AgainstTheCamsimProgram) {
  if (!fs::exists(camsimProgram())) GTEST_SKIP() << "camsim not built";
  const pid_t pid = startCamsim({"--baud", "9600", "--firmware", "7"});
  ASSERT_GT(pid, 0);
  const bool connected = gblnMSComm_Init();
  const bool read = connected && gblnGetDataFromCamera(everyCode());
  gblnMSComm_Close();
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(connected);
  EXPECT_TRUE(read);
  EXPECT_EQ(gbyteFirmVersion, 7);
  EXPECT_TRUE(reports.empty());
}

// The pty's side of what the virtual-line tests check in detail; a failed EEPROM write and a
// line lost mid-transfer are in the fault-injection tests.
TEST_F(PtyLink, EepromOptimiseThenReadThenClear) {
  serve();
  ASSERT_TRUE(gblnMSComm_Init());
  gblnKeepNotSupportCmd = true;
  gstrAllCmdList = "1,65,64,144,32,33,208";
  gstrWriteCmdList = "32,33";
  ASSERT_TRUE(gblnGetDataFromCamera(gstrAllCmdList));
  host.boxes.clear();
  gbyteCurrentData[64] = defaultOf(64) + 1;
  gbyteCurrentData[208] = defaultOf(208) + 2;
  ASSERT_TRUE(gblnEEPROMOperation(eepOpOptimize, ""));
  EXPECT_EQ(eeprom(), (std::map<uint8_t, uint8_t>{{64, defaultOf(64) + 1}, {208, defaultOf(208) + 2}}));
  EXPECT_EQ(value(64), defaultOf(64) + 1);
  EXPECT_EQ(host.boxes.back().prompt, vb::LoadResString(361));

  // The camera's registers drift from the EEPROM; a read brings the EEPROM's values back.
  withCamera([](sim::Camera& cam) { cam.SetValue(64, 0); });
  gbyteCurrentData[64] = 0;
  ASSERT_TRUE(gblnEEPROMOperation(eepOpRead, ""));
  EXPECT_EQ(value(64), defaultOf(64) + 1);
  EXPECT_EQ(gbyteCurrentData[64], defaultOf(64) + 1);

  ASSERT_TRUE(gblnEEPROMOperation(eepOpClear, ""));
  EXPECT_TRUE(eeprom().empty());
  EXPECT_EQ(value(208), defaultOf(208));
  EXPECT_EQ(gbyteCurrentData[208], defaultOf(208));
  EXPECT_TRUE(backups().empty());
  EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace linktest
