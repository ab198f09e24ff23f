#include "sim/camera.h"

#include <cctype>
#include <stdexcept>
#include <string>

namespace sim {

namespace {

bool isQuery(uint8_t d) {
  return d == fnFirmware || (d >= fnIris && d <= fnGain) || d == fnType || d == fnModel;
}

const std::vector<uint8_t> kNotSupported = {0xFF, 0xFF};
const std::vector<uint8_t> kNotStored = {0xFF, 0x80};

}  // namespace

Camera::Camera(CameraConfig config) : config_(std::move(config)) { PowerUp(); }

void Camera::PowerUp() {
  values_ = config_.defaults;
  for (const auto& [code, value] : eeprom_) values_[code] = value;
  mode_ = Mode::Normal;
  pending_.reset();
}

void Camera::ClearFaults() {
  faults_.clear();
  silent_ = false;
}

std::vector<Segment> Camera::Receive(uint8_t byte, int64_t nowUs) {
  if (pending_ && nowUs - pendingAtUs_ > config_.commandGapUs) pending_.reset();
  if (!pending_) {
    pending_ = byte;
    pendingAtUs_ = nowUs;
    return {};
  }
  uint8_t c = *pending_;
  pending_.reset();
  std::vector<Segment> out = Command(c, byte);
  for (Segment& s : out) s.delayUs += config_.responseUs;
  return out;
}

std::vector<Segment> Camera::Command(uint8_t c, uint8_t d) {
  received_.emplace_back(c, d);
  if (silent_) return {};
  std::vector<uint8_t> reply = answer(c, d);
  Segment main{0, reply};
  std::vector<Segment> later;
  bool dropped = false;
  for (Fault& f : faults_) {
    if (f.count == 0) continue;
    if (f.kind == Fault::SyncFFFF) {
      if (c != 0 || d != fnSync) continue;
    } else if (f.kind == Fault::QueryZero && !f.command && !f.data) {
      if (c != 0 || !isQuery(d)) continue;
    }
    if (f.command && *f.command != c) continue;
    if (f.data && *f.data != d) continue;
    if (f.skip > 0) {
      --f.skip;
      continue;
    }
    if (f.count > 0) --f.count;
    switch (f.kind) {
      case Fault::Drop:
        dropped = true;
        break;
      case Fault::Delay:
        main.delayUs += f.delayUs;
        break;
      case Fault::Corrupt:
        if (f.index >= 0 && static_cast<size_t>(f.index) < main.bytes.size())
          main.bytes[f.index] = f.value ? *f.value : static_cast<uint8_t>(~main.bytes[f.index]);
        break;
      case Fault::Extra:
        if (f.delayUs > 0) later.push_back({main.delayUs + f.delayUs, f.bytes});
        else if (f.before) main.bytes.insert(main.bytes.begin(), f.bytes.begin(), f.bytes.end());
        else main.bytes.insert(main.bytes.end(), f.bytes.begin(), f.bytes.end());
        break;
      case Fault::Silent:
        silent_ = true;
        return {};
      case Fault::SyncFFFF:
        main.bytes = kNotSupported;
        break;
      case Fault::QueryZero:
        if (main.bytes.size() >= 2) main.bytes[1] = 0;
        break;
    }
  }
  std::vector<Segment> out;
  if (!dropped) out.push_back(std::move(main));
  for (Segment& s : later) out.push_back(std::move(s));
  return out;
}

std::vector<uint8_t> Camera::answer(uint8_t c, uint8_t d) {
  if (c == 0) return systemCommand(d);
  if (c == 0xFF || config_.unsupported.count(c)) return kNotSupported;
  return setting(c, d);
}

std::vector<uint8_t> Camera::systemCommand(uint8_t d) {
  if (config_.unsupportedFunctions.count(d)) return kNotSupported;
  switch (d) {
    case fnEnd:
    case fnSync:
      mode_ = Mode::Normal;
      return {0, d};
    case fnReadMode:
      mode_ = Mode::Read;
      return {0, d};
    case fnFirmware:
      return {0, config_.firmware};
    case fnIris:
    case fnWbRB:
    case fnWbMG:
    case fnGain:
      return {0, config_.status[d - fnIris]};
    case fnType:
      return {0, config_.type};
    case fnModel:
      return {0, config_.model};
    case fnEepromWriteEnd:
      if (mode_ == Mode::EepromWrite) mode_ = Mode::Normal;
      return {0, d};
    case fnEepromWrite:
      mode_ = Mode::EepromWrite;
      return {0, d};
    case fnLoad:
      values_ = config_.defaults;
      for (const auto& [code, value] : eeprom_) values_[code] = value;
      return {0, d};
    case fnClear:
      // Erasing is taken only in EEPROM write mode; the settings return to the defaults.
      if (mode_ != Mode::EepromWrite) return kNotSupported;
      eeprom_.clear();
      values_ = config_.defaults;
      return {0, d};
    default:
      return kNotSupported;
  }
}

std::vector<uint8_t> Camera::setting(uint8_t c, uint8_t d) {
  if (mode_ == Mode::Read) return {c, values_[c]};
  // The setting takes effect in every mode, also when the EEPROM cannot keep it.
  values_[c] = d;
  if (mode_ == Mode::EepromWrite) {
    if (d == config_.defaults[c]) {
      eeprom_.erase(c);
    } else if (eeprom_.count(c) || static_cast<int>(eeprom_.size()) < config_.eepromCapacity) {
      eeprom_[c] = d;
    } else {
      return kNotStored;
    }
  }
  auto rc = config_.replyCommand.find(c);
  return {rc != config_.replyCommand.end() ? rc->second : c, d};
}

// ---- Faults written as text -------------------------------------------------------------

namespace {

// `written`: the fault as the command line wrote it.
[[noreturn]] void bad(std::string_view written, const std::string& why) {
  throw std::invalid_argument("fault \"" + std::string(written) + "\": " + why);
}

long number(std::string_view written, std::string_view key, std::string_view text, long lo, long hi) {
  std::string t(text);
  size_t used = 0;
  long v = 0;
  try {
    v = std::stol(t, &used, t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X') ? 16 : 10);
  } catch (const std::exception&) {
    bad(written, std::string(key) + " needs a number, not \"" + t + "\"");
  }
  if (used != t.size()) bad(written, std::string(key) + " needs a number, not \"" + t + "\"");
  if (v < lo || v > hi) bad(written, std::string(key) + " must lie between " + std::to_string(lo) + " and " + std::to_string(hi));
  return v;
}

}  // namespace

Fault ParseFault(std::string_view written) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t colon = written.find(':', start);
    parts.push_back(written.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start));
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  Fault fault;
  std::string kind(parts[0]);
  for (char& ch : kind) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  if (kind == "drop") fault.kind = Fault::Drop;
  else if (kind == "delay") fault.kind = Fault::Delay;
  else if (kind == "corrupt") fault.kind = Fault::Corrupt;
  else if (kind == "extra") fault.kind = Fault::Extra;
  else if (kind == "silent") fault.kind = Fault::Silent;
  else if (kind == "syncffff") fault.kind = Fault::SyncFFFF;
  else if (kind == "zero") fault.kind = Fault::QueryZero;
  else bad(written, "unknown kind \"" + kind + "\" (drop, delay, corrupt, extra, silent, syncffff, zero)");
  for (size_t i = 1; i < parts.size(); ++i) {
    std::string_view p = parts[i];
    size_t eq = p.find('=');
    if (eq == std::string_view::npos) bad(written, "\"" + std::string(p) + "\" is not key=value");
    std::string_view key = p.substr(0, eq), val = p.substr(eq + 1);
    if (key == "c") fault.command = static_cast<uint8_t>(number(written, key, val, 0, 255));
    else if (key == "d") fault.data = static_cast<uint8_t>(number(written, key, val, 0, 255));
    else if (key == "skip") fault.skip = static_cast<int>(number(written, key, val, 0, 1000000000));
    else if (key == "count") fault.count = static_cast<int>(number(written, key, val, -1, 1000000000));
    else if (key == "ms") fault.delayUs = number(written, key, val, 0, 3600000) * 1000;
    else if (key == "index") fault.index = static_cast<int>(number(written, key, val, 0, 1));
    else if (key == "value") fault.value = static_cast<uint8_t>(number(written, key, val, 0, 255));
    else if (key == "before") fault.before = number(written, key, val, 0, 1) != 0;
    else if (key == "bytes") {
      if (val.empty() || val.size() % 2) bad(written, "bytes needs pairs of hexadecimal digits");
      for (size_t j = 0; j < val.size(); j += 2) {
        std::string pair(val.substr(j, 2));
        if (!std::isxdigit(static_cast<unsigned char>(pair[0])) || !std::isxdigit(static_cast<unsigned char>(pair[1])))
          bad(written, "bytes needs pairs of hexadecimal digits");
        fault.bytes.push_back(static_cast<uint8_t>(std::stoi(pair, nullptr, 16)));
      }
    } else bad(written, "unknown key \"" + std::string(key) + "\"");
  }
  if (fault.kind == Fault::Extra && fault.bytes.empty()) bad(written, "extra needs bytes=...");
  if (fault.kind == Fault::Silent) fault.count = 1;
  return fault;
}

}  // namespace sim
