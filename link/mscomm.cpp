// The serial port's set-up and the command transaction with its reply check and recovery.
#include "link/mscomm.h"

#include <chrono>
#include <ctime>
#include <deque>
#include <map>
#include <utility>

#include "core/variables.h"
#include "link/port_access.h"
#include "link/port_change_window.h"
#include "platform/app/res_string.h"
#include "core/logs.h"
#include "core/start_up.h"
#include "platform/forms/host.h"
#include "platform/serial/clock.h"
#include "platform/vb/scoped_value.h"
#include "platform/vb/vb.h"

namespace mdlMSComm {
namespace {

// Length of the recovery chain: the transactions under way, nested (a recovery sends its sync
// as a nested transaction) or resent (a recovery ends by sending the failed command again).
// From this length on, every failure asks the user instead of retrying silently, so that no
// camera behaviour can grow the chain without bound.
constexpr int kAskDepth = 200;
int gintDepth = 0;
// Counts the ends of failure handlings; tells whether a resynchronisation went through without
// any failure of its own.
long glngFailureExits = 0;
// Screen work waiting for the next command's bytes to be on the wire.
std::function<void()> gWorkOnWire;
// The screen work runs. Its repaint lets the window system draw, and whatever that lets through
// must not start a transaction in the middle of this one.
bool gblnWorkOnWireRuns = false;

// What each window shows as soon as the camera is known to be gone, by window.
std::map<const void*, std::function<void()>> gLineLost;

void runWorkOnWire() {
  if (!gWorkOnWire) return;
  const std::function<void()> work = std::move(gWorkOnWire);
  gWorkOnWire = nullptr;
  const vb::ScopedValue<bool> running(gblnWorkOnWireRuns, true);
  work();
}

// How a failure handling ends: with the transaction's result or by sending the command again;
// or where it goes on: with its resynchronisation, whose transactions run first.
enum class Recovery { Fail, Succeed, Resend, Resynchronise };

// One transaction of the recovery chain. A failure handling resynchronises by sending the sync
// and the mode command as transactions of their own, which can fail and recover in turn; the
// chain holds them one behind the other instead of one inside the other, so that a chain of any
// length runs in the same stack.
struct ChainedTransaction {
  uint8_t c, d;
  uint8_t* rc;
  uint8_t* rd;
  int savedDepth;  // the chain's length before this transaction
  long resends = 0;
  // Its failure handling, while the resynchronisation runs.
  bool gone = false;      // the device went away: off line once the handling ends
  bool modeStep = false;  // the mode command is under way, not the sync
  bool savedTimeOutRetry = false;
  int32_t savedTimeOutCount = 0;
  long exitsBefore = 0;
  uint8_t lastCmd = 0, lastData = 0;  // the reply of the last resynchronising transaction
};

bool transact(uint8_t c, uint8_t d, uint8_t& rc, uint8_t& rd, int16_t& status);

std::string decimal(long n) { return vb::CStr(n); }

int askYesNo(long message, const std::string& extra) {
  return forms::MsgBox(vb::LoadResString(message) + extra, forms::vbYesNo + forms::vbExclamation,
                       SubMain::gstrGetAppTitleString());
}

// A diagnostic line in the error log: only the time-stamped text, no message box.
void errorLogLine(const std::string& text) {
  Err.Clear();
  vb::ReportError(text);
}

// Failure handling of one transaction (status 1 time-out, 2 wrong reply, 0 other failure), up to
// its resynchronisation.
Recovery failureBody(uint8_t c, uint8_t d, uint8_t& rc, uint8_t& rd, int16_t& status) {
  if (Err) vb::ReportError("mdlMSComm.gblnSendSettingData");
  // A read the session's end stops is not recovered: it ends here, as no time-out.
  if (port::readStops()) return Recovery::Fail;
  if (status == 1) {
    if (gblnWriteErrLogTimeOut) errorLogLine("TimeOut[" + vb::Hex(c) + "," + vb::Hex(d) + "]");
    if (!gblnTimeOutRetry) {
      gblnTimeOutRetry = true;
      glngTimeOutCount = 0;
    } else {
      glngTimeOutCount += 1;
    }
    if (glngTimeOutCount >= glngRetryTimeOutBeforeMsg || gintDepth >= kAskDepth) {
      const int answer = askYesNo(331, std::string(vb::vbCrLf) + "Command:" + decimal(c) +
                                           "   Data:" + decimal(d));
      if (answer != forms::vbYes) {
        forms::MsgBox(vb::LoadResString(333), forms::vbOKOnly + forms::vbExclamation,
                      SubMain::gstrGetAppTitleString());
        gblnOnLine = false;
        return Recovery::Fail;
      }
      glngTimeOutCount = -1;
      gblnSetBaudRate();
    }
  } else if (status == 2) {
    if (!gblnWrongReplayRetry) {
      gblnWrongReplayRetry = true;
      glngWrongReplayCount = 0;
    } else {
      glngWrongReplayCount += 1;
    }
    if (rc == 0xFF && rd == 0xFF && !gblnKeepNotSupportCmd && c != 0) {
      if (mblnRemoveNotSupportCmd(c)) {
        rc = c;
        if (!gobjDataInfo[c]) vb::Raise(vb::errObjectVariable);
        rd = vb::CByte(static_cast<double>(gobjDataInfo[c]->DefaultValue));
        return Recovery::Succeed;
      }
    }
    if (gblnWriteErrLogWrongReplay)
      errorLogLine("WrongReplay[" + vb::Hex(c) + "," + vb::Hex(d) + "," + vb::Hex(rc) + "," +
                   vb::Hex(rd) + "]");
    if (glngWrongReplayCount >= glngRetryWrongReplayBeforeMsg || gintDepth >= kAskDepth) {
      const int answer = askYesNo(
          334, std::string(vb::vbCrLf) + "Send Command:" + decimal(c) + "   Data:" + decimal(d) +
                   vb::vbCrLf + "Get  Command:" + decimal(rc) + "   Data:" + decimal(rd));
      if (answer == forms::vbYes) {
        glngWrongReplayCount = -1;
        gblnSetBaudRate();
        // A limit below 0 (only possible by hand in the settings file) gives up here.
        if (glngWrongReplayCount >= glngRetryWrongReplayBeforeMsg) return Recovery::Fail;
      } else {
        if (forms::MsgBox(vb::LoadResString(332), forms::vbYesNo + forms::vbExclamation,
                          SubMain::gstrGetAppTitleString()) == forms::vbYes) {
          rc = c;
          rd = d;
          return Recovery::Succeed;
        }
        return Recovery::Fail;
      }
    }
  } else {
    return Recovery::Fail;
  }

  return Recovery::Resynchronise;
}

// The start of a resynchronisation: what its end compares with.
void startResynchronisation(ChainedTransaction& t) {
  t.modeStep = false;
  t.savedTimeOutRetry = gblnTimeOutRetry;
  t.savedTimeOutCount = glngTimeOutCount;
  t.exitsBefore = glngFailureExits;
}

// The failure handling of `t` after its resynchronisation went through: the failed command was
// itself the sync or the mode command just repeated, or it is sent again.
Recovery resynchronised(ChainedTransaction& t) {
  if (t.c == t.lastCmd && (t.d == t.lastData || t.d == 1)) {
    *t.rc = t.lastCmd;
    *t.rd = t.lastData;
    return Recovery::Succeed;
  }
  // A resynchronisation answered at once does not end the time-out run of the command being
  // recovered: a camera that answers the sync but never the command is asked about at the next
  // time-out instead of being retried silently for ever.
  if (glngFailureExits == t.exitsBefore) {
    gblnTimeOutRetry = t.savedTimeOutRetry;
    glngTimeOutCount = t.savedTimeOutCount;
  }
  return Recovery::Resend;
}

// The end of a failure handling: both runs end.
void failureExit() {
  gblnTimeOutRetry = false;
  gblnWrongReplayRetry = false;
  ++glngFailureExits;
}

// A resynchronisation leaves the end of this handling to the transaction. `gone`: the device
// went away; the link is off line, and the windows say so, before the error is reported.
Recovery failure(uint8_t c, uint8_t d, uint8_t& rc, uint8_t& rd, int16_t& status, bool gone = false) {
  Recovery result = Recovery::Fail;
  if (gone) {
    gblnOnLine = false;
    const auto windows = gLineLost;  // a window may come or go while it shows
    for (const auto& [window, show] : windows) show();
  }
  try {
    result = failureBody(c, d, rc, rd, status);
  } catch (const vb::Error& e) {
    Err.Set(e);
    vb::ReportError("mdlMSComm.gblnSendSettingData");
    result = Recovery::Fail;
  } catch (const std::exception& e) {
    Err.Set(vb::Error(51, std::string("Internal error: ") + e.what()));
    vb::ReportError("mdlMSComm.gblnSendSettingData");
    result = Recovery::Fail;
  }
  if (result != Recovery::Resynchronise) failureExit();
  return result;
}

bool isQuery(uint8_t d) {
  return d == 0x10 || d == 0x11 || d == 0x12 || d == 0x13 || d == 0x14 || d == 0x17 || d == 0x1F;
}

enum class Check { Accept, Failed, Wrong };

// The reply check. Nested transactions of rows 3 and 5 reply into scratch bytes.
Check replyCheck(uint8_t c, uint8_t d, uint8_t rc, uint8_t rd, int16_t& status) {
  const uint8_t m = gbyteCurrentMode;
  uint8_t sc = 0, sd = 0;
  if (c == 0 && rc == 0 && rd == d) {
    gbyteCurrentMode = rd;
    return Check::Accept;
  }
  if (c == 0 && d == 1 && rc == 0xFF && rd == 0xFF) {
    gbyteCurrentMode = 1;
    return Check::Accept;
  }
  if (c == 0 && rc == 0 && isQuery(d)) {
    if (rd != 0) return Check::Accept;
    return transact(0, 1, sc, sd, status) ? Check::Accept : Check::Failed;
  }
  if (rc == 0xFF && rd == 0x80 && gblnEEPROMWriting) return Check::Accept;
  if (((c >= 0x38 && c <= 0x3F) || (c >= 0x4C && c <= 0x4F)) && rc == 0 && m != 12) {
    if (rd != 0) return Check::Accept;
    if (!transact(0, 1, sc, sd, status)) return Check::Failed;
    if (gblnReadingData && gbyteCurrentMode != 12) {
      if (!transact(0, 12, sc, sd, status)) return Check::Failed;
    } else if (gblnEEPROMWriting && gbyteCurrentMode != 243) {
      if (!transact(0, 243, sc, sd, status)) return Check::Failed;
    }
    return Check::Accept;
  }
  if (c >= 0x90 && c <= 0x93 && rc == 0x20 && m != 12) return Check::Accept;
  if (c >= 0x20 && c <= 0x2D && rc == 0x01 && m != 12) return Check::Accept;
  if (rc == c && (rd == d || m == 12)) return Check::Accept;
  return Check::Wrong;
}

// The serial control's errors that say its device is gone (unplugged, hung up): 8020 error
// reading comm device, 57 device I/O error.
bool deviceGone(const vb::Error& e) { return e.Number() == vb::errTimeout || e.Number() == vb::errDeviceIO; }

// Runs `step`; a run-time error becomes the pending error (`gone`: the device went away).
// False after an error.
template <class F>
bool trapped(bool& gone, F&& step) {
  try {
    step();
    return true;
  } catch (const vb::Error& e) {
    Err.Set(e);
    gone = deviceGone(e);
  } catch (const std::bad_alloc&) {
    Err.Set(vb::Error(vb::errOutOfMemory));
  } catch (const std::exception& e) {
    Err.Set(vb::Error(51, std::string("Internal error: ") + e.what()));
  }
  return false;
}

// The command's reply, once the command is on its way: the wait, the reply check and, after a
// failure, the failure handling up to its end or up to its resynchronisation.
Recovery reply(uint8_t c, uint8_t d, uint8_t& rc, uint8_t& rd, int16_t& status) {
  if (!port::waitOutputSent()) {
    status = 1;
  } else if (!port::waitReply(glngSleepTimeUnit, glngTimeOut, glngRcvRetry,
                              /*needMorePollsThanRetry=*/true, nullptr)) {
    status = 1;
  }
  if (status == 1) {
    if (gblnWriteLogFile) SubMain::gblnWriteCommLog(false, c, d, 0, 0);
    return failure(c, d, rc, rd, status);
  }
  rc = port::inputByte();
  rd = port::inputByte();
  port::clearInput();
  // The log is a diagnostic: one that cannot be written fails no transaction.
  if (gblnWriteLogFile) SubMain::gblnWriteCommLog(true, c, d, rc, rd);
  switch (replyCheck(c, d, rc, rd, status)) {
    case Check::Accept:
      gblnTimeOutRetry = false;
      return Recovery::Succeed;
    case Check::Failed:
      return failure(c, d, rc, rd, status);
    case Check::Wrong:
      status = 2;
      // The wait ended with the first two bytes in; what follows them (the rest of a reply
      // that a stray byte pushed back) comes within the interval and must not be taken for
      // the next reply.
      port::sleepMs(glngSleepTimeUnit);
      port::clearInput();
      return failure(c, d, rc, rd, status);
  }
  return Recovery::Fail;
}

// One attempt of a transaction: the command, its reply and, after a failure, the failure
// handling up to its end or up to its resynchronisation. `gone` tells whether the device went
// away; the link goes off line at the end of the failure handling. The screen's work runs while
// the command is on the wire, outside the trap of the transaction's errors: its repaint's own
// errors are its own.
Recovery attempt(uint8_t c, uint8_t d, uint8_t& rc, uint8_t& rd, int16_t& status, bool& gone) {
  status = 0;
  gone = false;
  if (port::readStops()) return Recovery::Fail;  // nothing more goes on the wire
  const bool written = trapped(gone, [&] {
    if (port::isSlowSetting(gstrSettings)) port::sleepMs(port::halfInterval(glngSleepTimeUnit));
    port::clearInput();
    port::clearOutput();
    port::output(c, d);
  });
  if (written) {
    runWorkOnWire();
    Recovery result = Recovery::Fail;
    if (trapped(gone, [&] { result = reply(c, d, rc, rd, status); })) return result;
  }
  // Without its device the camera cannot answer: the link is off line, as after the user gave
  // up a time-out, until the next connect.
  return failure(c, d, rc, rd, status, gone);
}

// The transaction: attempts until one ends without a resend. A failure handling's
// resynchronisation begins the sync as the next transaction of the chain and, once the sync has
// gone through, the mode command to keep; when the last of them ends, the handling goes on.
// Every resend ends its failure handling only when the resent command has ended; the chain counts
// one more transaction for each.
bool transact(uint8_t c, uint8_t d, uint8_t& rc, uint8_t& rd, int16_t& status) {
  // A transaction asked for by what the screen work's repaint let through is refused: nothing
  // goes on the wire and nothing of the link changes.
  if (gblnWorkOnWireRuns) {
    status = kStatusRefused;
    return false;
  }
  // A command sent outside a read changes the camera: it completes, its recovery included.
  const port::Doing change(port::Work::Change);
  // The chain's length is back where it was however the transaction ends, an error included.
  const vb::ScopedValue<int> depthScope(gintDepth);
  std::deque<ChainedTransaction> chain;  // keeps its elements in place while it grows and shrinks at its end
  const auto begin = [&](uint8_t cmd, uint8_t data, uint8_t* replyCmd, uint8_t* replyData) {
    chain.push_back(ChainedTransaction{cmd, data, replyCmd, replyData, gintDepth});
    ++gintDepth;
  };
  begin(c, d, &rc, &rd);
  for (;;) {
    ChainedTransaction& running = chain.back();
    Recovery result = attempt(running.c, running.d, *running.rc, *running.rd, status, running.gone);
    if (result == Recovery::Resynchronise) {
      startResynchronisation(running);
      begin(0, 1, &running.lastCmd, &running.lastData);
      continue;
    }
    // The transaction has ended; the failure handling that sent it goes on, and may end its own
    // transaction in turn.
    for (;;) {
      ChainedTransaction& ended = chain.back();
      for (; ended.resends > 0; --ended.resends) failureExit();
      gintDepth = ended.savedDepth;
      const bool ok = result == Recovery::Succeed;
      chain.pop_back();
      if (chain.empty()) return ok;
      ChainedTransaction& handling = chain.back();
      if (!ok) {
        result = Recovery::Fail;
      } else if (!handling.modeStep && gblnReadingData && gbyteCurrentMode != 12) {
        handling.modeStep = true;
        begin(0, 12, &handling.lastCmd, &handling.lastData);
        break;
      } else if (!handling.modeStep && gblnEEPROMWriting && gbyteCurrentMode != 243) {
        handling.modeStep = true;
        begin(0, 243, &handling.lastCmd, &handling.lastData);
        break;
      } else {
        result = resynchronised(handling);
      }
      if (result != Recovery::Resend) failureExit();
      if (handling.gone) gblnOnLine = false;
      if (result == Recovery::Resend) {
        ++handling.resends;
        ++gintDepth;
        break;
      }
    }
  }
}

}  // namespace

void gDoWhileNextCommandOnWire(std::function<void()> work) { gWorkOnWire = std::move(work); }

void gFinishWorkOnWire() { runWorkOnWire(); }

void gWhenLineLost(const void* window, std::function<void()> show) {
  if (show) gLineLost[window] = std::move(show);
  else gLineLost.erase(window);
}

bool gblnSendSettingData(uint8_t vbyteCmd, uint8_t vbyteData, uint8_t& rbyteReplyCmd,
                         uint8_t& rbyteReplyData, int16_t& rintStatus) {
  return transact(vbyteCmd, vbyteData, rbyteReplyCmd, rbyteReplyData, rintStatus);
}

bool gblnSendSettingData(uint8_t vbyteCmd, uint8_t vbyteData, uint8_t& rbyteReplyCmd,
                         uint8_t& rbyteReplyData) {
  int16_t status = 0;
  return transact(vbyteCmd, vbyteData, rbyteReplyCmd, rbyteReplyData, status);
}

bool gblnMSComm_Init() {
  try {
    gblnWrongReplayRetry = false;
    gblnTimeOutRetry = false;
    gblnEEPROMWriting = false;
    gblnReadingData = false;
    port::setUpPort(glngPortNo, gstrSettings);
    gblnKeepNotSupportCmd = false;
    gblnSetBaudRate();
    if (gblnGetFirmVersion(gbyteFirmVersion)) {
      gblnOnLine = true;
      return true;
    }
  } catch (const vb::Error& e) {
    Err.Set(e);
  } catch (const std::exception& e) {
    Err.Set(vb::Error(51, std::string("Internal error: ") + e.what()));
  }
  try {
    if (Err.Number == vb::errInvalidPortNumber) {
      const int32_t oldPort = glngPortNo;
      const vb::ErrObject pending = Err;
      Err.Clear();
      frmPortChange().Show(forms::vbModal);
      if (glngPortNo != oldPort) {
        Err.Clear();
        return gblnMSComm_Init();
      }
      Err = pending;
      const vb::ErrObject keep = Err;
      Err.Clear();
      forms::MsgBox(vb::LoadResString(313), forms::vbOKOnly + forms::vbExclamation,
                    SubMain::gstrGetAppTitleString());
      Err = keep;
    }
    if (Err) vb::ReportError("mdlMSComm.gblnMSComm_Init");
    if (port::portIsOpen()) port::closePort();
  } catch (const vb::Error& e) {
    Err.Set(e);
    vb::ReportError("mdlMSComm.gblnMSComm_Init");
  } catch (const std::exception& e) {
    Err.Set(vb::Error(51, std::string("Internal error: ") + e.what()));
    vb::ReportError("mdlMSComm.gblnMSComm_Init");
  }
  gblnOnLine = false;
  return false;
}

bool gblnMSComm_Close() {
  return vb::guarded("mdlMSComm.gblnMSComm_Close", [&] {
    if (port::portIsOpen()) port::closePort();
    return true;
  });
}

int32_t mlngGetDDHHMMSS() {
  return vb::guarded("mdlMSComm.mlngGetDDHHMMSS", [&]() -> int32_t {
    // The link's clock gives the wall time (a test's virtual clock included).
    const std::time_t t = std::chrono::system_clock::to_time_t(serial::clock().WallNow());
    std::tm local{};
    if (!localtime_r(&t, &local)) vb::Raise(vb::errInvalidCall);
    return ((local.tm_mday * 24 + local.tm_hour) * 60 + local.tm_min) * 60 + local.tm_sec;
  });
}

namespace {
std::string withoutCode(const std::string& list, long code) {
  if (list.empty()) return list;
  std::string result;
  bool first = true;
  for (const std::string& item : vb::Split(list, ",")) {
    if (vb::CLng(item) == code) continue;
    if (!first) result += ",";
    result += item;
    first = false;
  }
  return result;
}
}  // namespace

bool mblnRemoveNotSupportCmd(uint8_t vbyteCmd) {
  return vb::guarded("mdlMSComm.mblnRemoveNotSupportCmd", [&] {
    gstrAllCmdList = withoutCode(gstrAllCmdList, vbyteCmd);
    gstrKRVCmdList = withoutCode(gstrKRVCmdList, vbyteCmd);
    gstrWriteCmdList = withoutCode(gstrWriteCmdList, vbyteCmd);
    return true;
  });
}

}  // namespace mdlMSComm
