#pragma once
// The byte channel under the MSComm stand-in: a real serial device (termios) or a simulated
// line on the virtual clock. Every failure is raised as a vb::Error run-time error.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace serial {

// The line settings of a "baud,parity,data,stop" settings string.
struct LineSettings {
  long baud = 9600;
  char parity = 'N';     // N, E, O, M or S
  int dataBits = 8;      // 4 to 8
  int stopBitsX2 = 2;    // stop bits times two: 2 (one), 3 (one and a half), 4 (two)
  int handshaking = 0;   // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both

  // Bits on the wire per character: start, data, parity and stop bits (1.5 counts as 2).
  int FrameBits() const;
  // Time one character takes on the wire, in microseconds.
  int64_t CharTimeUs() const;
  bool operator==(const LineSettings&) const = default;
};

// Parses a settings string as the serial control does: four fields separated by commas,
// blanks around a field ignored, parity letter in either case; the baud rate must be one the
// control offers (110 to 256000), data bits 4 to 8, stop bits 1, 1.5 or 2. Anything else
// raises error 380 (Invalid property value). `handshaking` is left at 0.
LineSettings ParseSettings(std::string_view text);

class Channel {
 public:
  virtual ~Channel() = default;
  // Opens the device with `settings`.
  virtual void Open(const LineSettings& settings) = 0;
  // Applies new settings to the open device.
  virtual void Configure(const LineSettings& settings) = 0;
  // Closes the device, discarding whatever is still buffered in both directions.
  virtual void Close() = 0;
  // Appends every byte received so far to `out` without waiting. A lost device (unplugged,
  // hung up) raises a run-time error.
  virtual void ReadAvailable(std::vector<uint8_t>& out) = 0;
  // Hands all `bytes` to the device for sending (does not wait until they are on the wire).
  virtual void Write(const std::vector<uint8_t>& bytes) = 0;
  // Bytes handed over but not yet sent.
  virtual long OutCount() = 0;
  // Discards received, unread bytes held by the device.
  virtual void FlushInput() = 0;
  // Discards bytes not yet sent.
  virtual void FlushOutput() = 0;
  // Sets the DTR and RTS lines (silently skipped where the device has no modem lines).
  virtual void SetModemLines(bool dtr, bool rts) = 0;
  // The device's name for messages (a path, or a description of a simulated line).
  virtual std::string Name() const = 0;
  // The number of received bytes the device holds, without taking them; -1 when the device
  // cannot count them without a read (the caller then takes them with ReadAvailable).
  virtual long WaitingCount() { return -1; }
  // A descriptor that becomes readable when input arrives (-1 for a simulated line, whose
  // input arrives with the events of the virtual clock).
  virtual int InputDescriptor() const { return -1; }
  // How many bytes must wait at the device before InputDescriptor() becomes readable.
  virtual long WakeCount() const { return 1; }
  // Asks for InputDescriptor() to become readable once `count` bytes wait at the device, as far
  // as the device allows (WakeCount() tells what it took).
  virtual void SetWakeCount(long count) { (void)count; }
};

// Makes the channel for a port number; returns nullptr when the number maps to no device.
using ChannelFactory = std::function<std::unique_ptr<Channel>(int port)>;

// The factory used by every serial control that has none of its own. The default maps the
// port number through the port map (port_map.h) and opens the device with termios.
ChannelFactory& defaultChannelFactory();
// Installs a factory for every serial control (nullptr: back to the termios default).
void setChannelFactory(ChannelFactory factory);

}  // namespace serial
