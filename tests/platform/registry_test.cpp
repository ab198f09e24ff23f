#include "platform/registry/registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "tests/platform/temp_folder.h"

namespace {

using namespace registry;

TEST(Registry, SerialCommListsThePortsOfThePortsFolder) {
  testutil::TempFolder dir;
  std::filesystem::create_symlink("/dev/null", dir.file("com2"));
  std::filesystem::create_symlink("/dev/zero", dir.file("com10"));
  std::filesystem::create_symlink("/dev/null", dir.file("COM1"));
  dir.write("notes.txt", "");
  ::setenv("ORVADEX_PORTS_DIR", dir.path().c_str(), 1);
  HKEY key = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, key), ERROR_SUCCESS);
  std::vector<std::pair<std::string, std::string>> seen;
  std::string name, data;
  long type = 0;
  long index = 0;
  while (RegEnumValue(key, index, name, 80, type, data) == ERROR_SUCCESS) {
    EXPECT_EQ(type, REG_SZ);
    seen.emplace_back(name, data);
    ++index;
  }
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(seen, (std::vector<P>{{"\\Device\\Serial0", std::string("COM1\0", 5)},
                                  {"\\Device\\Serial1", std::string("COM2\0", 5)},
                                  {"\\Device\\Serial9", std::string("COM10\0", 6)}}));
  auto ports = SerialPorts();
  ASSERT_EQ(ports.size(), 3u);
  EXPECT_EQ(ports[2], (std::pair<int, std::string>{10, "/dev/zero"}));
  ::unsetenv("ORVADEX_PORTS_DIR");
}

TEST(Registry, UnknownKeysDoNotOpenAndOverridesDo) {
  HKEY key = 0;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nothing", 0, KEY_QUERY_VALUE, key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, key), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "software/microsoft/shared tools location", 0, KEY_ALL_ACCESS, key), ERROR_SUCCESS);
  long type = 0;
  std::string data;
  EXPECT_EQ(RegQueryValueEx(key, "MSINFO", type, data), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);

  testhooks::SetKey("SOFTWARE\\Test", {{"Number", REG_DWORD, std::string("\xff\xff\xff\xff", 4)}, {std::string(80, 'n'), REG_SZ, "x"}});
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\test", 0, KEY_QUERY_VALUE, key), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueEx(key, "number", type, data), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  std::string name;
  EXPECT_EQ(RegEnumValue(key, 1, name, 80, type, data), ERROR_MORE_DATA);
  EXPECT_EQ(RegEnumValue(key, 2, name, 80, type, data), ERROR_NO_MORE_ITEMS);
  RegCloseKey(key);
  testhooks::Reset();
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\test", 0, KEY_QUERY_VALUE, key), ERROR_FILE_NOT_FOUND);
}

}  // namespace
