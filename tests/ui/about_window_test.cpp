// The version-information window: its texts for the camera's identity bytes, the web link, the
// registry reader and the start of the system-information viewer.
#include "ui/about_window.h"

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/registry/registry.h"
#include "tests/core/core_fixture.h"

namespace {

using registry::testhooks::SetKey;

class AboutWindow : public testutil::CoreTest {
 protected:
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    registry::testhooks::Reset();
    gbyteFirmVersion = gbyteCameraModel = gbyteCameraType = 0;
    CoreTest::TearDown();
  }
  // Clicks System Info; true when a stand-in viewer at `path` ran (it leaves a mark; the wait
  // only bounds a viewer that never runs).
  bool viewerRuns(const std::string& path) {
    const std::string mark = path + ".ran";
    std::ofstream(path) << "#!/bin/sh\ntouch \"" << mark << "\"\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    EXPECT_TRUE(frmAbout().cmdSysInfo.UserClick());
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(mark) && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return std::filesystem::exists(mark);
  }
};

// Records the documents the window asks the system to open.
struct OpeningHost : testutil::RecordingHost {
  bool OpenDocument(const std::string& target) override {
    opened.push_back(target);
    return false;  // the shell could not open it: nothing more is to happen
  }
  std::vector<std::string> opened;
};

TEST_F(AboutWindow, ShowsTheVersionsAndTheIdentificationLine) {
  struct Case {
    uint8_t firmware, model, type;
    const char* firmwareLabel;
    const char* identity;
  } cases[] = {
      {0, 0, 0, "Firmware : Version     0", "CDS131F00M00T00"},  // before any camera answered
      {1, 24, 2, "Firmware : Version     1", "CDS131F01M18T02"},
      {255, 255, 15, "Firmware : Version   255", "CDS131FFFMFFT0F"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.identity);
    std::tie(gbyteFirmVersion, gbyteCameraModel, gbyteCameraType) = std::tie(c.firmware, c.model, c.type);
    frmAbout().Show();
    EXPECT_EQ(frmAbout().lblFirmWare.Caption(), c.firmwareLabel);
    EXPECT_EQ(frmAbout().lblDisclaimer.Caption(), c.identity);
    EXPECT_TRUE(frmAbout().cmdOK.UserClick());
    EXPECT_FALSE(frmAbout().Loaded());
  }
  FrmAbout& w = frmAbout();
  EXPECT_EQ(std::vector<std::string>({w.Caption(), w.lblTitle.Caption(), w.lblVersion.Caption()}),
            std::vector<std::string>({"Orvadex [Version Information]", "Orvadex", "Control Software : Version 1.31"}));
}

TEST_F(AboutWindow, TheLinkIsOpenedThroughTheSystemInTheUsersLanguage) {
  OpeningHost opening;
  forms::setHost(&opening);
  for (auto language : {vb::ResLanguage::English, vb::ResLanguage::Japanese}) {
    vb::ForceResLanguage(language);
    frmAbout().Show();
    EXPECT_TRUE(frmAbout().lblLink.UserClick());
    frmAbout().Unload();
  }
  forms::setHost(&host);
  EXPECT_EQ(opening.opened, (std::vector<std::string>{"https://www.orvadex.example/en/", "https://www.orvadex.example/ja/"}));
  EXPECT_TRUE(opening.boxes.empty());
}

TEST_F(AboutWindow, GetKeyValueReadsTextAndNumberValues) {
  SetKey("SOFTWARE\\Test", {{"Text", registry::REG_SZ, std::string("C:\\Tools\\viewer.exe\0", 20)},
                            {"Number", registry::REG_DWORD, "\x78\x56\x34\x12"},
                            {"Binary", registry::REG_BINARY, "\x01\x02"},
                            {"Long", registry::REG_SZ, std::string(1025, 'x')}});
  const std::tuple<const char*, const char*, bool, const char*> cases[] = {
      {"SOFTWARE\\Test", "text", true, "C:\\Tools\\viewer.exe"},
      {"SOFTWARE\\Test", "Number", true, "&h12345678"},
      {"SOFTWARE\\Test", "Binary", true, "before"},  // another type leaves the text as it was
      {"SOFTWARE\\Test", "Long", false, ""},         // longer than the value buffer
      {"SOFTWARE\\Test", "Missing", false, ""},
      {"SOFTWARE\\Nothing", "Text", false, ""},
  };
  for (const auto& [key, value, read, text] : cases) {
    std::string got = "before";
    EXPECT_EQ(frmAbout().GetKeyValue(registry::HKEY_LOCAL_MACHINE, key, value, got), read) << value;
    EXPECT_EQ(got, text) << value;
  }
}

TEST_F(AboutWindow, SystemInfoStartsTheViewerTheRegistryNamesAndOnlyThat) {
  frmAbout().Show();
  // The registry finds this machine's viewer on the PATH.
  std::filesystem::create_directory(dir.file("bin"));
  const std::string oldPath = ::getenv("PATH");
  ::setenv("PATH", (dir.file("bin") + ":" + oldPath).c_str(), 1);
  EXPECT_TRUE(viewerRuns(dir.file("bin/hardinfo2")));
  ::setenv("PATH", oldPath.c_str(), 1);
  // Without the first value, MSINFO32.EXE in the folder the second names; nothing without it.
  SetKey("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", {});
  SetKey("SOFTWARE\\Microsoft\\Shared Tools Location", {{"MSINFO", registry::REG_SZ, dir.path() + '\0'}});
  EXPECT_TRUE(frmAbout().cmdSysInfo.UserClick());
  EXPECT_TRUE(viewerRuns(dir.file("MSINFO32.EXE")));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(reports.empty());
  // A registered path that is not there is reported.
  SetKey("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", {{"PATH", registry::REG_SZ, dir.file("gone") + '\0'}});
  EXPECT_TRUE(frmAbout().cmdSysInfo.UserClick());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(std::tuple(reports[0].text, reports[0].number), std::tuple(std::string("frmAbout.StartSysInfo"), 53L));
}

}  // namespace
