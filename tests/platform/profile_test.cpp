#include "platform/profile/profile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/platform/temp_folder.h"

namespace {

using testutil::AsUnprivilegedUser;
using testutil::TempFolder;

struct ReadCase {
  const char* id;
  std::optional<std::string> file;  // nothing: no file
  const char* section;
  const char* key;
  const char* def;
  std::size_t size;
  std::size_t count;
  std::string expected;
};

std::string Get(const TempFolder& dir, const ReadCase& c) {
  char buffer[8192];
  std::memset(buffer, '#', sizeof buffer);
  std::size_t n = profile::GetPrivateProfileString(c.section, c.key, c.def, buffer, c.size, dir.file("t.ini"));
  EXPECT_EQ(n, c.count) << c.id;
  return std::string(buffer, n);
}

TEST(ProfileRead, BehavesAsTheWindowsReader) {
  const std::string longValue(5000, 'x');
  const ReadCase cases[] = {
      {"R01", "[s]\r\nk=v\r\n", "s", "k", "d", 64, 1, "v"},
      {"R02", std::nullopt, "s", "k", "dflt", 64, 4, "dflt"},
      {"R03", "[t]\r\nk=v\r\n", "s", "k", "d", 64, 1, "d"},
      {"R04", "[s]\r\nk=v\r\n", "s", "x", "d", 64, 1, "d"},
      {"R05", "[s]\r\n", "s", "x", "", 64, 0, ""},
      {"R06", "[s]\r\nk=\r\n", "s", "k", "d", 64, 0, ""},
      {"R07", "[s]\r\nk\r\n", "s", "k", "d", 64, 1, "d"},
      {"R08", "[s]\r\n  k  =  v  \r\n", "s", "k", "d", 64, 1, "v"},
      {"R09", "[s]\r\n\tk\t=\tv w\t\r\n", "s", "k", "d", 64, 3, "v w"},
      {"R10", "[SeC]\r\nKeY=v\r\n", "sec", "key", "d", 64, 1, "v"},
      {"R11", "[s]\r\nk=v\r\n", " s ", " k ", "d", 64, 1, "v"},
      {"R12", "[s]\r\nk=\"v\"\r\n", "s", "k", "d", 64, 1, "v"},
      {"R13", "[s]\r\nk=\"  v  \"\r\n", "s", "k", "d", 64, 5, "  v  "},
      {"R14", "[s]\r\nk=\"v\r\n", "s", "k", "d", 64, 2, "\"v"},
      {"R15", "[s]\r\nk=v\"\r\n", "s", "k", "d", 64, 2, "v\""},
      {"R16", "[s]\r\nk='v'\r\n", "s", "k", "d", 64, 1, "v"},
      {"R17", "[s]\r\nk=\"\"\r\n", "s", "k", "d", 64, 0, ""},
      {"R18", "[s]\r\nk=\"\r\n", "s", "k", "d", 64, 1, "\""},
      {"R19", "[s]\r\nk=\"a\"b\"\r\n", "s", "k", "d", 64, 3, "a\"b"},
      {"R20", "[s]\r\nk=v ; c\r\n", "s", "k", "d", 64, 5, "v ; c"},
      {"R21", "[s]\r\nk=a=b\r\n", "s", "k", "d", 64, 3, "a=b"},
      {"R22", "[s]\r\nmy key = v\r\n", "s", "my key", "d", 64, 1, "v"},
      {"R23", "[s]\nk=v\n", "s", "k", "d", 64, 1, "v"},
      {"R24", "[s]\rk=v\r", "s", "k", "d", 64, 1, "v"},
      {"R25", "[s]\r\nk=v", "s", "k", "d", 64, 1, "v"},
      {"R26", "[s]\r\n\r\n\r\nk=v\r\n", "s", "k", "d", 64, 1, "v"},
      {"R27", "[s]\r\nk=v\r\n\x1A", "s", "k", "d", 64, 1, "v"},
      {"R28", "\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k", "d", 64, 1, "v"},
      {"R29", "[ s ]\r\nk=v\r\n", "s", "k", "d", 64, 1, "v"},
      {"R30", "  [s]\r\nk=v\r\n", "s", "k", "d", 64, 1, "v"},
      {"R31", "[s] ; note\r\nk=v\r\n", "s", "k", "d", 64, 1, "v"},
      {"R32", "[a]b]\r\nk=v\r\n", "a]b", "k", "d", 64, 1, "v"},
      {"R33", "[my sec]\r\nk=v\r\n", "my sec", "k", "d", 64, 1, "v"},
      {"R34", "[s]\r\nk=1\r\n[t\r\nk=2\r\n", "s", "k", "d", 64, 1, "1"},
      {"R35", "[s]\r\nk=1\r\n[t\r\nk=2\r\n", "t", "k", "d", 64, 1, "d"},
      {"R36", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "d", 64, 1, "1"},
      {"R37", "[s]\r\na=1\r\n[t]\r\nx=0\r\n[s]\r\nb=2\r\n", "s", "b", "d", 64, 1, "d"},
      {"R38", "[s]\r\n;k=v\r\nk=w\r\n", "s", "k", "d", 64, 1, "w"},
      {"R39", "[s]\r\n#k=v\r\n", "s", "#k", "d", 64, 1, "v"},
      {"R40", "k=v\r\n[s]\r\n", "s", "k", "d", 64, 1, "d"},
      {"R41", "[s]\r\nk=" + longValue + "\r\n", "s", "k", "d", 6000, 5000, longValue},
      {"R42", "[s]\r\nk=   \r\n", "s", "k", "d", 64, 0, ""},
      {"B01", "[s]\r\nk=val1\r\n", "s", "k", "d", 4, 3, "val"},
      {"B02", "[s]\r\nk=val1\r\n", "s", "k", "d", 5, 4, "val1"},
      {"B03", "[s]\r\nk=val1\r\n", "s", "k", "d", 1, 0, ""},
      {"B05", "[s]\r\nk=v\r\n", "s", "k", "d", 2, 1, "v"},
      {"B06", "[s]\r\nk=\"val2\"\r\n", "s", "k", "d", 6, 4, "val2"},
      {"B07", "[s]\r\nk=\"val2\"\r\n", "s", "k", "d", 5, 4, "val2"},
      {"B08", "[s]\r\nk=v\r\n", "s", "x", "default  ", 64, 7, "default"},
      {"B09", "[s]\r\nk=v\r\n", "s", "x", "one two  ", 64, 7, "one two"},
      {"B11", "[s]\r\nk=v\r\n", "s", "x", "\"d\"", 64, 1, "d"},
      {"B12", "[s]\r\nk=v\r\n", "s", "x", "  d", 64, 3, "  d"},
      {"B13", "[s]\r\nk=v\r\n", "s", "x", "   ", 64, 0, ""},
      {"UTF16", std::string("\xFF\xFE[\0s\0]\0", 8), "s", "k", "d", 64, 1, "d"},
  };
  for (const ReadCase& c : cases) {
    TempFolder dir;
    if (c.file) dir.write("t.ini", *c.file);
    EXPECT_EQ(Get(dir, c), c.expected) << c.id;
  }
}

TEST(ProfileRead, SizeZeroLeavesTheBufferAndFolderIsNoFile) {
  TempFolder dir;
  dir.write("t.ini", "[s]\r\nk=val1\r\n");
  char buffer[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(profile::GetPrivateProfileString("s", "k", "d", buffer, 0, dir.file("t.ini")), 0u);
  EXPECT_EQ(std::string(buffer, 4), "abcd");
  char out[16];
  EXPECT_EQ(profile::GetPrivateProfileString("s", "k", "d", out, sizeof out, dir.path()), 1u);
  EXPECT_STREQ(out, "d");
}

TEST(ProfileRead, SeesChangesAndDeletionByOthers) {
  TempFolder dir;
  char out[16];
  dir.write("t.ini", "[s]\r\nk=1\r\n");
  profile::GetPrivateProfileString("s", "k", "d", out, sizeof out, dir.file("t.ini"));
  EXPECT_STREQ(out, "1");
  dir.write("t.ini", "[s]\r\nk=2\r\n");
  profile::GetPrivateProfileString("s", "k", "d", out, sizeof out, dir.file("t.ini"));
  EXPECT_STREQ(out, "2");
  std::filesystem::remove(dir.file("t.ini"));
  profile::GetPrivateProfileString("s", "k", "d", out, sizeof out, dir.file("t.ini"));
  EXPECT_STREQ(out, "d");
}

struct WriteCase {
  const char* id;
  std::optional<std::string> before;
  const char* section;
  const char* key;
  std::string value;
  int result;
  std::string after;
};

TEST(ProfileWrite, EditsInPlaceAndKeepsEveryOtherLine) {
  const WriteCase cases[] = {
      {"W01", std::nullopt, "s", "k", "v", 1, "[s]\r\nk=v\r\n"},
      {"W02", "[App1]\r\nkey1=string1\r\n", "App1", "key2", "string2", 1, "[App1]\r\nkey1=string1\r\nkey2=string2\r\n"},
      {"W03", "[App1]\r\nkey1=string1\r\n", "App2", "key4", "string4", 1, "[App1]\r\nkey1=string1\r\n[App2]\r\nkey4=string4\r\n"},
      {"W04", "[a]\r\nx=1", "b", "y", "2", 1, "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
      {"W05", std::nullopt, "s", "k", "", 1, "[s]\r\nk=\r\n"},
      {"W06", "[s]\r\nk=old\r\n", "s", "k", "new", 1, "[s]\r\nk=new\r\n"},
      {"W07", "[S]\r\nKey=old\r\n", "s", "key", "new", 1, "[S]\r\nKey=new\r\n"},
      {"W08", "[s]\r\n  k  =  old  \r\n", "s", "k", "new", 1, "[s]\r\nk=new\r\n"},
      {"W09", "[SECT]\r\n", "sect", "k", "v", 1, "[SECT]\r\nk=v\r\n"},
      {"W10", std::nullopt, "New Sec", "My Key", "v", 1, "[New Sec]\r\nMy Key=v\r\n"},
      {"W11", std::nullopt, "s", "k", "  v  ", 1, "[s]\r\nk=v  \r\n"},
      {"W12", "[s]\r\nk\r\n", "s", "k", "v", 1, "[s]\r\nk=v\r\n"},
      {"W13", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "3", 1, "[s]\r\nk=3\r\nk=2\r\n"},
      {"W14", "[s]\r\na=1\r\n[t]\r\n[s]\r\nb=2\r\n", "s", "c", "3", 1, "[s]\r\na=1\r\nc=3\r\n[t]\r\n[s]\r\nb=2\r\n"},
      {"W15", "[s]\r\n; note\r\nk=1\r\n", "s", "k", "2", 1, "[s]\r\n; note\r\nk=2\r\n"},
      {"W16", "[s]\r\n; a = b\r\nk=1\r\n", "s", "k", "2", 1, "[s]\r\n; a = b\r\nk=2\r\n"},
      {"W17", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "a", "z", "3", 1, "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n"},
      {"W18", "[a]\r\nx=1\r\n;end\r\n[b]\r\n", "a", "z", "3", 1, "[a]\r\nx=1\r\n;end\r\nz=3\r\n[b]\r\n"},
      {"W19", "[a]\r\nx=1\r\n\r\n", "b", "y", "2", 1, "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n"},
      {"W20", "[s]\nk=1\n", "s", "k", "2", 1, "[s]\nk=2\n"},
      {"W21", "[s] ; c\r\n  k = 1 ; c2\r\n", "s", "k", "2", 1, "[s] ; c\r\nk=2\r\n"},
      {"W22", "\r\n\r\n[s]\r\nk=1\r\n", "s", "k", "2", 1, "\r\n\r\n[s]\r\nk=2\r\n"},
      {"W23", "junk line\r\n[s]\r\nk=1\r\n", "s", "k", "2", 1, "junk line\r\n[s]\r\nk=2\r\n"},
      {"W24", "", "s", "k", "v", 1, "[s]\r\nk=v\r\n"},
      {"W25", "\xEF\xBB\xBF[s]\r\nk=1\r\n", "s", "k", "2", 1, "\xEF\xBB\xBF[s]\r\nk=2\r\n"},
      {"W26", "[s]\r\nk=1\r\n", "s", "k", "1", 1, "[s]\r\nk=1\r\n"},
      {"W27", "[s]\r\nk=1\r\n", " s ", " k ", "2", 1, "[s]\r\nk=2\r\n"},
      {"W28", "[s]\r\nk=1\r\n", "s", "new ", "2", 1, "[s]\r\nk=1\r\nnew=2\r\n"},
      {"W29", std::nullopt, "s", "k", "\"x\"", 1, "[s]\r\nk=\"x\"\r\n"},
      {"W30", "[s]\r\nk=1\r\n", "s", "k", "a\r\nb=c", 0, "[s]\r\nk=1\r\n"},
      {"NUL before the first section", std::string("\0\0x\r\n[s]\r\nk=1\r\n", 15), "s", "k", "2", 1,
       std::string("\0\0x\r\n[s]\r\nk=2\r\n", 15)},
      {"new key after a last line without line end", "[s]\r\na=1", "s", "b", "2", 1, "[s]\r\na=1\r\nb=2\r\n"},
      {"value with NUL refused", "[s]\r\nk=1\r\n", "s", "k", std::string("a\0b", 3), 0, "[s]\r\nk=1\r\n"},
      {"UTF-16 file refused", std::string("\xFF\xFE[\0", 4), "s", "k", "v", 0, std::string("\xFF\xFE[\0", 4)},
  };
  for (const WriteCase& c : cases) {
    TempFolder dir;
    if (c.before) dir.write("t.ini", *c.before);
    EXPECT_EQ(profile::WritePrivateProfileString(c.section, c.key, c.value, dir.file("t.ini")), c.result) << c.id;
    EXPECT_EQ(dir.read("t.ini"), c.after) << c.id;
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), c.before || c.result ? 1 : 0) << c.id;
  }
}

TEST(ProfileWrite, WrittenValuesReadBack) {
  TempFolder dir;
  const std::string f = dir.file("t.ini");
  ASSERT_TRUE(profile::WritePrivateProfileString("s", "k", "\"x\"", f));
  ASSERT_TRUE(profile::WritePrivateProfileString("S", "K2", "  v  ", f));
  ASSERT_TRUE(profile::WritePrivateProfileString("other", "k", "o", f));
  char out[32];
  profile::GetPrivateProfileString("s", "k", "d", out, sizeof out, f);
  EXPECT_STREQ(out, "x");
  profile::GetPrivateProfileString("s", "k2", "d", out, sizeof out, f);
  EXPECT_STREQ(out, "v");
  profile::GetPrivateProfileString("OTHER", "K", "d", out, sizeof out, f);
  EXPECT_STREQ(out, "o");
}

TEST(ProfileWrite, FailuresLeaveNothingBehind) {
  TempFolder dir;
  EXPECT_EQ(profile::WritePrivateProfileString("s", "k", "v", ""), 0);
  EXPECT_EQ(profile::WritePrivateProfileString("s", "k", "v", dir.file("missing/x.ini")), 0);
  EXPECT_FALSE(dir.exists("missing"));
  EXPECT_EQ(profile::WritePrivateProfileString("s", "k=x", "v", dir.file("t.ini")), 0);
  EXPECT_FALSE(dir.exists("t.ini"));
  std::filesystem::create_directory(dir.file("sub"));
  EXPECT_EQ(profile::WritePrivateProfileString("s", "k", "v", dir.file("sub")), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("sub")));
}

