// startup_bench: how long the real program takes from its start to the main window showing
// every value read from the camera, against the serial link's own connect in the same run.
//
// Each run starts camsim on a new pty at 9600 baud (linked as COM1), then
//   connect  measures the link's connect in this process: gblnMSComm_Init (baud-rate probe,
//            poll-interval calibration, identity) and the read of every transferred code;
//   start-up starts build/app/orvadex (offscreen) in a program folder whose settings file names
//            COM1 at 9600 baud, and times it from the process start until the camera has seen
//            the program's read of every setting end (read mode, the codes, then the end
//            command) and the program waits in its event loop, which it enters only once the
//            main window is loaded and filled; the program is then ended as a desktop session
//            ends it, and its peak memory read.
//
//   build/bench/startup_bench [--runs N] [--camsim PATH] [--program PATH] [--check] [--verbose]
//
// --check exits 1 when the targets are missed: start-up at most 1.15 times the connect (median
// of the runs) and a peak memory under 80 MiB. The folder of the runs, with camsim's log and
// the program's standard error, is kept when a run fails.
#include <sys/resource.h>
#include <sys/syscall.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

#include "bench/bench_support.h"
#include "core/command_lists.h"
#include "core/logs.h"
#include "core/settings_file.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "link/mscomm.h"
#include "platform/app/app.h"
#include "platform/forms/host.h"
#include "platform/serial/mscomm.h"
#include "platform/vb/error.h"

#ifndef ORVADEX_PROGRAM
#define ORVADEX_PROGRAM "orvadex"
#endif

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The link's connect in this process; returns its wall time and the commands it took.
std::pair<double, long> measureConnect(const fs::path& folder, const bench::Camsim& cam) {
  vb::App::SetLocationForTesting(folder.string(), "orvadex");
  static bool built = SubMain::mblnSetDataInfo();
  if (!built) throw std::runtime_error("the parameter table could not be built");
  if (!SubMain::gblnReadInitFile() || !SubMain::gblnMakeAllCmdSet() || !SubMain::mblnIniVariable())
    throw std::runtime_error("the settings, command lists or current values could not be set up");
  gstrSettings = "9600,n,8,2";
  glngPortNo = 1;
  gblnWriteLogFile = false;
  const long before = cam.Commands();
  const auto t0 = Clock::now();
  const bool ok = mdlMSComm::gblnMSComm_Init() && mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList);
  const double s = std::chrono::duration<double>(Clock::now() - t0).count();
  mdlMSComm::gblnMSComm_Close();
  if (!ok) throw std::runtime_error("the link's connect failed");
  return {s, cam.Commands() - before};
}

// True when the process waits in its event loop: poll or ppoll on more than one descriptor
// (the link's own waits poll the port alone).
bool inEventLoop(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/syscall");
  std::string nr, fds, nfds;
  if (!(in >> nr >> fds >> nfds)) return false;
  if (nr != std::to_string(SYS_poll) && nr != std::to_string(SYS_ppoll)) return false;
  return std::stoul(nfds, nullptr, 16) > 1;
}

// The program's read of every setting as camsim's log shows it from line `from` on: the
// commands received, and whether the read has ended (the end command 00 00 after the last
// request of read mode 00 0C; a recovery inside the read asks for read mode again).
struct ReadSeen {
  long lines = 0;
  long commands = 0;
  bool ended = false;
};

ReadSeen readSeen(const fs::path& log, long from) {
  std::ifstream in(log);
  std::string line;
  ReadSeen r;
  bool reading = false;
  for (; std::getline(in, line); ++r.lines) {
    if (r.lines < from) continue;
    const size_t rx = line.find(" RX ");
    if (rx == std::string::npos) continue;
    ++r.commands;
    const std::string command = line.substr(rx + 4);
    if (command == "00 0C") reading = true;
    else if (command == "00 00" && reading) r.ended = true;
  }
  return r;
}

struct StartUp {
  double seconds;
  long peakKiB;
  long commands;                       // the camera received during the start-up
  double firstCommandS, readEndedS;    // when the camera got the first command and the end of the read
};

