// The version-information window: its texts for the camera's identity bytes, the web link, the
// registry reader and the start of the system-information viewer.
#include "ui/about_window.h"

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <tuple>

#include "platform/registry/registry.h"
#include "tests/core/core_fixture.h"

namespace {

using registry::HKEY_LOCAL_MACHINE;

// Records the documents the window asks the system to open.
class OpeningHost : public testutil::RecordingHost {
 public:
  bool OpenDocument(const std::string& target) override {
    opened.push_back(target);
    return false;  // the shell could not open it: nothing is to happen
  }
  std::vector<std::string> opened;
};

class AboutWindow : public testutil::CoreTest {
 protected:
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    registry::testhooks::Reset();
    gbyteFirmVersion = gbyteCameraModel = gbyteCameraType = 0;
    CoreTest::TearDown();
  }

  // An executable shell script at `path` that leaves the file `mark` when it runs.
  static void writeViewer(const std::string& path, const std::string& mark) {
    std::ofstream(path) << "#!/bin/sh\ntouch \"" << mark << "\"\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  }
  // The viewer runs on its own: wait for its mark (bounded only against a viewer that never runs).
  static bool ran(const std::string& mark) {
    for (int i = 0; i < 1000; ++i) {
      if (std::filesystem::exists(mark)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
};

TEST_F(AboutWindow, ShowsTheVersionsAndTheIdentificationLine) {
  const std::string program = "CDS" + std::to_string(vb::App::Major()) + std::to_string(vb::App::Minor()) +
                              std::to_string(vb::App::Revision());
  struct Case {
    uint8_t firmware, model, type;
    const char* firmwareLabel;
    const char* identity;
  } cases[] = {
      {0, 0, 0, "Firmware : Version     0", "F00M00T00"},  // before any camera answered
      {1, 24, 2, "Firmware : Version     1", "F01M18T02"},
      {255, 255, 15, "Firmware : Version   255", "FFFMFFT0F"},
      {16, 9, 160, "Firmware : Version    16", "F10M09TA0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.identity);
    gbyteFirmVersion = c.firmware;
    gbyteCameraModel = c.model;
    gbyteCameraType = c.type;
    host.onModal = [&](forms::Form&) {
      FrmAbout& w = frmAbout();
      EXPECT_EQ(w.lblFirmWare.Caption(), c.firmwareLabel);
      EXPECT_EQ(w.lblDisclaimer.Caption(), program + c.identity);
      w.cmdOK.UserClick();
    };
    frmAbout().Show(forms::vbModal);
    EXPECT_FALSE(frmAbout().Loaded());
  }
  EXPECT_EQ(program, "CDS131");  // the version the example line of the program's papers shows
  FrmAbout& w = frmAbout();
  EXPECT_EQ(w.Caption(), "Orvadex [Version Information]");
  EXPECT_EQ(w.lblTitle.Caption(), "Orvadex");
  EXPECT_EQ(w.lblVersion.Caption(), "Control Software : Version " + SubMain::gstrGetVersionString());
  EXPECT_EQ(w.lblLink.Caption(), vb::LoadResString(500));
  EXPECT_FALSE(w.lblDescription.Caption().empty());
  EXPECT_TRUE(host.boxes.empty());
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
  EXPECT_TRUE(reports.empty());
}

TEST_F(AboutWindow, GetKeyValueReadsTextAndNumberValues) {
  registry::testhooks::SetKey("SOFTWARE\\Test", {
      {"Text", registry::REG_SZ, std::string("C:\\Tools\\viewer.exe\0", 20)},
      {"Number", registry::REG_DWORD, std::string("\x78\x56\x34\x12", 4)},
      {"Binary", registry::REG_BINARY, std::string("\x01\x02", 2)},
      {"Long", registry::REG_SZ, std::string(1025, 'x')},
      {"Fits", registry::REG_SZ, std::string(1023, 'y') + '\0'},
  });
  FrmAbout& w = frmAbout();
  struct Case {
    const char* key;
    const char* value;
    bool read;
    std::string text;
  } cases[] = {
      {"SOFTWARE\\Test", "text", true, "C:\\Tools\\viewer.exe"},
      {"SOFTWARE\\Test", "Number", true, "&h12345678"},
      {"SOFTWARE\\Test", "Binary", true, "before"},  // another type leaves the text as it was
      {"SOFTWARE\\Test", "Fits", true, std::string(1023, 'y')},
      {"SOFTWARE\\Test", "Long", false, ""},         // longer than the value buffer
      {"SOFTWARE\\Test", "Missing", false, ""},
      {"SOFTWARE\\Nothing", "Text", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    std::string text = "before";
    EXPECT_EQ(w.GetKeyValue(HKEY_LOCAL_MACHINE, c.key, c.value, text), c.read);
    EXPECT_EQ(text, c.text);
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(AboutWindow, SystemInfoStartsTheViewerTheRegistryNames) {
  // The registry finds this machine's viewer on the PATH: a stand-in that leaves a mark.
  const std::string bin = dir.file("bin");
  std::filesystem::create_directory(bin);
  writeViewer(bin + "/hardinfo2", dir.file("viewer-ran"));
  const std::string oldPath = ::getenv("PATH") ? ::getenv("PATH") : "";
  ::setenv("PATH", (bin + ":" + oldPath).c_str(), 1);
  frmAbout().Show();
  EXPECT_TRUE(frmAbout().cmdSysInfo.UserClick());
  ::setenv("PATH", oldPath.c_str(), 1);
  EXPECT_TRUE(ran(dir.file("viewer-ran")));

  // Without the first value, the folder of the second holding MSINFO32.EXE.
  const std::string tools = dir.file("tools");
  std::filesystem::create_directory(tools);
  writeViewer(tools + "/MSINFO32.EXE", dir.file("msinfo-ran"));
  registry::testhooks::SetKey("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", {});
  registry::testhooks::SetKey("SOFTWARE\\Microsoft\\Shared Tools Location", {{"MSINFO", registry::REG_SZ, tools + '\0'}});
  EXPECT_TRUE(frmAbout().cmdSysInfo.UserClick());
  EXPECT_TRUE(ran(dir.file("msinfo-ran")));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(reports.empty());
}

TEST_F(AboutWindow, SystemInfoDoesNothingWithoutAViewerAndReportsOneThatCannotStart) {
  using registry::testhooks::SetKey;
  frmAbout().Show();
  // No viewer anywhere, or a folder without MSINFO32.EXE: nothing happens.
  SetKey("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", {});
  EXPECT_TRUE(frmAbout().cmdSysInfo.UserClick());
  SetKey("SOFTWARE\\Microsoft\\Shared Tools Location", {{"MSINFO", registry::REG_SZ, dir.path() + '\0'}});
  EXPECT_TRUE(frmAbout().cmdSysInfo.UserClick());
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(reports.empty());

  // A registered path that is not there.
  SetKey("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", {{"PATH", registry::REG_SZ, dir.file("gone") + '\0'}});
  EXPECT_TRUE(frmAbout().cmdSysInfo.UserClick());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(std::tuple(reports[0].text, reports[0].number), std::tuple(std::string("frmAbout.StartSysInfo"), 53L));
  EXPECT_EQ(host.boxes.size(), 1u);  // the error reporter's box
  EXPECT_TRUE(frmAbout().Loaded());
}

}  // namespace