// A file without write permission is left alone, also when the program runs as root; a file
// that may be written is written even in a folder that takes no new file (in place then).
TEST(ProfileWrite, ReadOnlyFilesStayAndWritableFilesAreWrittenInAnyFolder) {
  TempFolder dir;
  dir.write("ro.ini", "[s]\r\nk=1\r\n");
  ::chmod(dir.file("ro.ini").c_str(), 0444);
  EXPECT_EQ(profile::WritePrivateProfileString("s", "k", "2", dir.file("ro.ini")), 0);
  EXPECT_EQ(dir.read("ro.ini"), "[s]\r\nk=1\r\n");

  std::filesystem::create_directory(dir.file("locked"));
  dir.write("locked/t.ini", "[s]\r\nk=1\r\nlong=" + std::string(100, 'x') + "\r\n");
  dir.write("locked/ro.ini", "[s]\r\nk=1\r\n");
  ::chmod(dir.file("locked/ro.ini").c_str(), 0444);
  const std::string failure = AsUnprivilegedUser(dir.path(), [&]() -> std::string {
    ::chmod(dir.file("locked").c_str(), 0555);
    if (profile::WritePrivateProfileString("s", "k", "22", dir.file("locked/t.ini")) != 1) return "not written";
    if (profile::WritePrivateProfileString("s", "long", "y", dir.file("locked/t.ini")) != 1) return "not shortened";
    if (dir.read("locked/t.ini") != "[s]\r\nk=22\r\nlong=y\r\n") return "in place: " + dir.read("locked/t.ini");
    if (profile::WritePrivateProfileString("s", "k", "2", dir.file("locked/ro.ini")) != 0) return "read-only written";
    if (profile::WritePrivateProfileString("s", "k", "2", dir.file("locked/new.ini")) != 0) return "new file made";
    return "";
  });
  EXPECT_EQ(failure, "");
  EXPECT_EQ(dir.read("locked/ro.ini"), "[s]\r\nk=1\r\n");
  EXPECT_FALSE(dir.exists("locked/new.ini"));
}

