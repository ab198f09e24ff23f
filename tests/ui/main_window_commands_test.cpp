// The camera commands of the main window against the simulated camera: the page writes to
// EEPROM with their code groups, the off-line prompt, the EEPROM menu, the port, batch and
// window menus, and help.
#include <gmock/gmock.h>

#include "link/batch_window.h"
#include "link/port_change_window.h"
#include "platform/app/app.h"
#include "platform/forms/scripted_host.h"
#include "tests/ui/main_window_commands_support.h"
#include "core/variables.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class Commands : public CommandsTest {
 protected:
  void TearDown() override {
    vb::App::HelpFile("");
    CommandsTest::TearDown();
  }
  // The user presses "Write(&W)" on page `tab`.
  void pressWrite(int tab) {
    win().SSTab1.Tab(tab);
    ASSERT_TRUE(win().cmdWriteEEPROM(tab).UserClick()) << tab;
  }
};

std::vector<int> numbers(const std::string& list) { return testutil::Codes(list); }

TEST_F(Commands, APageWriteStoresThePagesSupportedCodesInTheCamerasEeprom) {
  // The cameras of these tests do not support 0x42, 0x43, 0xC1 and 0xC2 (66, 67, 193, 194).
  const std::vector<std::string> stored = {
      "1,2,65,64,144,145,146,147,11,10",
      "48,49,50,51,52,53,54,55,68,69",
      "57,56,59,58,61,60,77,76,104,105",
      "92,93,94,95",
      "113,114,120,121,122,123,124,125,126,127,112,115,116,117",
      "192,200,201,202,203,204,205,206,207,195,230,229,228,226,225,224,208,209,210,211,212,213,214,215",
      "32,33,34,35,39,36,37,38,40,41,42,43,44,45,46,47",
      "2,4",
      "3,197,196,78,79,118,119,106,107",
      "3,142,140,141,128,130,129,131,132,198,199",
      "84,85,88,89,86,87,90,91,136,137,138,139",
      "100,101,102,103,108,109,110,111,240,241,242,243,244,245,246,247,248,249,250,251,80,81,82,83",
      "32,33,34,35,36,37,38,44",
  };
  cableFiles();
  ini = "[Mode]\r\nDeveloping=True\r\n";  // every page shown
  for (int tab = 0; tab <= 12; ++tab) {
    SCOPED_TRACE("page " + std::to_string(tab));
    onLine();
    const std::vector<int> codes = numbers(stored[static_cast<size_t>(tab)]);
    for (int code : codes) gbyteCurrentData[static_cast<size_t>(code)] = static_cast<uint8_t>(other(code));
    answerWindows({{"frmDispSelectData", "OK"}});
    pressWrite(tab);
    EXPECT_EQ(listedMessage, vb::LoadResString(321));
    EXPECT_EQ(listed.size(), codes.size());
    EXPECT_THAT(codesOf(eepromWrites()), ElementsAreArray(codes));
    for (int code : codes) {
      EXPECT_EQ(eeprom().count(static_cast<uint8_t>(code)), 1u) << code;
      EXPECT_EQ(reg(static_cast<uint8_t>(code)), gbyteCurrentData[static_cast<size_t>(code)]) << code;
    }
    EXPECT_THAT(messages(), IsEmpty());
    EXPECT_TRUE(reports.empty());
  }
}

TEST_F(Commands, ThePageOfTheCableLengthFollowsTheFirmwareAndTheModel) {
  struct Case {
    uint8_t firmware, model;
    std::vector<long> messages;
    std::string written;
  };
  cableFiles();
  const std::vector<Case> cases = {
      {1, 24, {}, "32,33,34,35,36,37,38,44,145,147"},
      {2, 24, {}, "32,33,34,35,36,37,38,44"},
      {3, 24, {}, "32,33,34,35,36,37,38,44"},
      {1, 23, {376}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.firmware) + "/" + std::to_string(c.model));
    config.firmware = c.firmware;
    config.model = c.model;
    onLine();
    answerWindows({{"frmDispSelectData", "OK"}});
    win().SSTab1.Tab(12);
    if (c.model != 24) {
      // The frame is hidden on line on other models; its button can still be reached (after
      // the frame was shown off line, for example).
      win().fraSetCableLength.Visible(true);
      win().cmdWriteEEPROM(12).Enabled(true);
    }
    ASSERT_TRUE(win().cmdWriteEEPROM(12).UserClick());
    EXPECT_THAT(messages(), ElementsAreArray(c.messages));
    if (c.written.empty()) {
      EXPECT_THAT(host.modalForms, IsEmpty());
      EXPECT_THAT(wire(), IsEmpty());
    } else {
      EXPECT_THAT(codesOf(eepromWrites()), ElementsAreArray(numbers(c.written)));
    }
  }
}

