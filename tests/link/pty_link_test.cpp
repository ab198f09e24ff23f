// The link over the real termios serial stack on a pseudo-terminal, against the simulated
// camera (served in a thread, and as the camsim program), on the real clock.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "core/logs.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "link/mscomm.h"
#include "platform/app/app.h"
#include "platform/forms/host.h"
#include "platform/vb/error.h"
#include "platform/serial/mscomm.h"
#include "platform/serial/port_map.h"
#include "sim/serial_server.h"
#include "tests/platform/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class Boxes : public forms::Host {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
    shown.push_back(prompt);
    return (buttons & 7) == forms::vbYesNo ? forms::vbNo : forms::vbOK;
  }
  std::vector<std::string> shown;
};

// The program's folder, the ports folder (ORVADEX_PORTS_DIR) and the link's settings.
class PtyLink : public ::testing::Test {
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
    gblnAutoBaudRateChange = true;
    glngRcvRetry = 3;
    glngSleepTimeUnit = 100;
    glngTimeOut = 0;  // a silent probe gives up at the next whole second
    glngRetryWrongReplayBeforeMsg = 10;
    glngRetryTimeOutBeforeMsg = 1;
    gblnWriteErrLogWrongReplay = gblnWriteErrLogTimeOut = gblnWriteLogFile = false;
    gblnOptimizeWritting = false;
    gblnShowStatus = gblnShowSplash = false;
    gobjMSComm = &comm;
  }
  void TearDown() override {
    mdlMSComm::gblnMSComm_Close();
    gobjMSComm = nullptr;
    vb::SetErrorReporter(nullptr);
    forms::setHost(nullptr);
    ::unsetenv("ORVADEX_PORTS_DIR");
    vb::App::SetLocationForTesting("", "");
  }

  // Serves `camera` on a new pty linked as COM1.
  void serve() {
    server = sim::SerialServer::OnNewPty(camera);
    serial::CreatePortLink(ports.path(), 1, server->Path());
    server->Start();
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
    ASSERT_TRUE(mdlMSComm::gblnMSComm_Init());
    EXPECT_TRUE(gblnOnLine);
    EXPECT_EQ(gbyteFirmVersion, 0x31);
    EXPECT_EQ(gstrSettings, std::to_string(baud) + ",n,8,2");
    EXPECT_EQ(server->ProgramBaud(), baud);

    ASSERT_TRUE(mdlMSComm::gblnGetDataFromCamera(everyCode()));
    for (int c = 1; c <= 254; ++c) ASSERT_EQ(gbyteCurrentData[c], c ^ 0x5A) << c;
    gblnKeepNotSupportCmd = true;

    gbyteCurrentData[65] = 17;
    gbyteCurrentData[144] = 201;
    server->WithCamera([](sim::Camera& cam) { cam.ClearReceived(); return 0; });
    ASSERT_TRUE(mdlMSComm::gblnSetDataFromPC("65,144", true));
    server->WithCamera([](sim::Camera& cam) {
      EXPECT_EQ(cam.Received(), (std::vector<std::pair<uint8_t, uint8_t>>{{0, 1}, {65, 17}, {144, 201}, {0, 0}}));
      EXPECT_EQ(cam.Value(65), 17);
      EXPECT_EQ(cam.Value(144), 201);
      return 0;
    });
    EXPECT_TRUE(host.shown.empty());
    EXPECT_TRUE(reports.empty());
  }

  testutil::TempFolder program, ports;
  Boxes host;
  std::vector<std::string> reports;
  serial::MSComm comm;
  sim::Camera camera;
  std::unique_ptr<sim::SerialServer> server;
};

TEST_F(PtyLink, At9600FromAWrongStoredSetting) {
  connectReadAndSend(9600, "1200,n,8,2");
  // A command and its reply take 4.6 ms on the wire at 9600 baud. How far below its start value
  // of 100 the calibration gets on a loaded machine is the scheduler's business; its exact end
  // values are checked on the virtual clock.
  EXPECT_GE(glngSleepTimeUnit, 5);
  EXPECT_LE(glngSleepTimeUnit, 100);
}

TEST_F(PtyLink, At1200FromAWrongStoredSetting) {
  connectReadAndSend(1200, "9600,n,8,2");
  // 36.7 ms on the wire at 1200 baud (upper bound: see above).
  EXPECT_GE(glngSleepTimeUnit, 40);
  EXPECT_LE(glngSleepTimeUnit, 100);
}

TEST_F(PtyLink, AnUnpluggedAdapterEndsTheReadWithAnErrorNotAHang) {
  serve();
  gstrSettings = "9600,n,8,2";
  ASSERT_TRUE(mdlMSComm::gblnMSComm_Init());
  std::thread puller([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    server->Unplug();
  });
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(mdlMSComm::gblnGetDataFromCamera(everyCode()));
  puller.join();
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports[0], "mdlMSComm.gblnSendSettingData");
  EXPECT_FALSE(gblnReadingData);
}

TEST_F(PtyLink, APortThatDoesNotExistFailsTheConnect) {
  // Nothing is linked as COM7: the port-selection window is offered; the port is unchanged.
  glngPortNo = 7;
  gstrSettings = "9600,n,8,2";
  EXPECT_FALSE(mdlMSComm::gblnMSComm_Init());
  EXPECT_FALSE(gblnOnLine);
  EXPECT_FALSE(comm.PortOpen());
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), "mdlMSComm.gblnMSComm_Init");
}

// The camsim program itself: a connect and a read of the whole list of transferred codes.
TEST_F(PtyLink, AgainstTheCamsimProgram) {
  const std::string camsim = std::string(ORVADEX_BINARY_DIR) + "/sim/camsim";
  if (!fs::exists(camsim)) GTEST_SKIP() << "camsim not built";
  const std::string out = program.file("camsim.out");
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::freopen(out.c_str(), "w", stdout);
    ::execl(camsim.c_str(), "camsim", "--link", "1", "--ports-dir", ports.path().c_str(), "--baud",
            "9600", "--firmware", "7", nullptr);
    ::_exit(127);
  }
  // Wait for the link to appear.
  const fs::path link = fs::path(ports.path()) / "com1";
  for (int i = 0; i < 200 && !fs::exists(link); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(fs::exists(link)) << "camsim did not link com1";
  gstrSettings = "9600,n,8,2";
  const bool connected = mdlMSComm::gblnMSComm_Init();
  const bool read = connected && mdlMSComm::gblnGetDataFromCamera(everyCode());
  mdlMSComm::gblnMSComm_Close();
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(connected);
  EXPECT_TRUE(read);
  EXPECT_EQ(gbyteFirmVersion, 7);
  EXPECT_TRUE(reports.empty());
}

}  // namespace
