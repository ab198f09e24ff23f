#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/serial/port_map.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

// A made-up machine: /dev nodes, the kernel's UART types, and a ports folder.
struct FakeMachine {
  testutil::TempFolder root;
  serial::PortMapRoots roots;
  FakeMachine() {
    fs::create_directories(root.file("dev"));
    fs::create_directories(root.file("sys"));
    fs::create_directories(root.file("ports"));
    roots = {root.file("ports"), root.file("dev"), root.file("sys")};
  }
  void node(const std::string& name) { root.write("dev/" + name, ""); }
  void uart(int n, int type) {
    node("ttyS" + std::to_string(n));
    fs::create_directories(root.file("sys/ttyS" + std::to_string(n)));
    root.write("sys/ttyS" + std::to_string(n) + "/type", std::to_string(type) + "\n");
  }
};

TEST(PortMap, DevicesPresentAreNumberedInAStableOrder) {
  FakeMachine m;
  for (int i = 0; i < 32; ++i) m.uart(i, i == 1 ? 4 : 0);  // 32 slots, one real 16550A
  m.node("ttyUSB1");
  m.node("ttyUSB0");
  m.node("ttyACM0");
  m.node("ttyUSB10");
  m.node("ttyUSBx");  // not a device name of the families
  m.node("tty5");
  std::vector<serial::PortEntry> want = {
      {1, m.root.file("dev/ttyS1")},   {2, m.root.file("dev/ttyUSB0")}, {3, m.root.file("dev/ttyUSB1")},
      {4, m.root.file("dev/ttyUSB10")}, {5, m.root.file("dev/ttyACM0")},
  };
  EXPECT_EQ(serial::EnumeratePorts(m.roots), want);
  EXPECT_EQ(serial::DeviceForPort(2, m.roots), m.root.file("dev/ttyUSB0"));
  EXPECT_EQ(serial::DeviceForPort(6, m.roots), std::nullopt);
  EXPECT_EQ(serial::DeviceForPort(0, m.roots), std::nullopt);
}

TEST(PortMap, LinksInThePortsFolderAreThePorts) {
  FakeMachine m;
  m.node("ttyUSB0");
  m.node("pts7");
  serial::CreatePortLink(m.roots.portsDir, 3, m.root.file("dev/pts7"));
  ASSERT_EQ(::symlink("../dev/ttyUSB0", m.root.file("ports/COM12").c_str()), 0);  // relative, upper case
  ASSERT_EQ(::symlink(m.root.file("dev/gone").c_str(), m.root.file("ports/com4").c_str()), 0);  // dangling
  ASSERT_EQ(::symlink(m.root.file("dev/pts7").c_str(), m.root.file("ports/com0").c_str()), 0);  // no such number
  m.root.write("ports/com5", "");  // not a link
  std::vector<serial::PortEntry> want = {{3, m.root.file("dev/pts7")}, {12, m.root.file("dev/ttyUSB0")}};
  EXPECT_EQ(serial::EnumeratePorts(m.roots), want);
  EXPECT_EQ(serial::DeviceForPort(4, m.roots), std::nullopt);

  // A newer link replaces an older one; removal leaves a link that points elsewhere alone.
  serial::CreatePortLink(m.roots.portsDir, 3, m.root.file("dev/ttyUSB0"));
  serial::RemovePortLink(m.roots.portsDir, 3, m.root.file("dev/pts7"));
  EXPECT_EQ(serial::DeviceForPort(3, m.roots), m.root.file("dev/ttyUSB0"));
  serial::RemovePortLink(m.roots.portsDir, 3, m.root.file("dev/ttyUSB0"));
  EXPECT_EQ(serial::DeviceForPort(3, m.roots), std::nullopt);
  EXPECT_THROW(serial::CreatePortLink(m.roots.portsDir, 0, "/dev/null"), std::runtime_error);
  // Only a dangling link is left (a simulator killed hard): the devices present are the ports.
  EXPECT_EQ(serial::EnumeratePorts(m.roots), (std::vector<serial::PortEntry>{{12, m.root.file("dev/ttyUSB0")}}));
  fs::remove(m.root.file("ports/COM12"));
  EXPECT_EQ(serial::EnumeratePorts(m.roots), (std::vector<serial::PortEntry>{{1, m.root.file("dev/ttyUSB0")}}));
}

// A folder named for the run holds the only ports; the default folder does from its first link
// on: when COM1's link goes (the camera unplugged), COM1 is no port, never the machine's UART.
TEST(PortMap, APortWhoseLinkWentIsNoPortOnceTheFolderCounts) {
  struct Case {
    const char* what;
    bool named;        // ORVADEX_PORTS_DIR names the folder
    bool linkAtFirst;  // the folder held COM1's link when the run looked first
    bool devicesAfter;  // the machine's devices are the ports once the link is gone
  };
  for (const Case& c : {Case{"named, empty from the start", true, false, false},
                        Case{"named, the link went", true, true, false},
                        Case{"default, never a link", false, false, true},
                        Case{"default, the link went", false, true, false}}) {
    SCOPED_TRACE(c.what);
    FakeMachine m;
    m.uart(0, 4);
    m.node("pts3");
    std::atomic<bool> seen{false};
    m.roots.linksOnly = c.named;
    m.roots.linksSeen = &seen;
    if (c.linkAtFirst) {
      serial::CreatePortLink(m.roots.portsDir, 1, m.root.file("dev/pts3"));
      EXPECT_EQ(serial::DeviceForPort(1, m.roots), m.root.file("dev/pts3"));
      fs::remove(m.root.file("dev/pts3"));  // the pty went; its link dangles, then goes too
      EXPECT_EQ(serial::DeviceForPort(1, m.roots), std::nullopt);
      serial::RemovePortLink(m.roots.portsDir, 1, m.root.file("dev/pts3"));
    }
    const std::vector<serial::PortEntry> devices = {{1, m.root.file("dev/ttyS0")}};
    EXPECT_EQ(serial::EnumeratePorts(m.roots), c.devicesAfter ? devices : std::vector<serial::PortEntry>{});
  }
}

TEST(PortMap, PortsFolderFollowsTheEnvironment) {
  const char* old = std::getenv("ORVADEX_PORTS_DIR");
  std::string saved = old ? old : "";
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  std::string savedXdg = oldXdg ? oldXdg : "";
  ::setenv("ORVADEX_PORTS_DIR", "/some/where", 1);
  EXPECT_EQ(serial::PortsFolder(), "/some/where");
  ::unsetenv("ORVADEX_PORTS_DIR");
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(serial::PortsFolder(), "/cfg/orvadex/ports");
  ::unsetenv("XDG_CONFIG_HOME");
  if (old) ::setenv("ORVADEX_PORTS_DIR", saved.c_str(), 1);
  if (oldXdg) ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
}

}  // namespace
