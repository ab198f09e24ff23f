// link_bench: the serial link's speed against the wire limit, through the real termios port on a
// pty, against camsim pacing its replies by the wire time of its baud rate.
//
// For each baud rate it measures, a few times over:
//   connect  gblnMSComm_Init (baud-rate probe, calibration of the poll interval, identity read)
//            followed by the read of every transferred code, as the main window connects;
//   read     the read of every transferred code (after calibration);
//   send     a framed send of every transferred code (after calibration);
// each as a ratio to the wire-time limit of the same exchange (every transaction moves 2 bytes
// each way, 11 bits a byte at 8N2) and as a ratio to the floor: the same commands, taken from
// camsim's log, sent in the same run on the same pty to the same camsim by a minimal client
// that writes two bytes, waits in poll() until two are in (VMIN 2) and reads them, twice in a
// row (how far the second differs from the first is the floor's spread). With them come the
// program's and the floor client's CPU time per transaction, the program's share of one core
// while the exchange waits on the wire, and the process's peak memory. At 9600 baud it also
// measures the read of every code at each fixed poll interval (no detection, no calibration),
// each with its floor: a reply must end its wait when it is in, whatever the interval. Last, the
// CPU share of the link's wait on a silent line (a pty nobody answers on; one byte of a reply at
// the port; one byte of it already taken into the control's buffer), polling every 5 ms until
// the time-out gives up, at 9600 and 115200 baud.
//
//   build/bench/link_bench [--baud 9600,1200] [--runs N] [--intervals 1-10|none] [--camsim PATH]
//                          [--check] [--verbose] [--no-realtime]
//
// camsim serves at a real-time priority where the machine allows it (--no-realtime: not), so
// that, like a camera's hardware, it answers on time however busy the machine is; the
// program under test runs at its normal priority.
// --check exits 1 when a target is missed, and names each missed one with its figure and its
// limit: at 9600 baud every exchange and the read at each fixed interval judged pair by pair
// against the floor run beside it, the median of the pairs (of each, and of all together)
// within 1 plus a margin of three standard deviations of that median as the floor's spread
// gives them (at least 0.01); at 1200
// baud, where every command first waits half a poll interval, within 1.6 of the wire limit; on
// the wire, at the calibrated interval, no more than 1.5% of one core above the floor client's
// share in the same pair; on a silent line no more than 1% of one core. A run that fails keeps
// the run's folder and says why.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "core/command_lists.h"
#include "core/logs.h"
#include "core/settings_file.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "link/mscomm.h"
#include "link/port_access.h"
#include "platform/app/app.h"
#include "platform/forms/host.h"
#include "platform/serial/mscomm.h"
#include "platform/serial/port_map.h"
#include "platform/vb/error.h"
#include "platform/vb/vb.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Usage {
  double wallS = 0, cpuS = 0;
};

