#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "platform/app/res_string.h"
#include "platform/vb/error.h"
#include "resources/resources.h"

namespace {

using vb::LoadResString;
using vb::ResLanguage;
constexpr ResLanguage EN = ResLanguage::English;
constexpr ResLanguage JA = ResLanguage::Japanese;

// The error number and description LoadResString raises for `number`, or 0 when it returns.
std::pair<long, std::string> failureOf(long number, ResLanguage language) {
  try {
    LoadResString(number, language);
  } catch (const vb::Error& e) {
    return {e.Number(), e.Description()};
  }
  return {0, ""};
}

TEST(MessageCatalogue, BothFilesParseCompletelyWithTheSameNumbers) {
  for (const char* file : {"messages/en.txt", "messages/ja.txt"}) {
    auto data = resources::find(file);
    ASSERT_TRUE(data) << file;
    std::string bad;
    auto entries = vb::ParseResStrings(*data, &bad);
    EXPECT_EQ(bad, "") << file;
    std::set<long> numbers;
    for (auto& [n, text] : entries) numbers.insert(n);
    std::set<long> expected = {0, 500};
    for (long n = 1; n <= 267; ++n) if (n != 255) expected.insert(n);
    for (long n : {301, 302, 303, 304, 305, 307, 308, 309, 310, 311, 312, 313, 321, 322, 331, 332, 333,
                   334, 341, 342})
      expected.insert(n);
    for (long n = 351; n <= 383; ++n) expected.insert(n);
    EXPECT_EQ(numbers, expected) << file;
  }
}

TEST(MessageCatalogue, MessagesInBothLanguages) {
  EXPECT_EQ(LoadResString(0, EN), "System error occured.");
  EXPECT_EQ(LoadResString(0, JA), "システムエラーが発生しました。");
  EXPECT_EQ(LoadResString(301, EN), "This application is already running.");
  EXPECT_EQ(LoadResString(301, JA), "このアプリケーションは既に起動されています。");
  EXPECT_EQ(LoadResString(351, EN), "This operation was canceled.");
  EXPECT_EQ(LoadResString(267, JA), "ボーレートチェック(&B)");
  EXPECT_EQ(LoadResString(341, JA), "バージョンが異なりますが、このファイルを使用しますか？");
  EXPECT_EQ(LoadResString(383, EN), "Gamma");
  EXPECT_EQ(LoadResString(383, JA), "γ");
  // 359, "63" and 360 make one sentence.
  EXPECT_EQ(LoadResString(359, EN) + "63" + LoadResString(360, EN),
            "The number of the fields that are changed from default value exceeds the number of "
            "writable fields(63).");
}

TEST(MessageCatalogue, LeadingAndTrailingSpacesAreKept) {
  EXPECT_EQ(LoadResString(257, EN), "The waitting times before next receiving transaction.(ms) ");
  EXPECT_EQ(LoadResString(257, JA), "受信処理試行間隔(ms)");
  EXPECT_EQ(LoadResString(366, EN), "The current mode is Off-Line. So your operation was canceled. ");
  EXPECT_EQ(LoadResString(362, EN), " are available for coming back the setting.");
  EXPECT_EQ(LoadResString(213, EN), "Initial  Multiply");
}

TEST(MessageCatalogue, DisplayNamesAreTheSameInBothLanguages) {
  for (long n = 1; n <= 254; ++n) EXPECT_EQ(LoadResString(n, EN), LoadResString(n, JA)) << n;
  EXPECT_EQ(LoadResString(1, EN), "DIP Switch");
  EXPECT_EQ(LoadResString(5, EN), "H05");
  EXPECT_EQ(LoadResString(9, EN), "H09");
  EXPECT_EQ(LoadResString(0x94, EN), "H94");
  EXPECT_EQ(LoadResString(0xFE, JA), "HFE");
  EXPECT_EQ(LoadResString(138, EN), "Maximum B Gain");
  EXPECT_EQ(LoadResString(139, EN), "Maximum B Gain");
  EXPECT_EQ(LoadResString(200, EN), "TR");
  EXPECT_EQ(LoadResString(201, EN), "TL");
  EXPECT_EQ(LoadResString(202, EN), "BR");
  EXPECT_EQ(LoadResString(203, EN), "BL");
  EXPECT_EQ(LoadResString(0x8E, EN), "R-B Lock Maximum Time at Variable");
  EXPECT_EQ(LoadResString(0xFB, EN), "Y Delay Exponential LL");
}

TEST(MessageCatalogue, WebAddressDiffersByLanguage) {
  EXPECT_EQ(LoadResString(500, EN), "https://www.orvadex.example/en/");
  EXPECT_EQ(LoadResString(500, JA), "https://www.orvadex.example/ja/");
}

TEST(MessageCatalogue, NumbersWithoutEntryRaise326) {
  for (long n : {255L, 268L, 300L, 306L, 314L, 384L, 401L, 499L, 501L, -1L}) {
    for (auto lang : {EN, JA}) {
      auto [number, description] = failureOf(n, lang);
      EXPECT_EQ(number, 326) << n;
      EXPECT_EQ(description, "Resource with identifier '" + std::to_string(n) + "' not found");
    }
  }
}

TEST(MessageCatalogue, ParserEscapesCommentsAndBadLines) {
  std::string bad;
  auto entries = vb::ParseResStrings(
      "# comment\n\n1\t a\\tb\\\\c\\nd \r\n2\tx\\q\nnot a line\n3 no tab\n1\tduplicate\n4\t\n", &bad);
  EXPECT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1], " a\tb\\c\nd ");
  EXPECT_EQ(entries[2], "x\\q");
  EXPECT_EQ(entries[4], "");
  EXPECT_EQ(bad, "5,6,7");
}

