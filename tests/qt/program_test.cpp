// The orvadex program as a process: it needs a display and says so clearly without one; on
// the offscreen platform (tests) nobody can answer, so it never waits for an answer.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "platform/serial/port_map.h"

extern char** environ;

namespace {

struct Result {
  int status = -1;
  bool timedOut = false;
  std::string err;
};

// Starts a copy of the program in `dir` with the environment minus the display variables plus
// `extra` (in the place of a variable of the same name), standard error into `dir`/stderr.txt
// (or onto `errFd`); -1 when it cannot be started. It starts with every signal's default action,
// whatever this process ignores; `fileSizeLimit` bytes (0: none) is the most any file it writes
// may grow to.
pid_t startProgram(const QString& dir, const std::vector<std::string>& extra, long fileSizeLimit = 0,
                   int errFd = -1) {
  const std::string program = (dir + "/orvadex").toStdString();
  const std::string errPath = (dir + "/stderr.txt").toStdString();
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string v = *e;
    if (v.rfind("DISPLAY=", 0) == 0 || v.rfind("WAYLAND_", 0) == 0 || v.rfind("QT_", 0) == 0) continue;
    const std::string name = v.substr(0, v.find('=') + 1);
    if (std::any_of(extra.begin(), extra.end(), [&](const std::string& x) { return x.rfind(name, 0) == 0; })) continue;
    env.push_back(v);
  }
  for (const auto& v : extra) env.push_back(v);
  std::vector<char*> envp;
  for (auto& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (errFd >= 0) posix_spawn_file_actions_adddup2(&actions, errFd, 2);
  else posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<std::string> args = {program};
  if (fileSizeLimit > 0) args = {"prlimit", "--fsize=" + std::to_string(fileSizeLimit), "--", program};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), envp.data());
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

std::string readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

// Whether the program still runs (an ended one is left for waitProgram to collect).
bool running(pid_t pid) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

