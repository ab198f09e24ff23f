#pragma once
// A serial line on the virtual clock: the program's side is a Channel, the far side a
// simulated device. Every character takes its wire time (start, data, parity and stop bits at
// the line's baud rate) in each direction, so a protocol test sees the timing of a real line
// while the whole exchange runs in microseconds of real time.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial/channel.h"
#include "platform/serial/clock.h"

namespace serial {

// What the device sends back: `bytes`, starting no earlier than `notBeforeUs` (virtual time).
struct Transmission {
  int64_t notBeforeUs = 0;
  std::vector<uint8_t> bytes;
};

// The far end of a virtual line.
class VirtualDevice {
 public:
  virtual ~VirtualDevice() = default;
  // A character has fully arrived at the device at `atUs`, sent with `settings`. The device
  // answers with what it sends back (nothing, one or several transmissions).
  virtual std::vector<Transmission> Receive(uint8_t byte, int64_t atUs, const LineSettings& settings) = 0;
};

// The shared state of one virtual line; the channels the serial control opens on it are
// views of it, so a test keeps the line (and can unplug it) across opens and closes.
class VirtualLine : public std::enable_shared_from_this<VirtualLine> {
 public:
  // The clock and the device must outlive the line (events already scheduled on the clock
  // for a destroyed line do nothing).
  static std::shared_ptr<VirtualLine> Create(VirtualClock& clock, VirtualDevice& device,
                                             std::string name = "virtual line");
  struct Private {};
  VirtualLine(Private, VirtualClock& clock, VirtualDevice& device, std::string name);

  // A channel for the serial control; at most one is open at a time.
  std::unique_ptr<Channel> MakeChannel();
  // A factory that hands out channels of this line for `port` (any port when 0).
  ChannelFactory Factory(int port = 0);

  // Simulates pulling the cable of a USB adapter: the open channel reports a lost device,
  // and opening again fails with 8002 until Replug().
  void Unplug();
  void Replug();
  bool Plugged() const { return plugged_; }

  // Every byte the program sent and the device sent, in order, with its arrival time.
  struct Traffic {
    bool fromProgram;
    uint8_t byte;
    int64_t atUs;
  };
  const std::vector<Traffic>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  // The bytes the program sent (in order).
  std::vector<uint8_t> SentBytes() const;

  bool IsOpen() const { return open_; }
  const LineSettings& Settings() const { return settings_; }

 private:
  friend class VirtualChannel;
  void write(const std::vector<uint8_t>& bytes);
  void transmitToProgram(const Transmission& t, uint64_t generation);

  VirtualClock& clock_;
  VirtualDevice& device_;
  std::string name_;
  bool plugged_ = true;
  bool open_ = false;
  uint64_t generation_ = 0;  // bumped at every open and close: bytes in flight to a closed port are lost
  LineSettings settings_;
  int64_t txFreeUs_ = 0;  // when the program-to-device wire is next free
  int64_t rxFreeUs_ = 0;  // when the device-to-program wire is next free
  std::deque<uint8_t> rx_;
  std::vector<Traffic> log_;
};

}  // namespace serial