double cpuSeconds() {
  rusage ru{};
  ::getrusage(RUSAGE_SELF, &ru);
  return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

long peakKiB() {
  rusage ru{};
  ::getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

template <class F>
Usage measure(F&& f, bool& ok) {
  const double cpu0 = cpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  ok = f();
  const auto t1 = std::chrono::steady_clock::now();
  return {std::chrono::duration<double>(t1 - t0).count(), cpuSeconds() - cpu0};
}

struct Sample {
  double ratio, wallS, limitS, cpuPerTransactionUs, cpuShare;
  long transactions;
  long sleepUnitMs;
  double floorS = 0;     // the minimal client's time for the same commands (0: not measured)
  double floorCpuS = 0;  // the minimal client's CPU time for them
  double floorAgainS = 0;  // the minimal client's time for them once more, right after
};

struct Row {
  long baud;
  std::string exchange;
  std::vector<Sample> samples;
};

std::vector<long> parseBauds(const std::string& s) {
  std::vector<long> out;
  std::stringstream ss(s);
  std::string item;
  while (std::getline(ss, item, ',')) {
    const long b = std::atol(item.c_str());
    if (b != 1200 && b != 9600) throw std::invalid_argument("--baud takes 1200 and/or 9600");
    out.push_back(b);
  }
  return out;
}

// The program's state as at start-up from a settings file that remembers the camera's setting.
void startProgram(const fs::path& folder, long baud) {
  vb::App::SetLocationForTesting(folder.string(), "orvadex");
  static bool built = SubMain::mblnSetDataInfo();
  if (!built) throw std::runtime_error("the parameter table could not be built");
  if (!SubMain::gblnReadInitFile()) throw std::runtime_error("the settings could not be read");
  if (!SubMain::gblnMakeAllCmdSet() || !SubMain::mblnIniVariable())
    throw std::runtime_error("the command lists or current values could not be set up");
  gstrSettings = baud == 1200 ? "1200,n,8,2" : "9600,n,8,2";
  glngPortNo = 1;
  gblnWriteLogFile = false;
}

// The last line of the program's error log in `folder` ("" when there is none), tabs as blanks.
std::string lastErrorLogLine(const fs::path& folder) {
  std::ifstream in(folder / "orvadex.ERR");
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty()) last = line;
  std::replace(last.begin(), last.end(), '\t', ' ');
  if (!last.empty() && last.back() == '\r') last.pop_back();
  return last;
}

// Why an exchange failed, as the program told it: the error log's line, else the first message
// box, else that neither said anything.
std::string reasonOf(const fs::path& folder, const bench::BenchHost& host) {
  const std::string logged = lastErrorLogLine(folder);
  if (!logged.empty()) return "error log: " + logged;
  if (!host.boxes.empty()) return "message box: " + host.boxes.front();
  return "no error logged, no message box";
}

struct Command {
  uint8_t c, d;
};

// The commands camsim received, from the `first`-th to the one before the `last`-th, as its
// log holds them ("12.345 RX 00 01").
std::vector<Command> loggedCommands(const fs::path& log, long first, long last) {
  std::ifstream in(log);
  std::string line;
  std::vector<Command> out;
  long n = 0;
  while (std::getline(in, line)) {
    const size_t at = line.find(" RX ");
    if (at == std::string::npos) continue;
    if (n >= first && n < last) {
      unsigned c = 0, d = 0;
      if (std::sscanf(line.c_str() + at + 4, "%x %x", &c, &d) != 2)
        throw std::runtime_error("camsim's log has a line the floor cannot read: " + line);
      out.push_back({static_cast<uint8_t>(c), static_cast<uint8_t>(d)});
    }
    ++n;
  }
  if (static_cast<long>(out.size()) != last - first)
    throw std::runtime_error("camsim's log holds " + std::to_string(out.size()) + " of the commands " +
                             std::to_string(first) + " to " + std::to_string(last));
  return out;
}

// The floor: the time and CPU time a minimal client takes for `commands` on `device` at `baud`
// (8N2): it writes each command's two bytes, waits in poll() until both reply bytes are in
// (VMIN 2) and reads them.
Usage floorRun(const std::string& device, long baud, const std::vector<Command>& commands) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("the floor client cannot open " + device + ": " + std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  termios t{};
  if (::tcgetattr(fd, &t) != 0) throw std::runtime_error("the floor client: tcgetattr failed");
  ::cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD | CSTOPB;
  t.c_cc[VMIN] = 2;
  t.c_cc[VTIME] = 0;
  ::cfsetispeed(&t, baud == 1200 ? B1200 : B9600);
  ::cfsetospeed(&t, baud == 1200 ? B1200 : B9600);
  if (::tcsetattr(fd, TCSANOW, &t) != 0) throw std::runtime_error("the floor client: tcsetattr failed");
  ::tcflush(fd, TCIOFLUSH);
  const double cpu0 = cpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  for (const Command& k : commands) {
    const uint8_t out[2] = {k.c, k.d};
    if (::write(fd, out, 2) != 2) throw std::runtime_error("the floor client cannot write: " + std::string(std::strerror(errno)));
    uint8_t in[2];
    size_t got = 0;
    while (got < 2) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 2000) <= 0)
        throw std::runtime_error("the floor client got no reply to " + std::to_string(k.c) + "," + std::to_string(k.d));
      const ssize_t n = ::read(fd, in + got, 2 - got);
      if (n > 0) got += static_cast<size_t>(n);
      else if (n == 0 || (errno != EAGAIN && errno != EINTR))
        throw std::runtime_error("the floor client cannot read: " + std::string(n == 0 ? "end of file" : std::strerror(errno)));
    }
  }
  const Usage used{std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), cpuSeconds() - cpu0};
  ::tcflush(fd, TCIOFLUSH);
  return used;
}