// Waits at most 30 s until the program's standard error holds `text`; false when the program
// ended first or never said it.
bool waitForMessage(const QString& dir, pid_t pid, const std::string& text) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (readAll(dir + "/stderr.txt").find(text) == std::string::npos) {
    if (!running(pid) || std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Waits at most 30 s for the program started in `dir` to end.
Result waitProgram(const QString& dir, pid_t pid) {
  Result r;
  if (pid <= 0) return r;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (;;) {
    if (waitpid(pid, &r.status, WNOHANG) == pid) break;
    if (std::chrono::steady_clock::now() > until) {
      r.timedOut = true;
      kill(pid, SIGKILL);
      waitpid(pid, &r.status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  r.err = readAll(dir + "/stderr.txt");
  return r;
}

Result runProgram(const QString& dir, const std::vector<std::string>& extra) {
  return waitProgram(dir, startProgram(dir, extra));
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(QFile::copy(QString(ORVADEX_BINARY_DIR) + "/app/orvadex", dir_.filePath("orvadex")));
    QFile::setPermissions(dir_.filePath("orvadex"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ports_ = dir_.filePath("ports");
    QDir().mkpath(ports_);
  }
  void writeSettings(const std::string& text) {
    QFile ini(dir_.filePath("orvadex.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(text.data(), static_cast<qint64>(text.size()));
  }
  // The program on the offscreen platform with the test's ports folder.
  pid_t startOffscreen(long fileSizeLimit = 0, int errFd = -1) {
    return startProgram(dir_.path(), {"QT_QPA_PLATFORM=offscreen", "ORVADEX_PORTS_DIR=" + ports_.toStdString()},
                        fileSizeLimit, errFd);
  }
  QTemporaryDir dir_;
  QString ports_;
};

TEST_F(Program, WithoutADisplayItSaysSoAndFails) {
  Result r = runProgram(dir_.path(), {"ORVADEX_PORTS_DIR=" + ports_.toStdString()});
  ASSERT_FALSE(r.timedOut);
  ASSERT_TRUE(WIFEXITED(r.status)) << r.status;
  EXPECT_NE(WEXITSTATUS(r.status), 0);
  EXPECT_NE(r.err.find("no display"), std::string::npos) << r.err;
  // Nothing was started: no settings file, no log.
  EXPECT_FALSE(QFile::exists(dir_.filePath("orvadex.ini")));
}

TEST_F(Program, OffscreenWithNoPortChosenEndsWithoutWaiting) {
  // The port-selection window is shown and, with nobody to answer it, closed: the program
  // ends as when the user cancels it.
  Result r = runProgram(dir_.path(), {"QT_QPA_PLATFORM=offscreen", "ORVADEX_PORTS_DIR=" + ports_.toStdString()});
  ASSERT_FALSE(r.timedOut);
  ASSERT_TRUE(WIFEXITED(r.status)) << r.status;
  EXPECT_EQ(WEXITSTATUS(r.status), 0) << r.err;
  EXPECT_EQ(r.err.find("QStandardPaths"), std::string::npos) << r.err;
}

TEST_F(Program, TheSessionsEndStopsTheStartUpsReadAndEndsTheProgramByItself) {
  // The desktop session ends (a logout: SIGTERM; the terminal that started the program closed:
  // SIGHUP; Ctrl+C in it: SIGINT) while the start-up reads the camera, at 1200 and at 9600 baud,
  // or while it waits for a camera that does not answer (the link's time-out a minute): the read
  // stops at its next command, the wait ends; the program ends by itself without asking "End?",
  // writes its settings file and ends with status 0.
  const struct {
    int sig;
    long baud;
    bool silent;
  } cases[] = {{SIGTERM, 1200, false}, {SIGHUP, 9600, false}, {SIGINT, 9600, false}, {SIGTERM, 9600, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.sig) + " at " + std::to_string(c.baud) + (c.silent ? " silent" : ""));
    const std::filesystem::path dir = dir_.path().toStdString();
    QFile::remove(dir_.filePath("camsim.log"));
    QFile::remove(dir_.filePath("orvadex.ini"));
    auto camsim = std::make_unique<bench::Camsim>(std::string(ORVADEX_BINARY_DIR) + "/sim/camsim", dir, c.baud, false,
                                                  c.silent ? std::vector<std::string>{"--fault", "silent"}
                                                           : std::vector<std::string>{});
    unsetenv("ORVADEX_PORTS_DIR");  // set for this process by camsim's start; the program gets it below
    writeSettings("[Comm]\r\nPortNo=1\r\nSettings=" + std::to_string(c.baud) + ",n,8,2\r\nTimeOut=60\r\n");
    const pid_t pid = startOffscreen();
    ASSERT_GT(pid, 0);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    // A few of the camera's values have been read, or the camera has been asked once.
    while (camsim->Commands() < (c.silent ? 1 : 10) && waitpid(pid, nullptr, WNOHANG) == 0 &&
           std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    kill(pid, c.sig);
    const Result r = waitProgram(dir_.path(), pid);
    ASSERT_FALSE(r.timedOut);
    ASSERT_TRUE(WIFEXITED(r.status)) << r.status << " " << r.err;
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
    EXPECT_EQ(r.err, "");  // no question, no notice
    // The read stopped far from its closing command (a read of 148 values); the settings file
    // was written at the end.
    const long commands = camsim->Commands();
    EXPECT_GE(commands, c.silent ? 1 : 10);
    EXPECT_LT(commands, 100);
    QFile written(dir_.filePath("orvadex.ini"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("LargeChange=5"));
  }
}

TEST_F(Program, AComPortWithoutItsLinkIsNoPortAndNoDeviceOfTheMachineIsOpened) {
  // The settings name COM1; the ports folder named for the run holds no link (the camera's was
  // removed as it went away). COM1 is a port the program cannot find: it says so and shows the
  // main window off line, and no serial device of the machine (a real /dev/ttyS0 UART) was
  // opened in COM1's place.
  writeSettings("[Comm]\r\nPortNo=1\r\nSettings=9600,n,8,2\r\n");
  const pid_t pid = startOffscreen();
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(waitForMessage(dir_.path(), pid, "No.8002)"));
  const std::vector<std::string> machine = serial::PresentSerialDevices(serial::PortMapRoots{});
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  for (const auto& fd : std::filesystem::directory_iterator(fds)) {
    std::error_code ec;
    const std::string target = std::filesystem::read_symlink(fd.path(), ec).string();
    EXPECT_EQ(std::find(machine.begin(), machine.end(), target), machine.end()) << target;
  }
  kill(pid, SIGTERM);
  const Result r = waitProgram(dir_.path(), pid);
  ASSERT_FALSE(r.timedOut);
  ASSERT_TRUE(WIFEXITED(r.status)) << r.status << " " << r.err;
  EXPECT_EQ(WEXITSTATUS(r.status), 0);
  EXPECT_EQ(r.err, "[Orvadex] This serial port number is not correct.\n"
                   "[mdlMSComm.gblnMSComm_Init] System error occured.\r\nNo.8002)Invalid Port Number\n");

  // Once more with standard error a pipe nobody reads any more (the terminal that started the
  // program has gone): the messages written to it fail, the program lives on.
  QFile::remove(dir_.filePath("orvadex.ERR"));
  int closed[2];
  ASSERT_EQ(pipe(closed), 0);
  close(closed[0]);
  const pid_t again = startOffscreen(0, closed[1]);
  close(closed[1]);
  ASSERT_GT(again, 0);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  // The error log's line is written after the first message.
  while (readAll(dir_.filePath("orvadex.ERR")).find("8002") == std::string::npos && running(again) &&
         std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(running(again)) << "ended by a write to standard error";
  kill(again, SIGTERM);
  const Result closedErr = waitProgram(dir_.path(), again);
  ASSERT_FALSE(closedErr.timedOut);
  ASSERT_TRUE(WIFEXITED(closedErr.status)) << closedErr.status;
  EXPECT_EQ(WEXITSTATUS(closedErr.status), 0);
}

TEST_F(Program, APortThatWasALinkOpensNoDeviceOfTheMachineAtTheNextStart) {
  // No ports folder named, a private home: camsim links COM1 in the default folder, the program
  // connects as COM1 and ends; camsim ends and its link goes (the camera unplugged). At the next
  // start COM1 is a port the program cannot find and it says so: the device that would be COM1
  // without links (a pty in a folder standing for /dev) is never opened.
  const std::filesystem::path dir = dir_.path().toStdString();
  const std::filesystem::path config = dir / "home/.config/orvadex";
  std::filesystem::create_directories(config);
  std::filesystem::create_directories(dir / "dev");
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master) | unlockpt(master), 0);
  const std::string device = ptsname(master);
  const int slave = open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);  // keeps what the program writes readable
  ASSERT_GE(slave, 0);
  ASSERT_EQ(symlink(device.c_str(), (dir / "dev/ttyUSB0").c_str()), 0);
  const std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "HOME=" + (dir / "home").string(),
                                        "XDG_CONFIG_HOME=", "ORVADEX_PORTS_DIR=", "ORVADEX_DEV_DIR=" + (dir / "dev").string()};
  writeSettings("[Comm]\r\nPortNo=1\r\nSettings=9600,n,8,2\r\n");
  {
    bench::Camsim camsim(std::string(ORVADEX_BINARY_DIR) + "/sim/camsim", config, 9600, false);
    const pid_t pid = startProgram(dir_.path(), env);
    ASSERT_GT(pid, 0);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (camsim.Commands() < 10 && running(pid) && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    kill(pid, SIGTERM);
    const Result r = waitProgram(dir_.path(), pid);
    ASSERT_FALSE(r.timedOut);
    ASSERT_TRUE(WIFEXITED(r.status)) << r.status << " " << r.err;
    EXPECT_EQ(r.err, "");
  }
  EXPECT_FALSE(std::filesystem::is_symlink(std::filesystem::symlink_status(config / "ports/com1")));
  EXPECT_NE(readAll(dir_.filePath("orvadex.ini")).find("PortNo=1\r\n"), std::string::npos);

  const pid_t pid = startProgram(dir_.path(), env);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(waitForMessage(dir_.path(), pid, "No.8002)"));
  for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) {
    std::error_code ec;
    EXPECT_NE(std::filesystem::read_symlink(fd.path(), ec).string(), device);
  }
  kill(pid, SIGTERM);
  const Result r = waitProgram(dir_.path(), pid);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.err, "[Orvadex] This serial port number is not correct.\n"
                   "[mdlMSComm.gblnMSComm_Init] System error occured.\r\nNo.8002)Invalid Port Number\n");
  char byte = 0;
  EXPECT_EQ(read(master, &byte, 1), -1) << "the program wrote to the machine's device";
  close(slave);
  close(master);
}

TEST_F(Program, UnderAFileSizeLimitTheLogStopsInWholeLinesAndTheEndSaysTheSettingsWereNotWritten) {
  // The communication log on, every file limited to 3000 bytes (as on a nearly full disk), the
  // settings file larger than that already. The connect fills the log: the line that does not
  // fit is not written and the disk is reported full; the program lives on (a write past the
  // limit is an error, not the end). At the end the settings file cannot be written: the end
  // says so, and the old file stays as it was.
  constexpr long kLimit = 3000;
  const std::filesystem::path dir = dir_.path().toStdString();
  auto camsim = std::make_unique<bench::Camsim>(std::string(ORVADEX_BINARY_DIR) + "/sim/camsim", dir, 9600, false);
  unsetenv("ORVADEX_PORTS_DIR");  // set for this process by camsim's start; the program gets it below
  std::string old = "[Comm]\r\nPortNo=1\r\nSettings=9600,n,8,2\r\n[File]\r\nWriteLogFile=True\r\n[Notes]\r\n";
  while (old.size() <= kLimit) old += "Note" + std::to_string(old.size()) + "=kept whatever the end writes\r\n";
  writeSettings(old);
  const pid_t pid = startOffscreen(kLimit);
  ASSERT_GT(pid, 0);
  const std::string logFull = "[SubMain.gblnWriteCommLog] System error occured.\r\nNo.61)Disk full\n";
  EXPECT_TRUE(waitForMessage(dir_.path(), pid, logFull));
  EXPECT_TRUE(running(pid)) << "the program ended at the limit";
  kill(pid, SIGTERM);
  const Result r = waitProgram(dir_.path(), pid);
  ASSERT_FALSE(r.timedOut);
  ASSERT_TRUE(WIFEXITED(r.status)) << "status " << r.status << " " << r.err;
  EXPECT_EQ(WEXITSTATUS(r.status), 0);
  EXPECT_EQ(r.err, logFull + "[frmMain.Form_QueryUnload] System error occured.\r\nNo.61)Disk full\n");
  EXPECT_EQ(readAll(dir_.filePath("orvadex.ini")), old);
  // The log: whole lines "time,command,data,reply command,reply data" up to the limit.
  const std::string log = readAll(dir_.filePath("orvadex.LOG"));
  ASSERT_GT(log.size(), kLimit / 2);
  EXPECT_LE(log.size(), static_cast<size_t>(kLimit));
  EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);)
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 4) << line;
}

}  // namespace
