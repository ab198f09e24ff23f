#pragma once
// Shared by the benchmarks and the journey tests: camsim started as a process of its own (on a
// new pty at a given baud rate, linked as COM1 of a ports folder in the run's folder,
// ORVADEX_PORTS_DIR set to it, logging every command it receives), a host that answers every
// message box at once, the run's temporary folder and the median of the runs.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/forms/host.h"

extern char** environ;

#ifndef ORVADEX_CAMSIM
#define ORVADEX_CAMSIM "camsim"
#endif

namespace bench {

namespace fs = std::filesystem;

class Camsim {
 public:
  // `extra`: more of camsim's options (the camera's EEPROM, faults, ...).
  Camsim(const std::string& program, const fs::path& dir, long baud, bool realtime,
         const std::vector<std::string>& extra = {})
      : log_(dir / "camsim.log") {
    const fs::path ports = dir / "ports";
    ::setenv("ORVADEX_PORTS_DIR", ports.c_str(), 1);
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    const std::string err = (dir / "camsim.err").string();
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> args = {program, "--baud", std::to_string(baud), "--link", "1",
                                     "--ports-dir", ports.string(), "--log", log_.string()};
    if (realtime) args.push_back("--realtime");
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = ::posix_spawn(&pid_, program.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    ::close(out[1]);
    if (rc != 0) {
      ::close(out[0]);
      throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));
    }
    // The first line is the pty's path; by then the COM1 link exists.
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    if (line.empty()) throw std::runtime_error("camsim printed no pty path (see " + err + ")");
    path_ = line;
  }
  ~Camsim() {
    if (ended_) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  const std::string& Path() const { return path_; }
  // False once camsim has ended (`status` then holds its wait status).
  bool Running(int* status) const {
    if (ended_) {
      *status = status_;
      return false;
    }
    if (::waitpid(pid_, &status_, WNOHANG) != pid_) return true;
    ended_ = true;
    *status = status_;
    return false;
  }
  // The log of every command and reply ("12.345 RX 00 01"); a camsim started again in the
  // same folder appends to it.
  const fs::path& Log() const { return log_; }
  // Commands the camera has received so far (at its baud rate).
  long Commands() const {
    std::ifstream in(log_);
    std::string line;
    long n = 0;
    while (std::getline(in, line))
      if (line.find(" RX ") != std::string::npos) ++n;
    return n;
  }

 private:
  fs::path log_;
  pid_t pid_ = -1;
  mutable bool ended_ = false;
  mutable int status_ = 0;
  std::string path_;
};

// Every message box is a failure of the run: it is recorded and answered No (or OK), so that a
// question never waits for a user.
class BenchHost : public forms::Host {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
    boxes.push_back(prompt);
    const int kind = buttons & 7;
    return kind == forms::vbYesNo || kind == forms::vbYesNoCancel ? forms::vbNo : forms::vbOK;
  }
  std::vector<std::string> boxes;
};

// A new temporary folder "<prefix>-XXXXXX"; throws when none can be made.
inline fs::path MakeTempFolder(const std::string& prefix) {
  std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  return pattern;
}

// The CPU time (user and system) a running process has used so far, in seconds; 0 when it
// cannot be read.
inline double ProcessCpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t name = stat.rfind(')');  // the process name may hold spaces
  if (pid <= 0 || name == std::string::npos) return 0;
  std::istringstream fields(stat.substr(name + 2));
  std::string field;
  long ticks = 0;
  for (int i = 3; fields >> field && i <= 15; ++i)
    if (i >= 14) ticks += std::stol(field);  // fields 14 and 15: user and system time
  return static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace bench
