#include <gtest/gtest.h>

#include <functional>

#include "platform/vb/vb.h"

namespace {

long ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const vb::Error& e) {
    return e.Number();
  }
  return 0;
}

// "カメラ設定" is five characters of three bytes each.
const std::string kJapanese = "カメラ設定";

TEST(VbStrings, LeftRightMidCountCharactersAndRejectBadArguments) {
  EXPECT_EQ(vb::Left("abc", 2), "ab");
  EXPECT_EQ(vb::Left("abc", 0), "");
  EXPECT_EQ(vb::Left("abc", 10), "abc");
  EXPECT_EQ(vb::Right("abc", 2), "bc");
  EXPECT_EQ(vb::Right("abc", 10), "abc");
  EXPECT_EQ(vb::Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(vb::Mid("abcdef", 4), "def");
  EXPECT_EQ(vb::Mid("abc", 5), "");
  EXPECT_EQ(vb::Mid("abc", 2, 100), "bc");
  EXPECT_EQ(vb::Right("00" + vb::Hex(0x1F), 2), "1F");

  EXPECT_EQ(vb::Len(kJapanese), 5);
  EXPECT_EQ(vb::Left(kJapanese, 3), "カメラ");
  EXPECT_EQ(vb::Right(kJapanese, 2), "設定");
  EXPECT_EQ(vb::Mid(kJapanese, 4, 1), "設");
  EXPECT_EQ(vb::Len("a\xFF" "b"), 3);  // a stray byte is one character
  EXPECT_EQ(vb::Len("\xE3\x82"), 2);    // a cut sequence: two stray bytes

  EXPECT_EQ(ErrorOf([] { vb::Left("abc", -1); }), 5);
  EXPECT_EQ(ErrorOf([] { vb::Right("abc", -1); }), 5);
  EXPECT_EQ(ErrorOf([] { vb::Mid("abc", 0); }), 5);
  EXPECT_EQ(ErrorOf([] { vb::Mid("abc", 1, -1); }), 5);
  EXPECT_EQ(ErrorOf([] { vb::Mid("abc", -3, 1); }), 5);
}

TEST(VbStrings, InStrAndInStrRev) {
  EXPECT_EQ(vb::InStr("abcabc", "c"), 3);
  EXPECT_EQ(vb::InStr(4, "abcabc", "c"), 6);
  EXPECT_EQ(vb::InStr("abc", "x"), 0);
  EXPECT_EQ(vb::InStr("abc", ""), 1);
  EXPECT_EQ(vb::InStr("", ""), 0);
  EXPECT_EQ(vb::InStr(2, "abc", ""), 2);
  EXPECT_EQ(vb::InStr(9, "abc", "a"), 0);
  EXPECT_EQ(vb::InStr(kJapanese, "設定"), 4);
  EXPECT_EQ(vb::InStr(2, "2024/05/01 09:30:00,30", "/"), 5);
  EXPECT_EQ(ErrorOf([] { vb::InStr(0, "abc", "a"); }), 5);

  EXPECT_EQ(vb::InStrRev("a/b/c", "/"), 4);
  EXPECT_EQ(vb::InStrRev("a/b/c", "/", 3), 2);
  EXPECT_EQ(vb::InStrRev("abc", "x"), 0);
  EXPECT_EQ(vb::InStrRev("abc", ""), 3);
  EXPECT_EQ(vb::InStrRev(kJapanese + "/x", "/"), 6);
  EXPECT_EQ(ErrorOf([] { vb::InStrRev("abc", "a", 0); }), 5);
}

TEST(VbStrings, TrimCaseAndCharacters) {
  EXPECT_EQ(vb::Trim("  a b  "), "a b");
  EXPECT_EQ(vb::LTrim("  a "), "a ");
  EXPECT_EQ(vb::RTrim(" a  "), " a");
  EXPECT_EQ(vb::Trim("\ta\t"), "\ta\t");  // blanks only
  EXPECT_EQ(vb::Trim("   "), "");
  EXPECT_EQ(vb::UCase("abc xyZ"), "ABC XYZ");
  EXPECT_EQ(vb::LCase("ABC"), "abc");
  EXPECT_EQ(vb::UCase("ｃｏｍ é"), "ＣＯＭ É");
  EXPECT_EQ(vb::UCase(kJapanese), kJapanese);
  EXPECT_EQ(vb::UCase("a\xFF"), "A\xFF");
  EXPECT_TRUE(vb::EqualNoCase("1200,N,8,2", "1200,n,8,2"));
  EXPECT_FALSE(vb::EqualNoCase("a", "ab"));

  EXPECT_EQ(vb::Chr(65), "A");
  EXPECT_EQ(vb::Chr(0), std::string(1, '\0'));
  EXPECT_EQ(vb::Chr(0x30AB), "カ");
  EXPECT_EQ(vb::Asc("A"), 65);
  EXPECT_EQ(vb::Asc("カメラ"), 0x30AB);
  EXPECT_EQ(ErrorOf([] { vb::Asc(""); }), 5);
  EXPECT_EQ(ErrorOf([] { vb::Chr(-1); }), 5);
  EXPECT_EQ(ErrorOf([] { vb::Chr(0xD800); }), 5);
  EXPECT_EQ(vb::Space(3), "   ");
  EXPECT_EQ(vb::String(3, '-'), "---");
  EXPECT_EQ(vb::String(2, "設定"), "設設");
  EXPECT_EQ(ErrorOf([] { vb::Space(-1); }), 5);
  EXPECT_EQ(ErrorOf([] { vb::String(-1, 'x'); }), 5);
}

TEST(VbStrings, ReplaceSplitJoin) {
  EXPECT_EQ(vb::Replace("a\\b\\c", "\\", "/"), "a/b/c");
  EXPECT_EQ(vb::Replace("aaa", "aa", "b"), "ba");
  EXPECT_EQ(vb::Replace("abc", "", "x"), "abc");
  EXPECT_EQ(vb::Replace("abc", "b", ""), "ac");
  EXPECT_EQ(vb::Split(""), std::vector<std::string>{});
  EXPECT_EQ(vb::Split("a b"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(vb::Split(",", ","), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(vb::Split("1,2,,3", ","), (std::vector<std::string>{"1", "2", "", "3"}));
  EXPECT_EQ(vb::Split("abc", ""), std::vector<std::string>{"abc"});
  EXPECT_EQ(vb::Split("abc", ";"), std::vector<std::string>{"abc"});
  EXPECT_EQ(vb::Join({"a", "b", "c"}, ","), "a,b,c");
  EXPECT_EQ(vb::Join({}), "");
  EXPECT_EQ(vb::Join(vb::Split("x y z")), "x y z");
}

TEST(VbErrors, DescriptionsOfTheRunTimeAndTheControls) {
  EXPECT_EQ(vb::ErrorDescription(5), "Invalid procedure call or argument");
  EXPECT_EQ(vb::ErrorDescription(13), "Type mismatch");
  EXPECT_EQ(vb::ErrorDescription(62), "Input past end of file");
  EXPECT_EQ(vb::ErrorDescription(93), "Invalid pattern string");
  EXPECT_EQ(vb::ErrorDescription(380), "Invalid property value");
  EXPECT_EQ(vb::ErrorDescription(340, "3"), "Control array element '3' doesn't exist");
  EXPECT_EQ(vb::ErrorDescription(383, "Text"), "'Text' property is read-only");
  EXPECT_EQ(vb::ErrorDescription(400), "Form already displayed; can't show modally");
  EXPECT_EQ(vb::ErrorDescription(8002), "Invalid Port Number");
  EXPECT_EQ(vb::ErrorDescription(8018), "Operation valid only when the port is open");
  EXPECT_EQ(vb::ErrorDescription(32755), "Cancel was selected.");
  EXPECT_EQ(vb::ErrorDescription(1234), "Application-defined or object-defined error");
  EXPECT_EQ(vb::Error(8020).Description(), "Error reading comm device");
}

}  // namespace
