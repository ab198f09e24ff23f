// The serial ports the registry lists. Ports are COM numbers: links named com1, com2, ... in
// the ports folder (named by ORVADEX_PORTS_DIR) name their devices; without that folder the
// serial devices present are numbered in a stable order: real UARTs (/dev/ttyS* whose
// UART type is known), then /dev/ttyUSB*, then /dev/ttyACM*.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/registry/registry.h"

namespace registry {
namespace {

// The number after `prefix` at the start of `name` ("com12" -> 12), or -1.
long NumberAfter(const std::string& name, const std::string& prefix, bool ignoreCase) {
  if (name.size() <= prefix.size()) return -1;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = name[i];
    if (ignoreCase && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return -1;
  }
  long n = 0;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || n > 100000) return -1;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
    ::closedir(d);
  }
  return names;
}

bool RealUart(long n) {
  std::ifstream type("/sys/class/tty/ttyS" + std::to_string(n) + "/type");
  long value = 0;
  return type >> value && value != 0;
}

}  // namespace

std::vector<std::pair<int, std::string>> SerialPorts() {
  std::vector<std::pair<int, std::string>> ports;
  const char* dir = std::getenv("ORVADEX_PORTS_DIR");
  if (dir != nullptr && *dir != '\0') {
    std::string folder = dir;
    for (const std::string& name : Entries(folder)) {
      long n = NumberAfter(name, "com", true);
      if (n < 1 || n > 256) continue;
      std::string path = folder + "/" + name;
      char target[4096];
      ssize_t len = ::readlink(path.c_str(), target, sizeof target - 1);
      ports.emplace_back(static_cast<int>(n), len > 0 ? std::string(target, static_cast<std::size_t>(len)) : path);
    }
    std::sort(ports.begin(), ports.end());
    return ports;
  }
  std::vector<std::string> devices;
  for (const char* family : {"ttyS", "ttyUSB", "ttyACM"}) {
    std::vector<long> numbers;
    for (const std::string& name : Entries("/dev")) {
      long n = NumberAfter(name, family, false);
      if (n < 0) continue;
      if (std::string(family) == "ttyS" && !RealUart(n)) continue;
      numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    for (long n : numbers) devices.push_back("/dev/" + std::string(family) + std::to_string(n));
  }
  for (std::size_t i = 0; i < devices.size(); ++i) ports.emplace_back(static_cast<int>(i + 1), devices[i]);
  return ports;
}

}  // namespace registry
