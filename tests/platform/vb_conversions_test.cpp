#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>

#include "platform/vb/vb.h"

namespace {

// The run-time error number `f` raises, 0 when it raises none.
long ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const vb::Error& e) {
    return e.Number();
  }
  return 0;
}

TEST(VbConversions, TextToLongAcceptsTheRunTimeGrammar) {
  struct Case {
    const char* text;
    int32_t value;
  };
  const Case cases[] = {
      {"12", 12},          {" 12 ", 12},        {"\t12\r\n", 12},  {"+12", 12},
      {"12+", 12},         {"-12", -12},        {"12-", -12},      {"(12)", -12},
      {"- 12", -12},       {"1,000", 1000},     {"1,00,0", 1000},  {"1e3", 1000},
      {"1E+3", 1000},      {"1.5", 2},          {"2.5", 2},        {"3.5", 4},
      {"-2.5", -2},        {"-0.5", 0},         {"0.51", 1},       {"2.5000000000000000001", 3},
      {".5", 0},           {"1.", 1},           {"$12", 12},       {"&HFF", 255},
      {"&hff", 255},       {"&HFFFF", 65535},   {"&HFFFFFFFF", -1}, {"&O17", 15},
      {"2147483647", 2147483647},               {"-2147483648", INT32_MIN},
      {"25e-1", 2},        {"0.000", 0},        {"1200", 1200},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vb::CLng(c.text), c.value) << c.text;
  }
}

TEST(VbConversions, NonNumericTextIsATypeMismatch) {
  for (const char* text : {"", " ", "abc", "12abc", "1 000", "--1", "0x1F", "-", ".", "$",
                           "&H", "1e", "e3", ",5", "(12", "12)", "&HFG", "1.2.3", "&H1.5"}) {
    EXPECT_EQ(ErrorOf([&] { vb::CLng(text); }), 13) << '"' << text << '"';
    EXPECT_EQ(ErrorOf([&] { vb::CByte(text); }), 13) << '"' << text << '"';
    EXPECT_EQ(ErrorOf([&] { vb::CDbl(text); }), 13) << '"' << text << '"';
  }
}

TEST(VbConversions, OutOfRangeIsAnOverflowPerType) {
  EXPECT_EQ(vb::CByte("255"), 255);
  EXPECT_EQ(vb::CByte(" 0 "), 0);
  EXPECT_EQ(vb::CByte("254.5"), 254);
  EXPECT_EQ(vb::CByte("-0.5"), 0);
  EXPECT_EQ(vb::CByte("&HFF"), 255);
  EXPECT_EQ(vb::CInt("32767.4"), 32767);
  EXPECT_EQ(vb::CInt("-32768.5"), -32768);
  EXPECT_EQ(vb::CInt("&H7FFF"), 32767);
  EXPECT_EQ(vb::CInt("&HFFFF"), -1);
  for (const char* text : {"256", "-1", "255.5", "-0.51", "&H100", "1e3"})
    EXPECT_EQ(ErrorOf([&] { vb::CByte(text); }), 6) << text;
  for (const char* text : {"32768", "32767.5", "-32769", "&H10000", "40000"})
    EXPECT_EQ(ErrorOf([&] { vb::CInt(text); }), 6) << text;
  for (const char* text : {"2147483648", "2147483647.5", "-2147483649", "&H100000000",
                           "99999999999999999999999", "1e300"})
    EXPECT_EQ(ErrorOf([&] { vb::CLng(text); }), 6) << text;
  EXPECT_EQ(ErrorOf([] { vb::CDbl("1e400"); }), 6);
  EXPECT_EQ(ErrorOf([] { vb::CSng("1e39"); }), 6);
  // For callers that clamp: beyond a Double, the largest Double of the number's sign.
  EXPECT_EQ(vb::CDblWithinRange("1e400"), DBL_MAX);
  EXPECT_EQ(vb::CDblWithinRange("-1e400"), -DBL_MAX);
  EXPECT_EQ(vb::CDblWithinRange("(1e400)"), -DBL_MAX);
  EXPECT_EQ(vb::CDblWithinRange("1e20"), 1e20);
  EXPECT_EQ(vb::CDblWithinRange("1e-400"), 0.0);
  EXPECT_EQ(ErrorOf([] { vb::CDblWithinRange("abc"); }), 13);
}

