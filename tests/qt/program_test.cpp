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
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"

extern char** environ;

namespace {

struct Result {
  int status = -1;
  bool timedOut = false;
  std::string err;
};

// Starts a copy of the program in `dir` with the environment minus the display variables plus
// `extra`, standard error into `dir`/stderr.txt; -1 when it cannot be started.
pid_t startProgram(const QString& dir, const std::vector<std::string>& extra) {
  const std::string program = (dir + "/orvadex").toStdString();
  const std::string errPath = (dir + "/stderr.txt").toStdString();
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string v = *e;
    if (v.rfind("DISPLAY=", 0) == 0 || v.rfind("WAYLAND_", 0) == 0 || v.rfind("QT_", 0) == 0) continue;
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
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::string path = program;
  char* argv[] = {path.data(), nullptr};
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
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
  QFile f(dir + "/stderr.txt");
  if (f.open(QIODevice::ReadOnly)) r.err = f.readAll().toStdString();
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

TEST_F(Program, TheSessionsEndEndsTheProgramByItselfAfterTheTransferUnderWay) {
  // The desktop session ends (a logout: SIGTERM; the terminal that started the program closed:
  // SIGHUP) while the start-up reads the camera, at 1200 and at 9600 baud: the read runs to its
  // end, then the program ends by itself without asking "End?", writes its settings file and
  // ends with status 0.
  const struct {
    int sig;
    long baud;
  } cases[] = {{SIGTERM, 1200}, {SIGHUP, 9600}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.sig) + " at " + std::to_string(c.baud));
    const std::filesystem::path dir = dir_.path().toStdString();
    QFile::remove(dir_.filePath("camsim.log"));
    QFile::remove(dir_.filePath("orvadex.ini"));
    auto camsim = std::make_unique<bench::Camsim>(std::string(ORVADEX_BINARY_DIR) + "/sim/camsim", dir, c.baud, false,
                                                  std::vector<std::string>{});
    unsetenv("ORVADEX_PORTS_DIR");  // set for this process by camsim's start; the program gets it below
    QFile ini(dir_.filePath("orvadex.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(("[Comm]\r\nPortNo=1\r\nSettings=" + std::to_string(c.baud) + ",n,8,2\r\n").c_str());
    ini.close();
    const pid_t pid = startProgram(dir_.path(), {"QT_QPA_PLATFORM=offscreen", "ORVADEX_PORTS_DIR=" + ports_.toStdString()});
    ASSERT_GT(pid, 0);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    // A few of the camera's values have been read: the session ends.
    while (camsim->Commands() < 10 && waitpid(pid, nullptr, WNOHANG) == 0 &&
           std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    kill(pid, c.sig);
    const Result r = waitProgram(dir_.path(), pid);
    ASSERT_FALSE(r.timedOut);
    ASSERT_TRUE(WIFEXITED(r.status)) << r.status << " " << r.err;
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
    EXPECT_EQ(r.err, "");  // no question, no notice
    // The read went on to its closing command; the settings file was written at the end.
    const std::vector<std::string> commands = [&] {
      std::vector<std::string> out;
      std::ifstream in(camsim->Log());
      for (std::string line; std::getline(in, line);)
        if (const size_t rx = line.find(" RX "); rx != std::string::npos) out.push_back(line.substr(rx + 4, 5));
      return out;
    }();
    ASSERT_GT(commands.size(), 100u);
    EXPECT_EQ(commands.back(), "00 00");
    QFile written(dir_.filePath("orvadex.ini"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("LargeChange=5"));
  }
}

}  // namespace
