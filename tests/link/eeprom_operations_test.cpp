// EEPROM operations against the simulated camera: what the camera's EEPROM and registers hold
// afterwards, the questions and messages, and the backup file on every road.
#include <algorithm>
#include <string>
#include <vector>

#include "core/command_lists.h"
#include "core/common_helpers.h"
#include "link/data_list_dialog.h"
#include "link/eeprom_operations.h"
#include "sim/camera.h"
#include "tests/link/link_fixture.h"

namespace linktest {
namespace {

using namespace mdlMSComm;
using Texts = std::vector<std::string>;

class Eeprom : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());  // the real lists: 148 codes, 22 re-sent
    glngSleepTimeUnit = 5;
    open();
    gblnOnLine = true;
    gbyteCurrentData = camera().Values();  // as after the connect's read
  }

  // The value the backup file holds for a code (the key of its parameter definition).
  int backupValue(const std::string& name, int code) const {
    const auto& info = *gobjDataInfo[code];
    return std::stoi(mdlCommon::GetPrivateProfileString(info.SectionName, info.KeyName, "-1", dir.file(name)));
  }

  // The codes of the commands sent while the camera was in EEPROM write mode, in order.
  std::vector<int> writtenInEepromMode() const {
    std::vector<int> codes;
    bool writing = false;
    for (auto [c, d] : wire()) {
      if (c == 0 && d == 0xF3) writing = true;
      else if (c == 0 && (d == 0xF0 || d == 0xFF)) writing = writing && d == 0xFF;
      else if (writing && c != 0) codes.push_back(c);
    }
    return codes;
  }

  static std::string msg(long n) { return vb::LoadResString(n); }

  // The codes of the all-list whose defaults can be changed by adding 1 (not at their maximum).
  std::vector<int> changeableCodes(std::size_t count) {
    std::vector<int> codes;
    const std::vector<int> resentCodes = Codes(gstrWriteCmdList);
    for (int c : Codes(gstrAllCmdList)) {
      const bool resent = std::count(resentCodes.begin(), resentCodes.end(), c) > 0;
      if (!resent && camera().Config().defaults[c] < 255 && codes.size() < count) codes.push_back(c);
    }
    return codes;
  }
};

TEST_F(Eeprom, AccessSequencesOnTheWire) {
  gbyteCurrentData[64] = 7;
  gbyteCurrentData[65] = 9;
  EXPECT_TRUE(gblnEEPROMAccess(eepWrite, "64,65"));
  EXPECT_EQ(wire(), (Wire{{0, 1}, {0, 0xF3}, {64, 7}, {65, 9}, {0, 0xF0}, {0, 0}}));
  EXPECT_FALSE(gblnEEPROMWriting);
  EXPECT_EQ(camera().Eeprom().at(64), 7);
  EXPECT_EQ(camera().Eeprom().at(65), 9);

  // Load: the EEPROM's values come back into the table, the write list goes out again framed.
  camera().SetValue(64, 100);
  gstrAllCmdList = "64,65";
  gstrWriteCmdList = "65";
  camera().ClearReceived();
  gbyteCurrentData[64] = 0;
  EXPECT_TRUE(gblnEEPROMAccess(eepLoad, "ignored"));
  EXPECT_EQ(wire(), (Wire{{0, 1}, {0, 0xFC}, {0, 0}, {0, 1}, {0, 12}, {64, 0}, {65, 0}, {0, 0}, {0, 1}, {65, 9}, {0, 0}}));
  EXPECT_EQ(gbyteCurrentData[64], 7);

  // Clear: erase inside write mode, then as the load.
  camera().ClearReceived();
  EXPECT_TRUE(gblnEEPROMAccess(eepClear, ""));
  const uint8_t d65 = camera().Config().defaults[65];
  EXPECT_EQ(wire(), (Wire{{0, 1}, {0, 0xF3}, {0, 0xFF}, {0, 0xF0}, {0, 0}, {0, 1}, {0, 12}, {64, 0}, {65, 0}, {0, 0},
                          {0, 1}, {65, d65}, {0, 0}}));
  EXPECT_TRUE(camera().Eeprom().empty());
  EXPECT_EQ(gbyteCurrentData[64], camera().Config().defaults[64]);

  camera().ClearReceived();
  EXPECT_TRUE(gblnEEPROMAccess(9, "1"));
  EXPECT_EQ(wire(), (Wire{{0, 1}}));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Eeprom, ReadLoadsTheEepromAndDeletesTheBackup) {
  camera().Eeprom()[64] = 33;
  camera().SetValue(64, 1);
  EXPECT_TRUE(gblnEEPROMOperation(eepOpRead, ""));
  EXPECT_EQ(host.boxes, (std::vector<Box>{{msg(356), forms::vbYesNo + forms::vbQuestion, SubMain::gstrGetAppTitleString()}}));
  EXPECT_EQ(gbyteCurrentData[64], 33);
  EXPECT_EQ(camera().Value(64), 33);
  EXPECT_TRUE(backups().empty());
}

