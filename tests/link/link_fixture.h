#pragma once
// Link tests: the program's folder, host and error reporter of the core tests, the link's
// settings, and the simulated camera either on a virtual line and clock (LinkTest: protocol
// tests) or served on a pseudo-terminal through the real termios port (PtyTest).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "link/mscomm.h"
#include "platform/forms/forms.h"
#include "platform/fs/files.h"
#include "platform/serial/mscomm.h"
#include "platform/serial/port_map.h"
#include "sim/serial_server.h"
#include "sim/virtual_camera.h"
#include "tests/core/core_fixture.h"

extern char** environ;

namespace linktest {

using testutil::Box;
using testutil::Codes;
using Wire = std::vector<std::pair<uint8_t, uint8_t>>;

inline sim::Fault fault(const char* text) { return sim::ParseFault(text); }

class LinkBase : public testutil::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    glngPortNo = 1;
    gstrSettings = "9600,n,8,2";
    gblnAutoBaudRateChange = true;
    glngRcvRetry = 10;
    glngSleepTimeUnit = 100;
    glngTimeOut = 5;
    glngRetryWrongReplayBeforeMsg = 10;
    glngRetryTimeOutBeforeMsg = 1;
    gblnWriteErrLogWrongReplay = gblnWriteErrLogTimeOut = gblnOptimizeWritting = gblnWriteLogFile = false;
    gblnOnLine = gblnKeepNotSupportCmd = gblnReadingData = gblnEEPROMWriting = false;
    gbyteCurrentMode = 0;
    gblnTimeOutRetry = gblnWrongReplayRetry = false;
    glngTimeOutCount = glngWrongReplayCount = 0;
    gblnShowStatus = gblnShowSplash = false;
  }
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    gobjMSComm = nullptr;
    CoreTest::TearDown();
  }

  // The backup files an EEPROM operation left in the program's folder.
  std::vector<std::string> backups() const {
    std::vector<std::string> found;
    for (const std::string& name : files::ListFiles(dir.path()))
      if (files::Like(name, "tmp##############.CFG", false)) found.push_back(name);
    return found;
  }
  // The message naming a kept backup file.
  std::string backupNamed(const std::string& name) const {
    return "\"" + dir.file(name) + "\"" + vb::LoadResString(362);
  }
};

class LinkTest : public LinkBase {
 protected:
  void SetUp() override {
    LinkBase::SetUp();
    gstrAllCmdList = "1,65,64,144";
    gstrKRVCmdList = "1,64,65";
    gstrWriteCmdList = "32,65";
    start({});
  }
  void TearDown() override {
    LinkBase::TearDown();
    comm.reset();
    sim.reset();
  }

  // (Re)starts the simulated camera with `config` and a closed serial control.
  void start(sim::CameraConfig config) {
    comm.reset();
    sim.reset();
    sim = std::make_unique<sim::SimulatedCameraPort>(std::move(config));
    comm = std::make_unique<serial::MSComm>();
    gobjMSComm = comm.get();
  }

  // Opens the port the way a connect does, without the detection and identity read.
  void open() {
    comm->CommPort(1);
    comm->Settings(gstrSettings);
    comm->InputLen(1);
    comm->InputMode(1);
    comm->PortOpen(true);
  }

  sim::Camera& camera() { return sim->camera; }
  serial::VirtualClock& clock() { return sim->clock; }
  Wire wire() const { return sim->camera.Received(); }
  double seconds() const { return sim->clock.NowUs() / 1e6; }

  // Sends one command; returns {result, reply command, reply data}.
  struct Sent {
    bool ok;
    uint8_t rc, rd;
    bool operator==(const Sent&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Sent& s) {
      return out << "{" << s.ok << ", " << int(s.rc) << ", " << int(s.rd) << "}";
    }
  };
  Sent send(uint8_t c, uint8_t d) {
    uint8_t rc = 0xAA, rd = 0xAA;
    bool ok = mdlMSComm::gblnSendSettingData(c, d, rc, rd);
    return {ok, rc, rd};
  }

  int countBoxes(long message) const { return host.count(message); }

  std::unique_ptr<sim::SimulatedCameraPort> sim;
  std::unique_ptr<serial::MSComm> comm;
};

// The camera served in a thread on a new pty linked as COM1 in the ports folder
// (ORVADEX_PORTS_DIR), on the real clock.
class PtyTest : public LinkBase {
 protected:
  void SetUp() override {
    LinkBase::SetUp();
    ::setenv("ORVADEX_PORTS_DIR", ports.c_str(), 1);
    gobjMSComm = comm.get();
  }
  void TearDown() override {
    if (gobjMSComm && comm->PortOpen()) mdlMSComm::gblnMSComm_Close();
    if (server) server->Stop();
    server.reset();
    ::unsetenv("ORVADEX_PORTS_DIR");
    LinkBase::TearDown();
  }

  void serve(sim::ServerOptions options = {}) {
    server = sim::SerialServer::OnNewPty(camera, std::move(options));
    serial::CreatePortLink(ports, 1, server->Path());
    server->Start();
  }
  template <class F>
  auto withCamera(F&& f) {
    return server->WithCamera(std::forward<F>(f));
  }
  void inject(const char* fault) {
    const sim::Fault f = sim::ParseFault(fault);
    withCamera([&](sim::Camera& c) { c.AddFault(f); });
  }
  // Starts the camsim program on COM1 of the ports folder with `args` added; returns its process
  // id once it has linked the port and printed the pty's path, or -1.
  static std::string camsimProgram() { return std::string(ORVADEX_BINARY_DIR) + "/sim/camsim"; }
  pid_t startCamsim(std::vector<std::string> args) {
    const std::string program = camsimProgram();
    args.insert(args.begin(), {program, "--link", "1", "--ports-dir", ports});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0) return -1;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, program.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    ::close(out[1]);
    std::string path;
    char ch;
    while (rc == 0 && ::read(out[0], &ch, 1) == 1 && ch != '\n') path += ch;
    ::close(out[0]);
    return rc == 0 && !path.empty() ? pid : -1;
  }

  std::map<uint8_t, uint8_t> eeprom() {
    return withCamera([](sim::Camera& c) { return c.Eeprom(); });
  }
  std::array<uint8_t, 256> cameraValues() {
    return withCamera([](sim::Camera& c) { return c.Values(); });
  }

  const std::string ports = dir.file("ports");
  sim::Camera camera;
  std::unique_ptr<sim::SerialServer> server;
  std::unique_ptr<serial::MSComm> comm = std::make_unique<serial::MSComm>();
};

}  // namespace linktest
