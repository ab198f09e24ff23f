#include <gtest/gtest.h>

#include "core/settings_file.h"
#include "platform/app/app.h"
#include "tests/core/core_fixture.h"

namespace {

class Settings : public testutil::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    glngPortNo = glngRcvRetry = glngSleepTimeUnit = glngTimeOut = -7;
    glngRetryWrongReplayBeforeMsg = glngRetryTimeOutBeforeMsg = glngStartUpTabNo = glngSmallChange = glngLargeChange = -7;
    gstrSettings = gstrAdvancedPwd = "unset";
    gblnAutoBaudRateChange = gblnEnterKeySend = gblnWriteErrLogWrongReplay = gblnWriteErrLogTimeOut = true;
    gblnOptimizeWritting = gblnWriteLogFile = gblnDeveloping = gblnAdvancedMode = true;
  }
  void Ini(const std::string& text) { dir.write("orvadex.ini", text); }
};

TEST_F(Settings, NoFileGivesEveryDefaultAndTheWriteCreatesAllKeysButDeveloping) {
  ASSERT_TRUE(SubMain::gblnReadInitFile());
  // Every value read is in the file written, but the two modes.
  EXPECT_FALSE(gblnDeveloping || gblnAdvancedMode);
  EXPECT_EQ(gstrRecentlyUsedFile, std::vector<std::string>(6));
  ASSERT_TRUE(SubMain::gblnWriteInitFile());
  EXPECT_EQ(dir.read("orvadex.ini"),
            "[Comm]\r\nPortNo=0\r\nRcvRetry=10\r\nSleepTimeUnit=100\r\nTimeOut=5\r\n"
            "RetryTimesForWrongReplayBeforeMsg=10\r\nRetryTimesForTimeOutBeforeMsg=1\r\n"
            "WriteErrLogWrongReplay=False\r\nWriteErrLogTimeOut=False\r\nOptimizeWritting=False\r\n"
            "Settings=1200,n,8,2\r\nAutoBaudRateChange=True\r\nEnterKeySend=False\r\n"
            "[File]\r\nRecently00=\r\nRecently01=\r\nRecently02=\r\nRecently03=\r\nRecently04=\r\nWriteLogFile=False\r\n"
            "[Form]\r\nStartUpTabNo=0\r\nSmallChange=1\r\nLargeChange=5\r\n[Mode]\r\nAdvancedPwd=\r\n");
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Settings, ClampsApplyToThreeKeysOnly) {
  Ini("[Comm]\r\nTimeOut=2\r\nSleepTimeUnit=0\r\nRetryTimesForTimeOutBeforeMsg=0\r\nRcvRetry=0\r\n"
      "RetryTimesForWrongReplayBeforeMsg=-3\r\nPortNo=2.5\r\n[Form]\r\nSmallChange=-1\r\n");
  ASSERT_TRUE(SubMain::gblnReadInitFile());
  EXPECT_EQ(glngTimeOut, 5);
  EXPECT_EQ(glngSleepTimeUnit, 1);
  EXPECT_EQ(glngRetryTimeOutBeforeMsg, 1);
  EXPECT_EQ(glngRcvRetry, 0);
  EXPECT_EQ(glngRetryWrongReplayBeforeMsg, -3);
  EXPECT_EQ(glngPortNo, 2);  // halves round to even
  EXPECT_EQ(glngSmallChange, -1);
}

TEST_F(Settings, AdvancedModeFromThePasswordInAnyCaseOrFromDevelopingMode) {
  struct C {
    const char* ini;
    bool developing, advanced;
  } cases[] = {
      {"[Mode]\r\nAdvancedPwd=QuillMarBENSO\r\n", false, true},
      {"[Mode]\r\nAdvancedPwd=  quillmarbenso  \r\n", false, true},
      {"[Mode]\r\nAdvancedPwd=quillmarbens\r\n", false, false},
      {"[Mode]\r\nDeveloping=True\r\nAdvancedPwd=wrong\r\n", true, true},
      {"[Mode]\r\nDeveloping=0\r\n", false, false},
      {"[Mode]\r\nDeveloping=-1\r\n", true, true},
  };
  for (const C& c : cases) {
    Ini(c.ini);
    ASSERT_TRUE(SubMain::gblnReadInitFile()) << c.ini;
    EXPECT_EQ(gblnDeveloping, c.developing) << c.ini;
    EXPECT_EQ(gblnAdvancedMode, c.advanced) << c.ini;
  }
}

TEST_F(Settings, ABadKeyFailsTheReadAndKeepsTheLaterVariables) {
  struct C {
    const char* ini;
    long number;
  } cases[] = {
      {"[Comm]\r\nPortNo=3\r\nRcvRetry=20\r\nSleepTimeUnit=abc\r\n", 13},
      {"[Comm]\r\nPortNo=3\r\nRcvRetry=20\r\nSleepTimeUnit=\r\n", 13},
      {"[Comm]\r\nPortNo=3\r\nRcvRetry=20\r\nSleepTimeUnit=2147483648\r\n", 6},
  };
  for (const C& c : cases) {
    host.boxes.clear();
    glngSleepTimeUnit = glngTimeOut = -7;
    Ini(c.ini);
    EXPECT_FALSE(SubMain::gblnReadInitFile()) << c.ini;
    EXPECT_EQ(glngPortNo, 3);
    EXPECT_EQ(glngRcvRetry, 20);
    EXPECT_EQ(glngSleepTimeUnit, -7);
    EXPECT_EQ(glngTimeOut, -7);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].title, "SubMain.gblnReadInitFile");
    const std::string head = "System error occured.\r\nNo." + std::to_string(c.number) + ")";
    EXPECT_EQ(host.boxes[0].prompt.substr(0, head.size()), head);
  }
  Ini("[Comm]\r\nAutoBaudRateChange=Yes\r\n");
  EXPECT_FALSE(SubMain::gblnReadInitFile());
  Ini("[Comm]\r\nPortNo=abc\r\n");
  EXPECT_FALSE(SubMain::gblnReadInitFile());
  EXPECT_EQ(ErrorLogLines().back(), "SubMain.gblnReadInitFile\t13\tType mismatch");
}

