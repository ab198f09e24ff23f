// Parameter files, the recent-file menu, the factory controls and the cable length.
//
// The file road loads a parameter file into the file-value table, lays it over the current
// values, shows the user what would change and, once confirmed, sends the changed codes (or
// writes them to the camera's EEPROM). The current values take the file's values only after the
// confirmation.
#include <array>
#include <string>
#include <vector>

#include "core/common_helpers.h"
#include "core/parameter_files.h"
#include "core/settings_file.h"
#include "core/start_up.h"
#include "core/value_tables.h"
#include "core/variables.h"
#include "link/data_list_dialog.h"
#include "link/eeprom_operations.h"
#include "link/mscomm.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/forms/forms.h"
#include "platform/vb/vb.h"
#include "ui/main_window.h"
#include "ui/file_data_window.h"

namespace {

// The camera model that has the cable-length registers.
constexpr uint8_t kCableLengthModel = 24;
constexpr int kRecentFiles = 5;

int message(long number, int style) {
  return forms::MsgBox(vb::LoadResString(number), style, SubMain::gstrGetAppTitleString());
}

void cancelled(int icon = forms::vbInformation) { message(351, forms::vbOKOnly + icon); }

// "KRV File(*.KRV)|*.KRV|" for each kind, then every file.
std::string filterOf(const std::vector<std::string>& kinds) {
  std::string filter;
  for (const std::string& kind : kinds) filter += kind + " File(*." + kind + ")|*." + kind + "|";
  return filter + "All File(*.*)|*.*";
}

// The open or save dialog of the file commands. False when the user cancelled (told so).
bool askFileName(forms::CommonDialog& dialog, bool save, std::string& rstrFileName) {
  dialog.DefaultExt("CFG");
  dialog.DialogTitle(SubMain::gstrGetAppTitleString());
  dialog.CancelError(true);
  if (save) {
    std::vector<std::string> kinds{"KRV", "CFG"};
    if (gblnDeveloping) kinds.push_back("DEV");
    dialog.Filter(filterOf(kinds));
    dialog.Flags(dialog.Flags() | forms::cdlOFNOverwritePrompt);
  } else {
    dialog.Filter(filterOf({"KRV", "CFG", "MZL"}));
  }
  dialog.FilterIndex(2);
  try {
    if (save) dialog.ShowSave();
    else dialog.ShowOpen();
  } catch (const vb::Error& e) {
    if (e.Number() != vb::errCancel) throw;
    cancelled();
    return false;
  }
  rstrFileName = dialog.FileName();
  return true;
}

// A cable-length file's name without folder, extension and the leading "cable":
// "02n7.5" for .../cable02n7.5.cfg.
std::string cableTail(const std::string& path) {
  return vb::Mid(mdlCommon::GetNoneExtFileName(mdlCommon::GetOnlyFileName(path)), 6);
}

// How the file road ends: done (True), or stopped (the enable rules again, False).
enum class Road { Stop, Done };

}  // namespace

bool FrmMain::mblnFileRead(std::string& rstrFileName) {
  const char* const kName = "frmMain.mblnFileRead";
  const Road road = vb::guarded(kName, [&] {
    if (!gblnOnLine && !mblnOffLinePromptReboot()) return Road::Stop;
    if (rstrFileName.empty() && !askFileName(cdFileOpen, false, rstrFileName)) return Road::Stop;

    std::string kind;
    bool declined = false;
    if (!SubMain::gblnKRVFileLoad(rstrFileName, gintFileData, kind, declined) || declined) return Road::Stop;
    if (gblnInitialSet && !mdlMSComm::gblnEEPROMOperation(mdlMSComm::eepOpClear, gstrAllCmdList))
      return Road::Stop;

    std::string fileCodes, list;
    int32_t count = 0;
    // Values outside their settings' ranges are replaced before the image is made.
    if (!mblnFitFileData(fileCodes) || !SubMain::gblnCheckChangeField(gbyteCurrentData, gbyteFileData, list, count))
      return Road::Stop;
    if (count == 0) {
      message(354, forms::vbOKOnly + forms::vbInformation);
      return Road::Done;
    }

    const std::string upperKind = vb::UCase(kind);
    if (gblnInitialSet) {
      if (!list.empty())
        frmDispSelectData().gblnDispSelectData(vb::LoadResString(321), false, list, false, gbyteFileData,
                                               gbyteCurrentData);
    } else if (upperKind == "KRV" || upperKind == "MZL") {
      gblnDispNewData = true;
      frmDispKRVFileData().Show(forms::vbModal);
      if (gblnDispDataCancel) {
        cancelled();
        return Road::Done;
      }
    } else if (!list.empty() &&
               !frmDispSelectData().gblnDispSelectData(vb::LoadResString(322), true, list, true, gbyteFileData,
                                                       gbyteCurrentData)) {
      cancelled();
      return Road::Done;
    }

    if (!mblnAllCtrlEnableSet(false)) return Road::Stop;
    if (!SubMain::gblnDataCopy(gbyteFileData, gbyteCurrentData)) return Road::Stop;
    bool written;
    if (gblnInitialSet || message(355, forms::vbYesNo + forms::vbQuestion) == forms::vbYes)
      written = mdlMSComm::gblnEEPROMOperation(mdlMSComm::eepOpWrite, list);
    else
      written = mdlMSComm::gblnSetDataFromPC(list, true);
    if (!written) {
      // The current values are the file's now, sent or not: the window shows them (and, when
      // the camera went away, that it is off line), so that a save writes what it shows.
      blnSetDataToControl();
      return Road::Stop;
    }

    if (!blnSetDataToControl()) return Road::Stop;
    if (!SubMain::gblnAddRecentlyUsedFile(rstrFileName)) return Road::Stop;
    return blnControlEnable(true) ? Road::Done : Road::Stop;
  });
  if (road == Road::Done) return true;
  vb::guarded(kName, [&] { blnControlEnable(true); });
  return false;
}

