#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "core/common_helpers.h"
#include "core/registry_enum.h"
#include "platform/forms/forms.h"
#include "platform/registry/registry.h"
#include "tests/core/core_fixture.h"

namespace {

using Helpers = testutil::CoreTest;
using namespace mdlCommon;

// What the helpers add to the profile functions (tested with them): a value of at most 1023
// characters without blanks around it, and the writer's result.
TEST_F(Helpers, ProfileHelpersReadIntoTheirBufferAndPassTheWritersResult) {
  const std::string f = dir.file("p.ini");
  dir.write("p.ini", "[Comm]\r\nPortNo =   3   \r\nLong=" + std::string(2000, 'x') + "\r\n");
  EXPECT_EQ(GetPrivateProfileString("comm", "portno", "0", f), "3");
  EXPECT_EQ(GetPrivateProfileString("Comm", "Long", "", f), std::string(1023, 'x'));
  EXPECT_EQ(WritePrivateProfileString("Comm", "PortNo", "4", f), 1);
  EXPECT_EQ(WritePrivateProfileString("Comm", "PortNo", "4", dir.file("no/p.ini")), 0);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Helpers, NameSplittingTakesTheLastSeparatorAnywhere) {
  struct C {
    const char* path;
    const char* noExt;
    const char* ext;
    const char* only;
  } cases[] = {
      {"/a/b/file.KRV", "/a/b/file", "KRV", "file.KRV"},
      {"/a/v1.2/file", "/a/v1", "2/file", "file"},
      {"name.", "name", "", "name."},
      {"plain", "plain", "", "plain"},
      {"tool.old.exe", "tool.old", "exe", "tool.old.exe"},
      {"", "", "", ""},
  };
  for (const C& c : cases) {
    EXPECT_EQ(GetNoneExtFileName(c.path), c.noExt) << c.path;
    EXPECT_EQ(GetExt(c.path), c.ext) << c.path;
    EXPECT_EQ(GetOnlyFileName(c.path), c.only) << c.path;
  }
}

TEST_F(Helpers, DeleteFileTakesAMissingFileAsDeleted) {
  dir.write("orvadex.LOG", "x");
  EXPECT_TRUE(gblnDeleteFile(dir.file("orvadex.LOG")));
  EXPECT_FALSE(dir.exists("orvadex.LOG"));
  EXPECT_TRUE(gblnDeleteFile(dir.file("orvadex.LOG")));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_FALSE(dir.exists("orvadex.ERR"));
  // Any other failure is reported.
  EXPECT_FALSE(gblnDeleteFile(dir.file("missing/x.LOG")));
  EXPECT_EQ(ErrorLogLines(), (std::vector<std::string>{"mdlCommon.gblnDeleteFile\t76\tPath not found"}));
}

TEST_F(Helpers, ChkFileExistReportsOnlyRealFailures) {
  dir.write("orvadex.chm", "");
  EXPECT_TRUE(gblnChkFileExist(dir.file("orvadex.chm")));
  EXPECT_FALSE(gblnChkFileExist(dir.file("none.chm")));
  EXPECT_FALSE(gblnChkFileExist(dir.file("none/none.chm")));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_FALSE(gblnChkFileExist(dir.path()));
  EXPECT_EQ(ErrorLogLines(), (std::vector<std::string>{"mdlCommon.gblnChkFileExist\t75\tPath/File access error"}));
}

TEST_F(Helpers, FileSearchMatchesPatternsIgnoringCase) {
  std::filesystem::create_directory(dir.file("cfg"));
  dir.write("cfg/CABLE1N100.CFG", "");
  dir.write("cfg/cable1N200.cfg", "");
  dir.write("cfg/cable1P100.CFG", "");
  dir.write("cfg/readme.txt", "");
  std::filesystem::create_directory(dir.file("cfg/cable1Nsub"));
  std::vector<std::string> with = {"kept"};
  std::vector<std::string> without;
  ASSERT_TRUE(gFileSearch(with, dir.file("cfg/"), "cable1n*.cfg"));
  ASSERT_TRUE(gFileSearch(without, dir.file("cfg"), "cable1n*.cfg"));
  std::sort(with.begin(), with.end());
  std::sort(without.begin(), without.end());
  const std::vector<std::string> expected = {dir.file("cfg/CABLE1N100.CFG"), dir.file("cfg/cable1N200.cfg")};
  EXPECT_EQ(without, expected);
  EXPECT_EQ(with, (std::vector<std::string>{dir.file("cfg/CABLE1N100.CFG"), dir.file("cfg/cable1N200.cfg"), "kept"}));
  std::vector<std::string> all;
  ASSERT_TRUE(gFileSearch(all, dir.file("cfg"), ""));
  EXPECT_EQ(all.size(), 4u);
  std::vector<std::string> digits;
  ASSERT_TRUE(gFileSearch(digits, dir.file("cfg"), "cable#[np]###.cfg"));
  EXPECT_EQ(digits.size(), 3u);
  std::vector<std::string> bad;
  EXPECT_FALSE(gFileSearch(bad, dir.file("cfg"), "[z-a]*"));
  EXPECT_EQ(host.boxes.size(), 1u);
}

TEST_F(Helpers, LockStyleOnlyAddsBits) {
  forms::Form form("frmLockStyle", forms::Form::NoLayout);
  form.Load();
  forms::TextBox txt(&form, "txtData");
  txt.WindowStyle(0x1);
  ASSERT_TRUE(gblnTextBox_LockStyle(txt, 0x2000));
  EXPECT_EQ(txt.WindowStyle(), 0x2001);
  ASSERT_TRUE(gblnTextBox_LockStyle(txt, 0));
  EXPECT_EQ(txt.WindowStyle(), 0x2001);
}

TEST_F(Helpers, RegistryEnumerationFillsBothArrays) {
  using registry::Value;
  registry::testhooks::SetKey("SOFTWARE\\Numbers", {{"A", registry::REG_DWORD, std::string("\xff\xff\xff\xff", 4)},
                                                   {"B", registry::REG_DWORD, std::string("\xff\xff\xff\xff", 4)},
                                                   {"Raw", registry::REG_BINARY, std::string("a\0b", 3)},
                                                   {"Text", registry::REG_SZ, std::string("COM3\0junk", 9)},
                                                   {"Other", 7, "x"}});
  registry::testhooks::SetKey("SOFTWARE\\Empty", {});
  EXPECT_EQ(mdlRegistry::glngGetRegEnum(registry::HKEY_LOCAL_MACHINE, "SOFTWARE\\Numbers"), 5);
  EXPECT_EQ(gstrRegEnumName, (std::vector<std::string>{"A", "B", "Raw", "Text", "Other"}));
  EXPECT_EQ(gstrRegEnumData, (std::vector<std::string>{"4294967295", "4294967295", std::string("a\0b", 3), "COM3", ""}));
  EXPECT_EQ(mdlRegistry::glngGetRegEnum(registry::HKEY_LOCAL_MACHINE, "SOFTWARE\\Empty"), 0);
  EXPECT_EQ(gstrRegEnumData.size(), 5u);
  EXPECT_EQ(mdlRegistry::glngGetRegEnum(registry::HKEY_LOCAL_MACHINE, "SOFTWARE\\Missing"), -1);
  EXPECT_EQ(gstrRegEnumData.size(), 5u);
  // A name of 80 characters or more ends the enumeration.
  registry::testhooks::SetKey("SOFTWARE\\Long", {{"One", registry::REG_SZ, std::string("1\0", 2)},
                                                {std::string(80, 'n'), registry::REG_SZ, std::string("2\0", 2)}});
  EXPECT_EQ(mdlRegistry::glngGetRegEnum(registry::HKEY_LOCAL_MACHINE, "SOFTWARE\\Long"), 1);
  EXPECT_EQ(gstrRegEnumData, (std::vector<std::string>{"1"}));
  registry::testhooks::Reset();
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(mdlRegistry::strRemoveNull(std::string("ab\0c", 4)), "ab");
  EXPECT_EQ(mdlRegistry::strRemoveNull("abc"), "abc");
}

TEST_F(Helpers, SerialPortsOfThePortMapReachTheEnumeration) {
  testutil::TempFolder ports;
  std::filesystem::create_symlink("/dev/null", ports.file("com3"));
  std::filesystem::create_symlink("/dev/null", ports.file("com1"));
  ::setenv("ORVADEX_PORTS_DIR", ports.path().c_str(), 1);
  EXPECT_EQ(mdlRegistry::glngGetRegEnum(registry::HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM"), 2);
  ::unsetenv("ORVADEX_PORTS_DIR");
  EXPECT_EQ(gstrRegEnumData, (std::vector<std::string>{"COM1", "COM3"}));
  EXPECT_EQ(gstrRegEnumName, (std::vector<std::string>{"\\Device\\Serial0", "\\Device\\Serial2"}));
}

}  // namespace
