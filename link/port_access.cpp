#include "link/port_access.h"

#include <algorithm>
#include <optional>

#include "core/variables.h"
#include "platform/serial/clock.h"
#include "platform/serial/mscomm.h"
#include "platform/vb/vb.h"

namespace mdlMSComm::port {
namespace {

serial::MSComm& port() {
  if (!gobjMSComm) vb::Raise(vb::errObjectVariable);
  return *gobjMSComm;
}

std::optional<Work> working;  // the outermost work under way

}  // namespace

Doing::Doing(Work work) : outermost_(!working) {
  if (outermost_) working = work;
}

Doing::~Doing() {
  if (outermost_) working.reset();
}

bool readStops() { return working == Work::Read && serial::SessionEnded(); }

void setUpPort(int32_t portNo, const std::string& settings) {
  serial::MSComm& p = port();
  p.CommPort(vb::CInt(static_cast<double>(portNo)));
  p.Settings(settings);
  p.Handshaking(0);
  p.InputLen(1);
  p.RThreshold(0);
  p.InputMode(1);
  p.OutBufferSize(5);
  p.InBufferSize(5);
  p.DTREnable(true);
  p.RTSEnable(false);
  p.NullDiscard(false);
  p.PortOpen(true);
  p.InBufferCount(0);
  p.OutBufferCount(0);
}

bool portIsOpen() { return gobjMSComm != nullptr && gobjMSComm->PortOpen(); }
void closePort() { port().PortOpen(false); }
void setSettings(const std::string& settings) { port().Settings(settings); }
void clearInput() { port().InBufferCount(0); }
void clearOutput() { port().OutBufferCount(0); }
void output(uint8_t c, uint8_t d) { port().Output(std::vector<uint8_t>{c, d}); }

bool waitOutputSent() {
  serial::MSComm& p = port();
  if (p.OutBufferCount() == 0) return true;
  serial::Clock& clk = serial::clock();
  const int64_t deadline = clk.NowUs() + (static_cast<int64_t>(glngTimeOut < 0 ? 0 : glngTimeOut) + 1) * 1000000;
  // Looks again every half millisecond (two bytes take 2.3 ms at 9600 baud), on the link's clock.
  while (!clk.WaitUntil(std::min(deadline, clk.NowUs() + 500), -1, [&] { return p.OutBufferCount() == 0; })) {
    if (clk.NowUs() >= deadline) return false;
  }
  return true;
}

bool waitReply(long intervalMs, long timeOutSeconds, long rcvRetry, bool needMorePollsThanRetry,
               int32_t* emptyPolls) {
  serial::MSComm& p = port();
  serial::Clock& clk = serial::clock();
  const int64_t startSecond = clk.NowUs() / 1000000;
  long polls = 0;
  for (;;) {
    // A poll ends as soon as the reply's two bytes are in; an empty one lasts its interval.
    if (p.WaitInput(2, intervalMs)) {
      if (emptyPolls) *emptyPolls = static_cast<int32_t>(polls);
      return true;
    }
    ++polls;
    if (readStops()) return false;
    const int64_t seconds = clk.NowUs() / 1000000 - startSecond;
    const bool enoughPolls = needMorePollsThanRetry ? polls > rcvRetry : polls >= rcvRetry;
    if (seconds > timeOutSeconds && enoughPolls) return false;
  }
}

uint8_t inputByte() {
  const std::vector<uint8_t> bytes = port().Input();
  if (bytes.empty()) vb::Raise(vb::errSubscript);
  return bytes[0];
}

bool isSlowSetting(const std::string& settings) {
  return vb::UCase(vb::Trim(settings)) == "1200,N,8,2";
}

long halfInterval(long intervalMs) { return vb::CLng(static_cast<double>(intervalMs) / 2.0); }

void sleepMs(long ms) { serial::clock().Sleep(ms); }

}  // namespace mdlMSComm::port
