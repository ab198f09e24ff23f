#pragma once
// The simulated camera: 256 one-byte settings, read mode, EEPROM write mode, an EEPROM that
// keeps up to 63 fields differing from the factory defaults, identity and status bytes, a set
// of unsupported codes, and fault injection. It answers the two-byte commands of the wire
// protocol exactly as the link's reply check expects of a real camera.
//
// The model is not thread-safe; the servers that run it on a line serialise access to it.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// The factory defaults of the 256 settings (undefined codes 255; codes 0 and 255 hold 0).
const std::array<uint8_t, 256>& FactoryDefaults();

// System functions: the data byte of a command with command byte 0.
enum SystemFunction : uint8_t {
  fnEnd = 0x00,
  fnSync = 0x01,
  fnReadMode = 0x0C,
  fnFirmware = 0x10,
  fnIris = 0x11,
  fnWbRB = 0x12,
  fnWbMG = 0x13,
  fnGain = 0x14,
  fnType = 0x17,
  fnModel = 0x1F,
  fnEepromWriteEnd = 0xF0,
  fnEepromWrite = 0xF3,
  fnLoad = 0xFC,
  fnClear = 0xFF,
};

struct CameraConfig {
  std::array<uint8_t, 256> defaults = FactoryDefaults();
  uint8_t firmware = 2;
  uint8_t model = 24;  // 24 is the model with the cable-length feature
  uint8_t type = 1;
  std::array<uint8_t, 4> status = {128, 128, 128, 64};  // iris, white balance R-B, Mg-G, gain
  std::set<uint8_t> unsupported;           // setting codes answered FF FF
  std::set<uint8_t> unsupportedFunctions;  // system functions answered FF FF (besides unknown ones)
  long baud = 9600;                        // the one baud rate at which the camera hears anything
  int eepromCapacity = 63;                 // fields the EEPROM keeps
  int64_t responseUs = 0;                  // time from the end of a command to the start of its reply
  int64_t commandGapUs = 100000;           // a lone first byte is forgotten after this much silence
  // Outside read mode, a write of code c is answered with this command byte instead of c
  // (the camera answers some settings with a status byte; default: the echo).
  std::map<uint8_t, uint8_t> replyCommand;
};

enum class Mode { Normal, Read, EepromWrite };

// A fault for fault injection. It acts on the commands it matches (command and data byte,
// either left open), after letting `skip` matching commands through, `count` times (-1: always).
struct Fault {
  enum Kind {
    Drop,       // the reply is lost (the command is still carried out)
    Delay,      // the reply starts `delayUs` later
    Corrupt,    // reply byte `index` becomes `value` (or is inverted when no value is given)
    Extra,      // `bytes` are sent after the reply (before it with `before`; `delayUs` later as a
                // separate transmission when given)
    Silent,     // the camera stops answering anything until SetSilent(false) or ClearFaults()
    SyncFFFF,   // a sync (0, 1) is answered FF FF (matches only the sync)
    QueryZero,  // the reply data byte is 0 (matches the system queries unless c or d is given)
  };
  Kind kind = Drop;
  std::optional<uint8_t> command;
  std::optional<uint8_t> data;
  int skip = 0;
  int count = 1;
  int64_t delayUs = 0;
  int index = 1;
  std::optional<uint8_t> value;
  std::vector<uint8_t> bytes;
  bool before = false;
};

// Parses a fault written as KIND[:key=value]..., for example "drop:c=0:d=1:skip=2:count=1",
// "delay:ms=300", "corrupt:index=0:value=0x55", "extra:bytes=AA55", "silent:skip=10",
// "syncffff", "zero:d=16". Kinds: drop, delay, corrupt, extra, silent, syncffff, zero.
// Keys: c, d, skip, count, ms, index, value, bytes (hexadecimal pairs), before (0 or 1).
// Numbers are decimal or 0x hexadecimal. Throws std::invalid_argument with a clear message.
Fault ParseFault(std::string_view written);

// One transmission of the camera: `bytes` sent `delayUs` after the command was complete.
struct Segment {
  int64_t delayUs = 0;
  std::vector<uint8_t> bytes;
};

class Camera {
 public:
  explicit Camera(CameraConfig config = {});

  // Power-up: the settings are the defaults overlaid with the EEPROM's fields; normal mode.
  void PowerUp();

  // One byte has arrived at `nowUs`. Bytes pair up into commands; the second byte of a pair
  // yields the answer (nothing when the reply is dropped or the camera is silent).
  std::vector<Segment> Receive(uint8_t byte, int64_t nowUs);
  // One whole command, answered as Receive answers its second byte.
  std::vector<Segment> Command(uint8_t c, uint8_t d);

  CameraConfig& Config() { return config_; }
  const CameraConfig& Config() const { return config_; }

  uint8_t Value(uint8_t code) const { return values_[code]; }
  void SetValue(uint8_t code, uint8_t value) { values_[code] = value; }
  const std::array<uint8_t, 256>& Values() const { return values_; }
  // The EEPROM: stored fields by code (only values that differ from the defaults).
  std::map<uint8_t, uint8_t>& Eeprom() { return eeprom_; }
  const std::map<uint8_t, uint8_t>& Eeprom() const { return eeprom_; }
  Mode CurrentMode() const { return mode_; }

  void AddFault(const Fault& fault) { faults_.push_back(fault); }
  void ClearFaults();
  void SetSilent(bool silent) { silent_ = silent; }
  bool Silent() const { return silent_; }

  // Every command received, in order (also those answered by a fault or not answered).
  const std::vector<std::pair<uint8_t, uint8_t>>& Received() const { return received_; }
  void ClearReceived() { received_.clear(); }

 private:
  std::vector<uint8_t> answer(uint8_t c, uint8_t d);
  std::vector<uint8_t> systemCommand(uint8_t d);
  std::vector<uint8_t> setting(uint8_t c, uint8_t d);

  CameraConfig config_;
  std::array<uint8_t, 256> values_{};
  std::map<uint8_t, uint8_t> eeprom_;
  Mode mode_ = Mode::Normal;
  bool silent_ = false;
  std::optional<uint8_t> pending_;
  int64_t pendingAtUs_ = 0;
  std::vector<Fault> faults_;
  std::vector<std::pair<uint8_t, uint8_t>> received_;
};

}  // namespace sim
