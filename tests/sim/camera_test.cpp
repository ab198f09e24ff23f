#include <gtest/gtest.h>

#include <stdexcept>

#include "sim/camera.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The bytes of the camera's answer to one command (all segments joined).
Bytes ask(sim::Camera& cam, uint8_t c, uint8_t d) {
  Bytes out;
  for (const auto& s : cam.Command(c, d)) out.insert(out.end(), s.bytes.begin(), s.bytes.end());
  return out;
}

TEST(CameraSystemCommands, AnswerAsTheTableSays) {
  sim::CameraConfig cfg;
  cfg.firmware = 7;
  cfg.model = 24;
  cfg.type = 3;
  cfg.status = {11, 22, 33, 44};
  sim::Camera cam(cfg);
  struct Row {
    uint8_t d;
    Bytes reply;
  } rows[] = {
      {0x01, {0, 0x01}}, {0x00, {0, 0x00}}, {0x0C, {0, 0x0C}}, {0x10, {0, 7}},    {0x11, {0, 11}},
      {0x12, {0, 22}},   {0x13, {0, 33}},   {0x14, {0, 44}},   {0x17, {0, 3}},    {0x1F, {0, 24}},
      {0xF3, {0, 0xF3}}, {0xFF, {0, 0xFF}}, {0xF0, {0, 0xF0}}, {0xFC, {0, 0xFC}},
      // functions the camera does not have
      {0x02, {0xFF, 0xFF}}, {0x15, {0xFF, 0xFF}}, {0xFE, {0xFF, 0xFF}},
  };
  for (const Row& r : rows) EXPECT_EQ(ask(cam, 0, r.d), r.reply) << "function " << int(r.d);
}

TEST(CameraSystemCommands, ModesFollowTheCommands) {
  sim::Camera cam;
  EXPECT_EQ(cam.CurrentMode(), sim::Mode::Normal);
  ask(cam, 0, 12);
  EXPECT_EQ(cam.CurrentMode(), sim::Mode::Read);
  ask(cam, 0, 1);  // a sync starts a new sequence in normal mode
  EXPECT_EQ(cam.CurrentMode(), sim::Mode::Normal);
  ask(cam, 0, 243);
  EXPECT_EQ(cam.CurrentMode(), sim::Mode::EepromWrite);
  ask(cam, 0, 240);
  EXPECT_EQ(cam.CurrentMode(), sim::Mode::Normal);
  ask(cam, 0, 243);
  ask(cam, 0, 0);
  EXPECT_EQ(cam.CurrentMode(), sim::Mode::Normal);
}

TEST(CameraSettings, WriteEchoesAndReadModeAnswersTheValue) {
  sim::Camera cam;
  EXPECT_EQ(cam.Value(0x40), 32);  // factory default of the fixed gain
  EXPECT_EQ(ask(cam, 0x40, 77), (Bytes{0x40, 77}));
  EXPECT_EQ(cam.Value(0x40), 77);
  ask(cam, 0, 12);
  EXPECT_EQ(ask(cam, 0x40, 0), (Bytes{0x40, 77}));
  EXPECT_EQ(ask(cam, 0x01, 0), (Bytes{0x01, 255}));
  EXPECT_EQ(ask(cam, 0x94, 0), (Bytes{0x94, 255}));  // undefined codes hold 255
  // A query in read mode does not change the value, whatever the data byte.
  EXPECT_EQ(ask(cam, 0x40, 5), (Bytes{0x40, 77}));
  EXPECT_EQ(cam.Value(0x40), 77);
  ask(cam, 0, 0);
  EXPECT_EQ(ask(cam, 0x40, 5), (Bytes{0x40, 5}));
}

TEST(CameraSettings, ReplyCommandOverrideAppliesOutsideReadModeOnly) {
  sim::CameraConfig cfg;
  cfg.replyCommand[0x20] = 0x01;
  cfg.replyCommand[0x38] = 0x00;
  sim::Camera cam(cfg);
  EXPECT_EQ(ask(cam, 0x20, 9), (Bytes{0x01, 9}));
  EXPECT_EQ(ask(cam, 0x38, 0), (Bytes{0x00, 0}));
  ask(cam, 0, 12);
  EXPECT_EQ(ask(cam, 0x20, 0), (Bytes{0x20, 9}));
}

