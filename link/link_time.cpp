#include "link/link_time.h"

#include <chrono>
#include <ctime>

#include "platform/serial/clock.h"

namespace mdlMSComm {

vb::DateTime LinkNow() {
  const std::time_t t = std::chrono::system_clock::to_time_t(serial::clock().WallNow());
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace mdlMSComm
