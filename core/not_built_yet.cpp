// Stand-ins for procedures whose real code has not landed yet (see not_built_yet.h).
#include "core/not_built_yet.h"

#include <cstdio>

#include "platform/app/res_string.h"
#include "platform/forms/host.h"
#include "platform/vb/error.h"

namespace {
void sayNotBuilt(const char* what) { std::fprintf(stderr, "orvadex: %s is not built yet\n", what); }
}  // namespace

namespace SubMain {

// Stands in until the real error reporter lands.
void gErrorProc(const std::string& reportingText) {
  if (!Err) {
    std::fprintf(stderr, "orvadex: %s\n", reportingText.c_str());
    return;
  }
  std::string first;
  try {
    first = vb::LoadResString(0);
  } catch (const vb::Error&) {
    first = "System error occured.";
  }
  forms::MsgBox(first + "\r\nNo." + std::to_string(Err.Number) + ")" + Err.Description,
                forms::vbCritical | forms::vbOKOnly, reportingText);
  Err.Clear();
}

// Stands in until the settings file lands.
bool gblnReadInitFile() {
  sayNotBuilt("SubMain.gblnReadInitFile");
  return false;
}

// Stands in until the settings file lands.
bool gblnWriteInitFile() {
  sayNotBuilt("SubMain.gblnWriteInitFile");
  return false;
}

}  // namespace SubMain

namespace mdlCommon {

// Stands in until the common file helpers land.
bool gblnDeleteFile(const std::string& path) {
  sayNotBuilt("mdlCommon.gblnDeleteFile");
  return false;
}

// Stands in until the common file helpers land.
bool gblnChkFileExist(const std::string& path) {
  sayNotBuilt("mdlCommon.gblnChkFileExist");
  return false;
}

}  // namespace mdlCommon

namespace NotBuiltYet {

// Stands in until the port-selection window lands.
void frmPortChange_ShowModal() { sayNotBuilt("the port-selection window frmPortChange"); }

// Stands in until the main window lands: the program ends after Main.
void frmMain_Show() { sayNotBuilt("the main window frmMain; the program ends"); }

// Stands in until the serial link lands.
bool gblnMSComm_Close() {
  sayNotBuilt("mdlMSComm.gblnMSComm_Close");
  return false;
}

}  // namespace NotBuiltYet