TEST_F(Settings, WritingReplacesValuesWhereTheyStandAndKeepsOtherLines) {
  Ini("; kept comment\r\n[Mode]\r\nDeveloping=True\r\nAdvancedPwd=old\r\n[Comm]\r\nPortNo=1\r\nCustom=keep me\r\n");
  ASSERT_TRUE(SubMain::gblnReadInitFile());
  glngPortNo = 4;
  gstrAdvancedPwd = "";
  gblnDeveloping = false;
  gstrRecentlyUsedFile[0] = "/data/a.KRV";
  ASSERT_TRUE(SubMain::gblnWriteInitFile());
  const std::string ini = dir.read("orvadex.ini");
  EXPECT_EQ(ini.rfind("; kept comment\r\n[Mode]\r\nDeveloping=True\r\nAdvancedPwd=\r\n[Comm]\r\nPortNo=4\r\nCustom=keep me\r\n", 0), 0u) << ini;
  ASSERT_TRUE(SubMain::gblnReadInitFile());
  EXPECT_TRUE(gblnDeveloping);
  EXPECT_EQ(glngPortNo, 4);
  EXPECT_EQ(gstrRecentlyUsedFile[0], "/data/a.KRV");
  // A second write changes nothing.
  ASSERT_TRUE(SubMain::gblnWriteInitFile());
  EXPECT_EQ(dir.read("orvadex.ini"), ini);
}

TEST_F(Settings, RecentListShifts) {
  using L = std::vector<std::string>;
  struct C {
    L before;
    const char* added;
    L after;
  } cases[] = {
      {{"A", "B", "C", "", ""}, "B", {"B", "A", "C", "", ""}},
      {{"A", "B", "C", "E", "F"}, "D", {"D", "A", "B", "C", "E"}},
      {{"A", "B", "C", "", ""}, "A", {"A", "B", "C", "", ""}},
      {{"", "", "", "", ""}, "A", {"A", "", "", "", ""}},
      {{"A", "B", "C", "D", "E"}, "E", {"E", "A", "B", "C", "D"}},
      {{"A", "B", "C", "", ""}, "  D  ", {"D", "A", "B", "C", ""}},
      {{"A", "B", "C", "", ""}, "a", {"a", "A", "B", "C", ""}},
  };
  for (const C& c : cases) {
    for (int i = 0; i < 5; ++i) gstrRecentlyUsedFile[i] = c.before[i];
    ASSERT_TRUE(SubMain::gblnAddRecentlyUsedFile(c.added));
    EXPECT_EQ(L(gstrRecentlyUsedFile.begin(), gstrRecentlyUsedFile.begin() + 5), c.after) << c.added;
    EXPECT_EQ(gstrRecentlyUsedFile[5], "");
  }
  ASSERT_TRUE(SubMain::gblnClearRecentlyUsedFile());
  EXPECT_EQ(gstrRecentlyUsedFile, L(6));
}

TEST_F(Settings, SettingsFileDropsTheLastExtensionButTheLogsDoNot) {
  vb::App::SetLocationForTesting(dir.path(), "tool.old.exe");
  EXPECT_EQ(SubMain::gstrInitFileName(), dir.file("tool.ini"));
  EXPECT_EQ(SubMain::gstrCommLogFile(), dir.file("tool.old.LOG"));
  EXPECT_EQ(SubMain::gstrErrorLogFile(), dir.file("tool.old.ERR"));
}

// A settings file that cannot be written fails the write with its error pending, unreported
// (the end of the program reports it), and the old file stays whole.
TEST_F(Settings, ASettingsFileThatCannotBeWrittenLeavesItsErrorForTheEnd) {
  const std::string old = "[Comm]\r\nPortNo=3\r\n[Notes]\r\nText=" + std::string(400, 'n') + "\r\n";
  struct Case {
    const char* what;
    const char* folder;
    rlim_t limit;
    long number;
  };
  for (const Case& c : {Case{"a full disk (a file-size limit below the file's size)", "", 200, vb::errDiskFull},
                        Case{"a folder that is gone", "missing", RLIM_INFINITY, vb::errPathNotFound}}) {
    SCOPED_TRACE(c.what);
    Ini(old);
    vb::App::SetLocationForTesting(dir.file(c.folder), "orvadex");
    Err.Clear();
    {
      testutil::FileSizeLimit limit(c.limit);
      EXPECT_FALSE(SubMain::gblnWriteInitFile());
    }
    EXPECT_EQ(Err.Number, c.number);
    EXPECT_EQ(dir.read("orvadex.ini"), old);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(reports.empty());
    Err.Clear();
  }
}

}  // namespace
