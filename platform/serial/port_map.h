#pragma once
// Port numbers stay COM numbers, as the program shows them. When the ports folder holds links
// named com1, com2, ... to devices present, those links are the ports (a link to a device that
// is gone is no port). Otherwise the serial devices present are numbered in a stable order: real
// UARTs (/dev/ttyS* whose kernel UART type is not "unknown") by number, then /dev/ttyUSB*, then
// /dev/ttyACM*; absent UART slots take no number, so a USB adapter is COM1 or COM2 rather than
// COM33. A number that has named a link in the folder is a link's for good: the folder's record
// "linked-numbers" keeps it across runs and the devices take the numbers no link holds or has
// held, so a port number never moves from a link that went away (a camera unplugged, a
// simulator ended) or points at nothing to a device of the machine. A folder named by
// ORVADEX_PORTS_DIR holds the only ports, linked or not, and keeps no record.
#include <optional>
#include <string>
#include <vector>

namespace serial {

struct PortEntry {
  int number = 0;       // the COM number
  std::string device;   // the device path (a link's target, or the /dev node)
  bool operator==(const PortEntry&) const = default;
};

// Where the map looks.
struct PortMapRoots {
  std::string portsDir;                    // folder of the comN links ("" for none)
  std::string devDir = "/dev";             // device nodes
  std::string sysDir = "/sys/class/tty";   // kernel tty classes (UART types)
  bool linksOnly = false;                  // the folder's links are the ports even when there are none
};

// The ports folder: $ORVADEX_PORTS_DIR when set, else $XDG_CONFIG_HOME/orvadex/ports, else
// $HOME/.config/orvadex/ports.
std::string PortsFolder();
// The ports folder of the run (links only when ORVADEX_PORTS_DIR names it), and the device nodes
// of $ORVADEX_DEV_DIR in the place of /dev when that is set.
PortMapRoots DefaultPortMapRoots();

// Every port, ordered by number; a link's number not yet in the folder's record is added to it.
std::vector<PortEntry> EnumeratePorts(const PortMapRoots& roots = DefaultPortMapRoots());
// The device of a port number, if there is one.
std::optional<std::string> DeviceForPort(int number, const PortMapRoots& roots = DefaultPortMapRoots());
// The serial devices present, in the stable order (full paths).
std::vector<std::string> PresentSerialDevices(const PortMapRoots& roots = DefaultPortMapRoots());

// Creates (or replaces) the link comN in `portsDir` pointing at `device`, creating the folder
// when needed. Returns the link's path; throws std::runtime_error with the reason on failure.
std::string CreatePortLink(const std::string& portsDir, int number, const std::string& device);
// Removes the link comN from `portsDir` when it points at `device` (so a newer link stays).
void RemovePortLink(const std::string& portsDir, int number, const std::string& device);

}  // namespace serial
