// The serial control's properties, checked on a small in-memory channel.
#include <gtest/gtest.h>

#include "platform/serial/mscomm.h"
#include "platform/vb/error.h"

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

TEST(SerialSettings, ParsedAsTheControlParsesThem) {
  serial::LineSettings s = serial::ParseSettings("9600,n,8,2");
  EXPECT_EQ(s.baud, 9600);
  EXPECT_EQ(s.parity, 'N');
  EXPECT_EQ(s.dataBits, 8);
  EXPECT_EQ(s.stopBitsX2, 4);
  EXPECT_EQ(s.FrameBits(), 11);
  EXPECT_EQ(s.CharTimeUs(), 1146);
  EXPECT_EQ(serial::ParseSettings(" 1200 , N , 8 , 2 ").CharTimeUs(), 9167);
  EXPECT_EQ(serial::ParseSettings("19200,e,7,1.5").FrameBits(), 11);
  EXPECT_EQ(serial::ParseSettings("115200,O,5,1").parity, 'O');
  for (const char* bad : {"", "9600", "9600,n,8", "9600,n,8,2,1", "9601,n,8,2", "abc,n,8,2", "9600,x,8,2",
                          "9600,nn,8,2", "9600,n,9,2", "9600,n,3,2", "9600,n,8,3", "9600,n,8,", ",n,8,2", "-9600,n,8,2"}) {
    EXPECT_EQ(errorOf([&] { serial::ParseSettings(bad); }), 380) << '"' << bad << '"';
  }
}

// A loop-back channel: what is written comes back; records what the control asked of it.
struct Loopback : serial::Channel {
  struct State {
    Bytes pending;
    serial::LineSettings settings;
    bool open = false, dtr = false, rts = false;
    int flushesIn = 0;
    long outCount = 0;
  };
  explicit Loopback(std::shared_ptr<State> s) : st(std::move(s)) {}
  void Open(const serial::LineSettings& s) override {
    st->open = true;
    st->settings = s;
  }
  void Configure(const serial::LineSettings& s) override { st->settings = s; }
  void Close() override { st->open = false; }
  void ReadAvailable(Bytes& out) override {
    out.insert(out.end(), st->pending.begin(), st->pending.end());
    st->pending.clear();
  }
  void Write(const Bytes& b) override { st->pending.insert(st->pending.end(), b.begin(), b.end()); }
  long OutCount() override { return st->outCount; }
  void FlushInput() override {
    st->pending.clear();
    st->flushesIn++;
  }
  void FlushOutput() override { st->outCount = 0; }
  void SetModemLines(bool d, bool r) override {
    st->dtr = d;
    st->rts = r;
  }
  std::string Name() const override { return "loopback"; }
  std::shared_ptr<State> st;
};

struct MSCommTest : ::testing::Test {
  std::shared_ptr<Loopback::State> st = std::make_shared<Loopback::State>();
  serial::MSComm com;
  void SetUp() override {
    com.SetChannelFactory([this](int port) -> std::unique_ptr<serial::Channel> {
      if (port != 4) return nullptr;
      return std::make_unique<Loopback>(st);
    });
  }
};

TEST_F(MSCommTest, DefaultsAndOpeningAsTheLinkDoes) {
  EXPECT_EQ(com.CommPort(), 1);
  EXPECT_EQ(com.Settings(), "9600,N,8,1");
  EXPECT_EQ(com.InBufferSize(), 1024);
  EXPECT_EQ(com.OutBufferSize(), 512);
  EXPECT_FALSE(com.PortOpen());
  EXPECT_EQ(errorOf([&] { com.PortOpen(true); }), 8002);  // port 1 maps to nothing here
  com.CommPort(4);
  com.Settings("1200,n,8,2");
  com.Handshaking(0);
  com.DTREnable(true);
  com.RTSEnable(false);
  com.PortOpen(true);
  EXPECT_TRUE(st->open);
  EXPECT_TRUE(st->dtr);
  EXPECT_FALSE(st->rts);
  EXPECT_EQ(st->settings.baud, 1200);
  EXPECT_EQ(com.DeviceName(), "loopback");
  // Settings change on the open port at once; a bad one leaves the old one in place.
  com.Settings("9600,n,8,2");
  EXPECT_EQ(st->settings.baud, 9600);
  EXPECT_EQ(errorOf([&] { com.Settings("9600,q,8,2"); }), 380);
  EXPECT_EQ(com.Settings(), "9600,n,8,2");
  EXPECT_EQ(errorOf([&] { com.CommPort(5); }), 8000);
  EXPECT_EQ(errorOf([&] { com.PortOpen(true); }), 8005);
  com.PortOpen(false);
  EXPECT_FALSE(st->open);
  com.PortOpen(false);  // closing a closed port does nothing
}

TEST_F(MSCommTest, BuffersInputLenAndNullDiscard) {
  com.CommPort(4);
  com.PortOpen(true);
  com.Output(Bytes{1, 0, 2, 0xFF});
  EXPECT_EQ(com.InBufferCount(), 4);
  com.InputLen(1);
  EXPECT_EQ(com.Input(), Bytes{1});
  com.InputLen(0);
  EXPECT_EQ(com.Input(), (Bytes{0, 2, 0xFF}));
  EXPECT_EQ(com.Input(), Bytes{});
  com.Output(Bytes{5, 6});
  com.InBufferCount(0);
  EXPECT_EQ(com.InBufferCount(), 0);
  EXPECT_EQ(errorOf([&] { com.InBufferCount(3); }), 380);
  st->outCount = 7;
  EXPECT_EQ(com.OutBufferCount(), 7);
  com.OutBufferCount(0);
  EXPECT_EQ(com.OutBufferCount(), 0);
  com.NullDiscard(true);
  com.Output(Bytes{0, 9, 0});
  EXPECT_EQ(com.Input(), Bytes{9});
}

TEST_F(MSCommTest, PropertyErrors) {
  EXPECT_EQ(errorOf([&] { com.CommPort(0); }), 8002);
  EXPECT_EQ(errorOf([&] { com.CommPort(257); }), 8002);
  EXPECT_EQ(errorOf([&] { com.Handshaking(4); }), 380);
  EXPECT_EQ(errorOf([&] { com.InputLen(-1); }), 380);
  EXPECT_EQ(errorOf([&] { com.InputMode(2); }), 380);
  EXPECT_EQ(errorOf([&] { com.InBufferSize(0); }), 380);
  for (auto op : std::vector<std::function<void()>>{[&] { com.Input(); }, [&] { com.Output(Bytes{1}); },
                                                    [&] { com.InBufferCount(); }, [&] { com.InBufferCount(0); },
                                                    [&] { com.OutBufferCount(); }}) {
    EXPECT_EQ(errorOf(op), 8018);
  }
}

}  // namespace
