// startup_bench: how long the real program takes from its start to the main window showing
// every value read from the camera, against the serial link's own connect in the same run, on
// the desktops a user may have.
//
// Each run starts camsim on a new pty (9600 baud, or --baud; linked as COM1), then
//   connect  measures the link's connect in this process: gblnMSComm_Init (baud-rate probe,
//            poll-interval calibration, identity) and the read of every transferred code;
//   start-up starts build/app/orvadex in a program folder whose settings file names COM1 at
//            that baud rate, once on each desktop, and times it from the process start until
//            the camera has seen the program's read of every setting end (read mode, the codes,
//            then the end command), the program waits in its event loop (which it enters only
//            once the main window is loaded and filled) and, under a window manager, the
//            manager has mapped the main window (the time is that at which the first look
//            finding each began: later looks only confirm the program waits); the program is
//            then ended as a desktop session ends it, and its peak memory read.
// The desktops (--desktops, comma-separated): offscreen (Qt's offscreen platform), x11 (a
// private X server without a window manager), openbox, icewm, fluxbox and metacity (the same
// with that window manager, whose CPU time during the start is reported); the X desktops are
// set up by scripts/run_under_window_manager.sh.
//
//   build/bench/startup_bench [--runs N] [--baud B] [--desktops LIST] [--camsim PATH]
//                             [--program PATH] [--check] [--verbose]
//
// --check exits 1 when the targets are missed: on every desktop the start-up at most 1.15
// times the connect (median of the runs) and a peak memory under 80 MiB; under a window
// manager the main window shown within 1.3 times the time on the bare X server plus 0.3 s,
// and the manager under 1 s of CPU during a start; each missed target is a line with its figure
// and its limit. A run stops as soon as camsim or the
// program ends, and says which ended and how; the folder of the runs, with camsim's log, the
// program's error log and its standard error, is kept when a run fails.
#include <sys/resource.h>
#include <sys/syscall.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
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
#ifndef ORVADEX_UNDER_WM
#define ORVADEX_UNDER_WM "scripts/run_under_window_manager.sh"
#endif

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A mapped window at least this wide (pixels) is the main window (1,240): the splash (423) and
// the progress window (299) are narrower.
constexpr int kMainWindowLeastWidth = 800;

// The last line of a text file ("" when there is none), tabs shown as spaces.
std::string lastLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty() && line != "\r") last = line;
  if (!last.empty() && last.back() == '\r') last.pop_back();
  std::replace(last.begin(), last.end(), '\t', ' ');
  return last;
}

// How a process ended, from its wait status.
std::string howEnded(int status) {
  if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status))
    return std::string("was killed by signal ") + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) + ")";
  return "ended";
}

