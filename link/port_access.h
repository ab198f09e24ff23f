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
// `emptyPolls` (optional) receives the number of empty polls before the reply.
bool waitReply(long intervalMs, long timeOutSeconds, long rcvRetry, bool needMorePollsThanRetry,
               int32_t* emptyPolls);
// One byte of the reply (Input with InputLen 1).
uint8_t inputByte();

// "1200,n,8,2" in any case and with blanks around: each command first waits half an interval.
bool isSlowSetting(const std::string& settings);
// Half of a poll interval, rounded to a whole millisecond with halves to the even neighbour.
long halfInterval(long intervalMs);
void sleepMs(long ms);

}  // namespace mdlMSComm::port
