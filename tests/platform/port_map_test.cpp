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
  EXPECT_EQ(serial::EnumeratePorts(m.roots), (std::vector<serial::PortEntry>{{12, m.root.file("dev/ttyUSB0")}}));
  // Without a link to a device present, the devices present are the ports, numbered past the
  // numbers that have been links.
  fs::remove(m.root.file("ports/COM12"));
  EXPECT_EQ(serial::EnumeratePorts(m.roots), (std::vector<serial::PortEntry>{{1, m.root.file("dev/ttyUSB0")}}));
  EXPECT_EQ(m.root.read("ports/linked-numbers"), "3\n4\n12\n");
}

// A folder named for the run holds the only ports. In the default folder a number that has
// named a link is a link's in every later run (the map keeps nothing in the process: each look
// is a start of its own): when COM1's link went (the camera unplugged, camsim ended) or points
// at nothing, COM1 is no port, never the machine's UART, and the devices take the numbers no
// link has held.
TEST(PortMap, ANumberThatNamedALinkNeverBecomesADeviceOfTheMachine) {
  enum class Link { None, Went, PointsAtNothing };
  struct Case {
    const char* what;
    bool named;             // ORVADEX_PORTS_DIR names the folder
    Link link;              // COM1's link at the first start
    const char* record;     // the folder's record before it (nullptr: none; "-": no folder)
    std::vector<int> then;  // the numbers of ttyS0 and ttyUSB0 at the next start
  };
  for (const Case& c : {Case{"named, empty from the start", true, Link::None, nullptr, {}},
                        Case{"named, the link went", true, Link::Went, nullptr, {}},
                        Case{"default, never a link", false, Link::None, nullptr, {1, 2}},
                        Case{"default, no folder", false, Link::None, "-", {1, 2}},
                        Case{"default, the link went", false, Link::Went, nullptr, {2, 3}},
                        Case{"default, the link points at nothing", false, Link::PointsAtNothing, nullptr, {2, 3}},
                        Case{"default, an earlier run's record", false, Link::None, "3\nx\n0\n300\n01\n\n1\r\n", {2, 4}}}) {
    SCOPED_TRACE(c.what);
    FakeMachine m;
    m.uart(0, 4);
    m.node("ttyUSB0");
    m.node("pts3");
    m.roots.linksOnly = c.named;
    if (c.record && std::string(c.record) == "-") fs::remove(m.roots.portsDir);
    else if (c.record) m.root.write("ports/linked-numbers", c.record);
    if (c.link == Link::Went) {
      serial::CreatePortLink(m.roots.portsDir, 1, m.root.file("dev/pts3"));
      EXPECT_EQ(serial::DeviceForPort(1, m.roots), m.root.file("dev/pts3"));
      fs::remove(m.root.file("dev/pts3"));  // the pty went; its link dangles, then goes too
      EXPECT_EQ(serial::DeviceForPort(1, m.roots), std::nullopt);
      serial::RemovePortLink(m.roots.portsDir, 1, m.root.file("dev/pts3"));
    } else if (c.link == Link::PointsAtNothing) {
      ASSERT_EQ(::symlink(m.root.file("dev/gone").c_str(), m.root.file("ports/com1").c_str()), 0);
      EXPECT_EQ(serial::DeviceForPort(1, m.roots), std::nullopt);  // and stays so at the next start
    }
    std::vector<serial::PortEntry> then;
    for (size_t i = 0; i < c.then.size(); ++i) then.push_back({c.then[i], m.root.file(i == 0 ? "dev/ttyS0" : "dev/ttyUSB0")});
    EXPECT_EQ(serial::EnumeratePorts(m.roots), then);
    EXPECT_EQ(serial::DeviceForPort(1, m.roots), c.then.empty() || c.then[0] != 1 ? std::nullopt : std::optional(m.root.file("dev/ttyS0")));
    EXPECT_EQ(fs::exists(m.root.file("ports/linked-numbers")), (c.link != Link::None && !c.named) || (c.record && *c.record != '-'));
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