// A desktop to start the program on: Qt's offscreen platform, or a private X server (with a
// window manager, or none) that scripts/run_under_window_manager.sh keeps up while its
// placeholder command runs.
class Desktop {
 public:
  explicit Desktop(const std::string& name) : name_(name) {
    if (name == "offscreen") return;
    const std::string wm = name == "x11" ? "none" : name;
    int out[2], in[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe failed");
    if (::pipe(in) != 0) throw std::runtime_error("pipe failed");
    ::fcntl(in[1], F_SETFD, FD_CLOEXEC);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    posix_spawn_file_actions_adddup2(&fa, in[0], 0);
    posix_spawn_file_actions_addclose(&fa, in[1]);
    // The placeholder tells the display, the manager's process and the authority file (the
    // server's cookie), then waits until this closes its input.
    std::vector<std::string> args = {"bash", ORVADEX_UNDER_WM, wm, "sh", "-c",
                                     "echo \"$DISPLAY ${ORVADEX_WM_PID:-0} $XAUTHORITY\"; cat >/dev/null"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawnp(&script_, "bash", &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    ::close(out[1]);
    ::close(in[0]);
    hold_ = in[1];
    if (rc != 0) {
      ::close(out[0]);
      throw std::runtime_error("cannot start " + std::string(ORVADEX_UNDER_WM) + ": " + std::strerror(rc));
    }
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    std::istringstream fields(line);
    if (!(fields >> display_ >> wm_ >> std::ws) || !std::getline(fields, authority_)) {
      ::close(hold_);
      int status = 0;
      ::waitpid(script_, &status, 0);
      script_ = -1;
      throw std::runtime_error("the " + name + " desktop did not come up (" + ORVADEX_UNDER_WM + " " + howEnded(status) + ")");
    }
  }
  ~Desktop() {
    if (script_ <= 0) return;
    ::close(hold_);  // the placeholder ends, and the script ends its X server and manager
    int status = 0;
    ::waitpid(script_, &status, 0);
  }
  const std::string& name() const { return name_; }
  bool onX() const { return !display_.empty(); }
  bool managed() const { return wm_ > 0; }
  const std::string& display() const { return display_; }
  const std::string& authority() const { return authority_; }
  // The window manager's CPU seconds so far.
  double managerCpu() const { return bench::ProcessCpuSeconds(static_cast<pid_t>(wm_)); }
  // True when the window manager has mapped a window of the main window's size (the splash
  // and the progress window are smaller).
  bool mainWindowMapped() const {
    const std::string list = output("xprop -root _NET_CLIENT_LIST");
    const size_t hash = list.find('#');
    if (hash == std::string::npos) return false;
    std::istringstream ids(list.substr(hash + 1));
    std::string id;
    // Among the manager's clients (the program's, and any the manager starts itself, such as
    // fluxbox's background setter's notice), one as wide as the main window is viewable.
    while (std::getline(ids, id, ',')) {
      id.erase(std::remove_if(id.begin(), id.end(), [](char ch) { return std::isspace(static_cast<unsigned char>(ch)); }),
               id.end());
      const std::string info = output("xwininfo -id " + id);
      const size_t width = info.find("Width:");
      if (info.find("IsViewable") != std::string::npos && width != std::string::npos &&
          std::atoi(info.c_str() + width + 6) >= kMainWindowLeastWidth)
        return true;
    }
    return false;
  }

 private:
  std::string output(const std::string& command) const {
    std::string out;
    const std::string env = "DISPLAY=" + display_ + " XAUTHORITY='" + authority_ + "' ";
    if (FILE* p = ::popen((env + command + " 2>/dev/null").c_str(), "r")) {
      char buf[4096];
      size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
      ::pclose(p);
    }
    return out;
  }
  std::string name_, display_, authority_;
  pid_t script_ = -1;
  int hold_ = -1;
  long wm_ = 0;
};

// The link's connect in this process; returns its wall time and the commands it took.
std::pair<double, long> measureConnect(const fs::path& folder, const bench::Camsim& cam, long baud) {
  vb::App::SetLocationForTesting(folder.string(), "orvadex");
  static bool built = SubMain::mblnSetDataInfo();
  if (!built) throw std::runtime_error("the parameter table could not be built");
  if (!SubMain::gblnReadInitFile() || !SubMain::gblnMakeAllCmdSet() || !SubMain::mblnIniVariable())
    throw std::runtime_error("the settings, command lists or current values could not be set up");
  gstrSettings = std::to_string(baud) + ",n,8,2";
  glngPortNo = 1;
  gblnWriteLogFile = false;
  const long before = cam.Commands();
  const auto t0 = Clock::now();
  const bool ok = mdlMSComm::gblnMSComm_Init() && mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList);
  const double s = std::chrono::duration<double>(Clock::now() - t0).count();
  mdlMSComm::gblnMSComm_Close();
  if (!ok) {
    const std::string why = lastLine(SubMain::gstrErrorLogFile());
    throw std::runtime_error("the link's connect failed" + (why.empty() ? std::string(" (the error log is empty)") : ": " + why) +
                             (gblnOnLine ? "" : "; the link is off line"));
  }
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
  double managerCpuS;                  // the window manager's CPU time meanwhile
  double confirmedS;                   // when the last look confirmed the start-up's end
};

StartUp measureStartUp(const std::string& program, const fs::path& folder, const bench::Camsim& cam, long baud,
                       const Desktop& desktop) {
  const fs::path prog = folder / ("prog-" + desktop.name());
  fs::create_directories(prog);
  fs::copy_file(program, prog / "orvadex", fs::copy_options::overwrite_existing);
  std::ofstream(prog / "orvadex.ini") << "[Comm]\r\nPortNo=1\r\nSettings=" << baud << ",n,8,2\r\n";
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string v = *e;
    if (v.rfind("QT_QPA_PLATFORM=", 0) != 0 && v.rfind("DISPLAY=", 0) != 0 && v.rfind("XAUTHORITY=", 0) != 0)
      env.push_back(v);
  }
  if (desktop.onX()) {
    env.push_back("QT_QPA_PLATFORM=xcb");
    env.push_back("DISPLAY=" + desktop.display());
    env.push_back("XAUTHORITY=" + desktop.authority());
  } else {
    env.push_back("QT_QPA_PLATFORM=offscreen");
  }
  std::vector<char*> envp;
  for (auto& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  const std::string err = (prog / "orvadex.stderr").string();
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&fa, prog.c_str());
  std::string path = (prog / "orvadex").string();
  char* argv[] = {path.data(), nullptr};
  const long before = readSeen(cam.Log(), 0).lines;
  pid_t pid = -1;
  const double cpu0 = desktop.managerCpu();
  const auto t0 = Clock::now();
  const int rc = posix_spawn(&pid, path.c_str(), &fa, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) throw std::runtime_error("cannot start " + path + ": " + std::strerror(rc));

  double seconds = -1, firstCommand = -1, readEnded = -1, managerCpu = 0, confirmed = -1;
  long commands = 0;
  int idleInARow = 0;
  // When the look that began the run of looks finding the program waiting began, and when the
  // first look that found the main window mapped began (-1: not yet).
  double idleSince = -1, mappedSince = -1;
  // The reason the program ended early, with where to look.
  auto logs = [&] {
    const std::string why = lastLine(prog / "orvadex.ERR");
    return (why.empty() ? std::string() : "; the program's error log ends: " + why) + " (see " + prog.string() + " and " +
           cam.Log().string() + ")";
  };
  while (Clock::now() - t0 < std::chrono::seconds(120)) {
    const ReadSeen seen = readSeen(cam.Log(), before);
    const double now = std::chrono::duration<double>(Clock::now() - t0).count();
    commands = seen.commands;
    if (commands > 0 && firstCommand < 0) firstCommand = now;
    if (seen.ended && readEnded < 0) readEnded = now;
    // A look can fall on one of the progress window's passes through the events (which poll
    // without waiting); three looks in a row find the loop waiting.
    if (seen.ended && inEventLoop(pid)) {
      if (++idleInARow == 1) idleSince = now;
      // Under a window manager the window shows once the manager has mapped it.
      if (desktop.managed() && mappedSince < 0 && desktop.mainWindowMapped()) mappedSince = now;
      if (idleInARow >= 3 && (!desktop.managed() || mappedSince >= 0)) {
        seconds = std::max(idleSince, mappedSince);
        confirmed = std::chrono::duration<double>(Clock::now() - t0).count();
        managerCpu = desktop.managerCpu() - cpu0;
        break;
      }
    } else {
      idleInARow = 0;
    }
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid)
      throw std::runtime_error("the program " + howEnded(status) + " after " + std::to_string(commands) + " commands" + logs());
    if (!cam.Running(&status))
      throw std::runtime_error("camsim " + howEnded(status) + " after " + std::to_string(commands) + " commands" + logs());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // The program ends by itself at the end of the session; one that has not ended within two
  // seconds is killed.
  kill(pid, SIGTERM);
  int status = 0;
  rusage ru{};
  const auto asked = Clock::now();
  while (wait4(pid, &status, WNOHANG, &ru) == 0) {
    if (Clock::now() - asked > std::chrono::seconds(2)) {
      kill(pid, SIGKILL);
      wait4(pid, &status, 0, &ru);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (seconds < 0)
    throw std::runtime_error(std::string(readEnded < 0            ? "the camera did not see the read of every setting end"
                                         : desktop.managed() ? "the window manager did not map the main window"
                                                             : "the program did not wait in its event loop") +
                             " within 120 s (" + std::to_string(commands) + " commands)" + logs());
  return {seconds, ru.ru_maxrss, commands, firstCommand, readEnded, managerCpu, confirmed};
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  long baud = 9600;
  bool check = false, verbose = false;
  std::string camsim = ORVADEX_CAMSIM, program = ORVADEX_PROGRAM;
  std::vector<std::string> desktops = {"offscreen", "x11", "openbox", "icewm"};
  const char* usage =
      "usage: startup_bench [--runs N] [--baud B] [--desktops offscreen,x11,openbox,icewm,fluxbox,metacity]\n"
      "                     [--camsim PATH]\n"
      "                     [--program PATH] [--check] [--verbose]\n";
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
    else if (a == "--baud") baud = std::atol(value().c_str());
    else if (a == "--desktops") {
      desktops.clear();
      std::istringstream list(value());
      for (std::string d; std::getline(list, d, ',');) {
        if (d != "offscreen" && d != "x11" && d != "openbox" && d != "icewm" && d != "fluxbox" && d != "metacity") {
          std::cerr << "startup_bench: unknown desktop " << d << "\n" << usage;
          return 2;
        }
        desktops.push_back(d);
      }
    } else if (a == "--camsim") camsim = value();
    else if (a == "--program") program = value();
    else if (a == "--check") check = true;
    else if (a == "--verbose") verbose = true;
    else {
      std::cerr << usage;
      return a == "--help" || a == "-h" ? 0 : 2;
    }
  }
  if (baud <= 0 || desktops.empty()) {
    std::cerr << usage;
    return 2;
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

  struct Figures {
    std::vector<double> startup, ratio, managerCpu;
  };
  std::map<std::string, Figures> by;
  std::vector<double> connect;
  long peak = 0;
  int failed = 0;
  std::vector<std::unique_ptr<Desktop>> up;
  try {
    for (const std::string& d : desktops) up.push_back(std::make_unique<Desktop>(d));
  } catch (const std::exception& e) {
    std::cerr << "startup_bench: " << e.what() << "\n";
    return 1;
  }
  for (int run = 0; run < runs; ++run) {
    const fs::path folder = dir / ("run-" + std::to_string(run));
    fs::create_directories(folder);
    try {
      bench::Camsim cam(camsim, folder, baud, true);
      const auto [connectS, commands] = measureConnect(folder, cam, baud);
      connect.push_back(connectS);
      if (verbose) std::printf("  run %d: connect %.3f s (%ld commands)\n", run + 1, connectS, commands);
      for (const auto& desktop : up) {
        const StartUp s = measureStartUp(program, folder, cam, baud, *desktop);
        Figures& f = by[desktop->name()];
        f.startup.push_back(s.seconds);
        f.ratio.push_back(s.seconds / connectS);
        f.managerCpu.push_back(s.managerCpuS);
        peak = std::max(peak, s.peakKiB);
        if (verbose)
          std::printf("    %-9s start-up %.3f s (%ld commands; the camera's first at %.3f s, the read's end at %.3f s;"
                      " confirmed %.3f s later), ratio %.3f, peak %.1f MiB%s\n",
                      desktop->name().c_str(), s.seconds, s.commands, s.firstCommandS, s.readEndedS,
                      s.confirmedS - s.seconds, s.seconds / connectS,
                      s.peakKiB / 1024.0,
                      desktop->managed() ? (", window manager " + std::to_string(s.managerCpuS).substr(0, 5) + " s CPU").c_str() : "");
      }
      if (!host.boxes.empty()) throw std::runtime_error("a message box came up: " + host.boxes.front());
    } catch (const std::exception& e) {
      std::cerr << "startup_bench: run " << run + 1 << ": " << e.what() << "\n";
      ++failed;
    }
  }
  up.clear();
  gobjMSComm = nullptr;
  forms::setHost(nullptr);
  if (failed) {
    std::cerr << "startup_bench: the logs of the runs are kept in " << dir.string() << "\n";
  } else {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  if (connect.empty() || by.empty()) {
    std::cerr << "startup_bench: no run was measured\n";
    return 1;
  }
  std::vector<std::string> misses;
  const auto judge = [&misses](bool met, const std::string& what, double figure, double limit) {
    if (met) return;
    char line[160];
    std::snprintf(line, sizeof line, "MISSED: %s %.3f, limit %.3f", what.c_str(), figure, limit);
    misses.push_back(line);
  };
  judge(peak < 80 * 1024, "peak memory (MiB)", peak / 1024.0, 80);
  const double bare = by.count("x11") ? bench::Median(by["x11"].startup) : -1;
  std::printf("%d runs at %ld baud: connect %.3f s (median)\n", runs, baud, bench::Median(connect));
  std::printf("%-10s %10s %17s %20s %18s\n", "desktop", "start-up", "ratio to connect", "ratio to bare X", "manager CPU");
  for (const std::string& d : desktops) {
    if (!by.count(d)) continue;
    const Figures& f = by[d];
    const double startup = bench::Median(f.startup), ratio = bench::Median(f.ratio);
    const double cpu = *std::max_element(f.managerCpu.begin(), f.managerCpu.end());
    const bool managed = d != "offscreen" && d != "x11";
    char toBare[32] = "", cpuText[32] = "";
    if (managed && bare > 0) std::snprintf(toBare, sizeof toBare, "%.3f", startup / bare);
    if (managed) std::snprintf(cpuText, sizeof cpuText, "%.2f s (worst)", cpu);
    std::printf("%-10s %8.3f s %17.3f %20s %18s\n", d.c_str(), startup, ratio, toBare, cpuText);
    judge(ratio <= 1.15, d + " start-up to the connect", ratio, 1.15);
    if (managed) {
      judge(cpu < 1.0, d + " manager CPU (s)", cpu, 1.0);
      if (bare > 0) judge(startup <= 1.3 * bare + 0.3, d + " start-up (s) against the bare X server's", startup, 1.3 * bare + 0.3);
    }
  }
  std::printf("peak memory %.1f MiB\n", peak / 1024.0);
  for (const std::string& m : misses) std::printf("%s\n", m.c_str());
  const bool missed = !misses.empty();
  std::printf("targets (start-up at most 1.15 x the connect, under 80 MiB; under a window manager at most 1.3 x the "
              "bare X server + 0.3 s and under 1 s of its CPU): %s\n",
              failed ? "NOT JUDGED (a run failed)" : missed ? "MISSED" : "met");
  if (failed) return 1;
  return check && missed ? 1 : 0;
}