TEST(CameraSettings, UnsupportedCodesAnswerFFFFInEveryMode) {
  sim::CameraConfig cfg;
  cfg.unsupported = {0x45, 0x70};
  cfg.unsupportedFunctions = {0x17};
  sim::Camera cam(cfg);
  const Bytes ffff{0xFF, 0xFF};
  EXPECT_EQ(ask(cam, 0x45, 3), ffff);
  EXPECT_EQ(cam.Value(0x45), 255);  // not written
  EXPECT_EQ(ask(cam, 0xFF, 0), ffff);
  EXPECT_EQ(ask(cam, 0, 0x17), ffff);
  ask(cam, 0, 12);
  EXPECT_EQ(ask(cam, 0x70, 0), ffff);
  ask(cam, 0, 243);
  EXPECT_EQ(ask(cam, 0x70, 1), ffff);
  EXPECT_TRUE(cam.Eeprom().empty());
}

TEST(CameraEeprom, KeepsSixtyThreeChangedFieldsThenAnswersFF80) {
  sim::Camera cam;
  const auto& def = sim::FactoryDefaults();
  ask(cam, 0, 1);
  ask(cam, 0, 243);
  // 63 codes with values other than their defaults fill the EEPROM.
  std::vector<uint8_t> codes;
  for (int c = 1; c <= 254 && codes.size() < 64; ++c) codes.push_back(static_cast<uint8_t>(c));
  for (int i = 0; i < 63; ++i) {
    uint8_t v = static_cast<uint8_t>(def[codes[i]] ^ 1);
    EXPECT_EQ(ask(cam, codes[i], v), (Bytes{codes[i], v})) << "field " << i + 1;
  }
  EXPECT_EQ(cam.Eeprom().size(), 63u);
  // The 64th changed field is refused, but the camera takes the value for now.
  uint8_t v64 = static_cast<uint8_t>(def[codes[63]] ^ 1);
  EXPECT_EQ(ask(cam, codes[63], v64), (Bytes{0xFF, 0x80}));
  EXPECT_EQ(cam.Value(codes[63]), v64);
  // A default value needs no field; a stored field can still be changed.
  EXPECT_EQ(ask(cam, codes[63], def[codes[63]]), (Bytes{codes[63], def[codes[63]]}));
  uint8_t other = static_cast<uint8_t>(def[codes[0]] ^ 2);
  EXPECT_EQ(ask(cam, codes[0], other), (Bytes{codes[0], other}));
  EXPECT_EQ(cam.Eeprom().at(codes[0]), other);
  // Writing a default back frees its field for another code.
  EXPECT_EQ(ask(cam, codes[1], def[codes[1]]), (Bytes{codes[1], def[codes[1]]}));
  EXPECT_EQ(cam.Eeprom().size(), 62u);
  EXPECT_EQ(ask(cam, codes[63], v64), (Bytes{codes[63], v64}));
  EXPECT_EQ(cam.Eeprom().size(), 63u);
  // Outside EEPROM write mode nothing is refused and nothing is stored.
  ask(cam, 0, 240);
  EXPECT_EQ(ask(cam, 0xC0, 1), (Bytes{0xC0, 1}));
  EXPECT_EQ(cam.Eeprom().count(0xC0), 0u);
}

TEST(CameraEeprom, PowerUpLoadAndClear) {
  sim::Camera cam;
  ask(cam, 0, 243);
  ask(cam, 0x40, 99);
  ask(cam, 0, 240);
  ask(cam, 0x41, 12);  // working value only
  cam.PowerUp();
  EXPECT_EQ(cam.Value(0x40), 99);
  EXPECT_EQ(cam.Value(0x41), 255);
  ask(cam, 0x40, 1);
  ask(cam, 0x41, 2);
  EXPECT_EQ(ask(cam, 0, 252), (Bytes{0, 0xFC}));
  EXPECT_EQ(cam.Value(0x40), 99);
  EXPECT_EQ(cam.Value(0x41), 255);
  // Clearing is refused outside EEPROM write mode.
  EXPECT_EQ(ask(cam, 0, 255), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(cam.Eeprom().size(), 1u);
  ask(cam, 0, 243);
  EXPECT_EQ(ask(cam, 0, 255), (Bytes{0, 0xFF}));
  EXPECT_TRUE(cam.Eeprom().empty());
  EXPECT_EQ(cam.Value(0x40), 32);  // back to the factory default
  cam.PowerUp();
  EXPECT_EQ(cam.Value(0x40), 32);
}

TEST(CameraWire, BytesPairUpAndALoneByteIsForgottenAfterAGap) {
  sim::CameraConfig cfg;
  cfg.commandGapUs = 1000;
  cfg.responseUs = 250;
  sim::Camera cam(cfg);
  EXPECT_TRUE(cam.Receive(0, 0).empty());
  auto r = cam.Receive(1, 500);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].bytes, (Bytes{0, 1}));
  EXPECT_EQ(r[0].delayUs, 250);
  EXPECT_TRUE(cam.Receive(0x55, 1000).empty());  // a stray byte
  EXPECT_TRUE(cam.Receive(0, 5000).empty());     // too late to pair with it: starts a command
  r = cam.Receive(16, 5100);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].bytes, (Bytes{0, 2}));
}

