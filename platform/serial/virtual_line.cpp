#include "platform/serial/virtual_line.h"

#include <algorithm>

#include "platform/vb/error.h"

namespace serial {

class VirtualChannel final : public Channel {
 public:
  explicit VirtualChannel(std::shared_ptr<VirtualLine> line) : line_(std::move(line)) {}
  ~VirtualChannel() override {
    if (opened_) Close();
  }

  void Open(const LineSettings& settings) override {
    if (!line_->plugged_) vb::Raise(vb::errInvalidPortNumber);
    if (line_->open_) vb::Raise(vb::errPortAlreadyOpen);
    line_->open_ = true;
    opened_ = true;
    line_->generation_++;
    line_->settings_ = settings;
    line_->rx_.clear();
  }
  void Configure(const LineSettings& settings) override {
    check();
    line_->settings_ = settings;
  }
  void Close() override {
    if (!opened_) return;
    opened_ = false;
    line_->open_ = false;
    line_->generation_++;
    line_->rx_.clear();
  }
  void ReadAvailable(std::vector<uint8_t>& out) override {
    check(8020);
    out.insert(out.end(), line_->rx_.begin(), line_->rx_.end());
    line_->rx_.clear();
  }
  void Write(const std::vector<uint8_t>& bytes) override {
    check(vb::errDeviceIO);
    line_->write(bytes);
  }
  // The bytes are on the wire as soon as they are handed over (as on a pty), so a wait for an
  // empty transmit buffer never spins on a clock that does not move.
  long OutCount() override {
    check();
    return 0;
  }
  void FlushInput() override {
    check();
    line_->rx_.clear();
  }
  void FlushOutput() override { check(); }
  void SetModemLines(bool, bool) override { check(); }
  std::string Name() const override { return line_->name_; }

 private:
  void check(long number = 8020) const {
    if (!opened_) vb::Raise(8018);
    if (!line_->plugged_) vb::Raise(number, "The device " + line_->name_ + " was disconnected");
  }
  std::shared_ptr<VirtualLine> line_;
  bool opened_ = false;
};

VirtualLine::VirtualLine(Private, VirtualClock& clock, VirtualDevice& device, std::string name)
    : clock_(clock), device_(device), name_(std::move(name)) {}

std::shared_ptr<VirtualLine> VirtualLine::Create(VirtualClock& clock, VirtualDevice& device, std::string name) {
  return std::make_shared<VirtualLine>(Private{}, clock, device, std::move(name));
}

std::unique_ptr<Channel> VirtualLine::MakeChannel() {
  return std::make_unique<VirtualChannel>(shared_from_this());
}

ChannelFactory VirtualLine::Factory(int port) {
  std::weak_ptr<VirtualLine> weak = weak_from_this();
  return [weak, port](int asked) -> std::unique_ptr<Channel> {
    auto line = weak.lock();
    if (!line || (port != 0 && asked != port) || !line->plugged_) return nullptr;
    return line->MakeChannel();
  };
}

void VirtualLine::Unplug() {
  plugged_ = false;
  rx_.clear();
}

void VirtualLine::Replug() { plugged_ = true; }

std::vector<uint8_t> VirtualLine::SentBytes() const {
  std::vector<uint8_t> out;
  for (const auto& t : log_)
    if (t.fromProgram) out.push_back(t.byte);
  return out;
}

void VirtualLine::write(const std::vector<uint8_t>& bytes) {
  const int64_t charUs = settings_.CharTimeUs();
  const LineSettings settings = settings_;
  const uint64_t generation = generation_;
  for (uint8_t b : bytes) {
    txFreeUs_ = std::max(txFreeUs_, clock_.NowUs()) + charUs;
    const int64_t arrival = txFreeUs_;
    clock_.Schedule(arrival, [weak = weak_from_this(), b, arrival, settings, generation] {
      auto self = weak.lock();
      if (!self || !self->plugged_) return;
      self->log_.push_back({true, b, arrival});
      for (const Transmission& t : self->device_.Receive(b, arrival, settings))
        self->transmitToProgram(t, generation);
    });
  }
}

void VirtualLine::transmitToProgram(const Transmission& t, uint64_t generation) {
  const int64_t charUs = settings_.CharTimeUs();
  int64_t start = std::max({t.notBeforeUs, clock_.NowUs(), rxFreeUs_});
  for (uint8_t b : t.bytes) {
    start += charUs;
    rxFreeUs_ = start;
    const int64_t arrival = start;
    clock_.Schedule(arrival, [weak = weak_from_this(), b, arrival, generation] {
      auto self = weak.lock();
      if (!self || !self->plugged_) return;
      self->log_.push_back({false, b, arrival});
      if (self->open_ && generation == self->generation_) self->rx_.push_back(b);
    });
  }
}

}  // namespace serial
