#pragma once
// The few port operations of the protocol, over the global serial object gobjMSComm and the
// link's clock. Every failure is a run-time error (vb::Error).
#include <cstdint>
#include <string>

namespace mdlMSComm::port {

// Sets up the serial object for the protocol and opens it: port number, settings, no
// handshaking, one byte per read, no receive events, binary mode, 5-byte buffers, DTR on,
// RTS off, NUL bytes kept; then empties both buffers.
void setUpPort(int32_t portNo, const std::string& settings);
bool portIsOpen();
void closePort();
void setSettings(const std::string& settings);

void clearInput();   // InBufferCount = 0
void clearOutput();  // OutBufferCount = 0
void output(uint8_t c, uint8_t d);
// Waits, without sleeping, until the transmit buffer is empty. False when it does not empty
// within the time-out (a stuck port is given up like a silent camera).
bool waitOutputSent();
// Polls for a two-byte reply: each poll waits on the port for up to `intervalMs` and ends as
// soon as the two bytes are in; a poll that ends without them lasts its whole interval and
// counts as empty. Gives up when more than `timeOutSeconds` whole seconds have passed and the empty polls
// number more than `rcvRetry` (`needMorePollsThanRetry`) or at least `rcvRetry`. Seconds are
// counted on the monotonic clock, so a wait never depends on the calendar or on clock changes.
// `emptyPolls` (optional) receives the number of empty polls before the reply. A read's wait
// ends after the empty poll in which the session ended (readStops).
bool waitReply(long intervalMs, long timeOutSeconds, long rcvRetry, bool needMorePollsThanRetry,
               int32_t* emptyPolls);
// What the link's work does to the camera, which tells what the end of the desktop session
// stops. A read (of the settings, the status, the identity, the probe of the baud rate) changes
// nothing: once the session has ended it sends no further command and its wait for a reply
// ends. A change (a setting sent, the EEPROM written or erased) completes, and so does a read
// inside it (an EEPROM write reads the camera back): the outermost work decides.
enum class Work { Read, Change };
class Doing {
 public:
  explicit Doing(Work work);
  ~Doing();
  Doing(const Doing&) = delete;
  Doing& operator=(const Doing&) = delete;

 private:
  bool outermost_;
};
// The desktop session has ended while the link reads: the read stops here.
bool readStops();

// One byte of the reply (Input with InputLen 1).
uint8_t inputByte();

// "1200,n,8,2" in any case and with blanks around: each command first waits half an interval.
bool isSlowSetting(const std::string& settings);
// Half of a poll interval, rounded to a whole millisecond with halves to the even neighbour.
long halfInterval(long intervalMs);
void sleepMs(long ms);

}  // namespace mdlMSComm::port