// The CPU share of the link's wait on a silent line: the port on a pty whose other end (held
// here) never answers, a command written, the poll for its reply at `intervalMs` until the
// time-out gives up (1 to 2 s). `bytesIn`: reply bytes the other end sends all the same;
// `taken`: how many of them are taken from the port before the wait (held in the control's
// buffer then).
struct Silent {
  long baud;
  std::string what;
  int bytesIn, taken;
  std::vector<double> share;
};

double silentShare(const fs::path& folder, long baud, long intervalMs, int bytesIn, int taken) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
    throw std::runtime_error("cannot make a pty: " + std::string(std::strerror(errno)));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{master};
  char slave[128];
  if (::ptsname_r(master, slave, sizeof slave) != 0) throw std::runtime_error("ptsname failed");
  const fs::path ports = folder / "ports";
  serial::CreatePortLink(ports.string(), 1, slave);
  ::setenv("ORVADEX_PORTS_DIR", ports.c_str(), 1);
  mdlMSComm::port::setUpPort(1, std::to_string(baud) + ",n,8,2");
  mdlMSComm::port::output(0, 1);
  const std::vector<uint8_t> reply = {0x00, 0x01};
  if (bytesIn > 0 && ::write(master, reply.data(), static_cast<size_t>(bytesIn)) != bytesIn)
    throw std::runtime_error("cannot write to the pty");
  for (int i = 0; i < 2000 && gobjMSComm->InBufferCount() < bytesIn; ++i) ::usleep(1000);
  if (gobjMSComm->InBufferCount() < bytesIn) throw std::runtime_error("the bytes sent on the pty did not arrive");
  for (int i = 0; i < taken; ++i) mdlMSComm::port::inputByte();
  bool answered = true;
  const Usage u = measure([&] { return mdlMSComm::port::waitReply(intervalMs, 1, 0, true, nullptr); }, answered);
  mdlMSComm::port::closePort();
  if (answered) throw std::runtime_error("the wait on a silent line ended with a reply");
  return u.cpuS / u.wallS;
}

// The targets. A program run is judged against the floor run beside it: the median of those
// ratios may exceed 1 by kFloorSpreads standard deviations of that median, as the floor's own
// spread gives them, and by kLeastFloorMargin at least.
constexpr double kFloorSpreads = 3, kLeastFloorMargin = 0.01;
// At 1200 baud every command first waits half a poll interval: the time to the wire limit.
constexpr double kSlowToWire = 1.6;
// The program's share of a core while it waits on the wire, above the share of the floor client
// in the same pair, which costs what the pty exchange costs any client: the link's own looks
// and counts at the calibrated interval of 5 ms come to about 1% of a core; a poll every 1 or
// 2 ms costs more (those fixed intervals are shown, not judged).
constexpr double kExtraCpuShare = 0.015;
// The share of a core of a wait on a silent line.
constexpr double kSilentCpuShare = 0.01;

std::string fixed3(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", v);
  return text;
}

// Each exchange is followed by its floor: its commands (camsim's `from`-th to the one before the
// `to`-th) again, from the minimal client, while the program's port is closed (it holds the pty
// alone), twice: the second run against the first shows how far two runs of the same client
// beside each other differ. Then the port is opened again as the exchange left it.
void measureFloor(Sample& smp, const bench::Camsim& cam, long baud, long from, long to) {
  mdlMSComm::gblnMSComm_Close();
  const std::vector<Command> commands = loggedCommands(cam.Log(), from, to);
  const Usage floor = floorRun(cam.Path(), baud, commands);
  smp.floorS = floor.wallS;
  smp.floorCpuS = floor.cpuS;
  smp.floorAgainS = floorRun(cam.Path(), baud, commands).wallS;
  mdlMSComm::port::setUpPort(glngPortNo, gstrSettings);
}

