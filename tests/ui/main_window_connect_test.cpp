// Connecting the main window to the camera, the status line, the busy guard and closing.
#include <utility>

#include "core/command_lists.h"
#include "tests/ui/main_window_fixture.h"

namespace uitest {
namespace {

const long kGreen = forms::RGB(0, 255, 0);
const long kRed = forms::RGB(255, 0, 0);

class MainWindowConnect : public MainWindowTest {
 protected:
  // Records the status text each time its colour is set.
  void recordStatus() {
    win().lblOnLine.Subscribe([this](forms::Control&, forms::Prop what) {
      if (what == forms::Prop::Colors) status.emplace_back(win().lblOnLine.Caption(), win().lblOnLine.ForeColor());
    });
  }
  std::vector<std::pair<std::string, long>> status;
};

// A value within the range of every code, different from the factory defaults where it can be.
uint8_t CameraValue(int c, const clsDataInfo& info) {
  const long span = info.Max - info.Min + 1;
  return static_cast<uint8_t>(info.Min + (c * 37 + 11) % span);
}

TEST_F(MainWindowConnect, StartUpReadsEverySupportedValueIntoItsBoxUpDownAndBar) {
  ASSERT_TRUE(SubMain::mblnSetDataInfo());
  for (int c = 1; c < 255; ++c) config.defaults[c] = CameraValue(c, *gobjDataInfo[c]);
  // White balance pairs whose 3100 K values lie in range.
  config.defaults[0x54] = 120, config.defaults[0x55] = 20, config.defaults[0x56] = 90, config.defaults[0x57] = 90;
  config.defaults[0x58] = 100, config.defaults[0x59] = 155, config.defaults[0x5A] = 0, config.defaults[0x5B] = 3;
  config.firmware = 7;
  ASSERT_TRUE(startProgram());

  EXPECT_TRUE(gblnOnLine);
  EXPECT_EQ(win().lblOnLine.Caption(), "On Line(COM1)");
  EXPECT_EQ(win().lblOnLine.ForeColor(), kGreen);
  EXPECT_EQ(win().lblFirmWareVersion.Caption(), "FirmWare Ver.7");
  EXPECT_TRUE(host.boxes.empty()) << host.boxes.front();
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(gblnKeepNotSupportCmd);
  // The codes the camera refused left the list; the supported ones were read.
  const std::vector<int> read = testutil::Codes(gstrAllCmdList);
  for (uint8_t c : OldLayoutOnlyCodes()) EXPECT_EQ(std::count(read.begin(), read.end(), c), 0) << int(c);
  EXPECT_EQ(std::count(read.begin(), read.end(), 0xD0), 1);
  int bars = 0;
  for (int c : read) {
    SCOPED_TRACE(c);
    const uint8_t v = config.defaults[c];
    EXPECT_EQ(gbyteCurrentData[c], v);
    EXPECT_EQ(win().txtData(c).Text(), std::to_string(v));
    EXPECT_EQ(win().udData(c).Value(), v);
    for (forms::ScrollBar* bar : {static_cast<forms::ScrollBar*>(win().vsData.Find(c)),
                                  static_cast<forms::ScrollBar*>(win().hsData.Find(c))}) {
      if (!bar) continue;
      ++bars;
      EXPECT_EQ(bar->Value(), bar->Tag() == "forward" ? v : bar->Max() - v + bar->Min()) << bar->Tag();
    }
  }
  EXPECT_EQ(bars, 42);
  // Reading changed nothing in the camera.
  EXPECT_EQ(camera().Values(), config.defaults);
}

TEST_F(MainWindowConnect, TheStatusLineNamesPortRateAndStateInItsColour) {
  ASSERT_TRUE(startProgram());
  struct Case {
    bool online, developing;
    int port;
    const char* settings;
    const char* text;
    long colour;
  } cases[] = {
      {true, false, 1, "9600,n,8,2", "On Line(COM1)", kGreen},
      {true, true, 1, "9600,n,8,2", "On Line(COM1/9600bps)", kGreen},
      {true, true, 12, "1200,n,8,2", "On Line(COM12/1200bps)", kGreen},
      {false, true, 3, "9600,n,8,2", "Off Line(COM3)", kRed},
      {false, false, 1, "9600,n,8,2", "Off Line(COM1)", kRed},
  };
  for (const Case& c : cases) {
    gblnOnLine = c.online, gblnDeveloping = c.developing, glngPortNo = c.port, gstrSettings = c.settings;
    EXPECT_TRUE(win().mblnUpdateLineStatusString());
    EXPECT_EQ(win().lblOnLine.Caption(), c.text);
    EXPECT_EQ(win().lblOnLine.ForeColor(), c.colour) << c.text;
  }
  gblnOnLine = true, gblnDeveloping = false, glngPortNo = 1;
}

TEST_F(MainWindowConnect, AReconnectPassesThroughOffLineAndClearsTheBusyFlags) {
  ini = "[Mode]\r\nDeveloping=True\r\n";
  ASSERT_TRUE(startProgram());
  EXPECT_EQ(win().lblOnLine.Caption(), "On Line(COM1/9600bps)");
  recordStatus();
  win().mblnNowProcessing[0x30] = true;
  ASSERT_TRUE(mdlMSComm::gblnMSComm_Close());
  EXPECT_TRUE(win().blnCommStart());
  EXPECT_EQ(status, (std::vector<std::pair<std::string, long>>{{"Off Line(COM1)", kRed},
                                                                {"On Line(COM1/9600bps)", kGreen}}));
  EXPECT_FALSE(win().mblnNowProcessing[0x30]);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(MainWindowConnect, ASilentCameraLeavesTheWindowOffLineAndEditable) {
  silentCamera = true;
  host.sayNo = true;  // no retry
  ASSERT_TRUE(startProgram());
  EXPECT_FALSE(gblnOnLine);
  EXPECT_EQ(win().lblOnLine.Caption(), "Off Line(COM1)");
  EXPECT_EQ(win().lblOnLine.ForeColor(), kRed);
  EXPECT_EQ(win().lblFirmWareVersion.Caption(), "FirmWare Ver.0");
  // Only the link's own questions: time-out, then off line.
  EXPECT_EQ(host.count(331), 1);
  EXPECT_EQ(host.count(333), 1);
  EXPECT_EQ(host.boxes.size(), 2u);
  EXPECT_TRUE(reports.empty());
  // The defaults are shown.
  EXPECT_EQ(win().txtData(0x30).Text(), "48");
  // Off line the window closes without a question and writes the settings file.
  host.boxes.clear();
  win().SSTab1.Tab(3);
  EXPECT_TRUE(closeWindow());
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_NE(settingsFile().find("StartUpTabNo=3"), std::string::npos) << settingsFile();
}

TEST_F(MainWindowConnect, ClosingIsRefusedWhileBusyOrPollingAndAskedWhenOnLine) {
  ASSERT_TRUE(startProgram());
  const std::string cannotClose = vb::LoadResString(368);
  const std::string busy = vb::LoadResString(374);
  const std::string before = settingsFile();

  // Two codes being sent: the close says so once, the busy guard once for each.
  win().mblnNowProcessing[0x30] = win().mblnNowProcessing[0xC0] = true;
  EXPECT_FALSE(closeWindow());
  EXPECT_EQ(host.prompts(), std::vector<std::string>{cannotClose});
  host.boxes.clear();
  EXPECT_FALSE(win().mblnChkNowProcessing());
  EXPECT_EQ(host.prompts(), (std::vector<std::string>{busy, busy}));
  EXPECT_EQ(host.boxes[0], (Box{busy, forms::vbInformation, "Orvadex"}));
  win().mblnNowProcessing.fill(false);
  EXPECT_TRUE(win().mblnChkNowProcessing());

  // The status poll runs.
  host.boxes.clear();
  win().cmdGetCurrentData.Tag("True");
  win().SSTab1.Tab(0);
  EXPECT_TRUE(win().cmdEnd(0).UserClick());
  EXPECT_TRUE(win().Loaded());
  EXPECT_EQ(host.prompts(), std::vector<std::string>{cannotClose});
  win().cmdGetCurrentData.Tag("False");

  // "End?" answered No: nothing stored, the port stays open.
  host.boxes.clear();
  host.answers = {forms::vbNo};
  win().SSTab1.Tab(2);
  EXPECT_FALSE(closeWindow());
  EXPECT_EQ(host.boxes, (std::vector<Box>{{"End?", forms::vbYesNo | forms::vbQuestion, "Orvadex"}}));
  EXPECT_TRUE(win().MSComm1.PortOpen());
  EXPECT_EQ(settingsFile(), before);

  // Yes: the page is stored, the port closed and the settings file written.
  host.boxes.clear();
  win().mnuEnd.UserClick();
  EXPECT_FALSE(win().Loaded());
  EXPECT_EQ(host.prompts(), std::vector<std::string>{"End?"});
  EXPECT_EQ(glngStartUpTabNo, 2);
  EXPECT_NE(settingsFile().find("StartUpTabNo=2"), std::string::npos);
  EXPECT_NE(settingsFile().find("Settings=9600,n,8,2"), std::string::npos);  // the rate found
  EXPECT_TRUE(std::all_of(gobjDataInfo.begin(), gobjDataInfo.end(), [](const auto& e) { return !e; }));
  EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace uitest