StartUp measureStartUp(const std::string& program, const fs::path& folder, const bench::Camsim& cam) {
  const fs::path prog = folder / "prog";
  fs::create_directories(prog);
  fs::copy_file(program, prog / "orvadex", fs::copy_options::overwrite_existing);
  std::ofstream(prog / "orvadex.ini") << "[Comm]\r\nPortNo=1\r\nSettings=9600,n,8,2\r\n";
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string v = *e;
    if (v.rfind("QT_QPA_PLATFORM=", 0) != 0) env.push_back(v);
  }
  env.push_back("QT_QPA_PLATFORM=offscreen");
  std::vector<char*> envp;
  for (auto& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  const std::string err = (folder / "orvadex.err").string();
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&fa, prog.c_str());
  std::string path = (prog / "orvadex").string();
  char* argv[] = {path.data(), nullptr};
  const long before = readSeen(cam.Log(), 0).lines;
  pid_t pid = -1;
  const auto t0 = Clock::now();
  const int rc = posix_spawn(&pid, path.c_str(), &fa, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) throw std::runtime_error("cannot start " + path + ": " + std::strerror(rc));

  double seconds = -1, firstCommand = -1, readEnded = -1;
  long commands = 0;
  int idleInARow = 0;
  while (Clock::now() - t0 < std::chrono::seconds(120)) {
    const ReadSeen seen = readSeen(cam.Log(), before);
    const double now = std::chrono::duration<double>(Clock::now() - t0).count();
    commands = seen.commands;
    if (commands > 0 && firstCommand < 0) firstCommand = now;
    if (seen.ended && readEnded < 0) readEnded = now;
    // A look can fall on one of the progress window's passes through the events (which poll
    // without waiting); three looks in a row find the loop waiting.
    if (seen.ended && inEventLoop(pid)) {
      if (++idleInARow == 3) {
        seconds = std::chrono::duration<double>(Clock::now() - t0).count() - 0.002;  // the two extra looks
        break;
      }
    } else {
      idleInARow = 0;
    }
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) throw std::runtime_error("the program ended early (see " + err + ")");
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  kill(pid, SIGTERM);
  int status = 0;
  rusage ru{};
  wait4(pid, &status, 0, &ru);
  if (seconds < 0)
    throw std::runtime_error(std::string(readEnded < 0 ? "the camera did not see the read of every setting end"
                                                       : "the program did not wait in its event loop") +
                             " within 120 s (" + std::to_string(commands) + " commands; see " + err + " and " +
                             cam.Log().string() + ")");
  return {seconds, ru.ru_maxrss, commands, firstCommand, readEnded};
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  bool check = false, verbose = false;
  std::string camsim = ORVADEX_CAMSIM, program = ORVADEX_PROGRAM;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "startup_bench: " << a << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--runs") runs = std::max(1, std::atoi(value().c_str()));
    else if (a == "--camsim") camsim = value();
    else if (a == "--program") program = value();
    else if (a == "--check") check = true;
    else if (a == "--verbose") verbose = true;
    else {
      std::cerr << "usage: startup_bench [--runs N] [--camsim PATH] [--program PATH] [--check] [--verbose]\n";
      return a == "--help" || a == "-h" ? 0 : 2;
    }
  }
  fs::path dir;
  try {
    dir = bench::MakeTempFolder("orvadex-startup");
  } catch (const std::exception& e) {
    std::cerr << "startup_bench: " << e.what() << "\n";
    return 1;
  }
  bench::BenchHost host;
  forms::setHost(&host);
  vb::SetErrorReporter([](const std::string& text) { SubMain::gErrorProc(text); });
  serial::MSComm comm;
  gobjMSComm = &comm;

  std::vector<double> connect, startup, ratio;
  long peak = 0;
  int failed = 0;
  for (int run = 0; run < runs; ++run) {
    const fs::path folder = dir / ("run-" + std::to_string(run));
    fs::create_directories(folder);
    try {
      bench::Camsim cam(camsim, folder, 9600, true);
      const auto [connectS, commands] = measureConnect(folder, cam);
      const StartUp s = measureStartUp(program, folder, cam);
      connect.push_back(connectS);
      startup.push_back(s.seconds);
      ratio.push_back(s.seconds / connectS);
      peak = std::max(peak, s.peakKiB);
      if (verbose)
        std::printf("  run %d: connect %.3f s (%ld commands), start-up %.3f s (%ld commands; the camera's first at "
                    "%.3f s, the read's end at %.3f s), ratio %.3f, peak %.1f MiB\n",
                    run + 1, connectS, commands, s.seconds, s.commands, s.firstCommandS, s.readEndedS,
                    s.seconds / connectS, s.peakKiB / 1024.0);
      if (!host.boxes.empty()) throw std::runtime_error("a message box came up: " + host.boxes.front());
    } catch (const std::exception& e) {
      std::cerr << "startup_bench: run " << run + 1 << ": " << e.what() << "\n";
      ++failed;
    }
  }
  gobjMSComm = nullptr;
  forms::setHost(nullptr);
  if (failed) {
    std::cerr << "startup_bench: the logs of the runs are kept in " << dir.string() << "\n";
  } else {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  if (ratio.empty()) return 1;
  const double worst = *std::max_element(ratio.begin(), ratio.end());
  std::printf("connect %.3f s, start-up %.3f s (medians of %zu runs): ratio %.3f (worst %.3f); peak memory %.1f MiB\n",
              bench::Median(connect), bench::Median(startup), ratio.size(), bench::Median(ratio), worst, peak / 1024.0);
  const bool missed = bench::Median(ratio) > 1.15 || peak >= 80 * 1024;
  std::printf("targets (start-up at most 1.15 x the connect, under 80 MiB): %s\n", missed ? "MISSED" : "met");
  if (failed) return 1;
  return check && missed ? 1 : 0;
}
