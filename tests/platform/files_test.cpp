#include "platform/fs/files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/vb/error.h"
#include "tests/platform/temp_folder.h"

namespace {

using testutil::TempFolder;

long ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const vb::Error& e) {
    return e.Number();
  }
  return 0;
}

std::vector<std::string> Fields(const std::string& content, int count) {
  TempFolder dir;
  dir.write("f.txt", content);
  files::InputFile in(dir.file("f.txt"));
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back(in.Input());
  return out;
}

TEST(InputFile, ReadsFieldsByCommasLineEndsAndQuotes) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Fields("\"KRV File\",4000\r\n\"Ver\",3,5\r\n", 5), (V{"KRV File", "4000", "Ver", "3", "5"}));
  EXPECT_EQ(Fields("\"a,b\",c\n  d  ,e\r", 4), (V{"a,b", "c", "d", "e"}));
  EXPECT_EQ(Fields("\"x\" junk,y\r\n", 2), (V{"x", "y"}));
  EXPECT_EQ(Fields("1,,2\r\n\r\n3", 5), (V{"1", "", "2", "", "3"}));
  EXPECT_EQ(Fields("\"1,2\"\"X\"\r\n", 2), (V{"1,2", "X"}));
  EXPECT_EQ(Fields("-1", 1), (V{"-1"}));
  EXPECT_EQ(Fields("\"open to the end", 1), (V{"open to the end"}));
}

TEST(InputFile, EndOfFileIsError62AfterTheLastLine) {
  TempFolder dir;
  dir.write("f.txt", "a,b\r\n");
  files::InputFile in(dir.file("f.txt"));
  EXPECT_FALSE(in.Eof());
  EXPECT_EQ(in.Input(), "a");
  EXPECT_EQ(in.Input(), "b");
  EXPECT_TRUE(in.Eof());
  EXPECT_EQ(ErrorOf([&] { in.Input(); }), 62);
  dir.write("empty.txt", "");
  files::InputFile empty(dir.file("empty.txt"));
  EXPECT_TRUE(empty.Eof());
  EXPECT_EQ(ErrorOf([&] { empty.Input(); }), 62);
}

TEST(InputFile, OpenFailuresCarryTheRunTimeNumbers) {
  TempFolder dir;
  EXPECT_EQ(ErrorOf([&] { files::InputFile in(dir.file("none.txt")); }), 53);
  EXPECT_EQ(ErrorOf([&] { files::InputFile in(dir.file("nofolder/none.txt")); }), 76);
  EXPECT_EQ(ErrorOf([&] { files::InputFile in(dir.path()); }), 75);
  EXPECT_EQ(ErrorOf([&] { files::ReadAll(dir.file("none.txt")); }), 53);
  dir.write("raw.txt", std::string("a\r\nb\0c\x1a", 7));
  EXPECT_EQ(files::ReadAll(dir.file("raw.txt")), std::string("a\r\nb\0c\x1a", 7));
}

TEST(AppendLine, AppendsWithCrLfAndCreatesTheFile) {
  TempFolder dir;
  files::AppendLine(dir.file("log.LOG"), "first");
  files::AppendLine(dir.file("log.LOG"), "");
  files::AppendLine(dir.file("log.LOG"), "third");
  EXPECT_EQ(dir.read("log.LOG"), "first\r\n\r\nthird\r\n");
  EXPECT_EQ(ErrorOf([&] { files::AppendLine(dir.file("no/log.LOG"), "x"); }), 76);
  EXPECT_EQ(ErrorOf([&] { files::AppendLine(dir.path(), "x"); }), 75);
}

TEST(Kill, DeletesByNameAndWildcards) {
  TempFolder dir;
  dir.write("a.LOG", "");
  dir.write("b.log", "");
  dir.write("c.txt", "");
  dir.write(".hidden.log", "");
  std::filesystem::create_directory(dir.file("d.log"));
  files::Kill(dir.file("*.log"));
  EXPECT_FALSE(dir.exists("a.LOG"));
  EXPECT_FALSE(dir.exists("b.log"));
  EXPECT_TRUE(dir.exists("c.txt"));
  EXPECT_TRUE(dir.exists(".hidden.log"));
  EXPECT_TRUE(dir.exists("d.log"));
  EXPECT_EQ(ErrorOf([&] { files::Kill(dir.file("*.log")); }), 53);
  EXPECT_EQ(ErrorOf([&] { files::Kill(dir.file("none.txt")); }), 53);
  EXPECT_EQ(ErrorOf([&] { files::Kill(dir.file("d.log")); }), 53);
  EXPECT_EQ(ErrorOf([&] { files::Kill(dir.file("no/x.txt")); }), 76);
  files::Kill(dir.file("c.tx?"));
  EXPECT_FALSE(dir.exists("c.txt"));
  dir.write("e", "");
  files::Kill(dir.file("*.*"));
  EXPECT_FALSE(dir.exists("e"));
}

TEST(ListFiles, OrdinaryFilesOnly) {
  TempFolder dir;
  dir.write("one.CFG", "");
  dir.write("two.cfg", "");
  dir.write(".hidden", "");
  std::filesystem::create_directory(dir.file("sub"));
  auto names = files::ListFiles(dir.path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"one.CFG", "two.cfg"}));
  EXPECT_TRUE(files::ListFiles(dir.file("missing")).empty());
  EXPECT_TRUE(files::FileExists(dir.file("one.CFG")));
  EXPECT_FALSE(files::FileExists(dir.file("sub")));
  EXPECT_FALSE(files::FileExists(dir.file("none")));
}

TEST(Like, PatternRules) {
  struct C {
    const char* text;
    const char* pattern;
    bool ignoreCase;
    bool match;
  } cases[] = {
      {"cable2N10.cfg", "cable2N*.cfg", false, true},
      {"CABLE2N10.CFG", "cable2n*.cfg", true, true},
      {"CABLE2N10.CFG", "cable2n*.cfg", false, false},
      {"a1", "a#", false, true},
      {"ab", "a#", false, false},
      {"abc", "a?c", false, true},
      {"ac", "a?c", false, false},
      {"b", "[a-c]", false, true},
      {"B", "[a-c]", true, true},
      {"d", "[a-c]", false, false},
      {"d", "[!a-c]", false, true},
      {"*", "[*]", false, true},
      {"x", "[*]", false, false},
      {"-", "[a-]", false, true},
      {"", "*", false, true},
      {"abc", "*c", false, true},
      {"abcabd", "*ab?", false, true},
      {"abc", "ab", false, false},
      {"#", "[#]", false, true},
      {"[", "[[]", false, true},
  };
  for (const C& c : cases) EXPECT_EQ(files::Like(c.text, c.pattern, c.ignoreCase), c.match) << c.text << " " << c.pattern;
  EXPECT_EQ(ErrorOf([] { files::Like("a", "[z-a]", false); }), 93);
  EXPECT_EQ(ErrorOf([] { files::Like("a", "[ab", false); }), 93);
}

}  // namespace
