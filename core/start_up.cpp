// Start-up and shutdown of the program, and the application title and version texts.
#include "core/start_up.h"

#include <string>

#include "core/common_helpers.h"
#include "core/logs.h"
#include "core/settings_file.h"
#include "core/upper_layers.h"
#include "core/variables.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/forms/form.h"
#include "platform/forms/host.h"
#include "platform/vb/vb.h"
#include "platform/vb/error.h"

namespace SubMain {
namespace {

// A call into the layers above the core; raises 91 when none has been set.
template <class F>
auto callUpper(const F& f) {
  if (!f) vb::Raise(vb::errObjectVariable);
  return f();
}

// Steps 3 to 9 of Main. False when a step failed (the step has reported its own error) or the
// user cancelled the port selection.
bool startUp() {
  // The communication log of the previous run.
  if (!mdlCommon::gblnDeleteFile(vb::App::Path() + "/" + vb::App::EXEName() + ".LOG")) return false;
  if (!mblnSetDataInfo()) return false;
  if (!gblnReadInitFile()) return false;
  if (!mblnIniVariable()) return false;

  // Help is the file beside the program named after it, when there is one.
  const std::string help = vb::App::Path() + "/" + vb::App::EXEName() + ".chm";
  vb::App::HelpFile(mdlCommon::gblnChkFileExist(help) ? help : "");

  if (glngPortNo == 0) {
    callUpper(UpperLayers().frmPortChange_ShowModal);
    if (glngPortNo == 0) return false;  // cancelled: end silently
  }
  callUpper(UpperLayers().frmMain_Show);
  return true;
}

}  // namespace

void Main() {
  vb::guarded("SubMain.Main", [&] {
    if (vb::App::PrevInstance()) {
      forms::MsgBox(vb::LoadResString(301), forms::vbExclamation | forms::vbOKOnly, gstrGetAppTitleString());
      return;
    }
    gstrRecentlyUsedFile.assign(6, std::string());
    if (!startUp() && Err) {
      // Ending without a window; a step that failed has reported and cleared its own error.
      gErrorProc("SubMain.Main");
    }
  });
}

bool gblnApplicationEnd() {
  // From here on a window that has gone is not brought back by code still running (a loop in
  // an event handler that reads one of its controls): its Form_Load would find the table
  // released.
  forms::BeginProgramEnd();
  return vb::guarded("SubMain.gblnApplicationEnd", [&] {
    if (!callUpper(UpperLayers().gblnMSComm_Close)) return false;
    if (!gblnWriteInitFile()) return false;
    for (auto& entry : gobjDataInfo) entry.reset();
    return true;
  });
}

bool mblnIniVariable() {
  return vb::guarded("SubMain.mblnIniVariable", [&] {
    for (size_t i = 0; i < gbyteCurrentData.size(); ++i) {
      if (!gobjDataInfo[i]) vb::Raise(vb::errObjectVariable);
      gbyteCurrentData[i] = vb::CByte(gobjDataInfo[i]->DefaultValue);  // 6 outside 0 to 255
    }
    return true;
  });
}

std::string gstrGetVersionString() {
  return vb::guarded("SubMain.gstrGetVersionString", [&] {
    return std::to_string(vb::App::Major()) + "." + std::to_string(vb::App::Minor()) + std::to_string(vb::App::Revision());
  });
}

std::string gstrGetAppTitleString() {
  return vb::guarded("SubMain.gstrGetAppTitleString", [&] { return vb::App::Title(); });
}

}  // namespace SubMain
