// List transfers between the current-value table and the camera, and the identity, status and
// support queries.
#include <exception>
#include <vector>

#include "core/variables.h"
#include "link/data_list_dialog.h"
#include "link/mscomm.h"
#include "link/port_access.h"
#include "link/status_bar_window.h"
#include "platform/app/res_string.h"
#include "platform/vb/vb.h"

namespace mdlMSComm {
namespace {

// A command list split at ","; the empty list has no items.
std::vector<std::string> splitList(const std::string& list) {
  if (list.empty()) return {};
  return vb::Split(list, ",");
}

// Runs a transfer's body; a run-time error becomes the pending error. Returns the body's result,
// false after an error.
template <class F>
bool trapped(F&& body) {
  try {
    return body();
  } catch (const vb::Error& e) {
    Err.Set(e);
  } catch (const std::bad_alloc&) {
    Err.Set(vb::Error(vb::errOutOfMemory));
  } catch (const std::exception& e) {
    Err.Set(vb::Error(51, std::string("Internal error: ") + e.what()));
  }
  return false;
}

void unloadProgress() {
  gFinishWorkOnWire();
  if (gblnShowStatus) frmStatusBar().Unload();
}

// The bar shows the step while the next command is on the wire: painting it between a reply and
// the next command would add the painting's time to every command of the transfer.
void advanceProgress() {
  if (gblnShowStatus) {
    glngStatusValue += 1;
    gDoWhileNextCommandOnWire([] {
      if (gblnShowStatus) frmStatusBar().gblnRefresh();
    });
  }
}

bool send(uint8_t c, uint8_t d, uint8_t& rc, uint8_t& rd) {
  return gblnSendSettingData(c, d, rc, rd);
}

}  // namespace

bool gblnSetDataFromPC(std::string vstrCmdList, bool vblnFrame) {
  const bool ok = trapped([&] {
    uint8_t rc = 0, rd = 0;
    const std::vector<std::string> items = splitList(vstrCmdList);
    if (vblnFrame && !send(0, 1, rc, rd)) return false;
    glngStatusValue = 0;
    gstrStatusCaption = vb::LoadResString(gblnEEPROMWriting ? 367 : 303);
    glngStatusMax = static_cast<int32_t>(items.size()) - 1;
    if (glngStatusMax > 0) frmStatusBar().Show(forms::vbModeless);
    std::string refused;
    for (const std::string& item : items) {
      const uint8_t c = vb::CByte(item);
      if (!send(c, gbyteCurrentData[c], rc, rd)) return false;
      if (rc == 0xFF && rd == 0x80 && gblnEEPROMWriting) {
        if (!refused.empty()) refused += ",";
        refused += item;
      }
      advanceProgress();
    }
    unloadProgress();
    if (vblnFrame && !send(0, 0, rc, rd)) return false;
    if (gblnOptimizeWritting || !gblnEEPROMWriting || refused.empty()) return true;
    frmDispSelectData().gblnDispSelectData(
        vb::LoadResString(359) + "63" + vb::LoadResString(360), false, refused, false,
        gbyteCurrentData, gbyteCurrentData);
    return true;
  });
  if (ok) return true;
  if (Err) vb::ReportError("mdlMSComm.gblnSetDataFromPC");
  trapped([&] { unloadProgress(); return true; });
  return false;
}

bool gblnGetDataFromCamera(std::string vstrCmdList) {
  const port::Doing reading(port::Work::Read);
  const bool ok = trapped([&] {
    uint8_t rc = 0, rd = 0;
    const std::vector<std::string> items = splitList(vstrCmdList);
    if (!send(0, 1, rc, rd)) return false;
    if (!send(0, 12, rc, rd)) return false;
    gblnReadingData = true;
    glngStatusValue = 0;
    gstrStatusCaption = vb::LoadResString(302);
    glngStatusMax = static_cast<int32_t>(items.size());
    if (glngStatusMax > 0) frmStatusBar().Show(forms::vbModeless);
    for (const std::string& item : items) {
      const uint8_t c = vb::CByte(item);
      if (!send(c, 0, rc, rd)) return false;
      gbyteCurrentData[c] = rd;
      advanceProgress();
    }
    unloadProgress();
    if (!send(0, 0, rc, rd)) return false;
    gblnReadingData = false;
    return true;
  });
  if (ok) return true;
  if (Err) vb::ReportError("mdlMSComm.gblnGetDataFromCamera");
  trapped([&] { unloadProgress(); return true; });
  gblnReadingData = false;
  return false;
}

bool gblnGetCurrentData() {
  const port::Doing reading(port::Work::Read);
  const bool ok = trapped([&] {
    uint8_t rc = 0, rd = 0;
    if (!send(0, 1, rc, rd)) return false;
    uint8_t* const targets[] = {&gbyteCurIRIS, &gbyteCurWbRB, &gbyteCurWbMG, &gbyteCurGain};
    for (int i = 0; i < 4; ++i) {
      if (!send(0, static_cast<uint8_t>(17 + i), rc, rd)) return false;
      *targets[i] = rd;
    }
    if (!send(0, 0, rc, rd)) return false;
    gstrCurStatusTime = vb::Format(vb::Now(), "hh:mm:ss");
    return true;
  });
  if (ok) return true;
  if (Err) vb::ReportError("mdlMSComm.gblnGetCurrentData");
  return false;
}

bool gblnGetFirmVersion(uint8_t& rbyteFirmVersion) {
  const port::Doing reading(port::Work::Read);
  const bool ok = trapped([&] {
    uint8_t rc = 0, rd = 0;
    if (!send(0, 1, rc, rd)) return false;
    if (!send(0, 16, rc, rd)) return false;
    rbyteFirmVersion = rd;
    if (!send(0, 31, rc, rd)) return false;
    gbyteCameraModel = rd;
    if (!send(0, 23, rc, rd)) return false;
    gbyteCameraType = rd;
    return send(0, 0, rc, rd);
  });
  if (ok) return true;
  if (Err) vb::ReportError("mdlMSComm.gblnGetFirmVersion");
  return false;
}

bool gblnSupportCmdOrNot(uint8_t vbyteCmd) {
  return vb::guarded("mdlMSComm.gblnSupportCmdOrNot", [&] {
    for (const std::string& item : splitList(gstrAllCmdList))
      if (vb::CLng(item) == vbyteCmd) return true;
    return false;
  });
}

}  // namespace mdlMSComm
