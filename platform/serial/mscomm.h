#pragma once
// The serial-communication control: the properties the serial link uses, with the control's
// semantics, over a byte channel (a real serial device through termios, or a simulated line).
//
// Properties are member functions named as on the control: `CommPort()` reads,
// `CommPort(3)` assigns. Failures raise vb::Error with the control's error numbers:
//   380  invalid property value (a malformed settings string, a negative length, ...)
//   8000 operation not valid while the port is opened (changing CommPort while open)
//   8002 invalid port number (a number below 1 or above 256, or one that maps to no device)
//   8005 port already open (opening an open control, or a device held by another program)
//   8018 operation valid only when the port is open (Input, Output, the counts while closed)
//   8020 error reading comm device, 57 device I/O error (the device was unplugged or hung up)
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial/channel.h"

namespace serial {

class MSComm {
 public:
  MSComm();
  ~MSComm();
  MSComm(const MSComm&) = delete;
  MSComm& operator=(const MSComm&) = delete;

  // Uses `factory` for this control instead of the process-wide one (nullptr: the default).
  void SetChannelFactory(ChannelFactory factory);

  int CommPort() const { return commPort_; }
  void CommPort(int port);

  const std::string& Settings() const { return settingsText_; }
  void Settings(const std::string& text);

  int Handshaking() const { return handshaking_; }
  void Handshaking(int mode);

  long InputLen() const { return inputLen_; }
  void InputLen(long length);

  long RThreshold() const { return rThreshold_; }
  void RThreshold(long count);

  int InputMode() const { return inputMode_; }
  void InputMode(int mode);

  long InBufferSize() const { return inBufferSize_; }
  void InBufferSize(long size);
  long OutBufferSize() const { return outBufferSize_; }
  void OutBufferSize(long size);

  bool DTREnable() const { return dtrEnable_; }
  void DTREnable(bool on);
  bool RTSEnable() const { return rtsEnable_; }
  void RTSEnable(bool on);

  bool NullDiscard() const { return nullDiscard_; }
  void NullDiscard(bool on);

  bool PortOpen() const { return channel_ != nullptr; }
  void PortOpen(bool open);

  // Bytes waiting in the receive buffer; assigning 0 empties it (any other value: 380).
  long InBufferCount();
  void InBufferCount(long count);
  // Waits up to `timeoutMs` on the link's clock for InBufferCount to reach `count`; true as soon
  // as it does (the moment the bytes are in, not at the end of the time), however many of them
  // Input has taken from the device already. Not a property of the serial control: the link
  // waits for a reply this way instead of sleeping blindly.
  bool WaitInput(long count, long timeoutMs);
  // Bytes not yet sent; assigning 0 discards them (any other value: 380).
  long OutBufferCount();
  void OutBufferCount(long count);

  // Queues bytes for sending (binary mode: a byte array; a text is sent as its bytes).
  void Output(const std::vector<uint8_t>& bytes);
  void Output(const std::string& text);
  // Removes and returns up to InputLen received bytes (all of them when InputLen is 0);
  // an empty array when nothing is waiting.
  std::vector<uint8_t> Input();

  // The device behind the open port ("" while closed), for messages.
  std::string DeviceName() const;

 private:
  void requireOpen() const;
  void pull();  // moves what the channel received into the receive buffer
  long waiting();  // bytes the channel holds (0 after moving them, where it cannot count them)
  LineSettings lineSettings() const;

  ChannelFactory factory_;
  std::unique_ptr<Channel> channel_;
  std::deque<uint8_t> received_;

  int commPort_ = 1;
  std::string settingsText_ = "9600,N,8,1";
  LineSettings settings_;
  int handshaking_ = 0;
  long inputLen_ = 0;
  long rThreshold_ = 0;
  int inputMode_ = 0;
  long inBufferSize_ = 1024;
  long outBufferSize_ = 512;
  bool dtrEnable_ = false;
  bool rtsEnable_ = false;
  bool nullDiscard_ = false;
  int64_t lastOutputEndUs_ = 0;  // when the bytes written last are on the wire at the earliest
};

}  // namespace serial
