// The camera commands and menus of the main window: the page writes to EEPROM, reboot, the
// EEPROM menu, port change, batch, options, the all-data view, the password, version and help.
#include <string>
#include <vector>

#include "core/start_up.h"
#include "core/variables.h"
#include "link/batch_window.h"
#include "link/connection_option_window.h"
#include "link/data_list_dialog.h"
#include "link/eeprom_operations.h"
#include "link/mscomm.h"
#include "link/port_change_window.h"
#include "platform/app/res_string.h"
#include "platform/forms/forms.h"
#include "platform/vb/vb.h"
#include "ui/main_window.h"
#include "ui/file_data_window.h"
#include "ui/all_data_window.h"
#include "ui/password_window.h"
#include "ui/about_window.h"

namespace {

// The codes each page's "Write(&W)" stores in EEPROM, in transfer order (page 12 is built from
// the camera's firmware, see pageGroup).
const char* const kPageGroups[12] = {
    "1,2,65,64,144,145,146,147,11,10",
    "48,49,50,51,52,53,54,55,66,67,68,69",
    "57,56,59,58,61,60,77,76,104,105",
    "92,93,94,95",
    "113,114,120,121,122,123,124,125,126,127,112,115,116,117",
    "192,193,194,200,201,202,203,204,205,206,207,195,230,229,228,226,225,224,208,209,210,211,212,213,214,215",
    "32,33,34,35,39,36,37,38,40,41,42,43,44,45,46,47",
    "2,4",
    "3,197,196,78,79,118,119,106,107",
    "3,142,140,141,128,130,129,131,132,198,199",
    "84,85,88,89,86,87,90,91,136,137,138,139",
    "100,101,102,103,108,109,110,111,240,241,242,243,244,245,246,247,248,249,250,251,80,81,82,83",
};

// The camera model that has the cable-length registers.
constexpr uint8_t kCableLengthModel = 24;

int message(long number, int style) {
  return forms::MsgBox(vb::LoadResString(number), style, SubMain::gstrGetAppTitleString());
}

void cancelled(int icon) { message(351, forms::vbOKOnly + icon); }

// The codes of `group` that stand in the supported list, in the group's order.
std::string supportedOf(const std::string& group) {
  const std::vector<std::string> supported = vb::Split(gstrAllCmdList, ",");
  std::string kept;
  for (const std::string& code : vb::Split(group, ",")) {
    for (const std::string& s : supported) {
      if (s == code) {
        if (!kept.empty()) kept += ",";
        kept += code;
        break;
      }
    }
  }
  return kept;
}

// How a command goes on after its first steps: to its closing steps, or to its end.
enum class Next { Closing, End };

// The steps after a failure, a cancel or the off-line prompt of the page write and the EEPROM
// menu: an off-line window shows firmware version 0, and the enable rules are applied again.
void closingSteps(FrmMain& f, bool pointer) {
  if (!gblnOnLine) {
    f.mblnUpdateLineStatusString();
    gbyteFirmVersion = 0;
    f.lblFirmWareVersion.Caption("FirmWare Ver." + vb::CStr(gbyteFirmVersion));
  }
  if (pointer) forms::Screen.MousePointer(forms::vbDefault);
  f.blnControlEnable(true);
}

}  // namespace

// The off-line prompt: asks to reconnect; True when the camera is on line afterwards, else the
// user has been told that the operation was cancelled.

bool FrmMain::mblnOffLinePromptReboot() {
  if (message(310, forms::vbYesNo + forms::vbExclamation) != forms::vbYes) {
    cancelled(forms::vbInformation);
    return false;
  }
  mnuReboot_Click();
  if (gblnOnLine) return true;
  cancelled(forms::vbExclamation);
  return false;
}

void FrmMain::cmdWriteEEPROM_Click(int Index) {
  const char* const kName = "frmMain.cmdWriteEEPROM_Click";
  const Next next = vb::guarded(kName, [&] {
    if (!mblnChkNowProcessing()) return Next::End;
    if (!gblnOnLine) return mblnOffLinePromptReboot() ? Next::End : Next::Closing;
    std::string group;
    if (Index == 12) {
      if (gbyteCameraModel != kCableLengthModel) {
        message(376, forms::vbOKOnly + forms::vbInformation);
        return Next::End;
      }
      group = "32,33,34,35,36,37,38,44";
      if (gbyteFirmVersion == 1) group += ",145,147";
    } else if (Index >= 0 && Index < 12) {
      group = kPageGroups[Index];
    } else {
      vb::Raise(vb::errSubscript);
    }
    const std::string list = supportedOf(group);
    if (!list.empty() &&
        !frmDispSelectData().gblnDispSelectData(vb::LoadResString(321), true, list, false, gbyteCurrentData,
                                                gbyteFileData)) {
      cancelled(forms::vbInformation);
      return Next::Closing;
    }
    if (!mblnAllCtrlEnableSet(false)) return Next::Closing;
    if (!mdlMSComm::gblnEEPROMOperation(mdlMSComm::eepOpWrite, list)) return Next::Closing;
    return blnControlEnable(true) ? Next::End : Next::Closing;
  });
  if (next == Next::Closing) vb::guarded(kName, [&] { closingSteps(*this, true); });
}

