// The file road of the main window against the simulated camera: opening and applying files
// of every kind with each confirmation, the recent-file menu and the settings file, the file
// dialogs, dropped files, the factory controls and the cable-length selector.
#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

#include "core/settings_file.h"
#include "tests/ui/main_window_commands_support.h"
#include "core/variables.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

class FileRoad : public CommandsTest {
 protected:
  // Opens `path` from the menu, the dialog choosing it.
  void openFromMenu(const std::string& path) {
    host.chosenFile = path;
    ASSERT_TRUE(win().mnuFile(1).UserChoose());
    host.chosenFile.reset();
  }
  std::vector<std::string> recent() const {
    return {gstrRecentlyUsedFile.begin(), gstrRecentlyUsedFile.begin() + 5};
  }
  std::vector<std::string> recentMenu() {
    std::vector<std::string> shown;
    for (int i = 0; i < 5; ++i)
      if (win().mnuRecentlyFileName(i).Visible()) shown.push_back(win().mnuRecentlyFileName(i).Caption());
    return shown;
  }
  std::vector<int> sortedCodes(const Wire& pairs) {
    std::vector<int> codes = codesOf(pairs);
    std::sort(codes.begin(), codes.end());
    return codes;
  }
};

// Three settings every camera of the tests supports and a KRV file carries.
const std::vector<int> kChanged{48, 64, 144};

TEST_F(FileRoad, OpeningAFileAppliesExactlyTheDifferingCodesAfterItsConfirmation) {
  struct Case {
    const char* file;
    bool initialSet;
    std::string window;            // the confirmation window
    std::string answer;            // its button
    std::vector<int> boxAnswers;   // message boxes answered in order (others: Yes / OK)
    std::vector<long> messages;    // message boxes shown
    bool applied, stored;
  };
  const std::vector<Case> cases = {
      {"road.cfg", false, "frmDispSelectData", "OK", {forms::vbNo}, {355}, true, false},
      {"road.cfg", false, "frmDispSelectData", "OK", {forms::vbYes}, {355}, true, true},
      {"road.cfg", false, "frmDispSelectData", "Cancel", {}, {351}, false, false},
      {"road.krv", false, "frmDispKRVFileData", "OK", {forms::vbNo}, {355}, true, false},
      {"road.krv", false, "frmDispKRVFileData", "Cancel", {}, {351}, false, false},
      // An initial-set file clears the EEPROM first (its own question), lists the values
      // without Cancel and writes them to EEPROM without asking.
      {"initial.cfg", true, "frmDispSelectData", "", {}, {357}, true, true},
      {"initial.krv", true, "frmDispSelectData", "", {}, {357}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.answer);
    onLine();
    std::map<int, int> changes;
    for (int code : kChanged) changes[code] = other(code);
    const std::string path = parameterFile(c.file, changes, c.initialSet);
    answerWindows({{c.window, c.answer}});
    host.answers.assign(c.boxAnswers.begin(), c.boxAnswers.end());
    gblnDispNewData = false;

    openFromMenu(path);

    EXPECT_THAT(host.modalForms, ElementsAre(c.window));
    EXPECT_THAT(messages(), ElementsAreArray(c.messages)) << ::testing::PrintToString(host.prompts());
    if (c.window == "frmDispKRVFileData") {
      EXPECT_TRUE(gblnDispNewData);
    }
    if (c.window == "frmDispSelectData" && !c.initialSet) {
      EXPECT_EQ(listedMessage, vb::LoadResString(322));
      EXPECT_EQ(listed.size(), kChanged.size());
    }
    if (c.initialSet) {
      EXPECT_EQ(listedMessage, vb::LoadResString(321));
      const Wire all = wire();
      EXPECT_GE(std::count(all.begin(), all.end(), std::make_pair(uint8_t{0}, uint8_t{sim::fnClear})), 1);
    }
    if (c.applied) {
      // Only the three codes go out (after an EEPROM clear, the camera's read-back is sent again
      // by the clear itself, which is not the file's doing).
      EXPECT_THAT(sortedCodes(c.stored ? eepromWrites() : settingsSent()), ElementsAreArray(kChanged));
      for (int code : kChanged) {
        EXPECT_EQ(reg(static_cast<uint8_t>(code)), changes[code]) << code;
        EXPECT_EQ(gbyteCurrentData[static_cast<size_t>(code)], changes[code]) << code;
      }
      EXPECT_EQ(recent()[0], path);
      EXPECT_THAT(recentMenu(), ElementsAre(path));
    } else {
      EXPECT_THAT(settingsSent(), IsEmpty());
      EXPECT_EQ(recent()[0], "");
      EXPECT_FALSE(win().mnuRecently.Visible());
    }
    for (int code : kChanged) EXPECT_EQ(eeprom().count(static_cast<uint8_t>(code)), c.stored ? 1u : 0u) << code;
    EXPECT_TRUE(reports.empty());
    forms::ReleaseDefaultInstances();
    gstrRecentlyUsedFile.assign(6, std::string());
  }
}