long countItems(const std::string& list) {
  return list.empty() ? 0 : static_cast<long>(std::count(list.begin(), list.end(), ',')) + 1;
}

// "1-10", "1,2,5" or "none".
std::vector<long> parseIntervals(const std::string& s) {
  std::vector<long> out;
  if (s == "none") return out;
  std::stringstream ss(s);
  std::string item;
  while (std::getline(ss, item, ',')) {
    const size_t dash = item.find('-');
    const long lo = std::atol(item.substr(0, dash).c_str());
    const long hi = dash == std::string::npos ? lo : std::atol(item.substr(dash + 1).c_str());
    if (lo < 1 || hi < lo || hi > 1000) throw std::invalid_argument("--intervals takes e.g. 1-10, 2,5 or none");
    for (long k = lo; k <= hi; ++k) out.push_back(k);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> bauds = {9600, 1200};
  std::vector<long> intervals = parseIntervals("1-10");
  int runs = 3;
  bool check = false, verbose = false, realtime = true;
  std::string camsim = ORVADEX_CAMSIM;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string a = argv[i];
      auto value = [&]() -> std::string {
        if (i + 1 >= argc) throw std::invalid_argument(a + " needs a value");
        return argv[++i];
      };
      if (a == "--baud") bauds = parseBauds(value());
      else if (a == "--runs") runs = std::max(1, std::atoi(value().c_str()));
      else if (a == "--intervals") intervals = parseIntervals(value());
      else if (a == "--camsim") camsim = value();
      else if (a == "--check") check = true;
      else if (a == "--verbose") verbose = true;
      else if (a == "--no-realtime") realtime = false;
      else if (a == "--help" || a == "-h") {
        std::cout << "usage: link_bench [--baud 9600,1200] [--runs N] [--intervals 1-10|none] [--camsim PATH] [--check]"
                     " [--verbose] [--no-realtime]\n";
        return 0;
      } else throw std::invalid_argument("unknown option " + a);
    }
  } catch (const std::exception& e) {
    std::cerr << "link_bench: " << e.what() << "\n";
    return 2;
  }

  fs::path dir;
  try {
    dir = bench::MakeTempFolder("orvadex-bench");
  } catch (const std::exception& e) {
    std::cerr << "link_bench: " << e.what() << "\n";
    return 1;
  }

  bench::BenchHost host;
  forms::setHost(&host);
  vb::SetErrorReporter([](const std::string& text) { SubMain::gErrorProc(text); });
  serial::MSComm comm;
  gobjMSComm = &comm;

  std::vector<Row> rows;
  bool failed = false;
  // Reports a failed run: what failed, the program's own account of it, where the files are.
  auto runFailed = [&](const std::string& what, const fs::path& folder, const std::exception& e) {
    std::cerr << "link_bench: " << what << ": " << e.what() << "\n";
    for (const std::string& b : host.boxes) std::cerr << "  message box: " << b << "\n";
    const std::string logged = lastErrorLogLine(folder);
    if (!logged.empty() && std::string(e.what()).find(logged) == std::string::npos)
      std::cerr << "  error log: " << logged << "\n";
    std::cerr << "  the run's files (camsim's log and standard error, the error log): " << folder.string() << "\n";
    failed = true;
  };
  for (long baud : bauds) {
    Row connect{baud, "connect", {}}, read{baud, "read", {}}, send{baud, "send", {}};
    for (int run = 0; run < runs && !failed; ++run) {
      const fs::path folder = dir / ("run-" + std::to_string(baud) + "-" + std::to_string(run));
      fs::create_directories(folder);
      try {
        bench::Camsim cam(camsim, folder, baud, realtime);
        startProgram(folder, baud);
        const double bitTime = 1.0 / baud;
        const double transactionLimitS = 4 * 11 * bitTime;  // 2 bytes each way, 11 bits a byte
        auto sample = [&](const Usage& u, long transactions) {
          const double limit = transactions * transactionLimitS;
          return Sample{u.wallS / limit, u.wallS, limit, u.cpuS / transactions * 1e6, u.cpuS / u.wallS,
                        transactions, glngSleepTimeUnit};
        };
        const long codes = countItems(gstrAllCmdList);
        bool ok = false;

        auto floorOf = [&](Sample& smp, long from, long to) { measureFloor(smp, cam, baud, from, to); };

        // Connect: detection, calibration and identity, then the read of every code.
        const long connectFrom = cam.Commands();
        Usage u = measure([&] { return mdlMSComm::gblnMSComm_Init() &&
                                       mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList); }, ok);
        if (!ok) throw std::runtime_error("the connect failed (" + reasonOf(folder, host) + ")");
        const long connectTo = cam.Commands();
        connect.samples.push_back(sample(u, connectTo - connectFrom));
        floorOf(connect.samples.back(), connectFrom, connectTo);

        // A framed send of every code, with values the camera does not hold yet.
        for (const std::string& item : vb::Split(gstrAllCmdList, ",")) {
          const int c = std::atoi(item.c_str());
          gbyteCurrentData[c] = static_cast<uint8_t>(gbyteCurrentData[c] ^ 0x5A);
        }
        const auto sent = gbyteCurrentData;
        const long sendFrom = cam.Commands();
        u = measure([&] { return mdlMSComm::gblnSetDataFromPC(gstrAllCmdList, true); }, ok);
        if (!ok) throw std::runtime_error("the framed send failed (" + reasonOf(folder, host) + ")");
        const long sendTo = cam.Commands();
        if (sendTo - sendFrom != codes + 2)
          throw std::runtime_error("the send took " + std::to_string(sendTo - sendFrom) +
                                   " commands, not " + std::to_string(codes + 2));
        send.samples.push_back(sample(u, sendTo - sendFrom));
        floorOf(send.samples.back(), sendFrom, sendTo);

        // The read of every code: it must bring back what was sent.
        gbyteCurrentData.fill(0);
        const long readFrom = cam.Commands();
        u = measure([&] { return mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList); }, ok);
        if (!ok) throw std::runtime_error("the read failed (" + reasonOf(folder, host) + ")");
        const long readTo = cam.Commands();
        read.samples.push_back(sample(u, readTo - readFrom));
        for (const std::string& item : vb::Split(gstrAllCmdList, ",")) {
          const int c = std::atoi(item.c_str());
          if (gbyteCurrentData[c] != sent[c])
            throw std::runtime_error("code " + item + " read back " + std::to_string(gbyteCurrentData[c]) +
                                     ", sent " + std::to_string(sent[c]));
        }
        floorOf(read.samples.back(), readFrom, readTo);
        mdlMSComm::gblnMSComm_Close();
        if (!host.boxes.empty()) throw std::runtime_error("a message box came up: " + host.boxes.front());
        if (verbose) {
          for (const Row* r : {&connect, &read, &send}) {
            const Sample& smp = r->samples.back();
            std::printf("  %ld baud, run %d, %s: %ld transactions in %.3f s (%.3f of the wire limit, %.3f of the floor"
                        " %.3f s, again %.3f s), poll %ld ms, cpu %.1f us a transaction (the floor's %.1f us)\n",
                        baud, run + 1, r->exchange.c_str(), smp.transactions, smp.wallS, smp.ratio,
                        smp.wallS / smp.floorS, smp.floorS, smp.floorAgainS, smp.sleepUnitMs, smp.cpuPerTransactionUs,
                        smp.floorCpuS / smp.transactions * 1e6);
          }
        }
      } catch (const std::exception& e) {
        if (mdlMSComm::port::portIsOpen()) mdlMSComm::gblnMSComm_Close();
        runFailed(std::to_string(baud) + " baud, run " + std::to_string(run + 1), folder, e);
      }
    }
    rows.push_back(connect);
    rows.push_back(read);
    rows.push_back(send);
  }
  // The read of every code at each fixed poll interval, at 9600 baud.
  std::vector<Row> fixed;
  if (std::find(bauds.begin(), bauds.end(), 9600L) != bauds.end()) {
    for (long k : intervals) fixed.push_back(Row{9600, "read@" + std::to_string(k) + "ms", {}});
  }
  for (int run = 0; run < runs && !failed && !fixed.empty(); ++run) {
    const fs::path folder = dir / ("fixed-" + std::to_string(run));
    fs::create_directories(folder);
    try {
      bench::Camsim cam(camsim, folder, 9600, realtime);
      startProgram(folder, 9600);
      gblnAutoBaudRateChange = false;
      if (!mdlMSComm::gblnMSComm_Init())
        throw std::runtime_error("the connect failed (" + reasonOf(folder, host) + ")");
      for (size_t i = 0; i < fixed.size(); ++i) {
        glngSleepTimeUnit = intervals[i];
        const long before = cam.Commands();
        bool ok = false;
        const Usage u = measure([&] { return mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList); }, ok);
        if (!ok)
          throw std::runtime_error("the read at " + std::to_string(intervals[i]) + " ms failed (" +
                                   reasonOf(folder, host) + ")");
        const long after = cam.Commands();
        const long transactions = after - before;
        const double limit = transactions * 4 * 11 / 9600.0;
        fixed[i].samples.push_back(Sample{u.wallS / limit, u.wallS, limit, u.cpuS / transactions * 1e6,
                                          u.cpuS / u.wallS, transactions, intervals[i]});
        Sample& smp = fixed[i].samples.back();
        measureFloor(smp, cam, 9600, before, after);
        if (verbose)
          std::printf("  9600 baud, run %d, poll %ld ms: %ld transactions in %.3f s (%.3f of the wire limit, %.3f of"
                      " the floor %.3f s)\n",
                      run + 1, intervals[i], transactions, u.wallS, u.wallS / limit, u.wallS / smp.floorS, smp.floorS);
      }
      mdlMSComm::gblnMSComm_Close();
      if (!host.boxes.empty()) throw std::runtime_error("a message box came up: " + host.boxes.front());
    } catch (const std::exception& e) {
      if (mdlMSComm::port::portIsOpen()) mdlMSComm::gblnMSComm_Close();
      runFailed("fixed intervals, run " + std::to_string(run + 1), folder, e);
    }
  }
  rows.insert(rows.end(), fixed.begin(), fixed.end());

  // The wait on a silent line.
  constexpr long kSilentIntervalMs = 5;
  std::vector<Silent> silent;
  for (long baud : {9600L, 115200L}) {
    silent.push_back(Silent{baud, "silent", 0, 0, {}});
    silent.push_back(Silent{baud, "1 byte in", 1, 0, {}});
    silent.push_back(Silent{baud, "1 byte held", 2, 1, {}});
  }
  for (int run = 0; run < runs && !failed; ++run) {
    const fs::path folder = dir / ("silent-" + std::to_string(run));
    fs::create_directories(folder);
    for (Silent& k : silent) {
      if (failed) break;
      try {
        k.share.push_back(silentShare(folder, k.baud, kSilentIntervalMs, k.bytesIn, k.taken));
        if (verbose)
          std::printf("  silent line, %ld baud, %s, run %d: %.2f%% of a core\n", k.baud, k.what.c_str(), run + 1,
                      100 * k.share.back());
      } catch (const std::exception& e) {
        if (mdlMSComm::port::portIsOpen()) mdlMSComm::port::closePort();
        runFailed("silent line, " + std::to_string(k.baud) + " baud, " + k.what + ", run " + std::to_string(run + 1),
                  folder, e);
      }
    }
  }

  gobjMSComm = nullptr;
  forms::setHost(nullptr);
  if (!failed) {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  // Every target missed, named with its figure and its limit.
  std::vector<std::string> missed;
  auto miss = [&](const std::string& what, double figure, double limit, const std::string& limitIs) {
    char text[512];
    std::snprintf(text, sizeof text, "%s %.3f, limit %.3f (%s)", what.c_str(), figure, limit, limitIs.c_str());
    missed.push_back(text);
  };
  // The margin of the time to the floor at each baud rate. A program run that adds nothing
  // differs from the floor run beside it as much as the floor's second run differs from its
  // first: their ratios over every exchange at that rate give the spread of one pair (a robust
  // standard deviation: 1.4826 times the median absolute difference from 1), the median of n
  // pairs spreads about 1.25 / sqrt(n) times as much, and the margin is kFloorSpreads times that.
  std::map<long, double> pairSpread;
  std::map<long, std::vector<double>> allToFloor;  // every pair's ratio at that rate
  for (long baud : bauds) {
    std::vector<double> deviation;
    for (const Row& r : rows)
      for (const Sample& s : r.samples)
        if (r.baud == baud && s.floorS > 0) {
          deviation.push_back(std::abs(s.floorAgainS / s.floorS - 1));
          allToFloor[baud].push_back(s.wallS / s.floorS);
        }
    pairSpread[baud] = 1.4826 * bench::Median(deviation);
  }
  auto marginOf = [&](long baud, size_t pairs) {
    const double ofMedian = std::min(1.0, 1.2533 / std::sqrt(static_cast<double>(std::max<size_t>(pairs, 1))));
    return std::max(kLeastFloorMargin, kFloorSpreads * pairSpread[baud] * ofMedian);
  };
  const std::string marginIs = "1 plus " + fixed3(kFloorSpreads) +
                               " standard deviations of the median as the floor's spread gives them, at least " +
                               fixed3(kLeastFloorMargin);
  bool printed = false;
  for (const Row& r : rows) {
    if (r.samples.empty()) continue;
    if (!printed)
      std::printf("%-6s %-10s %5s %8s %9s %9s %7s %7s %9s %7s %7s %7s %9s %9s %7s\n", "baud", "exchange", "trans", "poll",
                  "wall(s)", "limit(s)", "ratio", "worst", "floor(s)", "/floor", "worst", "margin", "cpu/tx",
                  "floor/tx", "cpu%");
    printed = true;
    std::vector<double> ratio, wall, cpuTx, share, floorWall, floorCpuTx, toFloor, extraShare;
    for (const Sample& s : r.samples) {
      ratio.push_back(s.ratio);
      wall.push_back(s.wallS);
      cpuTx.push_back(s.cpuPerTransactionUs);
      share.push_back(s.cpuShare);
      if (s.floorS > 0) {
        floorWall.push_back(s.floorS);
        floorCpuTx.push_back(s.floorCpuS / s.transactions * 1e6);
        toFloor.push_back(s.wallS / s.floorS);
        extraShare.push_back(s.cpuShare - s.floorCpuS / s.floorS);
      }
    }
    const Sample& first = r.samples.front();
    long pollLo = first.sleepUnitMs, pollHi = first.sleepUnitMs;
    for (const Sample& s : r.samples) {
      pollLo = std::min(pollLo, s.sleepUnitMs);
      pollHi = std::max(pollHi, s.sleepUnitMs);
    }
    const std::string poll = pollLo == pollHi ? std::to_string(pollLo) + "ms"
                                              : std::to_string(pollLo) + "-" + std::to_string(pollHi) + "ms";
    const double worst = *std::max_element(ratio.begin(), ratio.end());
    const double margin = marginOf(r.baud, r.samples.size());
    std::printf("%-6ld %-10s %5ld %8s %9.3f %9.3f %7.3f %7.3f ", r.baud, r.exchange.c_str(), first.transactions,
                poll.c_str(), bench::Median(wall), first.limitS, bench::Median(ratio), worst);
    if (toFloor.empty())
      std::printf("%9s %7s %7s %7s %7.1fus %9s ", "-", "-", "-", "-", bench::Median(cpuTx), "-");
    else
      std::printf("%9.3f %7.3f %7.3f %7.3f %7.1fus %7.1fus ", bench::Median(floorWall), bench::Median(toFloor),
                  *std::max_element(toFloor.begin(), toFloor.end()), margin, bench::Median(cpuTx),
                  bench::Median(floorCpuTx));
    std::printf("%6.2f%%\n", 100 * bench::Median(share));
    const std::string name = std::to_string(r.baud) + " baud " + r.exchange + ":";
    if (toFloor.size() != r.samples.size()) {
      missed.push_back(name + " a run has no floor to be judged against");
      continue;
    }
    const bool atFixedInterval = r.exchange.rfind("read@", 0) == 0;
    if (r.baud == 9600 && bench::Median(toFloor) > 1 + margin)
      miss(name + " time to the floor (median of the pairs)", bench::Median(toFloor), 1 + margin, marginIs);
    if (r.baud == 1200 && bench::Median(ratio) > kSlowToWire)
      miss(name + " time to the wire limit (median)", bench::Median(ratio), kSlowToWire, "fixed");
    // A shorter fixed poll interval wakes more often by design: its CPU is shown, not judged.
    if (!atFixedInterval && bench::Median(extraShare) > kExtraCpuShare)
      miss(name + " share of a core above the floor's (median of the pairs, poll " + poll + ")",
           bench::Median(extraShare), kExtraCpuShare, "fixed");
  }
  // Every transaction at 9600 baud is alike: the median of all pairs of every exchange tells a
  // few percent added to each from the floor where the few pairs of one exchange cannot.
  if (allToFloor.count(9600)) {
    const std::vector<double>& all = allToFloor[9600];
    const double margin = marginOf(9600, all.size());
    std::printf("9600 baud, every exchange: %.3f of the floor (median of %zu pairs), margin %.3f\n", bench::Median(all),
                all.size(), margin);
    if (bench::Median(all) > 1 + margin)
      miss("9600 baud every exchange: time to the floor (median of all " + std::to_string(all.size()) + " pairs)",
           bench::Median(all), 1 + margin, marginIs);
  }
  bool silentPrinted = false;
  for (const Silent& k : silent) {
    if (k.share.empty()) continue;
    if (!silentPrinted)
      std::printf("wait on a silent line, polls of %ld ms until the time-out:\n%-7s %-12s %7s %7s\n", kSilentIntervalMs,
                  "baud", "line", "cpu%", "worst");
    silentPrinted = true;
    const double worst = *std::max_element(k.share.begin(), k.share.end());
    std::printf("%-7ld %-12s %6.2f%% %6.2f%%\n", k.baud, k.what.c_str(), 100 * bench::Median(k.share), 100 * worst);
    if (bench::Median(k.share) > kSilentCpuShare)
      miss(std::to_string(k.baud) + " baud silent line, " + k.what + ": share of a core (median)",
           bench::Median(k.share), kSilentCpuShare, "fixed");
  }
  std::printf("peak memory: %ld KiB; runs per baud rate: %d\n", peakKiB(), runs);
  if (failed) {
    std::printf("targets: not judged, a run failed (see above); the runs' folders are kept in %s\n", dir.c_str());
    return 1;
  }
  std::printf("targets: at 9600 baud connect, read, send, the read at each fixed interval and all of them together"
              " within 1 + margin times the floor (median of the pairs; margin: %.0f standard deviations of that median as the"
              " floor's spread gives them, at least %.3f); at 1200 baud within %.1f x the wire limit; on the wire at most %.1f%% of a core above the floor"
              " client's share (not judged at the fixed intervals), on a silent line at most %.1f%% of a core"
              " (medians): %s\n",
              kFloorSpreads, kLeastFloorMargin, kSlowToWire, 100 * kExtraCpuShare,
              100 * kSilentCpuShare, missed.empty() ? "met" : "MISSED");
  for (const std::string& m : missed) std::printf("  missed: %s\n", m.c_str());
  return check && !missed.empty() ? 1 : 0;
}
