#include "platform/serial/mscomm.h"

#include <algorithm>

#include "platform/serial/clock.h"
#include "platform/vb/error.h"

namespace serial {

namespace {
constexpr long errPortOpenNow = 8000;
constexpr long errNotOpen = 8018;
constexpr long errInvalidValue = 380;
}  // namespace

MSComm::MSComm() { settings_ = ParseSettings(settingsText_); }

MSComm::~MSComm() {
  if (channel_) {
    try {
      channel_->Close();
    } catch (...) {
    }
  }
}

void MSComm::SetChannelFactory(ChannelFactory factory) { factory_ = std::move(factory); }

void MSComm::CommPort(int port) {
  if (channel_) vb::Raise(errPortOpenNow, "Operation not valid while the port is opened");
  if (port < 1 || port > 256) vb::Raise(vb::errInvalidPortNumber);
  commPort_ = port;
}

LineSettings MSComm::lineSettings() const {
  LineSettings s = settings_;
  s.handshaking = handshaking_;
  return s;
}

void MSComm::Settings(const std::string& text) {
  LineSettings parsed = ParseSettings(text);
  parsed.handshaking = handshaking_;
  // The port takes the new settings first; a device that refuses them leaves the old ones.
  if (channel_) channel_->Configure(parsed);
  settings_ = parsed;
  settingsText_ = text;
}

void MSComm::Handshaking(int mode) {
  if (mode < 0 || mode > 3) vb::Raise(errInvalidValue);
  LineSettings s = lineSettings();
  s.handshaking = mode;
  if (channel_) channel_->Configure(s);
  handshaking_ = mode;
}

void MSComm::InputLen(long length) {
  if (length < 0) vb::Raise(errInvalidValue);
  inputLen_ = length;
}

void MSComm::RThreshold(long count) {
  if (count < 0) vb::Raise(errInvalidValue);
  rThreshold_ = count;
}

void MSComm::InputMode(int mode) {
  if (mode != 0 && mode != 1) vb::Raise(errInvalidValue);
  inputMode_ = mode;
}

void MSComm::InBufferSize(long size) {
  if (size < 1) vb::Raise(errInvalidValue);
  inBufferSize_ = size;
}

void MSComm::OutBufferSize(long size) {
  if (size < 1) vb::Raise(errInvalidValue);
  outBufferSize_ = size;
}

void MSComm::DTREnable(bool on) {
  dtrEnable_ = on;
  if (channel_) channel_->SetModemLines(dtrEnable_, rtsEnable_);
}

void MSComm::RTSEnable(bool on) {
  rtsEnable_ = on;
  if (channel_) channel_->SetModemLines(dtrEnable_, rtsEnable_);
}

void MSComm::NullDiscard(bool on) { nullDiscard_ = on; }

void MSComm::PortOpen(bool open) {
  if (open) {
    if (channel_) vb::Raise(vb::errPortAlreadyOpen);
    const ChannelFactory& factory = factory_ ? factory_ : defaultChannelFactory();
    std::unique_ptr<Channel> ch = factory ? factory(commPort_) : nullptr;
    if (!ch) vb::Raise(vb::errInvalidPortNumber);
    ch->Open(lineSettings());
    try {
      ch->SetModemLines(dtrEnable_, rtsEnable_);
      ch->FlushInput();
    } catch (...) {
      ch->Close();
      throw;
    }
    received_.clear();
    channel_ = std::move(ch);
  } else if (channel_) {
    std::unique_ptr<Channel> ch = std::move(channel_);
    received_.clear();
    ch->Close();
  }
}

void MSComm::requireOpen() const {
  if (!channel_) vb::Raise(errNotOpen);
}

void MSComm::pull() {
  std::vector<uint8_t> bytes;
  channel_->ReadAvailable(bytes);
  for (uint8_t b : bytes) {
    if (nullDiscard_ && b == 0) continue;
    received_.push_back(b);
  }
}

long MSComm::waiting() {
  // NUL bytes to be discarded are counted only once they are taken.
  const long n = nullDiscard_ ? -1 : channel_->WaitingCount();
  if (n >= 0) return n;
  pull();
  return 0;
}

long MSComm::InBufferCount() {
  requireOpen();
  // Counted where they are: taking the device's bytes into the buffer here would hide them from
  // the descriptor that wakes a wait (WaitInput).
  const long atDevice = waiting();  // first: it may move them into the buffer
  return static_cast<long>(received_.size()) + atDevice;
}

bool MSComm::WaitInput(long count, long timeoutMs) {
  requireOpen();
  Clock& clk = clock();
  const int64_t until = clk.NowUs() + int64_t{std::max(0L, timeoutMs)} * 1000;
  const int fd = channel_->InputDescriptor();
  const int64_t charUs = lineSettings().CharTimeUs();
  // The bytes cannot all be in before what was written last has left and the missing bytes have
  // come over the wire. Till then the wait sleeps on the descriptor; from then on it also looks
  // every half character time for a few characters' time, since a busy machine wakes a long
  // sleeper late, after the descriptor became readable; after that it sleeps on the descriptor
  // again. The window is counted from the write, so that the later polls of a silent line
  // sleep their whole interval.
  for (;;) {
    const long held = static_cast<long>(received_.size());
    if (fd >= 0 && count > held) channel_->SetWakeCount(count - held);
    const long wake = channel_->WakeCount();
    const long atDevice = waiting();
    if (held + atDevice >= count) return true;
    // The descriptor is readable already but the count is not reached: the bytes are taken, so
    // that it sleeps until the next ones.
    if (fd >= 0 && atDevice >= wake) {
      pull();
      continue;
    }
    const int64_t now = clk.NowUs();
    if (now >= until) return false;
    const int64_t due = lastOutputEndUs_ + (count - held) * charUs;
    int64_t stop = until;
    if (fd >= 0 && count - held < wake) {
      // The device would not wake the descriptor for the few bytes missing.
      stop = now + std::max<int64_t>(100, charUs / 4);
    } else if (fd >= 0) {
      stop = now < due ? due : now < due + 4 * charUs ? now + charUs / 2 : until;
    }
    // Ready also when the descriptor would stay readable: the loop then takes the bytes.
    const bool ready = clk.WaitUntil(std::min(stop, until), fd, [&] {
      const long n = waiting();
      return static_cast<long>(received_.size()) + n >= count || (fd >= 0 && n >= wake);
    });
    if (!ready && stop >= until) return false;
  }
}

void MSComm::InBufferCount(long count) {
  requireOpen();
  if (count != 0) vb::Raise(errInvalidValue);
  received_.clear();
  channel_->FlushInput();
}

long MSComm::OutBufferCount() {
  requireOpen();
  return channel_->OutCount();
}

void MSComm::OutBufferCount(long count) {
  requireOpen();
  if (count != 0) vb::Raise(errInvalidValue);
  channel_->FlushOutput();
}

void MSComm::Output(const std::vector<uint8_t>& bytes) {
  requireOpen();
  if (bytes.empty()) return;
  channel_->Write(bytes);
  lastOutputEndUs_ = clock().NowUs() + static_cast<int64_t>(bytes.size()) * lineSettings().CharTimeUs();
}

void MSComm::Output(const std::string& text) { Output(std::vector<uint8_t>(text.begin(), text.end())); }

std::vector<uint8_t> MSComm::Input() {
  requireOpen();
  // Bytes already taken from the device are handed out before a lost device is reported.
  if (inputLen_ == 0 || received_.size() < static_cast<size_t>(inputLen_)) pull();
  size_t n = received_.size();
  if (inputLen_ > 0) n = std::min(n, static_cast<size_t>(inputLen_));
  std::vector<uint8_t> out(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(n));
  received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(n));
  return out;
}

std::string MSComm::DeviceName() const { return channel_ ? channel_->Name() : std::string(); }

}  // namespace serial