TEST(CameraFaults, EachKindActsOnItsCommandsAsCounted) {
  sim::Camera cam;
  // Drop the second sync only.
  cam.AddFault(sim::ParseFault("drop:c=0:d=1:skip=1:count=1"));
  EXPECT_EQ(ask(cam, 0, 1), (Bytes{0, 1}));
  EXPECT_EQ(ask(cam, 0, 1), Bytes{});
  EXPECT_EQ(ask(cam, 0, 1), (Bytes{0, 1}));
  EXPECT_EQ(cam.Received().size(), 3u);
  cam.ClearFaults();

  cam.AddFault(sim::ParseFault("delay:ms=300"));
  auto segs = cam.Command(0, 1);
  ASSERT_EQ(segs.size(), 1u);
  EXPECT_EQ(segs[0].delayUs, 300000);

  cam.AddFault(sim::ParseFault("corrupt:index=0:value=0x55"));
  EXPECT_EQ(ask(cam, 0, 1), (Bytes{0x55, 1}));
  cam.AddFault(sim::ParseFault("corrupt"));
  EXPECT_EQ(ask(cam, 0, 1), (Bytes{0, 0xFE}));

  cam.AddFault(sim::ParseFault("extra:bytes=AA55"));
  EXPECT_EQ(ask(cam, 0, 1), (Bytes{0, 1, 0xAA, 0x55}));
  cam.AddFault(sim::ParseFault("extra:bytes=AA:before=1"));
  EXPECT_EQ(ask(cam, 0, 1), (Bytes{0xAA, 0, 1}));
  cam.AddFault(sim::ParseFault("extra:bytes=77:ms=50"));
  segs = cam.Command(0, 1);
  ASSERT_EQ(segs.size(), 2u);
  EXPECT_EQ(segs[1].bytes, Bytes{0x77});
  EXPECT_EQ(segs[1].delayUs, 50000);

  // FF FF to a sync only; a query answered 0 only for the system queries.
  cam.AddFault(sim::ParseFault("syncffff:count=-1"));
  cam.AddFault(sim::ParseFault("zero:count=-1"));
  EXPECT_EQ(ask(cam, 0, 0x0C), (Bytes{0, 0x0C}));
  EXPECT_EQ(ask(cam, 0, 1), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(ask(cam, 0, 1), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(ask(cam, 0, 0x10), (Bytes{0, 0}));
  EXPECT_EQ(ask(cam, 0, 0x1F), (Bytes{0, 0}));
  EXPECT_EQ(ask(cam, 0x40, 9), (Bytes{0x40, 9}));
  cam.ClearFaults();

  // Silent after two commands, until told otherwise; the state no longer changes.
  cam.AddFault(sim::ParseFault("silent:skip=2"));
  EXPECT_EQ(ask(cam, 0, 1), (Bytes{0, 1}));
  EXPECT_EQ(ask(cam, 0, 1), (Bytes{0, 1}));
  EXPECT_EQ(ask(cam, 0x40, 3), Bytes{});
  EXPECT_EQ(ask(cam, 0x40, 4), Bytes{});
  EXPECT_TRUE(cam.Silent());
  EXPECT_NE(cam.Value(0x40), 4);
  cam.SetSilent(false);
  EXPECT_EQ(ask(cam, 0, 1), (Bytes{0, 1}));
}

TEST(CameraFaults, DroppedReplyStillCarriesOutTheCommand) {
  sim::Camera cam;
  cam.AddFault(sim::ParseFault("drop:c=0x40"));
  EXPECT_EQ(ask(cam, 0x40, 9), Bytes{});
  EXPECT_EQ(cam.Value(0x40), 9);
}

TEST(CameraFaults, BadFaultsAreRefusedWithTheReason) {
  for (const char* fault : {"", "explode", "drop:c", "drop:c=256", "drop:x=1", "delay:ms=-1", "extra",
                           "extra:bytes=A", "extra:bytes=GG", "corrupt:index=2", "drop:count=abc", "drop:skip=1x"}) {
    EXPECT_THROW(sim::ParseFault(fault), std::invalid_argument) << fault;
  }
  sim::Fault f = sim::ParseFault("ZERO:c=0:d=0x10:count=-1");
  EXPECT_EQ(f.kind, sim::Fault::QueryZero);
  EXPECT_EQ(f.data, 0x10);
  EXPECT_EQ(f.count, -1);
}

}  // namespace
