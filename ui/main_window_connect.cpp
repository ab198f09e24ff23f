// Connect, reconnect, the status line, the busy guard and closing the window.
#include <string>

#include "core/command_lists.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "link/mscomm.h"
#include "platform/app/res_string.h"
#include "platform/vb/vb.h"
#include "ui/main_window.h"

namespace {

constexpr long kOnLine = 309;
constexpr long kOffLine = 308;
constexpr long kEnd = 353;
constexpr long kCannotClose = 368;
constexpr long kNowProcessing = 374;

int info(long message) {
  return forms::MsgBox(vb::LoadResString(message), forms::vbInformation | forms::vbOKOnly,
                       SubMain::gstrGetAppTitleString());
}

}  // namespace

bool FrmMain::blnCommStart() {
  const bool connected = vb::guarded("frmMain.blnCommStart", [&] {
    gblnOnLine = false;
    if (!mblnUpdateLineStatusString()) return false;
    mblnNowProcessing.fill(false);
    forms::Screen.MousePointer(forms::vbHourglass);
    if (!mblnAllCtrlEnableSet(false)) return false;
    if (!mdlMSComm::gblnMSComm_Init()) return false;
    if (!mblnUpdateLineStatusString()) return false;
    if (!SubMain::gblnMakeAllCmdSet()) return false;
    if (!mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList)) return false;
    if (!blnSetDataToControl()) return false;
    if (!blnControlEnable(false)) return false;
    gblnKeepNotSupportCmd = true;
    if (!mblnDispCableLengthButton()) return false;
    forms::Screen.MousePointer(forms::vbDefault);
    return true;
  });
  if (connected) return true;

  // Off line: every editor usable, edits stored without sending. The port stays as the failed
  // step left it (the next connect or the shutdown closes it).
  vb::guarded("frmMain.blnCommStart", [&] {
    gblnOnLine = false;
    mblnUpdateLineStatusString();
    mblnAllCtrlEnableSet(true);
    mblnDispCableLengthButton();
    forms::Screen.MousePointer(forms::vbDefault);
  });
  return false;
}

bool FrmMain::mblnUpdateLineStatusString() {
  return vb::guarded("frmMain.mblnUpdateLineStatusString", [&] {
    const std::string port = "(COM" + vb::CStr(glngPortNo);
    if (!gblnOnLine) {
      lblOnLine.Caption(vb::LoadResString(kOffLine) + port + ")");
    } else if (gblnDeveloping) {
      const std::string baud = gstrSettings.substr(0, gstrSettings.find(','));
      lblOnLine.Caption(vb::LoadResString(kOnLine) + port + "/" + baud + "bps)");
    } else {
      lblOnLine.Caption(vb::LoadResString(kOnLine) + port + ")");
    }
    return true;
  });
}

void FrmMain::lblOnLine_Change() {
  // The colour tells the state at the moment the text changes.
  vb::guarded("frmMain.lblOnLine_Change", [&] {
    lblOnLine.ForeColor(gblnOnLine ? forms::RGB(0, 255, 0) : forms::RGB(255, 0, 0));
  });
}

bool FrmMain::mblnChkNowProcessing() {
  return vb::guarded("frmMain.mblnChkNowProcessing", [&] {
    forms::DoEvents();
    bool idle = true;
    // One message for every code still being sent.
    for (int c = 0; c < 256; ++c) {
      if (!mblnNowProcessing[c]) continue;
      info(kNowProcessing);
      idle = false;
    }
    return idle;
  });
}

void FrmMain::cmdEnd_Click(int Index) {
  vb::guarded("frmMain.cmdEnd_Click", [&] { Unload(); });
}

void FrmMain::mnuEnd_Click() {
  vb::guarded("frmMain.mnuEnd_Click", [&] { Unload(); });
}

void FrmMain::cmdEnd_LostFocus(int Index) {
  try {
    SSTab1.SetFocus();
  } catch (const vb::Error& e) {
    // A hidden or disabled tab control cannot take the focus: nothing to do then.
    if (e.Number() == 5) return;
    Err.Set(e);
    vb::ReportError("frmMain.cmdEnd_LostFocus");
  }
}

void FrmMain::Form_QueryUnload(int& Cancel, int UnloadMode) {
  // The user's every kind of close is checked alike.
  vb::guarded("frmMain.Form_QueryUnload", [&] {
    forms::DoEvents();
    for (int c = 0; c < 256; ++c) {
      if (!mblnNowProcessing[c]) continue;
      info(kCannotClose);  // once, however many codes are being sent
      Cancel = 1;
      return;
    }
    if (vb::CBool(cmdGetCurrentData.Tag())) {  // the status poll runs
      info(kCannotClose);
      Cancel = 1;
      return;
    }
    // The end of the desktop session cannot wait for an answer: it asks nothing.
    if (gblnOnLine && !forms::SessionEnding()) {
      const int answer = forms::MsgBox(vb::LoadResString(kEnd), forms::vbYesNo | forms::vbQuestion,
                                       SubMain::gstrGetAppTitleString());
      if (answer == forms::vbNo) {
        Cancel = 1;
        return;
      }
    }
    glngStartUpTabNo = SSTab1.Tab();
    // The shutdown closes the port, writes the settings file and releases the parameter
    // table; the window closes whether or not it succeeded.
    if (!SubMain::gblnApplicationEnd() && Err) vb::ReportError("frmMain.Form_QueryUnload");
  });
}

// The window's controls go with it; the link no longer shows a lost camera on them.
void FrmMain::Form_Unload(int& Cancel) { mdlMSComm::gWhenLineLost(this, nullptr); }
