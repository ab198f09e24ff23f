// The real termios serial stack against the simulated camera on a pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/serial/clock.h"
#include "platform/serial/mscomm.h"
#include "platform/serial/port_map.h"
#include "platform/serial/termios_port.h"
#include "platform/vb/error.h"
#include "sim/serial_server.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

long errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const vb::Error& e) {
    return e.Number();
  }
  return 0;
}

// A ports folder of the test's own, named by ORVADEX_PORTS_DIR while the test runs.
struct PortsFolder {
  fs::path dir;
  std::string saved;
  bool had = false;
  PortsFolder() {
    std::string pattern = (fs::temp_directory_path() / "orvadex-ports-XXXXXX").string();
    dir = ::mkdtemp(pattern.data());
    if (const char* old = std::getenv("ORVADEX_PORTS_DIR")) {
      had = true;
      saved = old;
    }
    ::setenv("ORVADEX_PORTS_DIR", dir.c_str(), 1);
  }
  ~PortsFolder() {
    if (had) ::setenv("ORVADEX_PORTS_DIR", saved.c_str(), 1);
    else ::unsetenv("ORVADEX_PORTS_DIR");
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

// The camera served on a pty in a thread, linked as COM1 of the test's ports folder.
struct PtyCamera {
  PortsFolder ports;
  sim::Camera camera;
  std::unique_ptr<sim::SerialServer> server;
  std::vector<std::string> log;
  explicit PtyCamera(long baud = 9600) {
    camera.Config().baud = baud;
    sim::ServerOptions o;
    o.log = [this](const std::string& line) { log.push_back(line); };
    server = sim::SerialServer::OnNewPty(camera, o);
    serial::CreatePortLink(ports.dir.string(), 1, server->Path());
    server->Start();
  }
};

void openPort(serial::MSComm& com, int port, const std::string& settings) {
  com.CommPort(port);
  com.Settings(settings);
  com.Handshaking(0);
  com.InputLen(1);
  com.RThreshold(0);
  com.InputMode(1);
  com.OutBufferSize(5);
  com.InBufferSize(5);
  com.DTREnable(true);
  com.RTSEnable(false);
  com.NullDiscard(false);
  com.PortOpen(true);
  com.InBufferCount(0);
  com.OutBufferCount(0);
}

// One command as the link sends it: empty the buffers, send, poll each `pollMs` until two
// bytes are there or `timeoutMs` passed. Returns the reply (read one byte at a time) and the
// time it took in microseconds. A reply takes a few milliseconds on the wire; the default
// time-out only bounds a reply that never comes, however busy the machine.
std::pair<Bytes, int64_t> transact(serial::MSComm& com, uint8_t c, uint8_t d, long pollMs = 1, long timeoutMs = 20000) {
  serial::RealClock clk;
  com.InBufferCount(0);
  com.OutBufferCount(0);
  int64_t t0 = clk.NowUs();
  com.Output(Bytes{c, d});
  while (com.OutBufferCount() != 0) {
  }
  while (com.InBufferCount() < 2 && clk.NowUs() - t0 < timeoutMs * 1000) clk.Sleep(pollMs);
  int64_t took = clk.NowUs() - t0;
  Bytes reply;
  for (long n = com.InBufferCount(); n > 0; --n) {
    Bytes b = com.Input();
    EXPECT_EQ(b.size(), 1u);
    reply.insert(reply.end(), b.begin(), b.end());
  }
  return {reply, took};
}

class PtyAtBaud : public ::testing::TestWithParam<long> {};

TEST_P(PtyAtBaud, BytesBothWaysPacedByTheWire) {
  const long baud = GetParam();
  PtyCamera cam(baud);
  serial::MSComm com;
  openPort(com, 1, std::to_string(baud) + ",n,8,2");
  EXPECT_EQ(cam.server->ProgramBaud(), baud);
  auto [reply, took] = transact(com, 0, 0x10);
  EXPECT_EQ(reply, (Bytes{0, 2}));
  // Two characters each way at 11 bits: never faster than the wire.
  EXPECT_GE(took, 4 * 11 * 1000000LL / baud - 200);
  EXPECT_EQ(transact(com, 0, 1).first, (Bytes{0, 1}));
  // Every byte value passes unchanged, including those a cooked terminal would eat.
  for (int v : {0x00, 0x03, 0x0A, 0x0D, 0x11, 0x13, 0x1A, 0x7F, 0x80, 0xFF}) {
    EXPECT_EQ(transact(com, 0x40, static_cast<uint8_t>(v)).first, (Bytes{0x40, static_cast<uint8_t>(v)})) << v;
  }
  cam.server->WithCamera([](sim::Camera& c) { EXPECT_EQ(c.Value(0x40), 0xFF); });
  EXPECT_EQ(com.OutBufferCount(), 0);  // a pty has no transmit queue
  // Three bytes: a count of what is there, taken one at a time.
  cam.server->WithCamera([](sim::Camera& c) { c.AddFault(sim::ParseFault("extra:bytes=AB")); });
  com.Output(Bytes{0, 1});
  serial::RealClock clk;
  for (const int64_t until = clk.NowUs() + 20000000; clk.NowUs() < until && com.InBufferCount() < 3;) clk.Sleep(1);
  EXPECT_EQ(com.InBufferCount(), 3);
  EXPECT_EQ(com.Input(), Bytes{0});
  EXPECT_EQ(com.InBufferCount(), 2);
  com.InBufferCount(0);
  EXPECT_EQ(com.InBufferCount(), 0);
  com.PortOpen(false);
}

INSTANTIATE_TEST_SUITE_P(Rates, PtyAtBaud, ::testing::Values(1200L, 9600L));

TEST(Pty, SilentAtAnotherBaudRateAndAnswersAfterTheSwitch) {
  PtyCamera cam(1200);
  serial::MSComm com;
  openPort(com, 1, "9600,n,8,2");
  auto [reply, took] = transact(com, 0, 1, 10, 150);
  EXPECT_TRUE(reply.empty());
  com.Settings("1200,n,8,2");  // on the open port, as the baud detection does
  EXPECT_EQ(transact(com, 0, 1).first, (Bytes{0, 1}));
  cam.server->Stop();
  EXPECT_EQ(cam.camera.Received().size(), 1u);
  ASSERT_FALSE(cam.log.empty());
  EXPECT_NE(cam.log.front().find("ignored at 9600 baud"), std::string::npos) << cam.log.front();
}

TEST(Pty, CloseReopenAndExclusiveUse) {
  PtyCamera cam;
  serial::MSComm a, b;
  openPort(a, 1, "9600,n,8,2");
  b.CommPort(1);
  EXPECT_EQ(errorOf([&] { b.PortOpen(true); }), 8005);  // held by the first control
  a.PortOpen(false);
  b.Settings("9600,n,8,2");
  b.InputLen(1);
  b.PortOpen(true);
  EXPECT_EQ(transact(b, 0, 1).first, (Bytes{0, 1}));
  b.PortOpen(false);
  openPort(a, 1, "9600,n,8,2");
  EXPECT_EQ(transact(a, 0, 0x1F).first, (Bytes{0, 24}));
}

TEST(Pty, UnpluggedDeviceIsARunTimeErrorNotAHang) {
  PtyCamera cam;
  serial::MSComm com;
  openPort(com, 1, "9600,n,8,2");
  EXPECT_EQ(transact(com, 0, 1).first, (Bytes{0, 1}));
  cam.server->Unplug();
  serial::RealClock clk;
  int64_t t0 = clk.NowUs();
  EXPECT_EQ(errorOf([&] { com.InBufferCount(); }), 8020);
  EXPECT_EQ(errorOf([&] { com.Input(); }), 8020);
  EXPECT_EQ(errorOf([&] { com.Output(Bytes{0, 1}); }), 57);
  EXPECT_EQ(errorOf([&] { com.InBufferCount(0); }), 8020);
  // At once, not after the time a write may wait for a device that takes nothing.
  EXPECT_LT(clk.NowUs() - t0, serial::TermiosChannel::kWriteTimeoutMs * 1000);
  com.PortOpen(false);
  serial::CreatePortLink(cam.ports.dir.string(), 2, "/dev/null");  // the ports are links, not this machine's devices
  // The device is gone: its path went with it, and its pty's number is not handed to another
  // pty (of a test running beside) while the server that pulled the plug lives.
  EXPECT_FALSE(fs::exists(cam.server->Path()));
  EXPECT_EQ(errorOf([&] { com.PortOpen(true); }), 8002);
  EXPECT_FALSE(com.PortOpen());
}

// The device reports input only once two bytes wait there; a wait for the second byte ends when
// it is in, whether the first still waits at the device (an interval ended between the two) or
// was taken into the control's buffer already (Input takes what the device holds).
TEST(Pty, AWaitEndsWhenTheBytesAreInWhicheverTheControlTookAlready) {
  PortsFolder ports;
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  char slave[128];
  ASSERT_EQ(::ptsname_r(master, slave, sizeof slave), 0);
  serial::CreatePortLink(ports.dir.string(), 1, slave);
  serial::MSComm com;
  openPort(com, 1, "9600,n,8,2");
  auto put = [master](Bytes b) { ASSERT_EQ(::write(master, b.data(), b.size()), static_cast<ssize_t>(b.size())); };
  // Far beyond any wait the test can cause: a wait that missed its bytes lasts all of it.
  constexpr long kLongMs = 20000;
  struct Case {
    const char* name;
    Bytes first;    // sent before the wait
    bool takeOne;   // Input takes one of them before the wait
    Bytes expected; // what Input hands out after the wait
  } cases[] = {
      {"the first byte waits at the device", {0x41}, false, {0x41, 0x42}},
      {"one byte taken, the other held by the control", {0x41, 0x43}, true, {0x43, 0x42}},
      // The wait for one byte lowered the device's wake count; this one wakes on two again.
      {"the first byte at the device again", {0x41}, false, {0x41, 0x42}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    com.InBufferCount(0);
    put(k.first);
    serial::RealClock clk;
    for (int64_t until = clk.NowUs() + kLongMs * 1000; clk.NowUs() < until && com.InBufferCount() < long(k.first.size());)
      clk.Sleep(1);
    ASSERT_EQ(com.InBufferCount(), long(k.first.size()));
    if (k.takeOne) {
      EXPECT_EQ(com.Input(), Bytes{k.first[0]});
    }
    EXPECT_FALSE(com.WaitInput(2, 1));  // a poll interval ends before the second byte
    std::thread late([&] {
      clk.Sleep(50);
      put({0x42});
    });
    const int64_t t0 = clk.NowUs();
    EXPECT_TRUE(com.WaitInput(2, kLongMs));
    EXPECT_LT(clk.NowUs() - t0, kLongMs * 1000 / 2);
    late.join();
    Bytes got;
    for (int i = 0; i < 2; ++i) {
      const Bytes b = com.Input();
      got.insert(got.end(), b.begin(), b.end());
    }
    EXPECT_EQ(got, k.expected);
  }
  com.PortOpen(false);
  ::close(master);
}

TEST(Pty, PortsThatAreNoSerialDevice) {
  PortsFolder ports;
  serial::MSComm com;
  com.CommPort(9);
  EXPECT_EQ(errorOf([&] { com.PortOpen(true); }), 8002);  // no link, no device numbered 9
  serial::CreatePortLink(ports.dir.string(), 2, "/dev/null");
  com.CommPort(2);
  EXPECT_EQ(errorOf([&] { com.PortOpen(true); }), 8002);  // not a terminal
  serial::TermiosChannel ch("/nonexistent/ttyUSB0");
  EXPECT_EQ(errorOf([&] { ch.Open(serial::LineSettings{}); }), 8002);
}

// camsim as a real process: the path it prints, the comN link, the log, a clean exit on SIGTERM.
TEST(Camsim, ServesTheCameraAndExitsCleanlyOnASignal) {
  PortsFolder ports;
  fs::path logFile = ports.dir / "camsim.log";
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    std::string exe = std::string(ORVADEX_BINARY_DIR) + "/sim/camsim";
    ::execl(exe.c_str(), "camsim", "--link", "3", "--baud", "9600", "--firmware", "5", "--unsupported", "0x45",
            "--fault", "drop:c=0:d=16", "--log", logFile.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out[1]);
  std::string path;
  char ch;
  while (::read(out[0], &ch, 1) == 1 && ch != '\n') path += ch;
  ::close(out[0]);
  ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
  EXPECT_EQ(serial::DeviceForPort(3), path);

  serial::MSComm com;
  openPort(com, 3, "9600,n,8,2");
  EXPECT_TRUE(transact(com, 0, 0x10, 5, 100).first.empty());  // the first answer is dropped
  EXPECT_EQ(transact(com, 0, 0x10).first, (Bytes{0, 5}));
  EXPECT_EQ(transact(com, 0x45, 1).first, (Bytes{0xFF, 0xFF}));
  ::kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::error_code ec;
  EXPECT_FALSE(fs::exists(fs::symlink_status(ports.dir / "com3", ec))) << "the link outlived camsim";
  // The other side went away: the open port reports it.
  EXPECT_NE(errorOf([&] { com.InBufferCount(); }), 0);
  std::ifstream in(logFile);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_NE(ss.str().find("RX 00 10"), std::string::npos) << ss.str();
  EXPECT_NE(ss.str().find("TX 00 05"), std::string::npos) << ss.str();
  EXPECT_NE(ss.str().find("TX FF FF"), std::string::npos) << ss.str();
}

TEST(Camsim, RefusesBadOptionsWithAReason) {
  for (std::string args : {"--baud 1000", "--fault explode", "--status 1,2", "--link 0", "--frobnicate"}) {
    std::string cmd = std::string(ORVADEX_BINARY_DIR) + "/sim/camsim " + args + " 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string text;
    char buf[256];
    while (size_t n = std::fread(buf, 1, sizeof buf, p)) text.append(buf, n);
    int status = ::pclose(p);
    EXPECT_EQ(WEXITSTATUS(status), 2) << args;
    EXPECT_NE(text.find("camsim:"), std::string::npos) << text;
  }
}

}  // namespace