// A file's values outside their ranges are replaced by the nearest limit before the file is
// confirmed, sent or stored, and the user is told the keys: the camera's registers and its
// EEPROM take the same values, which survive a power-up.
TEST_F(FileRoad, AFilesValuesOutOfRangeAreReplacedBeforeAnythingIsSentOrStored) {
  onLine();
  // Gamma PositiveY above 31, IRIS Shift below 1, and a red difference that would make the
  // 3100 K value negative.
  const std::string path = parameterFile("range.cfg", {{0x5C, 100}, {0xC3, 0}, {0x54, 10}, {0x55, 200}});
  const std::array<uint8_t, 256> before = gbyteCurrentData;
  answerWindows({{"frmDispSelectData", "OK"}});
  host.answers = {forms::vbOK, forms::vbOK, forms::vbYes};  // the two range messages, "Write EEPROM?"
  openFromMenu(path);

  EXPECT_THAT(messages(), ElementsAre(307, 369, 355));
  ASSERT_EQ(host.boxes.size(), 3u);
  EXPECT_EQ(host.boxes[0].prompt, vb::LoadResString(307) + "\r\n[Gamma]PositiveY=100(Minimum:0,Maximum:31)" +
                                      "\r\n[AutoWhiteBalance]PositiveR5100-3100=200(Minimum:0,Maximum:10)");
  EXPECT_EQ(host.boxes[1].prompt, vb::LoadResString(369) + "\r\n[IRIS]Shift=0(Minimum:1,Maximum:255)");
  const std::string was = "(" + std::to_string(before[0x5C]) + ")";
  EXPECT_THAT(listed, ::testing::Contains("PositiveY=31" + was));
  EXPECT_THAT(sortedCodes(eepromWrites()), ElementsAre(0x54, 0x55, 0x5C, 0xC3));
  for (const auto& [code, value] : wire()) EXPECT_FALSE(code == 0x5C && value > 31);
  EXPECT_EQ(reg(0x5C), 31);
  EXPECT_EQ(reg(0xC3), 1);
  EXPECT_EQ(reg(0x55), 10);
  for (const auto& [code, value] : eeprom()) EXPECT_EQ(value, reg(code)) << int(code);
  EXPECT_EQ(gbyteCurrentData, camera().Values());
  const std::array<uint8_t, 256> applied = camera().Values();
  camera().PowerUp();
  EXPECT_EQ(camera().Values(), applied);
  EXPECT_TRUE(reports.empty());
}

// Values beyond a byte, either side, are replaced and named like any other value out of its
// range: no overflow, nothing outside a range sent or stored.
TEST_F(FileRoad, AFilesValuesBeyondAByteAreReplacedTheSameWay) {
  onLine();
  const std::string path = parameterFile("huge.cfg", {});
  for (const auto& [section, key, text] : std::vector<std::array<const char*, 3>>{{"Switch", "DIPSwitch", "256"},
                                                                                 {"Y", "PositivePedestalLevel", "9999"},
                                                                                 {"Gamma", "PositiveY", "1000"},
                                                                                 {"IRIS", "Shift", "-300"}})
    mdlCommon::WritePrivateProfileString(section, key, text, path);
  answerWindows({{"frmDispSelectData", "OK"}});
  host.answers = {forms::vbOK, forms::vbOK, forms::vbYes};  // the two range messages, "Write EEPROM?"
  openFromMenu(path);

  EXPECT_THAT(messages(), ElementsAre(307, 369, 355));
  ASSERT_EQ(host.boxes.size(), 3u);
  EXPECT_EQ(host.boxes[0].prompt, vb::LoadResString(307) + "\r\n[Switch]DIPSwitch=256(Minimum:0,Maximum:255)" +
                                      "\r\n[Y]PositivePedestalLevel=9999(Minimum:0,Maximum:255)" +
                                      "\r\n[Gamma]PositiveY=1000(Minimum:0,Maximum:31)");
  EXPECT_EQ(host.boxes[1].prompt, vb::LoadResString(369) + "\r\n[IRIS]Shift=-300(Minimum:1,Maximum:255)");
  for (const auto& [code, value] : std::vector<std::pair<uint8_t, uint8_t>>{{0x01, 255}, {0x31, 255}, {0x5C, 31}, {0xC3, 1}}) {
    EXPECT_EQ(reg(code), value) << int(code);
    EXPECT_EQ(gbyteCurrentData[code], value) << int(code);
  }
  for (const auto& [code, value] : eeprom()) EXPECT_EQ(value, reg(code)) << int(code);
  EXPECT_TRUE(reports.empty());
  EXPECT_FALSE(dir.exists("orvadex.ERR"));
}

