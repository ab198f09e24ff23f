// camsim: the simulated camera on a serial line. It makes a new pseudo-terminal (or opens a
// real serial device), prints the path the program should open, optionally links it as comN
// in the ports folder, and answers the camera protocol until it gets SIGINT or SIGTERM.
#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/serial/port_map.h"
#include "sim/camera.h"
#include "sim/serial_server.h"

namespace {

const char* kUsage =
    "usage: camsim [options]\n"
    "Serves a simulated camera on a new pseudo-terminal and prints its path.\n"
    "\n"
    "Line:\n"
    "  --device PATH          serve a real serial device instead of a new pseudo-terminal\n"
    "  --link N               link comN in the ports folder to the pseudo-terminal (removed at exit)\n"
    "  --ports-dir DIR        the ports folder (default: $ORVADEX_PORTS_DIR, else ~/.config/orvadex/ports)\n"
    "  --baud RATE            the one baud rate the camera answers at (default 9600)\n"
    "  --no-pacing            answer at once instead of at the wire time of 11 bits a character\n"
    "  --realtime             serve at a real-time priority, so that replies leave on time on a busy\n"
    "                         machine, as a camera's would (needs the right to; else a note and on)\n"
    "  --response-ms N        the camera's time to answer a command (default 0)\n"
    "  --log FILE             log every command and reply (\"-\": standard error)\n"
    "Camera:\n"
    "  --firmware N           firmware version byte (default 2)\n"
    "  --model N              model byte (default 24, the model with the cable-length feature)\n"
    "  --type N               type byte (default 1)\n"
    "  --status I,R,M,G       status bytes: iris, white balance R-B and Mg-G, gain\n"
    "  --unsupported LIST     setting codes answered FF FF, e.g. 0x45,0x70-0x7F\n"
    "  --unsupported-function LIST  system functions answered FF FF, e.g. 23\n"
    "  --reply-command LIST=RC  answer writes of these codes with command byte RC (repeatable)\n"
    "  --eeprom CODE=VALUE,...  fields in the EEPROM at power-up\n"
    "  --capacity N           EEPROM fields (default 63)\n"
    "Faults (repeatable): --fault KIND[:key=value]...\n"
    "  kinds: drop, delay (ms=), corrupt (index=, value=), extra (bytes=HEX, before=1, ms=),\n"
    "         silent, syncffff, zero\n"
    "  keys:  c=, d= (the command it acts on), skip=N (let N pass first), count=N (-1: always)\n"
    "  e.g.   --fault drop:c=0:d=1:skip=2   --fault delay:ms=300:count=-1   --fault silent:skip=20\n";

[[noreturn]] void usageError(const std::string& why) {
  std::cerr << "camsim: " << why << "\n(camsim --help lists the options)\n";
  std::exit(2);
}

long number(const std::string& text, long lo, long hi, const std::string& what) {
  size_t used = 0;
  long v = 0;
  try {
    v = std::stol(text, &used, text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') ? 16 : 10);
  } catch (const std::exception&) {
    usageError(what + " needs a number, not \"" + text + "\"");
  }
  if (used != text.size()) usageError(what + " needs a number, not \"" + text + "\"");
  if (v < lo || v > hi) usageError(what + " must lie between " + std::to_string(lo) + " and " + std::to_string(hi));
  return v;
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t p = s.find(sep, start);
    out.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
    if (p == std::string::npos) return out;
    start = p + 1;
  }
}

// "0x45,0x70-0x7F" -> the codes.
std::vector<uint8_t> codes(const std::string& list, const std::string& what) {
  std::vector<uint8_t> out;
  for (const std::string& item : split(list, ',')) {
    size_t dash = item.find('-');
    long lo = number(item.substr(0, dash), 0, 255, what);
    long hi = dash == std::string::npos ? lo : number(item.substr(dash + 1), 0, 255, what);
    if (hi < lo) usageError(what + ": the range " + item + " runs backwards");
    for (long c = lo; c <= hi; ++c) out.push_back(static_cast<uint8_t>(c));
  }
  return out;
}

sim::SerialServer* gServer = nullptr;

void onSignal(int) {
  if (gServer) gServer->RequestStop();
}

}  // namespace