TEST(VbConversions, NumbersToIntegersRoundHalfToEven) {
  EXPECT_EQ(vb::CInt(0.5), 0);
  EXPECT_EQ(vb::CInt(1.5), 2);
  EXPECT_EQ(vb::CInt(2.5), 2);
  EXPECT_EQ(vb::CInt(3.5), 4);
  EXPECT_EQ(vb::CInt(-1.5), -2);
  EXPECT_EQ(vb::CInt(-2.5), -2);
  EXPECT_EQ(vb::CInt(2345.5678), 2346);
  EXPECT_EQ(vb::CLng(2.5), 2);
  EXPECT_EQ(vb::CLng(3.5), 4);
  EXPECT_EQ(vb::CByte(254.5), 254);
  EXPECT_EQ(vb::CInt(true), -1);
  EXPECT_EQ(vb::CLng(false), 0);
  EXPECT_EQ(vb::CByte(200), 200);
  EXPECT_EQ(ErrorOf([] { vb::CInt(32767.5); }), 6);
  EXPECT_EQ(ErrorOf([] { vb::CByte(255.5); }), 6);
  EXPECT_EQ(ErrorOf([] { vb::CByte(-0.51); }), 6);
  EXPECT_EQ(ErrorOf([] { vb::CByte(256); }), 6);
  EXPECT_EQ(ErrorOf([] { vb::CByte(-1); }), 6);
  EXPECT_EQ(ErrorOf([] { vb::CByte(true); }), 6);
  EXPECT_EQ(ErrorOf([] { vb::CLng(2147483647.5); }), 6);
  EXPECT_EQ(ErrorOf([] { vb::CLng(std::nan("")); }), 6);
  EXPECT_EQ(ErrorOf([] { vb::CInt(40000L); }), 6);
}

TEST(VbConversions, DoubleSingleAndBoolean) {
  EXPECT_DOUBLE_EQ(vb::CDbl(" 1.5E-2 "), 0.015);
  EXPECT_DOUBLE_EQ(vb::CDbl("&HFFFF"), 65535.0);
  EXPECT_DOUBLE_EQ(vb::CDbl("-.25"), -0.25);
  EXPECT_FLOAT_EQ(vb::CSng("0.1"), 0.1f);
  EXPECT_TRUE(vb::CBool("True"));
  EXPECT_TRUE(vb::CBool("tRUE"));
  EXPECT_FALSE(vb::CBool("FALSE"));
  EXPECT_TRUE(vb::CBool("-1"));
  EXPECT_TRUE(vb::CBool("2.5"));
  EXPECT_TRUE(vb::CBool("&H10"));
  EXPECT_FALSE(vb::CBool("0"));
  EXPECT_FALSE(vb::CBool("-0.0"));
  EXPECT_TRUE(vb::CBool(0.001));
  for (const char* text : {"", "abc", "yes", " true"})
    EXPECT_EQ(ErrorOf([&] { vb::CBool(text); }), 13) << text;
}

TEST(VbConversions, IsNumericMatchesTheParser) {
  for (const char* text : {"12", " 12 ", "+12", "12-", "(12)", "1.", ".5", "1e3", "1.5E-2",
                           "1,000", "1,", "&H1A", "&H1F", "&O17", "$12", "1e999", "99999999999"})
    EXPECT_TRUE(vb::IsNumeric(text)) << text;
  for (const char* text : {"", " ", "-", ".", "1e", "e3", ",5", "0x1F", "12abc", "1 2", "&H",
                           "abc", "１２"})
    EXPECT_FALSE(vb::IsNumeric(text)) << text;
}

TEST(VbConversions, ValReadsTheLeadingNumberAndNeverMismatches) {
  EXPECT_EQ(vb::Val(" 2 45 7"), 2457);
  EXPECT_EQ(vb::Val("    1615 198th Street N.E."), 1615198);
  EXPECT_EQ(vb::Val("24 and 57"), 24);
  EXPECT_EQ(vb::Val("12abc"), 12);
  EXPECT_EQ(vb::Val("1,000"), 1);
  EXPECT_EQ(vb::Val("$5"), 0);
  EXPECT_EQ(vb::Val(""), 0);
  EXPECT_EQ(vb::Val("abc"), 0);
  EXPECT_EQ(vb::Val("-"), 0);
  EXPECT_EQ(vb::Val(".5"), 0.5);
  EXPECT_EQ(vb::Val("-1.5e2x"), -150);
  EXPECT_EQ(vb::Val("1e"), 1);
  EXPECT_EQ(vb::Val("&HFFFF"), -1);
  EXPECT_EQ(vb::Val("&HFFFF&"), 65535);
  EXPECT_EQ(vb::Val("&H10000"), 65536);
  EXPECT_EQ(vb::Val("&O17"), 15);
  EXPECT_EQ(vb::Val("&HZZ"), 0);
  EXPECT_EQ(vb::Val("(5)"), 0);
}

TEST(VbConversions, HexIsUpperCaseWithoutLeadingZeros) {
  EXPECT_EQ(vb::Hex(0), "0");
  EXPECT_EQ(vb::Hex(255), "FF");
  EXPECT_EQ(vb::Hex(459), "1CB");
  EXPECT_EQ(vb::Hex(-1), "FFFFFFFF");
  EXPECT_EQ(vb::Hex(-1L), "FFFFFFFF");
  EXPECT_EQ(vb::Hex(-32769), "FFFF7FFF");
  EXPECT_EQ(vb::Hex(int16_t{-1}), "FFFF");
  EXPECT_EQ(vb::Hex(uint8_t{255}), "FF");
  EXPECT_EQ(vb::Hex(2.5), "2");
  EXPECT_EQ(vb::Hex(15.5), "10");
  EXPECT_EQ(ErrorOf([] { vb::Hex(4294967296LL); }), 6);
  EXPECT_EQ(ErrorOf([] { vb::Hex(-2147483649LL); }), 6);
}

