// A second start while the program runs shows message 301 and leaves everything untouched.
// Runs the real program twice from a temporary folder: the first instance runs until its main
// window waits for the user (idle in its event loop), the second starts beside it; the first is
// then ended as the desktop session ends it (SIGTERM) and closes cleanly.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/temp_folder.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Names, contents and modification times of everything in a folder.
std::map<std::string, std::string> snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(dir)) {
    struct stat st {};
    stat(e.path().c_str(), &st);
    files[e.path().filename().string()] =
        readFile(e.path()) + "|" + std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
  }
  return files;
}

// Starts `program` in `dir` with the given standard error, a null standard input and output,
// the locale variables set to `locale` and its serial ports in the folder `ports`.
pid_t start(const fs::path& program, const fs::path& dir, const fs::path& ports, int stderrFd,
            const std::string& locale) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, stderrFd, 2);
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string v = *e;
    if (v.rfind("LC_", 0) == 0 || v.rfind("LANG=", 0) == 0 || v.rfind("QT_", 0) == 0 ||
        v.rfind("DISPLAY=", 0) == 0 || v.rfind("WAYLAND_", 0) == 0)
      continue;
    env.push_back(v);
  }
  env.push_back("LC_ALL=" + locale);
  // COM1 names no device (the ports folder links only COM9): the program starts off line
  // whatever serial devices the machine has.
  fs::create_directories(ports);
  std::error_code ec;
  fs::create_symlink("/dev/null", ports / "com9", ec);
  env.push_back("ORVADEX_PORTS_DIR=" + ports.string());
  env.push_back("QT_QPA_PLATFORM=offscreen");
  std::vector<char*> envp;
  for (auto& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string path = program.string();
  char* argv[] = {path.data(), nullptr};
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  pid_t pid = -1;
  int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// Waits up to `limit` for the process to end; kills it when it does not. Returns the wait status.
int waitFor(pid_t pid, std::chrono::seconds limit, bool* timedOut) {
  const auto until = std::chrono::steady_clock::now() + limit;
  int status = 0;
  for (;;) {
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return status;
    if (std::chrono::steady_clock::now() > until) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      *timedOut = true;
      return status;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// True once the process waits in its event loop (poll) at three looks in a row; false when it
// ended or the limit passed first.
bool idleInEventLoop(pid_t pid, std::chrono::seconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  const std::string proc = "/proc/" + std::to_string(pid) + "/syscall";
  int inARow = 0;
  while (std::chrono::steady_clock::now() < until) {
    std::ifstream in(proc);
    if (!in) return false;  // gone
    std::string first;
    in >> first;  // "running" while it runs, else the number of the system call it waits in
    if (first == std::to_string(SYS_poll) || first == std::to_string(SYS_ppoll)) {
      if (++inARow == 3) return true;
    } else {
      inARow = 0;
    }
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

class SingleInstance : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef ORVADEX_GUI
    GTEST_SKIP() << "a program built without its windows ends after start-up: nothing to run beside";
#endif
    fs::copy_file(fs::path(ORVADEX_BINARY_DIR) / "app" / "orvadex", program_);
    folder_.write("orvadex.ini", "[Comm]\r\nPortNo=1\r\n");
    folder_.write("orvadex.LOG", "[2024/01/02 03:04:05]\t0\t1\t0\t1\r\n");
  }

  // Runs the second instance to its end with standard error in `errFile`; returns that
  // standard error.
  std::string runToEnd(const std::string& locale, const fs::path& errFile) {
    int errFd = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = start(program_, dir_, ports_, errFd, locale);
    close(errFd);
    EXPECT_GT(pid, 0);
    bool timedOut = false;
    int status = pid > 0 ? waitFor(pid, std::chrono::seconds(20), &timedOut) : -1;
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return readFile(errFile);
  }

  // Starts an instance that shows its main window and waits for the user.
  pid_t startAndWait(const std::string& locale, const fs::path& errFile) {
    int errFd = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = start(program_, dir_, ports_, errFd, locale);
    close(errFd);
    if (pid > 0 && !idleInEventLoop(pid, std::chrono::seconds(30))) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      ADD_FAILURE() << "the program did not come to wait for the user: " << readFile(errFile);
      return -1;
    }
    return pid;
  }

  // Ends an instance as the desktop session ends it; it must close cleanly.
  void endSession(pid_t pid) {
    kill(pid, SIGTERM);
    bool timedOut = false;
    const int status = waitFor(pid, std::chrono::seconds(20), &timedOut);
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }

  // Runs the second instance while the first waits for the user.
  void runSecondWhileFirstIsHeld(const std::string& locale, const std::string& expectedStderr) {
    const fs::path firstErr = aside_.file("first-stderr");
    pid_t first = startAndWait(locale, firstErr);
    ASSERT_GT(first, 0);
    const auto before = snapshot(dir_);

    const fs::path errFile = aside_.file("second-stderr");
    EXPECT_EQ(runToEnd(locale, errFile), expectedStderr);
    EXPECT_EQ(snapshot(dir_), before) << "the second instance touched the program's folder";

    endSession(first);
    EXPECT_EQ(readFile(firstErr).find("already running"), std::string::npos);
  }

  testutil::TempFolder folder_;
  fs::path dir_ = folder_.path();
  // What the test keeps outside the program's folder (the ports folder, the instances' standard
  // error), removed with the fixture whatever the test's outcome.
  testutil::TempFolder aside_;
  fs::path ports_ = aside_.file("ports");
  fs::path program_ = dir_ / "orvadex";
};

TEST_F(SingleInstance, SecondStartShowsMessage301AndTouchesNothing) {
  runSecondWhileFirstIsHeld("C", "[Orvadex] This application is already running.\n");
}

TEST_F(SingleInstance, SecondStartSpeaksJapaneseInAJapaneseLocale) {
  runSecondWhileFirstIsHeld("ja_JP.UTF-8", "[Orvadex] このアプリケーションは既に起動されています。\n");
}

TEST_F(SingleInstance, AStartAfterTheFirstHasEndedIsNoSecondInstance) {
  const fs::path errFile = aside_.file("stderr");
  for (int run = 0; run < 2; ++run) {
    pid_t pid = startAndWait("C", errFile);
    ASSERT_GT(pid, 0);
    endSession(pid);
    EXPECT_EQ(readFile(errFile).find("already running"), std::string::npos) << readFile(errFile);
  }
}

}  // namespace
