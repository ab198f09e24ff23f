#include "platform/serial/port_map.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

namespace serial {

namespace fs = std::filesystem;

std::string PortsFolder() {
  if (const char* p = std::getenv("ORVADEX_PORTS_DIR"); p && *p) return p;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/orvadex/ports";
  if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.config/orvadex/ports";
  return "";
}

PortMapRoots DefaultPortMapRoots() {
  PortMapRoots r;
  r.portsDir = PortsFolder();
  const char* named = std::getenv("ORVADEX_PORTS_DIR");
  r.linksOnly = named && *named;
  // Tests put a folder of their own in the place of /dev, so that no device of the machine is
  // ever opened, whatever the map decides.
  if (const char* dev = std::getenv("ORVADEX_DEV_DIR"); dev && *dev) r.devDir = dev;
  return r;
}

namespace {

// The record of the numbers that have named a link, in the ports folder.
constexpr const char* kHeldNumbersFile = "linked-numbers";

// "com12" (any case) -> 12; 0 for other names.
int linkNumber(const std::string& name) {
  if (name.size() < 4 || name.size() > 6) return 0;
  if (std::tolower(static_cast<unsigned char>(name[0])) != 'c' || std::tolower(static_cast<unsigned char>(name[1])) != 'o' ||
      std::tolower(static_cast<unsigned char>(name[2])) != 'm')
    return 0;
  int n = 0;
  for (size_t i = 3; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
    n = n * 10 + (name[i] - '0');
  }
  if (name[3] == '0') return 0;
  return n >= 1 && n <= 256 ? n : 0;
}

// The links of the ports folder whose targets exist: number -> target path. `named` gets the
// number of every comN link, a link to a device that is gone included.
std::map<int, std::string> links(const std::string& dir, std::set<int>& named) {
  std::map<int, std::string> out;
  if (dir.empty()) return out;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    int n = linkNumber(it->path().filename().string());
    if (n == 0) continue;
    std::error_code e2;
    if (!fs::is_symlink(it->symlink_status(e2))) continue;
    named.insert(n);
    fs::path target = fs::read_symlink(it->path(), e2);
    if (e2) continue;
    if (target.is_relative()) target = fs::path(dir) / target;
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) continue;
    out[n] = target.lexically_normal().string();
  }
  return out;
}

// The numbers that have named a link in `dir`: those of its record (one a line; other lines
// are ignored) and `named`. When `named` brings a new one, the record is replaced whole; a
// folder that cannot be written keeps what it recorded before.
std::set<int> heldNumbers(const std::string& dir, const std::set<int>& named) {
  if (dir.empty()) return named;
  std::set<int> held;
  const std::string record = dir + "/" + kHeldNumbersFile;
  {
    std::ifstream in(record);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (int n = linkNumber("com" + line)) held.insert(n);
    }
  }
  if (std::includes(held.begin(), held.end(), named.begin(), named.end())) return held;
  held.insert(named.begin(), named.end());
  const std::string tmp = record + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(tmp, std::ios::trunc);
    for (int n : held) out << n << '\n';
    if (!out.flush()) {
      ::unlink(tmp.c_str());
      return held;
    }
  }
  if (::rename(tmp.c_str(), record.c_str()) != 0) ::unlink(tmp.c_str());
  return held;
}

// Numbers of the nodes "<prefix><n>" in devDir, ascending.
std::vector<int> nodes(const std::string& devDir, const std::string& prefix) {
  std::vector<int> out;
  std::error_code ec;
  for (fs::directory_iterator it(devDir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    std::string digits = name.substr(prefix.size());
    if (digits.size() > 4 || !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
      continue;
    out.push_back(std::stoi(digits));
  }
  std::sort(out.begin(), out.end());
  return out;
}

// A ttyS port is real when the kernel knows a UART type for it (type 0 means none is present).
bool realUart(const std::string& sysDir, const std::string& name) {
  std::ifstream in(sysDir + "/" + name + "/type");
  if (!in) return false;
  int type = 0;
  in >> type;
  return in && type != 0;
}

}  // namespace

std::vector<std::string> PresentSerialDevices(const PortMapRoots& roots) {
  std::vector<std::string> out;
  for (int n : nodes(roots.devDir, "ttyS"))
    if (realUart(roots.sysDir, "ttyS" + std::to_string(n))) out.push_back(roots.devDir + "/ttyS" + std::to_string(n));
  for (int n : nodes(roots.devDir, "ttyUSB")) out.push_back(roots.devDir + "/ttyUSB" + std::to_string(n));
  for (int n : nodes(roots.devDir, "ttyACM")) out.push_back(roots.devDir + "/ttyACM" + std::to_string(n));
  return out;
}

std::vector<PortEntry> EnumeratePorts(const PortMapRoots& roots) {
  std::vector<PortEntry> out;
  std::set<int> named;
  std::map<int, std::string> byNumber = links(roots.portsDir, named);
  const std::set<int> held = roots.linksOnly ? named : heldNumbers(roots.portsDir, named);
  if (!byNumber.empty() || roots.linksOnly) {
    for (const auto& [n, dev] : byNumber) out.push_back({n, dev});
    return out;
  }
  int next = 1;
  for (const std::string& dev : PresentSerialDevices(roots)) {
    while (held.count(next) != 0) ++next;
    if (next > 256) break;
    out.push_back({next++, dev});
  }
  return out;
}

std::optional<std::string> DeviceForPort(int number, const PortMapRoots& roots) {
  for (const PortEntry& e : EnumeratePorts(roots))
    if (e.number == number) return e.device;
  return std::nullopt;
}

std::string CreatePortLink(const std::string& portsDir, int number, const std::string& device) {
  if (number < 1 || number > 256) throw std::runtime_error("port number " + std::to_string(number) + " is not between 1 and 256");
  if (portsDir.empty()) throw std::runtime_error("no ports folder (set ORVADEX_PORTS_DIR or HOME)");
  std::error_code ec;
  fs::create_directories(portsDir, ec);
  if (ec) throw std::runtime_error("cannot create " + portsDir + ": " + ec.message());
  std::string link = portsDir + "/com" + std::to_string(number);
  std::string tmp = link + ".tmp" + std::to_string(::getpid());
  ::unlink(tmp.c_str());
  if (::symlink(device.c_str(), tmp.c_str()) != 0 || ::rename(tmp.c_str(), link.c_str()) != 0) {
    std::string why = std::strerror(errno);
    ::unlink(tmp.c_str());
    throw std::runtime_error("cannot create the link " + link + ": " + why);
  }
  return link;
}

void RemovePortLink(const std::string& portsDir, int number, const std::string& device) {
  std::string link = portsDir + "/com" + std::to_string(number);
  std::error_code ec;
  if (fs::read_symlink(link, ec).string() == device && !ec) ::unlink(link.c_str());
}

}  // namespace serial
