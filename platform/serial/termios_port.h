#pragma once
// A real serial device (or a pseudo-terminal) through POSIX termios: raw 8-bit binary, parity
// and stop bits from the settings, flow control from the handshaking mode, non-blocking reads.
// An unplugged device (end of file, hang-up, EIO) is raised as a run-time error, never a hang.
#include <memory>
#include <string>

#include "platform/serial/channel.h"

namespace serial {

class TermiosChannel final : public Channel {
 public:
  explicit TermiosChannel(std::string path);
  ~TermiosChannel() override;

  void Open(const LineSettings& settings) override;
  void Configure(const LineSettings& settings) override;
  void Close() override;
  void ReadAvailable(std::vector<uint8_t>& out) override;
  void Write(const std::vector<uint8_t>& bytes) override;
  long OutCount() override;
  void FlushInput() override;
  void FlushOutput() override;
  void SetModemLines(bool dtr, bool rts) override;
  std::string Name() const override { return path_; }
  long WaitingCount() override;
  int InputDescriptor() const override { return fd_; }
  long WakeCount() const override { return wake_; }
  // 1 to kWakeCount: the descriptor's wake count (VMIN) becomes `count`.
  void SetWakeCount(long count) override;

  // The descriptor (-1 while closed), for tests.
  int Descriptor() const { return fd_; }
  // Whether the driver took the low-latency flag at open (false on a pty).
  bool LowLatency() const { return lowLatency_; }

  // How long a write may wait for room in the driver's buffer before it fails (ms).
  static constexpr int kWriteTimeoutMs = 5000;
  // The descriptor reports input once this many bytes are in (the link's replies are two
  // bytes: one wake a reply instead of one a byte). A wait for fewer lowers the count to what
  // it misses, and the count stays there after the wait until a later wait for more raises it.
  static constexpr int kWakeCount = 2;

 private:
  [[noreturn]] void lost(long number, const char* call, int err);
  void apply(const LineSettings& settings);

  std::string path_;
  int fd_ = -1;
  bool lowLatency_ = false;
  bool gone_ = false;
  long wake_ = kWakeCount;
};

// Sets a baud rate that has no B-constant (e.g. 14400) through the kernel's arbitrary-speed
// interface; false when the driver refuses it.
bool SetArbitraryBaud(int fd, long baud);

}  // namespace serial