TEST_F(Eeprom, OperationsThatSendNothing) {
  gbyteCurrentData[64] = camera().Config().defaults[64] + 1;
  struct Case {
    int16_t op;
    const char* list;
    bool onLine, result;
    Texts boxes;  // each question answered No
  } cases[] = {
      {eepOpRead, "", true, false, {msg(356), msg(351)}},
      {eepOpClear, "", true, false, {msg(357), msg(351)}},
      {eepOpOptimize, "", true, false, {msg(363), msg(351)}},
      {eepOpWrite, "64", false, false, {}},  // off line: fails at once without a message
      {eepOpWrite, "", true, true, {}},      // an empty list
      // Only 2 and 4 write; any other number than the four of the menu neither asks nor writes.
      {0, "64", true, true, {}},
      {5, "64", true, true, {}},
      {-1, "64", true, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.op);
    host.boxes.clear();
    host.answers = {forms::vbNo};
    gblnOnLine = c.onLine;
    EXPECT_EQ(gblnEEPROMOperation(c.op, c.list), c.result);
    EXPECT_EQ(host.prompts(), c.boxes);
    if (!c.boxes.empty()) {
      EXPECT_EQ(host.boxes.at(1).buttons, forms::vbOKOnly + forms::vbInformation);
    }
  }
  EXPECT_TRUE(wire().empty());
  EXPECT_TRUE(camera().Eeprom().empty());
  EXPECT_TRUE(backups().empty());
  EXPECT_TRUE(reports.empty());
}

TEST_F(Eeprom, WriteStoresTheGivenCodesWithTheCurrentValues) {
  gbyteCurrentData[64] = camera().Config().defaults[64] + 1;
  gbyteCurrentData[144] = camera().Config().defaults[144] + 1;
  EXPECT_TRUE(gblnEEPROMOperation(eepOpWrite, "64,144"));
  EXPECT_EQ(writtenInEepromMode(), (std::vector<int>{64, 144}));
  EXPECT_EQ(camera().Eeprom().size(), 2u);
  EXPECT_EQ(camera().Eeprom().at(64), gbyteCurrentData[64]);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(backups().empty());
}

TEST_F(Eeprom, ClearErasesReadsBackAndResendsTheWriteList) {
  camera().Eeprom()[64] = 33;
  camera().Eeprom()[32] = 5;
  camera().PowerUp();
  gbyteCurrentData = camera().Values();
  EXPECT_TRUE(gblnEEPROMOperation(eepOpClear, ""));
  EXPECT_EQ(host.prompts(), (Texts{msg(357)}));
  EXPECT_TRUE(camera().Eeprom().empty());
  for (int c : Codes(gstrAllCmdList)) EXPECT_EQ(gbyteCurrentData[c], camera().Config().defaults[c]) << c;
  // The last sequence re-sends the write list from the values just read.
  const Wire w = wire();
  const auto list = Codes(gstrWriteCmdList);
  ASSERT_GE(w.size(), list.size() + 2);
  EXPECT_EQ(w.back(), (std::pair<uint8_t, uint8_t>{0, 0}));
  for (std::size_t i = 0; i < list.size(); ++i) {
    const auto [c, d] = w[w.size() - 1 - list.size() + i];
    EXPECT_EQ(c, list[i]);
    EXPECT_EQ(d, camera().Config().defaults[list[i]]);
  }
  EXPECT_TRUE(backups().empty());
}

TEST_F(Eeprom, OptimiseWithNothingChangedWritesNothing) {
  camera().Eeprom()[64] = 33;  // the EEPROM holds a field, but the user's value is the default
  EXPECT_TRUE(gblnEEPROMOperation(eepOpOptimize, ""));
  EXPECT_EQ(host.prompts(), (Texts{msg(363), msg(358), msg(361)}));
  EXPECT_TRUE(writtenInEepromMode().empty());
  EXPECT_TRUE(camera().Eeprom().empty());
  EXPECT_TRUE(backups().empty());
}