TEST(UserInterfaceLanguage, FirstNonEmptyLocaleVariableDecides) {
  using vb::LanguageFromLocale;
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, nullptr), EN);
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, "ja_JP.UTF-8"), JA);
  EXPECT_EQ(LanguageFromLocale("", "", "ja"), JA);
  EXPECT_EQ(LanguageFromLocale("C", nullptr, "ja_JP.UTF-8"), EN);
  EXPECT_EQ(LanguageFromLocale("ja_JP.eucJP", "en_US.UTF-8", "C"), JA);
  EXPECT_EQ(LanguageFromLocale(nullptr, "en_GB.UTF-8", "ja_JP.UTF-8"), EN);
  EXPECT_EQ(LanguageFromLocale(nullptr, "ja_JP", "en_US"), JA);
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, "ja@cjknarrow"), JA);
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, "jam"), EN);
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, "POSIX"), EN);
}

// Restores the locale variables and the forced language after a test.
class LocaleEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kNames) {
      const char* v = std::getenv(name);
      saved_.push_back(v ? std::optional<std::string>(v) : std::nullopt);
    }
  }
  void TearDown() override {
    for (size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i]) setenv(kNames[i], saved_[i]->c_str(), 1);
      else unsetenv(kNames[i]);
    }
    vb::ForceResLanguage(std::nullopt);
  }
  static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::vector<std::optional<std::string>> saved_;
};

TEST_F(LocaleEnvironment, LoadResStringFollowsTheEnvironmentUnlessForced) {
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  setenv("LANG", "ja_JP.UTF-8", 1);
  EXPECT_EQ(vb::UserInterfaceLanguage(), JA);
  EXPECT_EQ(LoadResString(383), "γ");
  setenv("LC_MESSAGES", "en_US.UTF-8", 1);
  EXPECT_EQ(LoadResString(383), "Gamma");
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  EXPECT_EQ(LoadResString(383), "γ");
  vb::ForceResLanguage(EN);
  EXPECT_EQ(LoadResString(383), "Gamma");
  vb::ForceResLanguage(std::nullopt);
  EXPECT_EQ(LoadResString(383), "γ");
}

}  // namespace
