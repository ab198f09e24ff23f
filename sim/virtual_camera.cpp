#include "sim/virtual_camera.h"

namespace sim {

std::vector<serial::Transmission> VirtualCamera::Receive(uint8_t byte, int64_t atUs,
                                                         const serial::LineSettings& settings) {
  if (settings.baud != camera_.Config().baud) return {};
  std::vector<serial::Transmission> out;
  for (Segment& s : camera_.Receive(byte, atUs)) out.push_back({atUs + s.delayUs, std::move(s.bytes)});
  return out;
}

SimulatedCameraPort::SimulatedCameraPort(CameraConfig config, int port)
    : camera(std::move(config)),
      line(serial::VirtualLine::Create(clock, device, "simulated camera")),
      previousClock_(&serial::clock()),
      previousFactory_(serial::defaultChannelFactory()) {
  serial::setClock(&clock);
  serial::setChannelFactory(line->Factory(port));
}

SimulatedCameraPort::~SimulatedCameraPort() {
  serial::setClock(previousClock_);
  serial::setChannelFactory(previousFactory_);
}

}  // namespace sim
