// The serial ports the registry lists are those of the port map.
#include "platform/registry/registry.h"
#include "platform/serial/port_map.h"

namespace registry {

std::vector<std::pair<int, std::string>> SerialPorts() {
  std::vector<std::pair<int, std::string>> ports;
  for (const serial::PortEntry& entry : serial::EnumeratePorts()) ports.emplace_back(entry.number, entry.device);
  return ports;
}

}  // namespace registry