int main(int argc, char** argv) {
  sim::CameraConfig cfg;
  std::vector<sim::Fault> faults;
  std::map<uint8_t, uint8_t> eeprom;
  std::string device, logPath, portsDir = serial::PortsFolder();
  int link = 0;
  bool pace = true;
  bool realtime = false;
  std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) usageError(a + " needs a value");
      return args[++i];
    };
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (a == "--device") device = value();
    else if (a == "--link") link = static_cast<int>(number(value(), 1, 256, a));
    else if (a == "--ports-dir") portsDir = value();
    else if (a == "--baud") {
      cfg.baud = number(value(), 110, 256000, a);
      if (cfg.baud != 1200 && cfg.baud != 9600 && cfg.baud != 2400 && cfg.baud != 4800 &&
          cfg.baud != 19200 && cfg.baud != 38400)
        usageError("--baud: use 1200, 2400, 4800, 9600, 19200 or 38400");
    } else if (a == "--no-pacing") pace = false;
    else if (a == "--realtime") realtime = true;
    else if (a == "--response-ms") cfg.responseUs = number(value(), 0, 60000, a) * 1000;
    else if (a == "--log") logPath = value();
    else if (a == "--firmware") cfg.firmware = static_cast<uint8_t>(number(value(), 0, 255, a));
    else if (a == "--model") cfg.model = static_cast<uint8_t>(number(value(), 0, 255, a));
    else if (a == "--type") cfg.type = static_cast<uint8_t>(number(value(), 0, 255, a));
    else if (a == "--status") {
      auto parts = split(value(), ',');
      if (parts.size() != 4) usageError("--status needs four bytes: iris,R-B,Mg-G,gain");
      for (int k = 0; k < 4; ++k) cfg.status[k] = static_cast<uint8_t>(number(parts[k], 0, 255, a));
    } else if (a == "--unsupported") {
      for (uint8_t c : codes(value(), a)) cfg.unsupported.insert(c);
    } else if (a == "--unsupported-function") {
      for (uint8_t c : codes(value(), a)) cfg.unsupportedFunctions.insert(c);
    } else if (a == "--reply-command") {
      std::string v = value();
      size_t eq = v.find('=');
      if (eq == std::string::npos) usageError("--reply-command needs LIST=RC");
      uint8_t rc = static_cast<uint8_t>(number(v.substr(eq + 1), 0, 255, a));
      for (uint8_t c : codes(v.substr(0, eq), a)) cfg.replyCommand[c] = rc;
    } else if (a == "--eeprom") {
      for (const std::string& item : split(value(), ',')) {
        size_t eq = item.find('=');
        if (eq == std::string::npos) usageError("--eeprom needs CODE=VALUE pairs");
        eeprom[static_cast<uint8_t>(number(item.substr(0, eq), 1, 254, a))] =
            static_cast<uint8_t>(number(item.substr(eq + 1), 0, 255, a));
      }
    } else if (a == "--capacity") cfg.eepromCapacity = static_cast<int>(number(value(), 0, 254, a));
    else if (a == "--fault") {
      try {
        faults.push_back(sim::ParseFault(value()));
      } catch (const std::invalid_argument& e) {
        usageError(e.what());
      }
    } else usageError("unknown option " + a);
  }
  if (!device.empty() && link) usageError("--link applies to a pseudo-terminal, not to --device");

  std::ofstream logFile;
  sim::ServerOptions options;
  options.pace = pace;
  if (logPath == "-") {
    options.log = [](const std::string& line) { std::cerr << line << std::endl; };
  } else if (!logPath.empty()) {
    logFile.open(logPath, std::ios::app);
    if (!logFile) usageError("cannot write the log " + logPath);
    options.log = [&logFile](const std::string& line) { logFile << line << std::endl; };
  }

  sim::Camera camera(cfg);
  for (const auto& [c, v] : eeprom) camera.Eeprom()[c] = v;
  camera.PowerUp();
  for (const sim::Fault& f : faults) camera.AddFault(f);

  std::unique_ptr<sim::SerialServer> server;
  try {
    server = device.empty() ? sim::SerialServer::OnNewPty(camera, options)
                            : sim::SerialServer::OnDevice(camera, device, options);
  } catch (const std::exception& e) {
    std::cerr << "camsim: " << e.what() << "\n";
    return 1;
  }
  std::string linkPath;
  if (link) {
    try {
      linkPath = serial::CreatePortLink(portsDir, link, server->Path());
    } catch (const std::exception& e) {
      std::cerr << "camsim: " << e.what() << "\n";
      return 1;
    }
  }

  gServer = server.get();
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGHUP, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::cout << server->Path() << std::endl;
  if (!linkPath.empty())
    std::cerr << "camsim: COM" << link << " is " << linkPath << " -> " << server->Path() << "\n";
  std::cerr << "camsim: camera at " << cfg.baud << " baud, firmware " << int(cfg.firmware) << ", model "
            << int(cfg.model) << ", type " << int(cfg.type) << "\n";

  if (realtime) {
    sched_param sp{};
    sp.sched_priority = 10;
    if (::sched_setscheduler(0, SCHED_FIFO, &sp) != 0)
      std::cerr << "camsim: no real-time priority (" << std::strerror(errno) << "); serving at the normal one\n";
  }
  std::string lost = server->Run();
  gServer = nullptr;
  if (!linkPath.empty()) serial::RemovePortLink(portsDir, link, server->Path());
  if (!lost.empty()) {
    std::cerr << "camsim: " << lost << "\n";
    return 1;
  }
  return 0;
}
