#pragma once
// The clock and the sleep of the serial link. The program sleeps and measures time only
// through `serial::clock()`, so that protocol tests can swap the real clock for a virtual
// one on which sleeping costs nothing and simulated devices answer on schedule.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace serial {

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic time in microseconds since an arbitrary origin.
  virtual int64_t NowUs() = 0;
  // Monotonic time in milliseconds.
  int64_t NowMs() { return NowUs() / 1000; }
  // Local wall-clock time (for the time-stamped clock readings of the link).
  virtual std::chrono::system_clock::time_point WallNow() = 0;
  // Sleep for `ms` milliseconds (0 or less returns at once).
  virtual void Sleep(long ms) = 0;
  // Waits until `ready()` holds or the clock reaches `untilUs`, whichever comes first; true
  // when ready. `fd` (or -1) is a descriptor whose input makes `ready()` worth asking again:
  // the real clock sleeps in poll() on it, the virtual clock runs its events one by one. The
  // time waited counts as slept.
  virtual bool WaitUntil(int64_t untilUs, int fd, const std::function<bool()>& ready) = 0;
};

// The machine's clocks and nanosleep.
class RealClock final : public Clock {
 public:
  int64_t NowUs() override;
  std::chrono::system_clock::time_point WallNow() override;
  void Sleep(long ms) override;
  bool WaitUntil(int64_t untilUs, int fd, const std::function<bool()>& ready) override;
};

// A clock that moves only when someone sleeps on it or advances it. Events scheduled on it
// run, in time order, when time passes their moment; an event may schedule further events.
class VirtualClock final : public Clock {
 public:
  // `wallStart` is the wall-clock time at virtual time 0.
  explicit VirtualClock(std::chrono::system_clock::time_point wallStart = DefaultWallStart());
  static std::chrono::system_clock::time_point DefaultWallStart();

  int64_t NowUs() override { return now_; }
  std::chrono::system_clock::time_point WallNow() override;
  void Sleep(long ms) override;
  bool WaitUntil(int64_t untilUs, int fd, const std::function<bool()>& ready) override;

  // Moves time forward to `us` (never backwards), running the events due on the way.
  void AdvanceTo(int64_t us);
  void AdvanceUs(int64_t us) { AdvanceTo(now_ + us); }
  // Runs every scheduled event, moving time to the last one.
  void RunAll();

  using EventId = uint64_t;
  // Schedules `action` at virtual time `atUs` (at once when that has passed, on the next advance).
  EventId Schedule(int64_t atUs, std::function<void()> action);
  void Cancel(EventId id);
  size_t PendingEvents() const { return events_.size(); }
  // Total time slept through Sleep (tests read how long the program waited).
  int64_t SleptUs() const { return slept_; }

 private:
  int64_t now_ = 0;
  int64_t slept_ = 0;
  std::chrono::system_clock::time_point wallStart_;
  EventId nextId_ = 1;
  // Ordered by time, then by scheduling order.
  std::map<std::pair<int64_t, EventId>, std::function<void()>> events_;
};

// The clock in use: the real clock unless a test installed another one.
Clock& clock();
// Installs `c` as the clock in use (nullptr: back to the real clock). The caller keeps it alive.
void setClock(Clock* c);
// Sleeps on the clock in use (the platform's Sleep in milliseconds).
void Sleep(long ms);
// A pause the user asked for (a batch file's Sleep line, the status poll's interval) on the
// clock in use: unlike Sleep, it ends early once the desktop session has ended.
void Pause(long ms);
// The end of the desktop session, which the program cannot refuse: `fd` (-1: none) is the pipe
// its signal is written to, which holds its input, unread, from then on while the program ends.
// A long pause does not hold the program past its session, nor does a read of the camera.
void SetPauseBreaker(int fd);
// Whether the desktop session has ended (the pipe of SetPauseBreaker has input).
bool SessionEnded();

}  // namespace serial
