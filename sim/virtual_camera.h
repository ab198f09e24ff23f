#pragma once
// The simulated camera on a virtual serial line: the in-process connection for fast protocol
// tests. The serial control talks to the camera model on the virtual clock; every character
// takes its wire time, and the camera hears nothing at a baud rate other than its own.
#include <memory>
#include <string>

#include "platform/serial/channel.h"
#include "platform/serial/clock.h"
#include "platform/serial/virtual_line.h"
#include "sim/camera.h"

namespace sim {

// The camera as the far end of a virtual line.
class VirtualCamera final : public serial::VirtualDevice {
 public:
  explicit VirtualCamera(Camera& camera) : camera_(camera) {}
  std::vector<serial::Transmission> Receive(uint8_t byte, int64_t atUs, const serial::LineSettings& settings) override;

 private:
  Camera& camera_;
};

// Everything a protocol test needs, installed for its lifetime: a virtual clock as the clock
// in use, a camera, and a virtual line to it as the device of every serial control (any port
// number, or only `port` when given). The previous clock and factory come back at destruction.
class SimulatedCameraPort {
 public:
  explicit SimulatedCameraPort(CameraConfig config = {}, int port = 0);
  ~SimulatedCameraPort();
  SimulatedCameraPort(const SimulatedCameraPort&) = delete;
  SimulatedCameraPort& operator=(const SimulatedCameraPort&) = delete;

  serial::VirtualClock clock;
  Camera camera;
  VirtualCamera device{camera};
  std::shared_ptr<serial::VirtualLine> line;

 private:
  serial::Clock* previousClock_;
  serial::ChannelFactory previousFactory_;
};

}  // namespace sim