void FrmMain::mnuFile_Click(int Index) {
  vb::guarded("frmMain.mnuFile_Click", [&] {
    if (!mblnChkNowProcessing()) return;
    if (Index == 1) {
      std::string name;
      if (mblnFileRead(name)) mblnMakeRecentlyFileList();
    } else if (Index == 2) {
      std::string name;
      if (!askFileName(cdFileOpen, true, name)) return;
      if (SubMain::gblnKRVFileSave(name, gbyteCurrentData, true)) mblnMakeRecentlyFileList();
    }
  });
}

bool FrmMain::mblnMakeRecentlyFileList() {
  return vb::guarded("frmMain.mblnMakeRecentlyFileList", [&] {
    bool any = false;
    for (int i = 0; i < kRecentFiles; ++i) {
      const std::string& entry = gstrRecentlyUsedFile.at(static_cast<std::size_t>(i));
      mnuRecentlyFileName(i).Caption(entry);
      mnuRecentlyFileName(i).Visible(!entry.empty());
      any = any || !entry.empty();
    }
    mnuRecently.Visible(any);
    return true;
  });
}

void FrmMain::mnuRecentlyFileName_Click(int Index) {
  vb::guarded("frmMain.mnuRecentlyFileName_Click", [&] {
    if (!mblnChkNowProcessing()) return;
    std::string name = gstrRecentlyUsedFile.at(static_cast<std::size_t>(Index));
    if (!name.empty() && mblnFileRead(name)) mblnMakeRecentlyFileList();
  });
}

void FrmMain::mnuRecentlyFilesClear_Click() {
  vb::guarded("frmMain.mnuRecentlyFilesClear_Click", [&] {
    if (SubMain::gblnClearRecentlyUsedFile()) mblnMakeRecentlyFileList();
  });
}

// A file dropped on the pages is opened as from the menu; of several files only the first.
void FrmMain::SSTab1_OLEDragDrop(const forms::DataObject& Data) {
  vb::guarded("frmMain.SSTab1_OLEDragDrop", [&] {
    if (Data.Files.empty()) return;
    std::string name = Data.Files.front();
    if (!name.empty() && mblnFileRead(name)) mblnMakeRecentlyFileList();
  });
}

void FrmMain::cmdSelectFile_Click() {
  vb::guarded("frmMain.cmdSelectFile_Click", [&] {
    std::string name;
    if (askFileName(cdFileOpen, false, name)) txtFileName.Text(name);
  });
}

// Compares the camera with the file named in the factory box: every code the file holds is
// listed with the camera's value and, in parentheses, the file's.
void FrmMain::cmdCheck_Click() {
  const bool ok = vb::guarded("frmMain.cmdCheck_Click", [&] {
    if (txtFileName.Text().empty()) cmdSelectFile_Click();
    if (txtFileName.Text().empty()) return true;
    std::string kind;
    bool declined = false;
    if (!SubMain::gblnKRVFileLoad(vb::Trim(txtFileName.Text()), gintFileData, kind, declined) || declined)
      return true;
    if (chkRebootBeforeCheck.Value() == forms::vbChecked) {
      if (message(373, forms::vbOKCancel + forms::vbInformation) != forms::vbOK ||
          !mdlMSComm::gblnMSComm_Close() || !blnCommStart()) {
        cancelled();
        return true;
      }
    }
    // The file as opening it would apply it: values outside their ranges replaced and named.
    std::string fileCodes, changed;
    int32_t count = 0;
    if (!mblnFitFileData(fileCodes) || !SubMain::gblnCheckChangeField(gbyteCurrentData, gbyteFileData, changed, count))
      return true;
    const std::string msg = vb::LoadResString(count != 0 ? 372 : 371) + vb::vbCrLf + vb::LoadResString(370);
    frmDispSelectData().gblnDispSelectData(msg, false, fileCodes, true, gbyteCurrentData, gbyteFileData);
    return true;
  });
  if (!ok) cancelled();
}