TEST(ProfileWrite, KeepsModeAndReplacesTheTargetOfALink) {
  TempFolder dir;
  dir.write("real.ini", "[s]\r\nk=1\r\n");
  ::chmod(dir.file("real.ini").c_str(), 0640);
  std::filesystem::create_symlink("real.ini", dir.file("link.ini"));
  ASSERT_EQ(profile::WritePrivateProfileString("s", "k", "2", dir.file("link.ini")), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.ini")));
  EXPECT_EQ(dir.read("real.ini"), "[s]\r\nk=2\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("real.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// A write that cannot be completed (here the file-size limit stands in for a full disk)
// leaves the old file whole.
TEST(ProfileWrite, FullDiskKeepsTheOldFile) {
  TempFolder dir;
  std::string before = "[s]\r\nk=1\r\n";
  dir.write("t.ini", before);
  const std::string bigValue(8192, 'v');
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {1024, 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    int r = profile::WritePrivateProfileString("s", "k", bigValue, dir.file("t.ini"));
    ::_exit(r == 0 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write reported success";
  EXPECT_EQ(dir.read("t.ini"), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A writer killed at any moment leaves either the old or the new file, never a part.
TEST(ProfileWrite, KilledWriterLeavesAWholeFile) {
  TempFolder dir;
  std::string content = "[s]\r\n";
  for (int i = 0; i < 2000; ++i) content += "key" + std::to_string(i) + "=" + std::string(40, 'a') + "\r\n";
  dir.write("t.ini", content);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    for (int i = 0;; ++i) profile::WritePrivateProfileString("s", "key0", i % 2 ? "odd" : "even", dir.file("t.ini"));
  }
  ::usleep(200000);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  std::string after = dir.read("t.ini");
  ASSERT_EQ(after.size() > 100, true);
  std::string tail = content.substr(content.find("\r\nkey1=") );
  EXPECT_TRUE(after == "[s]\r\nkey0=odd" + tail || after == "[s]\r\nkey0=even" + tail || after == content);
}

}  // namespace
