#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/app/app.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::string RunningExecutable() {
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec).string();
}

// A fresh temporary folder, removed again when the test ends.
class TempFolder {
 public:
  TempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/orvadex-app-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = fs::canonical(buf.data());
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// True when someone else holds an exclusive flock on `path`.
bool LockedElsewhere(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return locked;
}

TEST(AppObject, TitleVersionAndHelpFile) {
  EXPECT_EQ(vb::App::Title(), "Orvadex");
  EXPECT_EQ(vb::App::Major(), 1);
  EXPECT_EQ(vb::App::Minor(), 3);
  EXPECT_EQ(vb::App::Revision(), 1);
  EXPECT_EQ(vb::App::HelpFile(), "");
  vb::App::HelpFile("/opt/orvadex/orvadex.chm");
  EXPECT_EQ(vb::App::HelpFile(), "/opt/orvadex/orvadex.chm");
  vb::App::HelpFile("");
}

TEST(AppObject, PathAndEXENameOfTheExecutableAndTheTestOverride) {
  fs::path exe = RunningExecutable();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(vb::App::Path(), exe.parent_path().string());
  EXPECT_EQ(vb::App::EXEName(), exe.filename().string());  // test_platform has no extension
  EXPECT_NE(vb::App::Path().back(), '/');

  vb::App::SetLocationForTesting("/tmp/run here/", "orvadex.exe");
  EXPECT_EQ(vb::App::Path(), "/tmp/run here");
  EXPECT_EQ(vb::App::EXEName(), "orvadex");
  vb::App::SetLocationForTesting("/tmp", "orvadex.old");  // only ".exe" is dropped
  EXPECT_EQ(vb::App::EXEName(), "orvadex.old");
  vb::App::SetLocationForTesting("/", "orvadex");
  EXPECT_EQ(vb::App::Path(), "/");
  vb::App::SetLocationForTesting("", "");
  EXPECT_EQ(vb::App::Path(), exe.parent_path().string());
}

TEST(AppObject, FirstInstanceHoldsItsFolderUntilReleased) {
  TempFolder folder;
  vb::App::SetLocationForTesting(folder.path(), "orvadex");
  EXPECT_FALSE(vb::App::PrevInstance());
  EXPECT_TRUE(LockedElsewhere(folder.path()));
  EXPECT_FALSE(vb::App::PrevInstance());  // the answer stays for the run
  EXPECT_TRUE(fs::is_empty(folder.path()));
  vb::App::SetLocationForTesting("", "");
  EXPECT_FALSE(LockedElsewhere(folder.path()));
}

#ifdef ORVADEX_APP_PROBE

// A started probe program: its process id, the write end of its standard input and the
// read end of its standard output.
struct Probe {
  pid_t pid = -1;
  int in = -1;
  int out = -1;
};

// The probe gets XDG_RUNTIME_DIR=`runtimeDir`, or no such variable when it is empty (a start
// from ssh, sudo or cron).
Probe Start(const fs::path& program, const char* mode, const fs::path& runtimeDir) {
  int inPipe[2], outPipe[2];
  if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  std::vector<std::string> envText;
  for (char** e = environ; *e; ++e)
    if (!std::string(*e).starts_with("XDG_RUNTIME_DIR=")) envText.emplace_back(*e);
  if (!runtimeDir.empty()) envText.push_back("XDG_RUNTIME_DIR=" + runtimeDir.string());
  std::vector<char*> envp;
  for (auto& s : envText) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string path = program.string();
  std::string arg = mode;
  char* argv[] = {path.data(), arg.data(), nullptr};
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    dup2(inPipe[0], STDIN_FILENO);
    dup2(outPipe[1], STDOUT_FILENO);
    execve(argv[0], argv, envp.data());
    _exit(127);
  }
  close(inPipe[0]);
  close(outPipe[1]);
  return Probe{pid, inPipe[1], outPipe[0]};
}

// The probe's first line: "<PrevInstance> <Path> <EXEName>"; "" when none came within 20 s.
std::string FirstLine(const Probe& p) {
  std::string line;
  char c;
  while (true) {
    pollfd pfd{p.out, POLLIN, 0};
    if (poll(&pfd, 1, 20000) <= 0) return "";
    ssize_t n = read(p.out, &c, 1);
    if (n <= 0 || c == '\n') return line;
    line += c;
  }
}

int Finish(Probe& p) {
  if (p.in >= 0) close(p.in);
  if (p.out >= 0) close(p.out);
  p.in = p.out = -1;
  int status = 0;
  waitpid(p.pid, &status, 0);
  return status;
}

// The PrevInstance a one-shot probe reports ("1"/"0"), followed by its Path and EXEName.
std::string ProbeOnce(const fs::path& program, const fs::path& runtimeDir) {
  Probe p = Start(program, "probe", runtimeDir);
  std::string line = FirstLine(p);
  Finish(p);
  return line;
}

TEST(AppInstances, SecondProcessSeesTheFirstUntilItIsKilled) {
  TempFolder dir;
  fs::path runtime = dir.path() / "runtime";
  fs::create_directory(runtime);
  // The program is run from a folder of its own, as the program's tests do.
  fs::path a = dir.path() / "a";
  fs::create_directory(a);
  fs::path program = a / "orvadex";
  fs::copy_file(ORVADEX_APP_PROBE, program);
  fs::permissions(program, fs::perms::owner_all);
  // The same executable reached through a link, and a copy of it in another folder.
  fs::path linked = dir.path() / "link-to-orvadex";
  fs::create_symlink(program, linked);
  fs::path b = dir.path() / "b";
  fs::create_directory(b);
  fs::copy_file(program, b / "orvadex");

  EXPECT_EQ(ProbeOnce(program, runtime), "0 " + a.string() + " orvadex");
  EXPECT_EQ(ProbeOnce(program, runtime), "0 " + a.string() + " orvadex") << "an ended run leaves nothing behind";

  Probe first = Start(program, "hold", runtime);
  ASSERT_EQ(FirstLine(first), "0 " + a.string() + " orvadex");
  EXPECT_EQ(ProbeOnce(program, runtime), "1 " + a.string() + " orvadex");
  EXPECT_EQ(ProbeOnce(program, ""), "1 " + a.string() + " orvadex") << "a session without a runtime folder";
  EXPECT_EQ(ProbeOnce(linked, runtime), "1 " + a.string() + " orvadex");
  EXPECT_EQ(ProbeOnce(b / "orvadex", runtime), "0 " + b.string() + " orvadex");

  // A crash (SIGKILL) of the first instance must not block the next start.
  ASSERT_EQ(kill(first.pid, SIGKILL), 0);
  int status = Finish(first);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_EQ(ProbeOnce(program, runtime), "0 " + a.string() + " orvadex");
  EXPECT_TRUE(fs::is_empty(runtime)) << "no lock file is made";
  EXPECT_EQ(std::distance(fs::directory_iterator(a), fs::directory_iterator()), 1) << "only the program";
}

#endif  // ORVADEX_APP_PROBE

}  // namespace