TEST_F(FileRoad, AFileEqualToTheCameraSendsNothingAndStaysOutOfTheRecentList) {
  onLine();
  const std::string path = parameterFile("same.cfg", {});
  openFromMenu(path);
  EXPECT_THAT(messages(), ElementsAre(354));
  EXPECT_THAT(host.modalForms, IsEmpty());
  EXPECT_THAT(wire(), IsEmpty());
  EXPECT_THAT(recent(), ElementsAre("", "", "", "", ""));
  EXPECT_FALSE(win().mnuRecently.Visible());
}

TEST_F(FileRoad, TheRecentListTheMenuAndTheSettingsFileFollowEveryOpenAndSave) {
  onLine();
  answerWindows({{"frmDispSelectData", "OK"}});
  host.sayNo = true;  // "Write EEPROM?": send only
  const int valueA = other(64), valueB = valueA + 1;
  const std::string a = parameterFile("a.cfg", {{64, valueA}});
  const std::string b = parameterFile("b.cfg", {{64, valueB}});
  openFromMenu(a);
  openFromMenu(b);
  EXPECT_THAT(recentMenu(), ElementsAre(b, a));
  // Chosen again from the menu, a file moves to the top.
  ASSERT_TRUE(win().mnuRecentlyFileName(1).UserChoose());
  EXPECT_THAT(recentMenu(), ElementsAre(a, b));
  EXPECT_EQ(reg(64), valueA);
  // A save adds its file too.
  host.chosenFile = dir.file("saved.krv");
  ASSERT_TRUE(win().mnuFile(2).UserChoose());
  EXPECT_TRUE(dir.exists("saved.krv"));
  EXPECT_THAT(recentMenu(), ElementsAre(dir.file("saved.krv"), a, b));
  ASSERT_TRUE(SubMain::gblnWriteInitFile());
  EXPECT_NE(settingsFile().find("Recently00=" + dir.file("saved.krv")), std::string::npos) << settingsFile();
  EXPECT_NE(settingsFile().find("Recently02=" + b), std::string::npos) << settingsFile();

  // A recent file that has gone: the loader says so, the list stays.
  std::filesystem::remove(b);
  settle();
  ASSERT_TRUE(win().mnuRecentlyFileName(2).UserChoose());
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].prompt.find(vb::LoadResString(351)), std::string::npos) << host.boxes[0].prompt;
  EXPECT_THAT(recentMenu(), ElementsAre(dir.file("saved.krv"), a, b));

  ASSERT_TRUE(win().mnuRecentlyFilesClear.UserChoose());
  EXPECT_THAT(recentMenu(), IsEmpty());
  EXPECT_FALSE(win().mnuRecently.Visible());
  EXPECT_TRUE(reports.empty());
}

