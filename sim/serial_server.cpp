#include "sim/serial_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <stdexcept>

namespace sim {

namespace {

int64_t nowUs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

std::string sysError(const std::string& what) { return what + ": " + std::strerror(errno); }

std::string hexBytes(const std::vector<uint8_t>& bytes) {
  std::string s;
  char buf[4];
  for (uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, "%s%02X", s.empty() ? "" : " ", b);
    s += buf;
  }
  return s;
}

// Wire time of one character of 11 bits (start, 8 data, 2 stop) at `baud`.
int64_t charTimeUs(long baud) { return baud > 0 ? (11 * 1000000LL + baud / 2) / baud : 0; }

}  // namespace

long BaudOfSpeed(unsigned int speed) {
  switch (speed) {
    case B110: return 110;
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
  }
}

SerialServer::SerialServer(Camera& camera, ServerOptions options) : camera_(camera), options_(std::move(options)) {
  if (::pipe2(stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error(sysError("pipe"));
}

SerialServer::~SerialServer() {
  Stop();
  if (keepSlave_ >= 0) ::close(keepSlave_);
  if (fd_ >= 0) ::close(fd_);
  ::close(stopPipe_[0]);
  ::close(stopPipe_[1]);
}

std::unique_ptr<SerialServer> SerialServer::OnNewPty(Camera& camera, ServerOptions options) {
  std::unique_ptr<SerialServer> s(new SerialServer(camera, std::move(options)));
  int m = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (m < 0) throw std::runtime_error(sysError("posix_openpt"));
  s->fd_ = m;
  if (::grantpt(m) != 0 || ::unlockpt(m) != 0) throw std::runtime_error(sysError("unlockpt"));
  char name[128];
  if (::ptsname_r(m, name, sizeof name) != 0) throw std::runtime_error(sysError("ptsname"));
  s->path_ = name;
  s->pty_ = true;
  s->keepSlave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (s->keepSlave_ < 0) throw std::runtime_error(sysError("open " + s->path_));
  // Start raw at the camera's rate, as a camera's port would be; the program sets its own.
  termios t{};
  if (::tcgetattr(s->keepSlave_, &t) == 0) {
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD | CSTOPB;
    speed_t sp = camera.Config().baud == 1200 ? B1200 : B9600;
    ::cfsetispeed(&t, sp);
    ::cfsetospeed(&t, sp);
    ::tcsetattr(s->keepSlave_, TCSANOW, &t);
  }
  return s;
}

std::unique_ptr<SerialServer> SerialServer::OnDevice(Camera& camera, const std::string& path, ServerOptions options) {
  std::unique_ptr<SerialServer> s(new SerialServer(camera, std::move(options)));
  s->path_ = path;
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw std::runtime_error(sysError("open " + path));
  s->fd_ = fd;
  termios t{};
  if (::tcgetattr(fd, &t) != 0) throw std::runtime_error(sysError(path + " is not a serial device (tcgetattr)"));
  ::cfmakeraw(&t);
  t.c_cflag &= ~(CRTSCTS | PARENB);
  t.c_cflag |= CLOCAL | CREAD | CSTOPB | CS8;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  speed_t sp = B0;
  switch (camera.Config().baud) {
    case 1200: sp = B1200; break;
    case 2400: sp = B2400; break;
    case 4800: sp = B4800; break;
    case 9600: sp = B9600; break;
    case 19200: sp = B19200; break;
    case 38400: sp = B38400; break;
    default: throw std::runtime_error("baud rate " + std::to_string(camera.Config().baud) + " is not supported on a device");
  }
  ::cfsetispeed(&t, sp);
  ::cfsetospeed(&t, sp);
  if (::tcsetattr(fd, TCSANOW, &t) != 0) throw std::runtime_error(sysError("tcsetattr " + path));
  ::tcflush(fd, TCIOFLUSH);
  return s;
}

long SerialServer::ProgramBaud() const {
  if (fd_ < 0) return 0;
  termios t{};
  // On a pty master, the terminal attributes are those of the slave, which the program set.
  if (::tcgetattr(fd_, &t) != 0) return 0;
  return BaudOfSpeed(::cfgetospeed(&t));
}

void SerialServer::Start() {
  running_ = true;
  thread_ = std::thread([this] { serve(nullptr); });
}

std::string SerialServer::Run() {
  std::string reason;
  running_ = true;
  serve(&reason);
  return reason;
}

void SerialServer::RequestStop() {
  char b = 1;
  ssize_t ignored = ::write(stopPipe_[1], &b, 1);
  (void)ignored;
}

void SerialServer::Stop() {
  RequestStop();
  if (thread_.joinable()) thread_.join();
}

void SerialServer::Unplug() {
  Stop();
  // The master's close hangs up every descriptor of the slave and removes its node, as a pulled
  // USB adapter's device goes. The server's own (now hung-up) descriptor stays open until the
  // server ends: it keeps the pty's number from being handed to a new pty meanwhile, which a
  // link to the old path would then open as if the device were back.
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void SerialServer::serve(std::string* reason) {
  const int64_t t0 = nowUs();
  auto stamp = [&](int64_t us) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", double(us - t0) / 1000.0);
    return std::string(buf);
  };
  struct Out {
    int64_t atUs;
    uint8_t byte;
  };
  std::deque<Out> queue;
  int64_t rxFree = 0, txFree = 0;
  uint8_t buf[256];
  auto fail = [&](const std::string& why) {
    if (reason) *reason = why;
  };
  for (;;) {
    int64_t now = nowUs();
    while (!queue.empty() && queue.front().atUs <= now) {
      // Everything due goes out in one write.
      std::vector<uint8_t> due;
      while (!queue.empty() && queue.front().atUs <= now) {
        due.push_back(queue.front().byte);
        queue.pop_front();
      }
      size_t done = 0;
      while (done < due.size()) {
        ssize_t n = ::write(fd_, due.data() + done, due.size() - done);
        if (n > 0) done += size_t(n);
        else if (n < 0 && errno == EINTR) continue;
        else if (n < 0 && errno == EAGAIN) {
          pollfd p{fd_, POLLOUT, 0};
          ::poll(&p, 1, 10);
        } else {
          return fail(sysError("write " + path_));
        }
      }
      now = nowUs();
    }
    // Wake for the next byte due to the microsecond: a timeout in whole milliseconds would let
    // each reply byte out up to a millisecond after its wire time.
    timespec timeout{};
    timespec* wait = nullptr;
    if (!queue.empty()) {
      const int64_t us = std::max<int64_t>(0, queue.front().atUs - now);
      timeout.tv_sec = us / 1000000;
      timeout.tv_nsec = (us % 1000000) * 1000;
      wait = &timeout;
    }
    pollfd p[2] = {{fd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    int r = ::ppoll(p, 2, wait, nullptr);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return fail(sysError("poll"));
    if (p[1].revents) return;
    if (p[0].revents & POLLIN) {
      ssize_t n = ::read(fd_, buf, sizeof buf);
      if (n == 0) return fail(path_ + " was hung up");
      if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) continue;
        // A pty master reads EIO while no slave is open; ours stays open, so this is a real loss.
        return fail(sysError("read " + path_));
      }
      const int64_t readAt = nowUs();
      std::lock_guard<std::mutex> lock(mutex_);
      const long baud = camera_.Config().baud;
      // On a pty, what the program sends at another baud rate is noise the camera cannot hear.
      if (pty_ && ProgramBaud() != baud) {
        if (options_.log) options_.log(stamp(readAt) + " -- " + hexBytes({buf, buf + n}) + " ignored at " +
                                       std::to_string(ProgramBaud()) + " baud");
        continue;
      }
      const bool pace = pty_ && options_.pace;
      const int64_t charUs = charTimeUs(baud);
      for (ssize_t i = 0; i < n; ++i) {
        int64_t arrival = readAt;
        if (pace) {
          arrival = std::max(readAt, rxFree) + charUs;
          rxFree = arrival;
        }
        size_t before = camera_.Received().size();
        std::vector<Segment> segs = camera_.Receive(buf[i], arrival);
        if (options_.log && camera_.Received().size() > before) {
          auto [c, d] = camera_.Received().back();
          options_.log(stamp(arrival) + " RX " + hexBytes({c, d}));
        }
        for (const Segment& s : segs) {
          if (s.bytes.empty()) continue;
          int64_t start = std::max(arrival + s.delayUs, pace ? txFree : int64_t(0));
          if (options_.log) options_.log(stamp(start) + " TX " + hexBytes(s.bytes));
          for (uint8_t b : s.bytes) {
            if (pace) start += charUs;
            queue.push_back({start, b});
          }
          if (pace) txFree = start;
        }
      }
      // A later transmission that starts earlier than one queued before it (no pacing and a
      // delayed reply) keeps the order of the times.
      std::stable_sort(queue.begin(), queue.end(), [](const Out& a, const Out& b) { return a.atUs < b.atUs; });
    } else if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
      return fail(path_ + " was hung up");
    }
  }
}

}  // namespace sim