void FrmMain::cmdReboot_Click(int Index) { mnuReboot_Click(); }

void FrmMain::mnuReboot_Click() {
  vb::guarded("frmMain.mnuReboot_Click", [&] {
    if (!mblnChkNowProcessing()) return;
    if (gblnOnLine && message(352, forms::vbYesNo + forms::vbQuestion) != forms::vbYes) return;
    if (mdlMSComm::gblnMSComm_Close()) blnCommStart();
  });
}

void FrmMain::mnuEEPROM_Click(int Index) {
  const char* const kName = "frmMain.mnuEEPROM_Click";
  const Next next = vb::guarded(kName, [&] {
    if (!mblnChkNowProcessing()) return Next::End;
    if (!gblnOnLine) {
      mblnOffLinePromptReboot();
      return Next::Closing;
    }
    std::string list;
    if (Index == mdlMSComm::eepOpWrite) {
      gblnDispNewData = false;
      frmDispKRVFileData().Show(forms::vbModal);
      if (gblnDispDataCancel) {
        cancelled(forms::vbInformation);
        return Next::End;
      }
      list = gstrKRVCmdList;
    }
    if (!mblnAllCtrlEnableSet(false)) return Next::Closing;
    if (!mdlMSComm::gblnEEPROMOperation(static_cast<int16_t>(Index), list)) return Next::Closing;
    if ((Index == mdlMSComm::eepOpRead || Index == mdlMSComm::eepOpClear) && !blnSetDataToControl())
      return Next::Closing;
    if (!blnControlEnable(true)) return Next::Closing;
    if (Index == mdlMSComm::eepOpClear && gbyteCameraModel == kCableLengthModel) {
      SSTab1.Tab(12);
      message(375, forms::vbOKOnly + forms::vbInformation);
    }
    return Next::End;
  });
  if (next == Next::Closing) vb::guarded(kName, [&] { closingSteps(*this, false); });
}

void FrmMain::mnuPortChange_Click() {
  vb::guarded("frmMain.mnuPortChange_Click", [&] {
    if (!mblnChkNowProcessing()) return;
    const int32_t before = glngPortNo;
    frmPortChange().Show(forms::vbModal);
    if (glngPortNo == before && message(312, forms::vbYesNo + forms::vbQuestion) != forms::vbYes) return;
    if (mdlMSComm::gblnMSComm_Close()) blnCommStart();
  });
}

void FrmMain::mnuBatch_Click() {
  vb::guarded("frmMain.mnuBatch_Click", [&] {
    if (!mblnChkNowProcessing()) return;
    if (gblnOnLine && message(365, forms::vbYesNo + forms::vbQuestion) != forms::vbYes) return;
    bool reboot = false;
    // At the end of the desktop session the program ends without reading the camera again.
    if (!frmBatch().gblnDispBatchForm(reboot) || !reboot || forms::SessionEnding()) return;
    if (mdlMSComm::gblnMSComm_Close()) blnCommStart();
  });
}

void FrmMain::mnuConnectionOption_Click() {
  vb::guarded("frmMain.mnuConnectionOption_Click", [&] { frmConectionOption().Show(forms::vbModal); });
}

void FrmMain::mnuViewAllData_Click() {
  vb::guarded("frmMain.mnuViewAllData_Click", [&] {
    if (!mblnChkNowProcessing()) return;
    Hide();
    frmSimpleStyle().Show(forms::vbModal);
    blnSetDataToControl();  // reports its own failure; the window comes back in any case
    Show();
  });
}

void FrmMain::mnuAdvancedOperation_Click() {
  vb::guarded("frmMain.mnuAdvancedOperation_Click", [&] {
    frmPwd().Show(forms::vbModal);
    mblnChangeAdvancedModeOrNot();
  });
}

void FrmMain::mnuVersion_Click() {
  vb::guarded("frmMain.mnuVersion_Click", [&] { frmAbout().Show(forms::vbModal); });
}

// The help key reaches the control that has the focus, which asks for its help context.
void FrmMain::mnuHelp_Click() {
  vb::guarded("frmMain.mnuHelp_Click", [&] { forms::SendKeys("{F1}"); });
}
