// Baud-rate detection: probes the camera with the sync command at the stored setting and the
// candidates, then calibrates the poll interval at the setting that answered.
#include "core/variables.h"
#include "link/mscomm.h"
#include "link/port_access.h"
#include "platform/vb/vb.h"

namespace mdlMSComm {

namespace {
// The settings the camera can talk at, in the order they are tried.
constexpr const char* kCandidateSettings = "1200,n,8,2\r\n9600,n,8,2";
}  // namespace

bool mblnCheckBaudRate(const std::string& vstrSettings, const std::string& vstrInterval,
                       int32_t& rlngPolls) {
  const port::Doing probe(port::Work::Read);
  return vb::guarded("mdlMSComm.mblnCheckBaudRate", [&] {
    port::setSettings(vstrSettings);
    const int32_t interval = vb::CLng(vstrInterval);
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (port::readStops()) return false;
      if (port::isSlowSetting(vstrSettings)) port::sleepMs(port::halfInterval(interval));
      port::clearInput();
      port::clearOutput();
      port::output(0, 1);
      if (!port::waitOutputSent()) return false;
      int32_t polls = 0;
      if (!port::waitReply(interval, glngTimeOut, glngRcvRetry,
                           /*needMorePollsThanRetry=*/false, &polls))
        return false;  // a silent probe fails at once, without a second try
      rlngPolls = polls;
      const uint8_t rc = port::inputByte();
      const uint8_t rd = port::inputByte();
      port::clearInput();
      if ((rc == 0 && rd == 1) || (rc == 0xFF && rd == 0xFF)) return true;
      if (gblnWriteErrLogWrongReplay) {
        Err.Clear();
        vb::ReportError("WrongReplay[" + vb::Hex(0) + "," + vb::Hex(1) + "," + vb::Hex(rc) + "," +
                        vb::Hex(rd) + "]");
      }
    }
    return false;
  });
}

bool gblnSetBaudRate() {
  return vb::guarded("mdlMSComm.gblnSetBaudRate", [&] {
    if (!gblnAutoBaudRateChange) return true;
    std::string setting = gstrSettings;
    int32_t interval = 100;
    int32_t polls = 0;
    bool answered = mblnCheckBaudRate(setting, vb::CStr(static_cast<long>(interval)), polls);
    if (!answered) {
      for (const std::string& candidate : vb::Split(kCandidateSettings, vb::vbCrLf)) {
        if (candidate == gstrSettings) continue;
        if (mblnCheckBaudRate(candidate, vb::CStr(static_cast<long>(interval)), polls)) {
          setting = candidate;
          answered = true;
          break;
        }
      }
    }
    if (!answered) {
      port::setSettings(gstrSettings);
      return false;
    }
    if (polls == 0) {
      for (;;) {
        int32_t next = interval > 10 ? interval - 10 : interval - 1;
        if (next < 1) next = 1;
        int32_t nextPolls = 0;
        if (!mblnCheckBaudRate(setting, vb::CStr(static_cast<long>(next)), nextPolls)) break;
        if (nextPolls >= 1) break;
        interval = next;
        if (interval == 1) break;
      }
    }
    glngSleepTimeUnit = interval;
    gstrSettings = setting;
    port::setSettings(gstrSettings);
    return true;
  });
}

}  // namespace mdlMSComm