TEST_F(Eeprom, OptimiseWithSeventyChangedCodesSendsAllAndTheEepromKeepsSixtyThree) {
  const std::vector<int> changed = changeableCodes(70);
  ASSERT_EQ(changed.size(), 70u);
  for (int c : changed) gbyteCurrentData[c] = camera().Config().defaults[c] + 1;
  const auto user = gbyteCurrentData;
  // Every data-list dialog shown: its message and its rows.
  struct Shown {
    std::string message;
    std::vector<std::string> rows;
  };
  std::vector<Shown> dialogs;
  host.onModal = [&](forms::Form& form) {
    auto& dialog = static_cast<FrmDispSelectData&>(form);
    Shown shown{dialog.lblMsg.Caption(), {}};
    for (forms::Label& row : dialog.lblKeyAndValue) shown.rows.push_back(row.Caption());
    dialogs.push_back(shown);
    dialog.cmdOk.UserClick();
  };
  EXPECT_TRUE(gblnEEPROMOperation(eepOpOptimize, ""));
  // All 70 go out in EEPROM write mode; the camera keeps the first 63 and refuses the rest.
  const std::vector<int> written = writtenInEepromMode();
  ASSERT_EQ(written.size(), 70u);
  std::vector<int> sorted = written;
  std::sort(sorted.begin(), sorted.end());
  std::vector<int> expected = changed;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(sorted, expected);
  EXPECT_EQ(camera().Eeprom().size(), 63u);
  for (std::size_t i = 0; i < written.size(); ++i)
    EXPECT_EQ(camera().Eeprom().count(static_cast<uint8_t>(written[i])), i < 63 ? 1u : 0u) << "position " << i + 1;
  // The user's values are in the program and in the camera's registers.
  EXPECT_EQ(gbyteCurrentData, user);
  for (int c : changed) EXPECT_EQ(camera().Value(c), user[c]);
  // First the 70 codes to write; then the 7 refused by the camera (listed by the sender), and
  // the codes at positions 64 to 70 of the write list under the 63-field message.
  auto row = [&](int code) { return "  " + gobjDataInfo[code]->KeyName + "=" + std::to_string(user[code]); };
  std::vector<std::string> beyond;
  for (std::size_t i = 63; i < written.size(); ++i) beyond.push_back(row(written[i]));
  ASSERT_EQ(dialogs.size(), 3u);
  EXPECT_EQ(dialogs[0].message, msg(321));
  ASSERT_EQ(dialogs[0].rows.size(), 70u);
  for (std::size_t i = 0; i < written.size(); ++i) EXPECT_EQ(dialogs[0].rows[i], row(written[i]));
  const std::string full = msg(359) + "63" + msg(360);
  EXPECT_EQ(dialogs[1].message, full);
  EXPECT_EQ(dialogs[1].rows, beyond);
  EXPECT_EQ(dialogs[2].message, full);
  EXPECT_EQ(dialogs[2].rows, beyond);
  EXPECT_EQ(host.prompts(), (Texts{msg(363), msg(361)}));
  EXPECT_TRUE(backups().empty());
  EXPECT_EQ(forms::Screen.MousePointer(), forms::vbDefault);
}

TEST_F(Eeprom, OptimisedWriteLeavesOutACodeThatChangesNothing) {
  gblnOptimizeWritting = true;
  // 64 differs from the default and the EEPROM holds it; 65 equals both; 144 is new.
  camera().Eeprom()[64] = 33;
  camera().PowerUp();
  gbyteCurrentData = camera().Values();
  gbyteCurrentData[144] = camera().Config().defaults[144] + 1;
  const auto user = gbyteCurrentData;
  EXPECT_TRUE(gblnEEPROMOperation(eepOpWrite, "65,144"));
  EXPECT_TRUE(host.boxes.empty());  // the write list is shown by the data-list dialog only
  // The held field and the new one are written (held first); 65 neither before nor after.
  EXPECT_EQ(writtenInEepromMode(), (std::vector<int>{64, 144}));
  EXPECT_EQ(camera().Eeprom().size(), 2u);
  EXPECT_EQ(camera().Eeprom().at(64), 33);
  EXPECT_EQ(camera().Eeprom().at(144), user[144]);
  EXPECT_EQ(gbyteCurrentData, user);
  EXPECT_TRUE(backups().empty());
}

TEST_F(Eeprom, OptimisedWriteGivesBackTheChangedCodesThatAreNotWritten) {
  gblnOptimizeWritting = true;
  gbyteCurrentData[64] = camera().Config().defaults[64] + 1;
  gbyteCurrentData[144] = camera().Config().defaults[144] + 1;
  const auto user = gbyteCurrentData;
  EXPECT_TRUE(gblnEEPROMOperation(eepOpWrite, "144"));
  EXPECT_EQ(writtenInEepromMode(), (std::vector<int>{144}));
  EXPECT_EQ(camera().Eeprom().size(), 1u);
  // The erase reset 64 in the camera; it is sent again (framed) so the camera works with it.
  EXPECT_EQ(camera().Value(64), user[64]);
  const Wire w = wire();
  ASSERT_GE(w.size(), 3u);
  EXPECT_EQ(w[w.size() - 3], (std::pair<uint8_t, uint8_t>{0, 1}));
  EXPECT_EQ(w[w.size() - 2], (std::pair<uint8_t, uint8_t>{64, user[64]}));
  EXPECT_EQ(gbyteCurrentData, user);
}

