// EEPROM read, write, clear and write with optimisation.
//
// Every operation first saves the current values to a backup parameter file beside the program
// ("tmp" and the second it was made, kind CFG). The file is deleted when the operation has
// succeeded and named to the user when it failed, so the values the user had are never lost:
// they are in gbyteCurrentData or in that file.
#include "link/eeprom_operations.h"

#include <array>
#include <optional>
#include <span>

#include "core/command_lists.h"
#include "core/parameter_files.h"
#include "core/start_up.h"
#include "core/value_tables.h"
#include "core/variables.h"
#include "link/data_list_dialog.h"
#include "link/link_time.h"
#include "link/mscomm.h"
#include "link/port_access.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/forms/forms.h"
#include "platform/fs/files.h"
#include "platform/vb/vb.h"

namespace mdlMSComm {

namespace {

// System commands of the EEPROM sequences (command byte 0).
constexpr uint8_t kEnd = 0x00;
constexpr uint8_t kSync = 0x01;
constexpr uint8_t kEndEEPROMWrite = 0xF0;
constexpr uint8_t kEEPROMWrite = 0xF3;
constexpr uint8_t kLoadEEPROM = 0xFC;
constexpr uint8_t kClearEEPROM = 0xFF;

// The screen's mouse pointer: the hourglass while the operation works.
void setPointer(bool busy) { forms::Screen.MousePointer(busy ? forms::vbHourglass : forms::vbDefault); }

// The number of fields the camera's EEPROM keeps.
constexpr int kWritableFields = 63;

bool sendSystem(uint8_t function) {
  uint8_t replyCommand = 0, replyData = 0;
  return gblnSendSettingData(0, function, replyCommand, replyData);
}

// After a load or an erase the camera works with the EEPROM's values: read them all, then send
// the timing and chroma-setup registers again from them.
bool readBackAndResend() {
  if (!gblnGetDataFromCamera(gstrAllCmdList)) return false;
  return gblnSetDataFromPC(gstrWriteCmdList, true);
}

std::string backupFileName() {
  return vb::App::Path() + "/tmp" + vb::Format(LinkNow(), "yyyymmddhhmmss") + ".CFG";
}

int message(long number, int buttons) {
  return forms::MsgBox(vb::LoadResString(number), buttons, SubMain::gstrGetAppTitleString());
}

// The codes of a list from its `first` item (0-based) on, as written.
std::string listFrom(const std::string& list, std::size_t first) {
  const std::vector<std::string> items = vb::Split(list, ",");
  std::string rest;
  for (std::size_t i = first; i < items.size(); ++i) {
    if (!rest.empty()) rest += ",";
    rest += items[i];
  }
  return rest;
}

std::size_t itemCount(const std::string& list) { return vb::Split(list, ",").size(); }

}  // namespace

bool gblnEEPROMAccess(int16_t vintMode, std::string vstrCmdList) {
  const bool ok = vb::guarded("mdlMSComm.gblnEEPROMAccess", [&] {
    if (!sendSystem(kSync)) return false;
    switch (vintMode) {
      case eepLoad:
        if (!sendSystem(kLoadEEPROM) || !sendSystem(kEnd)) return false;
        return readBackAndResend();
      case eepWrite:
        if (!sendSystem(kEEPROMWrite)) return false;
        gblnEEPROMWriting = true;
        if (!gblnSetDataFromPC(vstrCmdList, false)) return false;
        if (!sendSystem(kEndEEPROMWrite)) return false;
        gblnEEPROMWriting = false;
        return sendSystem(kEnd);
      case eepClear:
        if (!sendSystem(kEEPROMWrite) || !sendSystem(kClearEEPROM) || !sendSystem(kEndEEPROMWrite) ||
            !sendSystem(kEnd))
          return false;
        return readBackAndResend();
      default:
        return true;
    }
  });
  if (!ok) gblnEEPROMWriting = false;
  return ok;
}

bool gblnEEPROMOperation(int16_t vintOperation, std::string vstrCmdList) {
  const bool optimise = vintOperation == eepOpOptimize || (vintOperation == eepOpWrite && gblnOptimizeWritting);
  std::string backupFile;
  bool backupExists = false;
  // Loading the EEPROM into the registers leaves its read back a read; an erase or a write
  // completes at the session's end, with the reads that go with it.
  std::optional<port::Doing> change;
  if (vintOperation != eepOpRead) change.emplace(port::Work::Change);

  // False without a report where a callee has reported or the user cancelled; a run-time error
  // is reported by vb::guarded.
  const bool ok = vb::guarded("mdlMSComm.gblnEEPROMOperation", [&] {
    if (!gblnOnLine) return false;

    long question = 0;
    if (vintOperation == eepOpRead) question = 356;
    if (vintOperation == eepOpClear) question = 357;
    if (vintOperation == eepOpOptimize) question = 363;
    if (question != 0 && message(question, forms::vbYesNo + forms::vbQuestion) == forms::vbNo) {
      message(351, forms::vbOKOnly + forms::vbInformation);
      return false;
    }

    std::string writeList = vstrCmdList;
    setPointer(true);

    // The backup of the values the user has now.
    backupFile = backupFileName();
    if (!SubMain::gblnKRVFileSave(backupFile, gbyteCurrentData, false)) return false;
    // The saver passes over a file it could not write; without the file there is no backup.
    if (!files::FileExists(backupFile)) vb::Raise(vb::errPathFileAccess);
    backupExists = true;

    std::string changedList;
    if (optimise) {
      const std::array<uint8_t, 256> userData = gbyteCurrentData;
      std::array<uint8_t, 256> eepromData{};
      std::string eepromList;
      int32_t count = 0;
      if (vintOperation == eepOpWrite) {
        if (!gblnEEPROMAccess(eepLoad, gstrAllCmdList)) return false;
        eepromData = gbyteCurrentData;
      }
      if (!gblnEEPROMAccess(eepClear, gstrAllCmdList)) return false;
      if (vintOperation == eepOpWrite &&
          !SubMain::gblnCheckChangeField(gbyteCurrentData, eepromData, eepromList, count))
        return false;
      if (!SubMain::gblnCheckChangeField(userData, gbyteCurrentData, changedList, count)) return false;
      if (vintOperation == eepOpOptimize) {
        writeList = changedList;
      } else {
        std::string candidates;
        if (!SubMain::gblnSumCmdSet(eepromList, vstrCmdList, candidates)) return false;
        if (!SubMain::gblnAndCmdSet(changedList, candidates, writeList)) return false;
      }
      gbyteCurrentData = userData;
      if (writeList.empty()) {
        message(358, forms::vbOKOnly + forms::vbInformation);
      } else {
        frmDispSelectData().gblnDispSelectData(vb::LoadResString(321), false, writeList, false, gbyteCurrentData,
                                               gbyteCurrentData);
      }
    }

    if (vintOperation == eepOpRead || vintOperation == eepOpClear) {
      if (!gblnEEPROMAccess(vintOperation, vstrCmdList)) return false;
    } else if ((vintOperation == eepOpWrite || vintOperation == eepOpOptimize) && !writeList.empty()) {
      if (!gblnEEPROMAccess(eepWrite, writeList)) return false;
    }

    if (optimise) {
      if (vintOperation == eepOpWrite) {
        // The erase reset the codes that are not written; give the camera the user's values again.
        std::string notWritten;
        if (!SubMain::gblnSubCmdSet(changedList, writeList, notWritten)) return false;
        if (!gblnSetDataFromPC(notWritten, true)) return false;
      }
      if (itemCount(writeList) > static_cast<std::size_t>(kWritableFields)) {
        frmDispSelectData().gblnDispSelectData(
            vb::LoadResString(359) + vb::CStr(kWritableFields) + vb::LoadResString(360), false,
            listFrom(writeList, kWritableFields), false, gbyteCurrentData, gbyteCurrentData);
      }
    }

    try {
      files::Kill(backupFile);
    } catch (const vb::Error& e) {
      if (e.Number() != vb::errFileNotFound) throw;
      // The backup has gone already: the operation itself succeeded.
      return true;
    }
    backupExists = false;

    if (vintOperation == eepOpOptimize) message(361, forms::vbOKOnly + forms::vbInformation);
    return true;
  });

  // Failure: the window shows what the camera holds (after a failure in the optimisation, what
  // was read from it last); the user's values are in the backup file, which is named to the user.
  if (!ok && backupExists) {
    forms::MsgBox("\"" + backupFile + "\"" + vb::LoadResString(362), forms::vbOKOnly + forms::vbInformation,
                  SubMain::gstrGetAppTitleString());
  }
  setPointer(false);
  return ok;
}

}  // namespace mdlMSComm
