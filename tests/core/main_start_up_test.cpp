// Main run in this process against a program folder in a temporary folder, with the windows
// played by the test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/not_built_yet.h"
#include "core/start_up.h"
#include "core/upper_layers.h"
#include "core/variables.h"
#include "platform/app/app.h"
#include "platform/forms/host.h"
#include "platform/vb/error.h"

namespace fs = std::filesystem;

namespace {

class RecordingHost : public forms::Host {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
    boxes.push_back(title + "|" + prompt);
    return forms::vbOK;
  }
  std::vector<std::string> boxes;
};

class MainStartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/orvadex-main-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    vb::App::SetLocationForTesting(dir_.string(), "orvadex");
    forms::setHost(&host_);
    vb::SetErrorReporter([this](const std::string& procedure) {
      reported.push_back(procedure + ":" + std::to_string(Err.Number));
      Err.Clear();
    });
    saved_ = SubMain::UpperLayers();
    SubMain::UpperLayers().frmPortChange_ShowModal = [this] {
      ++portWindows;
      glngPortNo = portChosen;
    };
    SubMain::UpperLayers().frmMain_Show = [this] { ++mainWindows; };
    glngPortNo = 0;
    // Start-up leans on the common file helpers and the settings file.
    if (!mdlCommon::gblnDeleteFile((dir_ / "missing.LOG").string()) || !SubMain::gblnReadInitFile()) {
      GTEST_SKIP() << "the file helpers or the settings file are not built yet";
    }
    glngPortNo = 0;
  }
  void TearDown() override {
    SubMain::UpperLayers() = saved_;
    vb::SetErrorReporter(nullptr);
    forms::setHost(nullptr);
    vb::App::SetLocationForTesting("", "");
    vb::App::HelpFile("");
    for (auto& e : gobjDataInfo) e.reset();
    gbyteCurrentData.fill(0);
    glngPortNo = 0;
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name) << text; }

  fs::path dir_;
  RecordingHost host_;
  std::vector<std::string> reported;
  int portWindows = 0, mainWindows = 0, portChosen = 0;

 private:
  SubMain::UpperLayerCalls saved_;
};

TEST_F(MainStartUp, FirstStartWithNothingBesideTheProgramAsksForAPortAndEndsOnCancel) {
  SubMain::Main();
  EXPECT_EQ(portWindows, 1);
  EXPECT_EQ(mainWindows, 0);
  EXPECT_TRUE(reported.empty());
  EXPECT_TRUE(host_.boxes.empty());
  EXPECT_EQ(gstrRecentlyUsedFile, std::vector<std::string>(6));
  ASSERT_TRUE(gobjDataInfo[0x30]);
  EXPECT_EQ(gbyteCurrentData[0x30], 48);
  EXPECT_EQ(gbyteCurrentData[0x94], 255);
  EXPECT_EQ(vb::App::HelpFile(), "");
}

TEST_F(MainStartUp, ChoosingAPortShowsTheMainWindow) {
  portChosen = 3;
  SubMain::Main();
  EXPECT_EQ(portWindows, 1);
  EXPECT_EQ(mainWindows, 1);
  EXPECT_EQ(glngPortNo, 3);
}

TEST_F(MainStartUp, ASavedPortGoesStraightToTheMainWindowAndTheOldLogIsDeleted) {
  write("orvadex.ini", "[Comm]\r\nPortNo=2\r\n");
  write("orvadex.LOG", "old line\r\n");
  SubMain::Main();
  EXPECT_EQ(portWindows, 0);
  EXPECT_EQ(mainWindows, 1);
  EXPECT_FALSE(fs::exists(dir_ / "orvadex.LOG"));
  EXPECT_TRUE(reported.empty());
}

TEST_F(MainStartUp, HelpFileOnlyWhenNamedAfterTheProgram) {
  write("orvadex.ini", "[Comm]\r\nPortNo=2\r\n");
  write("other.chm", "x");
  SubMain::Main();
  EXPECT_EQ(vb::App::HelpFile(), "");
  write("orvadex.chm", "x");
  SubMain::Main();
  EXPECT_EQ(vb::App::HelpFile(), (dir_ / "orvadex.chm").string());
}

TEST_F(MainStartUp, ABadSettingsFileEndsWithoutAWindowAndIsReportedOnce) {
  write("orvadex.ini", "[Comm]\r\nPortNo=abc\r\n");
  SubMain::Main();
  EXPECT_EQ(portWindows, 0);
  EXPECT_EQ(mainWindows, 0);
  EXPECT_EQ(reported, (std::vector<std::string>{"SubMain.gblnReadInitFile:13"}));
  EXPECT_NE(gbyteCurrentData[0x30], 48);  // the current values were not set
}

}  // namespace
