// EEPROM operations over the real termios serial stack on a pseudo-terminal, against the
// simulated camera served in a thread, on the real clock: the camera's EEPROM and registers
// are checked from the camera's side.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "core/logs.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "link/eeprom_operations.h"
#include "link/mscomm.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/forms/host.h"
#include "platform/fs/files.h"
#include "platform/serial/mscomm.h"
#include "platform/serial/port_map.h"
#include "platform/vb/error.h"
#include "sim/serial_server.h"
#include "tests/platform/temp_folder.h"

namespace {

using namespace mdlMSComm;

class Answers : public forms::Host {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
    shown.push_back(prompt);
    if (!answers.empty()) {
      const int a = answers.front();
      answers.pop_front();
      return a;
    }
    return (buttons & 7) == forms::vbYesNo ? forms::vbYes : forms::vbOK;
  }
  std::vector<std::string> shown;
  std::deque<int> answers;
};

class PtyEeprom : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool tableBuilt = SubMain::mblnSetDataInfo();
    ASSERT_TRUE(tableBuilt);
    vb::App::SetLocationForTesting(program.path(), "orvadex");
    ::setenv("ORVADEX_PORTS_DIR", ports.path().c_str(), 1);
    forms::setHost(&host);
    vb::SetErrorReporter([this](const std::string& text) {
      reports.push_back(text);
      SubMain::gErrorProc(text);
    });
    glngPortNo = 1;
    gstrSettings = "9600,n,8,2";
    gblnAutoBaudRateChange = true;
    glngRcvRetry = 3;
    glngSleepTimeUnit = 100;
    glngTimeOut = 0;  // a silent camera is given up at the next whole second
    glngRetryWrongReplayBeforeMsg = 10;
    glngRetryTimeOutBeforeMsg = 1;
    gblnWriteErrLogWrongReplay = gblnWriteErrLogTimeOut = gblnWriteLogFile = false;
    gblnOptimizeWritting = false;
    gblnShowStatus = gblnShowSplash = false;
    gobjMSComm = &comm;

    camera.Config().baud = 9600;
    server = sim::SerialServer::OnNewPty(camera);
    serial::CreatePortLink(ports.path(), 1, server->Path());
    server->Start();
    ASSERT_TRUE(gblnMSComm_Init());
    gblnKeepNotSupportCmd = true;
    gstrAllCmdList = "1,65,64,144,32,33,208";
    gstrWriteCmdList = "32,33";
    ASSERT_TRUE(gblnGetDataFromCamera(gstrAllCmdList));
    host.shown.clear();
  }
  void TearDown() override {
    gblnMSComm_Close();
    server.reset();
    gobjMSComm = nullptr;
    vb::SetErrorReporter(nullptr);
    forms::setHost(nullptr);
    ::unsetenv("ORVADEX_PORTS_DIR");
    vb::App::SetLocationForTesting("", "");
  }

  std::map<uint8_t, uint8_t> eeprom() {
    return server->WithCamera([](sim::Camera& cam) { return cam.Eeprom(); });
  }
  uint8_t value(uint8_t code) {
    return server->WithCamera([code](sim::Camera& cam) { return cam.Value(code); });
  }
  uint8_t defaultOf(uint8_t code) const { return camera.Config().defaults[code]; }
  std::vector<std::string> backups() const {
    std::vector<std::string> found;
    for (const std::string& name : files::ListFiles(program.path()))
      if (files::Like(name, "tmp*.CFG", false)) found.push_back(name);
    return found;
  }

  testutil::TempFolder program, ports;
  Answers host;
  std::vector<std::string> reports;
  serial::MSComm comm;
  sim::Camera camera;
  std::unique_ptr<sim::SerialServer> server;
};

TEST_F(PtyEeprom, OptimiseThenReadThenClear) {
  gbyteCurrentData[64] = defaultOf(64) + 1;
  gbyteCurrentData[208] = defaultOf(208) + 2;
  ASSERT_TRUE(gblnEEPROMOperation(eepOpOptimize, ""));
  EXPECT_EQ(eeprom(), (std::map<uint8_t, uint8_t>{{64, defaultOf(64) + 1}, {208, defaultOf(208) + 2}}));
  EXPECT_EQ(value(64), defaultOf(64) + 1);
  EXPECT_EQ(host.shown.back(), vb::LoadResString(361));

  // The camera's registers drift from the EEPROM; a read brings the EEPROM's values back.
  server->WithCamera([](sim::Camera& cam) { cam.SetValue(64, 0); return 0; });
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

TEST_F(PtyEeprom, ACameraFallingSilentKeepsTheBackup) {
  gbyteCurrentData[65] = defaultOf(65) + 1;
  const auto user = gbyteCurrentData;
  server->WithCamera([](sim::Camera& cam) { cam.AddFault(sim::ParseFault("silent:skip=3")); return 0; });
  host.answers = {forms::vbNo};  // the time-out question: go off line
  EXPECT_FALSE(gblnEEPROMOperation(eepOpWrite, "65"));
  EXPECT_FALSE(gblnOnLine);
  const auto found = backups();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(host.shown.back(), "\"" + program.file(found[0]) + "\"" + vb::LoadResString(362));
  EXPECT_EQ(gbyteCurrentData, user);
}

}  // namespace
