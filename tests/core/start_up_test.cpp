// Start-up and shut-down: Main run in this process against a program folder in a temporary
// folder, with the windows played by the test, and the current values set from the defaults.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "core/common_helpers.h"
#include "core/logs.h"
#include "core/settings_file.h"
#include "core/start_up.h"
#include "tests/core/core_fixture.h"

namespace {

class StartUp : public testutil::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    showErrors = false;
    for (auto& e : gobjDataInfo) e.reset();  // Main builds the table itself
    SubMain::UpperLayers().frmPortChange_ShowModal = [this] {
      ++portWindows;
      glngPortNo = portChosen;
    };
    SubMain::UpperLayers().frmMain_Show = [this] { ++mainWindows; };
    glngPortNo = 0;
  }
  void TearDown() override {
    vb::App::HelpFile("");
    glngPortNo = 0;
    CoreTest::TearDown();
  }
  std::vector<std::string> reported() const {
    std::vector<std::string> out;
    for (const auto& r : reports) out.push_back(r.text + ":" + std::to_string(r.number));
    return out;
  }
  int portWindows = 0, mainWindows = 0, portChosen = 0;
};

TEST_F(StartUp, FirstStartWithNothingBesideTheProgramAsksForAPortAndEndsOnCancel) {
  EXPECT_EQ(SubMain::gstrGetAppTitleString(), "Orvadex");
  EXPECT_EQ(SubMain::gstrGetVersionString(), "1.31");
  SubMain::Main();
  EXPECT_EQ(portWindows, 1);
  EXPECT_EQ(mainWindows, 0);
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(gstrRecentlyUsedFile, std::vector<std::string>(6));
  ASSERT_TRUE(gobjDataInfo[0x30]);
  EXPECT_EQ(gbyteCurrentData[0x30], 48);
  EXPECT_EQ(gbyteCurrentData[0x94], 255);
  EXPECT_EQ(vb::App::HelpFile(), "");
  // Choosing a port shows the main window.
  portChosen = 3;
  SubMain::Main();
  EXPECT_EQ(portWindows, 2);
  EXPECT_EQ(mainWindows, 1);
  EXPECT_EQ(glngPortNo, 3);
}

TEST_F(StartUp, ASavedPortGoesStraightToTheMainWindowAndTheOldLogIsDeleted) {
  dir.write("orvadex.ini", "[Comm]\r\nPortNo=2\r\n");
  dir.write("orvadex.LOG", "old line\r\n");
  dir.write("other.chm", "x");
  SubMain::Main();
  EXPECT_EQ(portWindows, 0);
  EXPECT_EQ(mainWindows, 1);
  EXPECT_FALSE(dir.exists("orvadex.LOG"));
  EXPECT_TRUE(reports.empty());
  // The help file only when named after the program.
  EXPECT_EQ(vb::App::HelpFile(), "");
  dir.write("orvadex.chm", "x");
  SubMain::Main();
  EXPECT_EQ(vb::App::HelpFile(), dir.file("orvadex.chm"));
}

TEST_F(StartUp, ABadSettingsFileOrALogThatCannotBeDeletedEndsWithoutAWindow) {
  dir.write("orvadex.ini", "[Comm]\r\nPortNo=abc\r\n");
  SubMain::Main();
  EXPECT_EQ(portWindows, 0);
  EXPECT_EQ(mainWindows, 0);
  EXPECT_EQ(reported(), (std::vector<std::string>{"SubMain.gblnReadInitFile:13"}));
  EXPECT_NE(gbyteCurrentData[0x30], 48);  // the current values were not set

  // A log that cannot be deleted (the folder takes no change) ends the start-up before the
  // settings are read.
  reports.clear();
  dir.write("orvadex.ini", "[Comm]\r\nPortNo=2\r\n");
  dir.write("orvadex.LOG", "old line\r\n");
  const std::string failure = testutil::AsUnprivilegedUser(dir.path(), [&]() -> std::string {
    ::chmod(dir.path().c_str(), 0555);
    SubMain::Main();
    if (portWindows + mainWindows != 0) return "a window was shown";
    if (reported() != std::vector<std::string>{"mdlCommon.gblnDeleteFile:75"}) return "reported: " + vb::Join(reported(), " ");
    if (glngPortNo == 2) return "the settings were read";
    return "";
  });
  EXPECT_EQ(failure, "");
}

TEST_F(StartUp, IniVariableCopiesEveryDefaultAndReportsABadOne) {
  ASSERT_TRUE(SubMain::mblnSetDataInfo());
  gbyteCurrentData.fill(7);
  ASSERT_TRUE(SubMain::mblnIniVariable());
  EXPECT_EQ(gbyteCurrentData[0x01], 255);
  EXPECT_EQ(gbyteCurrentData[0x02], 192);
  EXPECT_EQ(gbyteCurrentData[0x30], 48);
  EXPECT_EQ(gbyteCurrentData[0x94], 255);
  EXPECT_TRUE(reports.empty());
  // A default outside a byte, and a missing table entry.
  gobjDataInfo[0x40]->DefaultValue = 256;
  EXPECT_FALSE(SubMain::mblnIniVariable());
  gobjDataInfo[0x40]->DefaultValue = -1;
  EXPECT_FALSE(SubMain::mblnIniVariable());
  gobjDataInfo[0x40].reset();
  EXPECT_FALSE(SubMain::mblnIniVariable());
  EXPECT_EQ(reported(), (std::vector<std::string>{"SubMain.mblnIniVariable:6", "SubMain.mblnIniVariable:6",
                                                  "SubMain.mblnIniVariable:91"}));
}

TEST_F(StartUp, ShutdownClosesThePortWritesTheSettingsAndReleasesTheTable) {
  ASSERT_TRUE(SubMain::mblnSetDataInfo());
  SubMain::UpperLayers().gblnMSComm_Close = [] { return true; };
  glngStartUpTabNo = 7;
  EXPECT_TRUE(SubMain::gblnApplicationEnd());
  EXPECT_NE(dir.read("orvadex.ini").find("StartUpTabNo=7\r\n"), std::string::npos);
  for (const auto& e : gobjDataInfo) EXPECT_FALSE(e);
  EXPECT_TRUE(reports.empty());
  glngStartUpTabNo = 0;
}

TEST_F(StartUp, ShutdownStopsWhenThePortDoesNotCloseAndAnUnsetLayerIsError91) {
  ASSERT_TRUE(SubMain::mblnSetDataInfo());
  int closes = 0;
  SubMain::UpperLayers().gblnMSComm_Close = [&] {
    ++closes;
    return false;
  };
  EXPECT_FALSE(SubMain::gblnApplicationEnd());
  EXPECT_EQ(closes, 1);
  for (const auto& e : gobjDataInfo) EXPECT_TRUE(e);  // not released
  EXPECT_TRUE(reports.empty());                        // the close reports its own errors
  SubMain::UpperLayers().gblnMSComm_Close = nullptr;
  EXPECT_FALSE(SubMain::gblnApplicationEnd());
  EXPECT_EQ(reported(), (std::vector<std::string>{"SubMain.gblnApplicationEnd:91"}));
}

}  // namespace
