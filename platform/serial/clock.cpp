#include "platform/serial/clock.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace serial {

int64_t RealClock::NowUs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

std::chrono::system_clock::time_point RealClock::WallNow() { return std::chrono::system_clock::now(); }

void RealClock::Sleep(long ms) {
  if (ms <= 0) return;
  timespec ts{ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {
  }
}

bool RealClock::WaitUntil(int64_t untilUs, int fd, const std::function<bool()>& ready) {
  for (;;) {
    if (ready()) return true;
    const int64_t left = untilUs - NowUs();
    if (left <= 0) return false;
    timespec ts{static_cast<time_t>(left / 1000000), static_cast<long>(left % 1000000) * 1000};
    if (fd >= 0) {
      pollfd p{fd, POLLIN, 0};
      // No input in all the time left: nothing made ready() worth asking again.
      if (::ppoll(&p, 1, &ts, nullptr) == 0) return false;
    } else {
      ::nanosleep(&ts, nullptr);
    }
  }
}

VirtualClock::VirtualClock(std::chrono::system_clock::time_point wallStart) : wallStart_(wallStart) {}

std::chrono::system_clock::time_point VirtualClock::DefaultWallStart() {
  // 2026-01-15 10:00:00 UTC: a fixed, mid-month moment so that tests do not depend on the day.
  return std::chrono::system_clock::time_point(std::chrono::seconds(1768471200));
}

std::chrono::system_clock::time_point VirtualClock::WallNow() {
  return wallStart_ + std::chrono::microseconds(now_);
}

void VirtualClock::Sleep(long ms) {
  if (ms < 0) ms = 0;
  slept_ += int64_t(ms) * 1000;
  AdvanceTo(now_ + int64_t(ms) * 1000);
}

bool VirtualClock::WaitUntil(int64_t untilUs, int, const std::function<bool()>& ready) {
  for (;;) {
    if (ready()) return true;
    if (now_ >= untilUs) return false;
    int64_t next = untilUs;
    if (!events_.empty()) next = std::min(next, std::max(now_, events_.begin()->first.first));
    slept_ += next - now_;
    AdvanceTo(next);
  }
}

void VirtualClock::AdvanceTo(int64_t us) {
  while (!events_.empty()) {
    auto it = events_.begin();
    if (it->first.first > us) break;
    if (it->first.first > now_) now_ = it->first.first;
    auto action = std::move(it->second);
    events_.erase(it);
    action();
  }
  if (us > now_) now_ = us;
}

void VirtualClock::RunAll() {
  while (!events_.empty()) AdvanceTo(events_.begin()->first.first);
}

VirtualClock::EventId VirtualClock::Schedule(int64_t atUs, std::function<void()> action) {
  EventId id = nextId_++;
  events_.emplace(std::make_pair(atUs, id), std::move(action));
  return id;
}

void VirtualClock::Cancel(EventId id) {
  for (auto it = events_.begin(); it != events_.end(); ++it) {
    if (it->first.second == id) {
      events_.erase(it);
      return;
    }
  }
}

namespace {
RealClock& realClock() {
  static RealClock c;
  return c;
}
Clock* current = nullptr;
}  // namespace

Clock& clock() { return current ? *current : realClock(); }
void setClock(Clock* c) { current = c; }
void Sleep(long ms) { clock().Sleep(ms); }

namespace {
int pauseBreaker = -1;
}  // namespace

void SetPauseBreaker(int fd) { pauseBreaker = fd; }

bool SessionEnded() {
  pollfd p{pauseBreaker, POLLIN, 0};
  return pauseBreaker >= 0 && ::poll(&p, 1, 0) > 0;
}

void Pause(long ms) {
  if (ms <= 0) return;
  clock().WaitUntil(clock().NowUs() + int64_t(ms) * 1000, pauseBreaker, [] { return SessionEnded(); });
}

}  // namespace serial