TEST(VbConversions, CStrAndStr) {
  EXPECT_EQ(vb::CStr(459), "459");
  EXPECT_EQ(vb::CStr(-5L), "-5");
  EXPECT_EQ(vb::CStr(uint8_t{200}), "200");
  EXPECT_EQ(vb::CStr(0.5), "0.5");
  EXPECT_EQ(vb::CStr(-0.25), "-0.25");
  EXPECT_EQ(vb::CStr(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(vb::CStr(1.0f / 3), "0.3333333");
  EXPECT_EQ(vb::CStr(100.0), "100");
  EXPECT_EQ(vb::CStr(1e15), "1E+15");
  EXPECT_EQ(vb::CStr(1e-5), "1E-05");
  EXPECT_EQ(vb::CStr(-0.0), "0");
  EXPECT_EQ(vb::CStr(true), "True");
  EXPECT_EQ(vb::CStr(false), "False");
  EXPECT_EQ(vb::CStr("text"), "text");
  EXPECT_EQ(vb::Str(459), " 459");
  EXPECT_EQ(vb::Str(0), " 0");
  EXPECT_EQ(vb::Str(-459.65), "-459.65");
  EXPECT_EQ(vb::Str(0.5), " .5");
  EXPECT_EQ(vb::Str(-0.25), "-.25");
}

TEST(VbFormat, NumberPatternsRoundHalfAwayFromZeroOnFifteenDigits) {
  struct Case {
    double value;
    const char* pattern;
    const char* text;
  };
  const Case cases[] = {
      {1.005, "0.00", "1.01"},      {2.5, "0.00", "2.50"},      {-0.5, "0.00", "-0.50"},
      {3.14159, "0.00", "3.14"},    {0.125, "0.00", "0.13"},    {2.675, "0.00", "2.68"},
      {1234.5, "0.00", "1234.50"},  {9.999, "0.00", "10.00"},   {0, "0.00", "0.00"},
      {-0.001, "0.00", "-0.00"},    {2.5, "0", "3"},            {3.5, "0", "4"},
      {-2.5, "0", "-3"},            {0.4, "0", "0"},            {7, "00", "07"},
      {7, "000", "007"},            {1234, "00", "1234"},       {1234.5, "#,##0.00", "1,234.50"},
      {1234567, "#,##0", "1,234,567"}, {0.5, "#.00", ".50"},   {5, "#.##", "5."},
      {1.5, "0.0#", "1.5"},         {0.256, "0%", "26%"},       {12, "\\(0\\)", "(12)"},
      {3, "\"No.\"0", "No.3"},      {99.5, "0", "100"},         {1e20, "0", "100000000000000000000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vb::Format(c.value, c.pattern), c.text) << c.value << " with " << c.pattern;
  }
  EXPECT_EQ(vb::Format(0.5), "0.5");
  EXPECT_EQ(vb::Format(std::nan(""), "0.00"), "NaN");  // no such number in the program; no garbage
}

TEST(VbFormat, DatePatterns) {
  const vb::DateTime when{2024, 3, 5, 7, 8, 9};
  EXPECT_EQ(vb::Format(when, "yyyy/mm/dd hh:mm:ss"), "2024/03/05 07:08:09");
  EXPECT_EQ(vb::Format(when, "yyyymmddhhmmss"), "20240305070809");
  EXPECT_EQ(vb::Format(when, "hh:mm:ss"), "07:08:09");
  EXPECT_EQ(vb::Format(when, "ddhhmmss"), "05070809");
  EXPECT_EQ(vb::Format(when, "mm:ss"), "03:09");  // no hour before it: the month
  EXPECT_EQ(vb::Format(when, "hh:mm mm"), "07:08 03");
  EXPECT_EQ(vb::Format(when, "nn:ss"), "08:09");
  EXPECT_EQ(vb::Format(when, "yy-m-d h"), "24-3-5 7");
  EXPECT_EQ(vb::Format(when, "ddd dddd mmm mmmm"), "Tue Tuesday Mar March");
  EXPECT_EQ(vb::Format(when, "YYYY/MM/DD"), "2024/03/05");
  EXPECT_EQ(vb::Format(when, "\\h\"mm\"hh"), "hmm07");
  const vb::DateTime evening{2026, 12, 5, 23, 59, 0};
  EXPECT_EQ(vb::Format(evening, "yyyymmddhhmmss"), "20261205235900");
}

}  // namespace
