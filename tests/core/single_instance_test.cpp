// A second start while the program runs shows message 301 and leaves everything untouched.
// Runs the real program twice from a temporary folder. The first instance is held inside the
// program, after its instance check, by giving it a full pipe as standard error: its first
// line there blocks until the test drains the pipe.
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
// and the locale variables set to `locale`.
pid_t start(const fs::path& program, const fs::path& dir, int stderrFd, const std::string& locale) {
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

// True once the process sits in write(2) on its standard error; false when it ended or the
// limit passed first.
bool blockedWritingStderr(pid_t pid, std::chrono::seconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  const std::string proc = "/proc/" + std::to_string(pid) + "/syscall";
  while (std::chrono::steady_clock::now() < until) {
    std::ifstream in(proc);
    if (!in) return false;  // gone
    std::string first, fd;
    in >> first >> fd;  // "running" while it runs, else the system call's number and arguments
    if (first == std::to_string(SYS_write) && fd == "0x2") return true;
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

// Reads the pipe until its writers have all closed it.
std::string drain(int fd) {
  std::string out;
  char buf[65536];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  return out;
}

class SingleInstance : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(fs::path(ORVADEX_BINARY_DIR) / "app" / "orvadex", program_);
    folder_.write("orvadex.ini", "[Comm]\r\nPortNo=1\r\n");
    folder_.write("orvadex.LOG", "[2024/01/02 03:04:05]\t0\t1\t0\t1\r\n");
  }

  // Runs the program to its end with standard error in `errFile`; returns that standard error.
  std::string runToEnd(const std::string& locale, const fs::path& errFile) {
    int errFd = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = start(program_, dir_, errFd, locale);
    close(errFd);
    EXPECT_GT(pid, 0);
    bool timedOut = false;
    int status = pid > 0 ? waitFor(pid, std::chrono::seconds(20), &timedOut) : -1;
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return readFile(errFile);
  }

  // Runs the second instance while the first is held; returns its standard error.
  void runSecondWhileFirstIsHeld(const std::string& locale, const std::string& expectedStderr) {
    int held[2];
    ASSERT_EQ(pipe(held), 0);
    // Fill the pipe, so that the first instance's first line to standard error blocks.
    fcntl(held[1], F_SETFL, O_NONBLOCK);
    std::string filler(4096, 'x');
    while (write(held[1], filler.data(), filler.size()) > 0) {
    }
    while (write(held[1], "x", 1) > 0) {
    }
    fcntl(held[1], F_SETFL, 0);
    pid_t first = start(program_, dir_, held[1], locale);
    ASSERT_GT(first, 0);
    close(held[1]);
    const bool isHeld = blockedWritingStderr(first, std::chrono::seconds(20));
    if (!isHeld) {
      kill(first, SIGKILL);
      waitpid(first, nullptr, 0);
      close(held[0]);
      FAIL() << "the first instance did not reach its first line to standard error";
    }
    const auto before = snapshot(dir_);

    const fs::path errFile = dir_.parent_path() / (dir_.filename().string() + ".second-stderr");
    EXPECT_EQ(runToEnd(locale, errFile), expectedStderr);
    fs::remove(errFile);
    EXPECT_EQ(snapshot(dir_), before) << "the second instance touched the program's folder";

    // Let the first instance go on and end.
    const std::string firstStderr = drain(held[0]);
    close(held[0]);
    bool timedOut = false;
    waitFor(first, std::chrono::seconds(20), &timedOut);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(firstStderr.find("already running"), std::string::npos);
  }

  testutil::TempFolder folder_;
  fs::path dir_ = folder_.path();
  fs::path program_ = dir_ / "orvadex";
};

TEST_F(SingleInstance, SecondStartShowsMessage301AndTouchesNothing) {
  runSecondWhileFirstIsHeld("C", "[Orvadex] This application is already running.\n");
}

TEST_F(SingleInstance, SecondStartSpeaksJapaneseInAJapaneseLocale) {
  runSecondWhileFirstIsHeld("ja_JP.UTF-8", "[Orvadex] このアプリケーションは既に起動されています。\n");
}

TEST_F(SingleInstance, AStartAfterTheFirstHasEndedIsNoSecondInstance) {
  for (int run = 0; run < 2; ++run) {
    const std::string err = runToEnd("C", dir_ / "stderr.txt");
    EXPECT_EQ(err.find("already running"), std::string::npos) << err;
  }
}

}  // namespace
