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
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

struct Result {
  int status = -1;
  bool timedOut = false;
  std::string err;
};

// Runs a copy of the program in `dir` with the environment minus the display variables plus
// `extra`; waits at most 30 s.
Result runProgram(const QString& dir, const std::vector<std::string>& extra) {
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
  Result r;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) return r;
  posix_spawn_file_actions_destroy(&actions);
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
  QFile f(QString::fromStdString(errPath));
  if (f.open(QIODevice::ReadOnly)) r.err = f.readAll().toStdString();
  return r;
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

}  // namespace