void FrmMain::cmdReadAndWrite_Click(int Index) {
  vb::guarded("frmMain.cmdReadAndWrite_Click", [&] {
    if (Index == 0) {
      if (txtFileName.Text().empty()) cmdSelectFile_Click();
      if (txtFileName.Text().empty()) return;
      std::string name = vb::Trim(txtFileName.Text());
      if (mblnFileRead(name) && chkCheckAfterWritting.Value() == forms::vbChecked) cmdCheck_Click();
      return;
    }
    if (gbyteCameraModel != kCableLengthModel) {
      message(376, forms::vbOKOnly + forms::vbInformation);
      return;
    }
    // The Set button is enabled only with an entry chosen; without one there is nothing to set.
    const int entry = cmbCableLength.ListIndex();
    if (entry < 0) return;
    // The file is the one found for the entry (its name may write the length otherwise than
    // the entry shows it, as in cable02n010.cfg for 10m), of the current firmware's version
    // when the entry stands for files of both versions.
    const long found = cmbCableLength.ItemData(entry);
    if (found < 0 || found >= static_cast<long>(mstrCableLengthFiles.size())) return;
    const std::vector<std::string>& files = mstrCableLengthFiles[static_cast<std::size_t>(found)];
    std::string version;
    mblnGetCableLengthFileVersion(gbyteFirmVersion, version);
    std::string name = files.front();
    for (const std::string& file : files)
      if (vb::Left(cableTail(file), 2) == version) name = file;
    mblnFileRead(name);
  });
}

bool FrmMain::mblnGetCableLengthFileVersion(uint8_t vbyteFirmVersion, std::string& rstrDataVersion) {
  rstrDataVersion = vbyteFirmVersion == 1 ? "01" : "02";
  return true;
}

namespace {

// A cable-length entry's length and video system: "7.5m [NTSC]" gives 7.5 and "[NTSC]".
float entryLength(const std::vector<std::string>& words) {
  const std::string first = words.empty() ? std::string() : words[0];
  return vb::CSng(vb::Left(first, vb::Len(first) - 1));
}

std::string entrySystem(const std::vector<std::string>& words) {
  return words.size() < 2 ? std::string() : vb::Trim(words[1]);
}

}  // namespace

bool FrmMain::mblnDispCableLengthButton() {
  return vb::guarded("frmMain.mblnDispCableLengthButton", [&] {
    cmbCableLength.Clear();
    mstrCableLengthFiles.clear();
    cmbCableLength.Enabled(false);
    cmdReadAndWrite(1).Enabled(false);
    cmdWriteEEPROM(12).Enabled(false);
    if (gblnOnLine && gbyteCameraModel != kCableLengthModel) {
      fraSetCableLength.Visible(false);
      return true;
    }
    fraSetCableLength.Visible(true);

    std::string version;
    mblnGetCableLengthFileVersion(gbyteFirmVersion, version);
    std::vector<std::string> found;
    if (!mdlCommon::gFileSearch(found, vb::App::Path() + "/cfg", "cable*")) return false;
    for (const std::string& path : found) {
      const std::string tail = cableTail(path);
      if (vb::Len(tail) < 3) continue;
      if (gblnOnLine && vb::Left(tail, 2) != version) continue;
      const std::string letter = vb::UCase(vb::Mid(tail, 3, 1));
      const std::string system = letter == "P" ? "[PAL]" : letter == "W" ? "[NTSC/PAL]" : "[NTSC]";
      // A file whose length is not a number is not a cable-length file: it is left out rather
      // than ending the list (and with it the connect) over a stray file in the folder.
      float length = 0;
      try {
        length = vb::CSng(vb::Mid(tail, 4));
      } catch (const vb::Error&) {
        continue;
      }

      int place = cmbCableLength.ListCount();
      bool duplicate = false;
      for (int j = 0; j < cmbCableLength.ListCount(); ++j) {
        const std::vector<std::string> words = vb::Split(cmbCableLength.List(j), " ");
        const float other = entryLength(words);
        if (other > length) {
          place = j;
          break;
        }
        if (other == length) {
          const std::string otherSystem = entrySystem(words);
          if (otherSystem == system) {
            duplicate = true;
            mstrCableLengthFiles.at(static_cast<std::size_t>(cmbCableLength.ItemData(j))).push_back(path);
            break;
          }
          if (otherSystem > system) {
            place = j;
            break;
          }
        }
      }
      if (duplicate) continue;
      cmbCableLength.AddItem(vb::CStr(length) + "m " + system, place);
      cmbCableLength.ItemData(place, static_cast<long>(mstrCableLengthFiles.size()));
      mstrCableLengthFiles.push_back({path});
    }

    if (cmbCableLength.ListCount() > 0) {
      cmbCableLength.ListIndex(0);
      cmbCableLength.Enabled(true);
      cmdReadAndWrite(1).Enabled(true);
      cmdWriteEEPROM(12).Enabled(true);
    }
    return true;
  });
}