TEST_F(FileRoad, TheDialogsOfferTheirFiltersAndACancelChangesNothing) {
  onLine();
  const std::string open = "KRV File(*.KRV)|*.KRV|CFG File(*.CFG)|*.CFG|MZL File(*.MZL)|*.MZL|All File(*.*)|*.*";
  struct Case {
    int menu;
    bool developing;
    std::string filter;
  };
  const std::vector<Case> cases = {
      {1, false, open},
      {1, true, open},
      {2, false, "KRV File(*.KRV)|*.KRV|CFG File(*.CFG)|*.CFG|All File(*.*)|*.*"},
      {2, true, "KRV File(*.KRV)|*.KRV|CFG File(*.CFG)|*.CFG|DEV File(*.DEV)|*.DEV|All File(*.*)|*.*"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    settle();
    host.requests.clear();
    gblnDeveloping = c.developing;
    ASSERT_TRUE(win().mnuFile(c.menu).UserChoose());  // cancelled
    ASSERT_EQ(host.requests.size(), 1u);
    const forms::FileDialogRequest& r = host.requests[0];
    EXPECT_EQ(r.Save, c.menu == 2);
    EXPECT_EQ(r.Filter, c.filter);
    EXPECT_EQ(r.FilterIndex, 2);
    EXPECT_EQ(r.DefaultExt, "CFG");
    EXPECT_EQ(r.DialogTitle, "Orvadex");
    EXPECT_EQ((r.Flags & forms::cdlOFNOverwritePrompt) != 0, c.menu == 2);
    EXPECT_THAT(messages(), ElementsAre(351));
    EXPECT_THAT(wire(), IsEmpty());
  }
  // Browsing for the factory box: the open dialog; Cancel keeps the text.
  win().SSTab1.Tab(12);
  win().txtFileName.Text("kept.cfg");
  settle();
  host.requests.clear();
  ASSERT_TRUE(win().cmdSelectFile.UserClick());
  EXPECT_EQ(host.requests.at(0).Filter, open);
  EXPECT_EQ(win().txtFileName.Text(), "kept.cfg");
  EXPECT_THAT(messages(), ElementsAre(351));
}

TEST_F(FileRoad, OfSeveralDroppedFilesOnlyTheFirstIsOpened) {
  onLine();
  answerWindows({{"frmDispSelectData", "OK"}});
  host.sayNo = true;
  const uint8_t value = static_cast<uint8_t>(other(64));
  const std::string first = parameterFile("first.cfg", {{64, value}});
  const std::string second = parameterFile("second.cfg", {{65, other(65)}});
  ASSERT_TRUE(win().SSTab1.UserDropFiles({first, second}));
  EXPECT_THAT(settingsSent(), ElementsAre(std::make_pair(uint8_t{64}, value)));
  EXPECT_THAT(recentMenu(), ElementsAre(first));
}

TEST_F(FileRoad, CheckListsEveryCodeOfTheFileWithTheCamerasAndTheFilesValues) {
  onLine();
  const std::string path = parameterFile("check.cfg", {});
  const size_t fileCodes = vb::Split(gstrAllCmdList, ",").size();
  answerWindows({});
  win().SSTab1.Tab(12);
  win().txtFileName.Text(path);
  ASSERT_TRUE(win().cmdCheck.UserClick());
  EXPECT_EQ(listedMessage, vb::LoadResString(371) + vb::vbCrLf + vb::LoadResString(370));
  EXPECT_EQ(listed.size(), fileCodes);
  EXPECT_THAT(wire(), IsEmpty());  // nothing is sent

  // The camera changed since: 372, and the row reads camera value (file value).
  const uint8_t before = gbyteCurrentData[64];
  gbyteCurrentData[64] = static_cast<uint8_t>(other(64));
  ASSERT_TRUE(win().cmdCheck.UserClick());
  EXPECT_EQ(listedMessage, vb::LoadResString(372) + vb::vbCrLf + vb::LoadResString(370));
  EXPECT_EQ(listed.size(), fileCodes);
  const std::string row = gobjDataInfo[64]->KeyName + "=" + vb::CStr(gbyteCurrentData[64]) + "(" + vb::CStr(before) + ")";
  EXPECT_NE(std::find(listed.begin(), listed.end(), row), listed.end()) << row;
  EXPECT_TRUE(reports.empty());
}

TEST_F(FileRoad, ReadFileAndWriteEepromAppliesTheFactoryFileThenChecks) {
  onLine();
  answerWindows({{"frmDispSelectData", "OK"}});
  const std::string path = parameterFile("factory.cfg", {{64, other(64)}});
  win().SSTab1.Tab(12);
  win().txtFileName.Text("  " + path + " ");
  win().chkCheckAfterWritting.Value(forms::vbChecked);
  host.answers = {forms::vbYes};  // "Write EEPROM?"
  ASSERT_TRUE(win().cmdReadAndWrite(0).UserClick());
  EXPECT_THAT(host.modalForms, ElementsAre("frmDispSelectData", "frmDispSelectData"));
  EXPECT_EQ(listedMessage, vb::LoadResString(371) + vb::vbCrLf + vb::LoadResString(370));
  EXPECT_EQ(eeprom().count(64), 1u);
}

// Read File And Write EEPROM with a file holding values beyond a byte, then the check after
// writing: each reading of the file names the values replaced, and the check finds the camera
// holding the file as it was applied.
TEST_F(FileRoad, AFileWithValuesBeyondAByteIsWrittenAndThenCheckedWithoutAnError) {
  onLine();
  answerWindows({{"frmDispSelectData", "OK"}});
  const std::string path = parameterFile("factory.cfg", {});
  mdlCommon::WritePrivateProfileString("Gamma", "PositiveY", "5000", path);
  mdlCommon::WritePrivateProfileString("IRIS", "Shift", "-300", path);
  win().SSTab1.Tab(12);
  win().txtFileName.Text(path);
  win().chkCheckAfterWritting.Value(forms::vbChecked);
  host.answers = {forms::vbOK, forms::vbOK, forms::vbYes, forms::vbOK, forms::vbOK};
  ASSERT_TRUE(win().cmdReadAndWrite(0).UserClick());
  EXPECT_THAT(messages(), ElementsAre(307, 369, 355, 307, 369));
  EXPECT_EQ(host.boxes[3].prompt, vb::LoadResString(307) + "\r\n[Gamma]PositiveY=5000(Minimum:0,Maximum:31)");
  EXPECT_EQ(host.boxes[4].prompt, vb::LoadResString(369) + "\r\n[IRIS]Shift=-300(Minimum:1,Maximum:255)");
  EXPECT_EQ(listedMessage, vb::LoadResString(371) + vb::vbCrLf + vb::LoadResString(370));
  EXPECT_EQ(reg(0x5C), 31);
  EXPECT_EQ(reg(0xC3), 1);
  EXPECT_EQ(eeprom().at(0x5C), 31);
  EXPECT_TRUE(reports.empty());
}

// ---- Cable length ------------------------------------------------------------------------------

class CableLength : public FileRoad {
 protected:
  void files(const std::vector<std::string>& names) {
    std::filesystem::create_directories(dir.file("cfg"));
    for (const std::string& n : names) dir.write("cfg/" + n, "");
  }
  std::vector<std::string> entries() {
    std::vector<std::string> out;
    for (int i = 0; i < win().cmbCableLength.ListCount(); ++i) out.push_back(win().cmbCableLength.List(i));
    return out;
  }
};

TEST_F(CableLength, TheListIsSortedByLengthAndSystemWithoutDuplicatesOrShortNames) {
  struct Case {
    bool onLine;
    uint8_t firmware, model;
    std::vector<std::string> files;
    bool frameShown;
    std::vector<std::string> entries;
  };
  const std::vector<std::string> folder = {"cable02n20.cfg", "cable02n5.cfg", "cable01p10.cfg", "cable02p5.cfg",
                                           "cable02w5.cfg",  "cable02p10.cfg", "cable02.cfg",   "cable02nx.cfg",
                                           "cable02n7.5.cfg", "other02n3.cfg"};
  const std::vector<Case> cases = {
      {false, 0, 0, folder, true,
       {"5m [NTSC/PAL]", "5m [NTSC]", "5m [PAL]", "7.5m [NTSC]", "10m [PAL]", "20m [NTSC]"}},
      {true, 2, 24, folder, true,
       {"5m [NTSC/PAL]", "5m [NTSC]", "5m [PAL]", "7.5m [NTSC]", "10m [PAL]", "20m [NTSC]"}},
      {true, 1, 24, folder, true, {"10m [PAL]"}},
      {true, 2, 23, folder, false, {}},
      {false, 0, 0, {}, true, {}},
      {true, 2, 24, {"cable02n010.cfg", "cable02N10.cfg"}, true, {"10m [NTSC]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.entries));
    std::filesystem::remove_all(dir.file("cfg"));
    files(c.files);
    ASSERT_TRUE(loadWindow());
    gblnOnLine = c.onLine;
    gbyteFirmVersion = c.firmware;
    gbyteCameraModel = c.model;
    EXPECT_TRUE(win().mblnDispCableLengthButton());
    EXPECT_EQ(win().fraSetCableLength.Visible(), c.frameShown);
    EXPECT_THAT(entries(), ElementsAreArray(c.entries));
    const bool usable = !c.entries.empty();
    EXPECT_EQ(win().cmbCableLength.Enabled(), usable);
    EXPECT_EQ(win().cmdReadAndWrite(1).Enabled(), usable);
    EXPECT_EQ(win().cmdWriteEEPROM(12).Enabled(), usable);
    if (usable) {
      EXPECT_EQ(win().cmbCableLength.Text(), c.entries[0]);
    }
    EXPECT_TRUE(reports.empty());
    gblnOnLine = false;
  }
}

TEST_F(CableLength, SetOpensTheFileOfTheChosenEntry) {
  onLine();
  files({"cable02p5.cfg", "cable01n7.5.cfg"});
  parameterFile("cfg/cable02n7.5.cfg", {{32, other(32)}, {33, other(33)}});
  ASSERT_TRUE(win().mblnDispCableLengthButton());
  ASSERT_THAT(entries(), ElementsAre("5m [PAL]", "7.5m [NTSC]"));
  win().SSTab1.Tab(12);
  win().cmbCableLength.ListIndex(1);
  answerWindows({{"frmDispSelectData", "OK"}});
  host.answers = {forms::vbYes};  // "Write EEPROM?"
  settle();
  ASSERT_TRUE(win().cmdReadAndWrite(1).UserClick());
  EXPECT_EQ(listedMessage, vb::LoadResString(322));
  EXPECT_THAT(messages(), ElementsAre(355));
  EXPECT_THAT(codesOf(eepromWrites()), UnorderedElementsAreArray({32, 33}));
  EXPECT_EQ(recent()[0], dir.file("cfg/cable02n7.5.cfg"));

  // A camera without the feature: 376, nothing opened.
  gbyteCameraModel = 23;
  settle();
  ASSERT_TRUE(win().cmdReadAndWrite(1).UserClick());
  EXPECT_THAT(messages(), ElementsAre(376));
  EXPECT_THAT(wire(), IsEmpty());
}

// Names that write the length otherwise than the entry shows it: each entry opens the very
// file that was found for it, also an entry that files of both data versions give.
TEST_F(CableLength, EveryListedEntryOpensTheFileFoundForIt) {
  onLine();
  gbyteFirmVersion = 1;
  struct File {
    const char* name;
    const char* entry;
    int value;  // of code 32 in the file
  };
  const std::vector<File> found = {{"cable01n010.cfg", "10m [NTSC]", 11},
                                   {"cable01p2.50.cfg", "2.5m [PAL]", 12},
                                   {"cable01w1e1.cfg", "10m [NTSC/PAL]", 13},
                                   {"cable02n0.5.cfg", "0.5m [NTSC]", 99},  // another firmware's
                                   {"cable01n.5.cfg", "0.5m [NTSC]", 14}};
  for (const File& f : found) parameterFile(std::string("cfg/") + f.name, {{32, f.value}});
  gblnOnLine = false;  // every version is listed
  ASSERT_TRUE(win().mblnDispCableLengthButton());
  gblnOnLine = true;
  ASSERT_THAT(entries(), ElementsAre("0.5m [NTSC]", "2.5m [PAL]", "10m [NTSC/PAL]", "10m [NTSC]"));
  win().SSTab1.Tab(12);
  for (const File& f : found) {
    if (f.value == 99) continue;
    SCOPED_TRACE(f.name);
    const std::vector<std::string> shown = entries();
    const auto entry = std::find(shown.begin(), shown.end(), std::string(f.entry));
    ASSERT_NE(entry, shown.end());
    win().cmbCableLength.ListIndex(static_cast<int>(entry - shown.begin()));
    answerWindows({{"frmDispSelectData", "OK"}});
    host.answers = {forms::vbYes};  // "Write EEPROM?"
    settle();
    ASSERT_TRUE(win().cmdReadAndWrite(1).UserClick());
    EXPECT_THAT(messages(), ElementsAre(355));
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(reg(32), f.value);
    EXPECT_EQ(recent()[0], dir.file(std::string("cfg/") + f.name));
  }
}

}  // namespace
}  // namespace uitest
