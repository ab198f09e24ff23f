// The serial control on the in-process connection to the simulated camera (virtual clock).
#include <gtest/gtest.h>

#include "platform/serial/mscomm.h"
#include "platform/vb/error.h"
#include "sim/virtual_camera.h"

namespace {

using Bytes = std::vector<uint8_t>;

long errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const vb::Error& e) {
    return e.Number();
  }
  return 0;
}

void openAsTheLinkDoes(serial::MSComm& com, int port, const std::string& settings) {
  com.CommPort(port);
  com.Settings(settings);
  com.Handshaking(0);
  com.InputLen(1);
  com.RThreshold(0);
  com.InputMode(1);
  com.OutBufferSize(5);
  com.InBufferSize(5);
  com.DTREnable(true);
  com.RTSEnable(false);
  com.NullDiscard(false);
  com.PortOpen(true);
  com.InBufferCount(0);
  com.OutBufferCount(0);
}

// Sends one command and polls every `pollMs` until two bytes are there (at most `maxPolls`).
// Returns the reply and the virtual time it took in microseconds.
std::pair<Bytes, int64_t> transact(sim::SimulatedCameraPort& p, serial::MSComm& com, uint8_t c, uint8_t d,
                                   long pollMs = 1, int maxPolls = 1000) {
  int64_t t0 = p.clock.NowUs();
  com.InBufferCount(0);
  com.Output(Bytes{c, d});
  for (int i = 0; i < maxPolls && com.InBufferCount() < 2; ++i) serial::Sleep(pollMs);
  Bytes reply;
  while (com.InBufferCount() > 0) {
    Bytes b = com.Input();
    reply.insert(reply.end(), b.begin(), b.end());
  }
  return {reply, p.clock.NowUs() - t0};
}

TEST(VirtualLink, RepliesArriveAfterTheirWireTime) {
  sim::SimulatedCameraPort port;
  serial::MSComm com;
  openAsTheLinkDoes(com, 1, "9600,n,8,2");
  com.Output(Bytes{0, 1});
  // Two characters out and two back at 9600 baud, 11 bits each: 4 x 1146 us.
  serial::Sleep(4);
  EXPECT_EQ(com.InBufferCount(), 1);
  serial::Sleep(1);
  EXPECT_EQ(com.InBufferCount(), 2);
  EXPECT_EQ(com.Input(), Bytes{0});  // InputLen 1: one byte per read
  EXPECT_EQ(com.Input(), Bytes{1});
  EXPECT_EQ(com.Input(), Bytes{});

  // At 1200 baud the same exchange takes 4 x 9167 us.
  port.camera.Config().baud = 1200;
  com.Settings("1200,N,8,2");
  auto [reply, us] = transact(port, com, 0, 16);
  EXPECT_EQ(reply, (Bytes{0, 2}));
  EXPECT_GE(us, 36600);
  EXPECT_LE(us, 38000);
}

TEST(VirtualLink, CameraHearsNothingAtAnotherBaudRate) {
  sim::SimulatedCameraPort port;
  port.camera.Config().baud = 1200;
  serial::MSComm com;
  openAsTheLinkDoes(com, 3, "9600,n,8,2");
  auto [reply, us] = transact(port, com, 0, 1, 10, 20);
  EXPECT_TRUE(reply.empty());
  EXPECT_TRUE(port.camera.Received().empty());
  com.Settings("1200,n,8,2");
  EXPECT_EQ(transact(port, com, 0, 1).first, (Bytes{0, 1}));
}

TEST(VirtualLink, DelayedExtraAndDroppedRepliesAsInjected) {
  sim::SimulatedCameraPort port;
  serial::MSComm com;
  openAsTheLinkDoes(com, 1, "9600,n,8,2");
  port.camera.AddFault(sim::ParseFault("delay:ms=250"));
  auto [reply, us] = transact(port, com, 0, 1);
  EXPECT_EQ(reply, (Bytes{0, 1}));
  EXPECT_GE(us, 254000);
  EXPECT_LE(us, 256000);

  // Late garbage arrives after the reply was taken and is emptied by the next command.
  port.camera.AddFault(sim::ParseFault("extra:bytes=EEEE:ms=20"));
  EXPECT_EQ(transact(port, com, 0, 1).first, (Bytes{0, 1}));
  serial::Sleep(30);
  EXPECT_EQ(com.InBufferCount(), 2);
  EXPECT_EQ(transact(port, com, 0x40, 3).first, (Bytes{0x40, 3}));

  port.camera.AddFault(sim::ParseFault("drop"));
  EXPECT_TRUE(transact(port, com, 0, 1, 10, 50).first.empty());
  EXPECT_EQ(transact(port, com, 0, 1).first, (Bytes{0, 1}));
}

TEST(VirtualLink, UnpluggingIsARunTimeErrorAndThePortIsGone) {
  sim::SimulatedCameraPort port;
  serial::MSComm com;
  openAsTheLinkDoes(com, 1, "9600,n,8,2");
  com.Output(Bytes{0, 1});
  serial::Sleep(10);
  port.line->Unplug();
  EXPECT_EQ(errorOf([&] { com.InBufferCount(); }), 8020);
  EXPECT_EQ(errorOf([&] { com.Input(); }), 8020);
  EXPECT_EQ(errorOf([&] { com.Output(Bytes{0, 1}); }), 57);
  com.PortOpen(false);  // closing a lost port works
  EXPECT_EQ(errorOf([&] { com.PortOpen(true); }), 8002);
  port.line->Replug();
  com.PortOpen(true);
  EXPECT_EQ(transact(port, com, 0, 1).first, (Bytes{0, 1}));
}

TEST(VirtualLink, PortNumberThatMapsToNoDeviceIs8002) {
  sim::SimulatedCameraPort port(sim::CameraConfig{}, 2);
  serial::MSComm com;
  com.CommPort(1);
  EXPECT_EQ(errorOf([&] { com.PortOpen(true); }), 8002);
  EXPECT_FALSE(com.PortOpen());
  com.CommPort(2);
  com.PortOpen(true);
  EXPECT_TRUE(com.PortOpen());
}

}  // namespace