TEST_F(Commands, APageWithoutSupportedCodesWritesTheEmptyListWithoutADialog) {
  config.unsupported.insert({92, 93, 94, 95});
  onLine();
  pressWrite(3);
  EXPECT_THAT(host.modalForms, IsEmpty());
  EXPECT_THAT(messages(), IsEmpty());
  EXPECT_THAT(eepromWrites(), IsEmpty());
  EXPECT_TRUE(reports.empty());
}

TEST_F(Commands, APageWriteCancelledInTheListWritesNothing) {
  onLine();
  answerWindows({{"frmDispSelectData", "Cancel"}});
  pressWrite(7);
  EXPECT_THAT(messages(), ElementsAre(351));
  EXPECT_EQ(host.boxes[0].buttons, forms::vbOKOnly + forms::vbInformation);
  EXPECT_THAT(wire(), IsEmpty());
}

TEST_F(Commands, OffLineTheCommandsOfferAReconnectAndRunNothing) {
  struct Case {
    std::string command;
    int answer;       // to "Reboot?" (310)
    int cancelIcon;   // of the 351 that follows
  };
  const std::vector<Case> cases = {
      {"write", forms::vbNo, forms::vbInformation},
      {"write", forms::vbYes, forms::vbExclamation},  // the camera still does not answer
      {"eeprom", forms::vbNo, forms::vbInformation},
      {"eeprom", forms::vbYes, forms::vbExclamation},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command + " " + std::to_string(c.answer));
    silentCamera = true;
    gblnOnLine = false;
    host.sayNo = true;  // no retry
    ASSERT_TRUE(startProgram());
    host.sayNo = false;
    gbyteFirmVersion = 2;
    settle();
    host.sayNo = true;  // no retry at the link's questions while the camera stays silent
    host.onBox = [&](const Box& b) {
      if (b.prompt == vb::LoadResString(310)) host.answers = {c.answer};
    };
    if (c.command == "write") pressWrite(0);
    else ASSERT_TRUE(win().mnuEEPROM(1).UserChoose());
    const std::vector<long> shown = messages();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown.front(), 310);
    EXPECT_EQ(host.boxes.front().buttons, forms::vbYesNo + forms::vbExclamation);
    EXPECT_EQ(shown.back(), 351);
    EXPECT_EQ(host.boxes.back().buttons & 0x70, c.cancelIcon);
    EXPECT_EQ(gbyteFirmVersion, 0);
    EXPECT_EQ(win().lblFirmWareVersion.Caption(), "FirmWare Ver.0");
    EXPECT_THAT(settingsSent(), IsEmpty());
    host.onBox = nullptr;
    host.sayNo = false;
  }
}

TEST_F(Commands, AfterTheReconnectOfTheOffLinePromptASecondPressWrites) {
  cableFiles();
  silentCamera = true;
  host.sayNo = true;  // no retry
  ASSERT_TRUE(startProgram());
  ASSERT_FALSE(gblnOnLine);
  camera().SetSilent(false);
  host.sayNo = false;
  settle();
  answerWindows({{"frmDispSelectData", "OK"}});
  host.answers = {forms::vbYes};  // "Reboot?": the camera answers again
  pressWrite(7);
  EXPECT_TRUE(gblnOnLine);
  EXPECT_THAT(messages(), ElementsAre(310));
  EXPECT_THAT(host.modalForms, IsEmpty());
  EXPECT_THAT(eepromWrites(), IsEmpty());  // the reconnect ends the command
  settle();
  pressWrite(7);
  EXPECT_THAT(host.modalForms, ElementsAre("frmDispSelectData"));
  EXPECT_THAT(codesOf(eepromWrites()), ElementsAre(2, 4));
  EXPECT_TRUE(reports.empty());
}

TEST_F(Commands, TheEepromMenuReadsWritesAndClears) {
  struct Case {
    int item;
    uint8_t model;
    std::string fileData;    // the answer in the file-data window
    int answer;              // to the operation's own question
    std::vector<long> messages;
    int tabAfter;
  };
  const std::vector<Case> cases = {
      {1, 24, "", forms::vbYes, {356}, 0},
      {2, 24, "OK", forms::vbYes, {}, 0},
      {2, 24, "Cancel", forms::vbYes, {351}, 0},
      {3, 24, "", forms::vbYes, {357, 375}, 12},
      {3, 24, "", forms::vbNo, {357, 351}, 0},
      {3, 23, "", forms::vbYes, {357}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.item) + " " + c.fileData + " " + std::to_string(c.answer));
    config.model = c.model;
    onLine();
    win().SSTab1.Tab(0);
    gbyteCurrentData[64] = static_cast<uint8_t>(other(64));  // a KRV code the EEPROM then keeps
    answerWindows({{"frmDispKRVFileData", c.fileData}});
    gblnDispNewData = true;
    host.answers = {c.answer};
    ASSERT_TRUE(win().mnuEEPROM(c.item).UserChoose());
    if (host.answers.size() == 1) host.answers.clear();  // the item asked nothing
    EXPECT_THAT(messages(), ElementsAreArray(c.messages));
    EXPECT_EQ(win().SSTab1.Tab(), c.tabAfter);
    const Wire all = wire();
    auto sentSystem = [&](uint8_t function) {
      return std::count(all.begin(), all.end(), std::make_pair(uint8_t{0}, function)) > 0;
    };
    if (c.item == 1) {
      EXPECT_TRUE(sentSystem(sim::fnLoad));
    }
    if (c.item == 3) {
      EXPECT_EQ(sentSystem(sim::fnClear), c.answer == forms::vbYes);
    }
    if (c.item == 2) {
      EXPECT_THAT(host.modalForms, ElementsAre("frmDispKRVFileData"));
      EXPECT_FALSE(gblnDispNewData);
      if (c.fileData == "OK") {
        EXPECT_THAT(codesOf(eepromWrites()), ElementsAreArray(numbers(gstrKRVCmdList)));
        EXPECT_EQ(eeprom().count(64), 1u);
      } else {
        EXPECT_THAT(wire(), IsEmpty());
      }
    }
    EXPECT_TRUE(reports.empty());
  }
}