TEST_F(Eeprom, ACameraThatFailsMidOperationKeepsTheUsersValuesInTheBackup) {
  const std::vector<int> changed = changeableCodes(5);
  for (int c : changed) gbyteCurrentData[c] = camera().Config().defaults[c] + 1;
  const auto user = gbyteCurrentData;
  // The camera goes silent during the read after the erase.
  camera().AddFault(fault("silent:skip=40"));
  host.answers = {forms::vbYes, forms::vbNo};  // optimise? yes; time-out retry? no
  EXPECT_FALSE(gblnEEPROMOperation(eepOpOptimize, ""));
  EXPECT_FALSE(gblnOnLine);
  const auto found = backups();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(host.boxes.back().prompt, backupNamed(found[0]));
  EXPECT_EQ(host.boxes.back().buttons, forms::vbOKOnly + forms::vbInformation);
  EXPECT_EQ(std::count_if(host.boxes.begin(), host.boxes.end(), [](const Box& b) { return b.prompt == msg(361); }), 0);
  // No user value is lost: the backup holds them; the program shows what it read from the
  // camera last (here the values after the erase).
  for (int c : changed) {
    EXPECT_EQ(backupValue(found[0], c), user[c]) << c;
    EXPECT_EQ(gbyteCurrentData[c], camera().Config().defaults[c]) << c;
  }
  EXPECT_EQ(forms::Screen.MousePointer(), forms::vbDefault);
}

TEST_F(Eeprom, TwoFailuresInTheSameSecondShareOneBackup) {
  // The sync is answered wrongly; asked at once, the user gives up (334 No, 332 No).
  glngRetryWrongReplayBeforeMsg = 0;
  camera().AddFault(fault("corrupt:c=0:d=1:index=0:value=0x55:count=-1"));
  gbyteCurrentData[64] = 11;
  host.answers = {forms::vbNo, forms::vbNo};
  EXPECT_FALSE(gblnEEPROMOperation(eepOpWrite, "64"));
  gbyteCurrentData[64] = 12;
  gbyteCurrentData[65] = 13;
  host.answers = {forms::vbNo, forms::vbNo};
  EXPECT_FALSE(gblnEEPROMOperation(eepOpWrite, "64,65"));
  ASSERT_LT(clock().NowUs(), 1'000'000);  // both within the first second of the virtual clock
  const auto found = backups();
  ASSERT_EQ(found.size(), 1u);
  const std::string named = backupNamed(found[0]);
  EXPECT_EQ(std::count_if(host.boxes.begin(), host.boxes.end(), [&](const Box& b) { return b.prompt == named; }), 2);
  // The second save went into the same file: it holds the later values.
  EXPECT_EQ(backupValue(found[0], 64), 12);
  EXPECT_EQ(backupValue(found[0], 65), 13);
  EXPECT_TRUE(camera().Eeprom().empty());
}

TEST_F(Eeprom, ABackupThatVanishedBeforeItsDeletionIsNoFailure) {
  // The 358 box comes during the operation; the backup disappears while it is up.
  host.onBox = [this](const Box& b) {
    if (b.prompt == msg(358))
      for (const std::string& name : backups()) files::Kill(dir.file(name));
  };
  EXPECT_TRUE(gblnEEPROMOperation(eepOpOptimize, ""));
  // Ends at once: no 361, no report.
  EXPECT_EQ(host.boxes.back().prompt, msg(358));
  EXPECT_TRUE(reports.empty());
}

TEST_F(Eeprom, ABackupThatCannotBeWrittenStopsTheOperationBeforeTheCamera) {
  // The program's folder has gone: the saver writes nothing there and does not say so.
  vb::App::SetLocationForTesting(dir.file("gone"), "orvadex");
  gbyteCurrentData[64] = 11;
  EXPECT_FALSE(gblnEEPROMOperation(eepOpWrite, "64"));
  vb::App::SetLocationForTesting(dir.path(), "orvadex");
  EXPECT_TRUE(wire().empty());
  ASSERT_EQ(reports.size(), 1u);  // the saver's
  EXPECT_EQ(reports[0].text, "SubMain.gblnKRVFileSave");
  EXPECT_EQ(reports[0].number, vb::errPathNotFound);
  for (const Box& b : host.boxes) EXPECT_EQ(b.prompt.find(msg(362)), std::string::npos);  // no backup to name
  EXPECT_TRUE(backups().empty());
}

}  // namespace
}  // namespace linktest