TEST_F(Commands, PortChangeAsksBeforeOpeningTheSamePortAgain) {
  onLine();
  host.onModal = [](forms::Form& f) {
    if (f.Name() == "frmPortChange") static_cast<FrmPortChange&>(f).btnCancel.UserClick();
  };
  host.answers = {forms::vbNo};
  ASSERT_TRUE(win().mnuPortChange.UserChoose());
  EXPECT_THAT(host.modalForms, ElementsAre("frmPortChange"));
  EXPECT_THAT(messages(), ElementsAre(312));
  EXPECT_EQ(host.boxes[0].buttons, forms::vbYesNo + forms::vbQuestion);
  EXPECT_TRUE(gobjMSComm->PortOpen());  // the connection stays
  EXPECT_THAT(wire(), IsEmpty());
}

TEST_F(Commands, TheBatchWindowAsksForTheRebootOnlyOnLine) {
  // On line: No to "Reboot be done after batch process.OK?" opens nothing.
  ini = "[Mode]\r\nDeveloping=True\r\n";  // the menu item is there in developing mode only
  onLine();
  host.answers = {forms::vbNo};
  ASSERT_TRUE(win().mnuBatch.UserChoose());
  EXPECT_THAT(messages(), ElementsAre(365));
  EXPECT_THAT(host.modalForms, IsEmpty());
  // Off line: the window opens at once; closed without sending, the port stays as it was.
  gblnOnLine = false;
  settle();
  ASSERT_TRUE(win().mnuBatch.UserChoose());
  EXPECT_THAT(messages(), IsEmpty());
  EXPECT_THAT(host.modalForms, ElementsAre("frmBatch"));
  EXPECT_TRUE(gobjMSComm->PortOpen());
  EXPECT_THAT(wire(), IsEmpty());
}

TEST_F(Commands, TheWindowMenusShowTheirWindows) {
  onLine();
  struct Case {
    forms::Menu* menu;
    std::string window;
  };
  const std::vector<Case> cases = {
      {&win().mnuConnectionOption, "frmConectionOption"},
      {&win().mnuVersion, "frmAbout"},
      {&win().mnuAdvancedOperation, "frmPwd"},
      {&win().mnuViewAllData, "frmSimpleStyle"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window);
    settle();
    bool mainShown = true;
    host.onModal = [&](forms::Form&) { mainShown = win().Visible(); };
    ASSERT_TRUE(c.menu->UserChoose());
    EXPECT_THAT(host.modalForms, ElementsAre(c.window));
    // The all-data view takes the main window's place while it is open.
    EXPECT_EQ(mainShown, c.window != "frmSimpleStyle");
    EXPECT_TRUE(win().Visible());
    EXPECT_THAT(messages(), IsEmpty());
  }
}

TEST_F(Commands, HelpOpensTheHelpFileAtTheContextOfTheFocusedControlOrMenuItem) {
  const std::string chm = dir.file("orvadex.chm");
  dir.write("orvadex.chm", "");
  vb::App::HelpFile(chm);
  onLine();
  forms::ScriptedHost help;
  help.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
  win().SSTab1.Tab(0);
  win().cmdReboot(0).SetFocus();
  ASSERT_TRUE(win().mnuHelp.UserChoose());  // the help key goes to the focused button
  ASSERT_TRUE(win().mnuFile(1).UserHelp());  // F1 on the highlighted "Open(&O)..."
  ASSERT_TRUE(win().mnuEEPROM(3).UserHelp());
  EXPECT_THAT(help.HelpShown(), ElementsAre(std::pair<std::string, long>{chm, 205}, std::pair<std::string, long>{chm, 502},
                                            std::pair<std::string, long>{chm, 403}));
}

}  // namespace
}  // namespace uitest
