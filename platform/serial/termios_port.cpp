#include "platform/serial/termios_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/serial/clock.h"
#include "platform/serial/port_map.h"
#include "platform/vb/error.h"

namespace serial {

namespace {

speed_t speedConstant(long baud) {
  switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
  }
}

bool deviceLost(int err) { return err == EIO || err == ENXIO || err == ENODEV || err == EBADF; }

}  // namespace

TermiosChannel::TermiosChannel(std::string path) : path_(std::move(path)) {}

TermiosChannel::~TermiosChannel() { Close(); }

void TermiosChannel::lost(long number, const char* call, int err) {
  gone_ = true;
  std::string why = err ? std::strerror(err) : "end of file";
  vb::Raise(number, "The device " + path_ + " was disconnected (" + call + ": " + why + ")");
}

void TermiosChannel::Open(const LineSettings& settings) {
  int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    int err = errno;
    if (err == EBUSY) vb::Raise(vb::errPortAlreadyOpen);
    if (err == EACCES || err == EPERM)
      vb::Raise(vb::errPermissionDenied, "Permission denied: " + path_ + " (is the user in the group that owns it, usually dialout?)");
    vb::Raise(vb::errInvalidPortNumber);
  }
  // Another program holding the port (through flock) makes this port busy, as on Windows.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK)) {
    ::close(fd);
    vb::Raise(vb::errPortAlreadyOpen);
  }
  termios probe{};
  if (::tcgetattr(fd, &probe) != 0) {  // not a terminal, or a UART slot with no UART behind it
    ::close(fd);
    vb::Raise(vb::errInvalidPortNumber);
  }
  ::ioctl(fd, TIOCEXCL);
  fd_ = fd;
  gone_ = false;
  wake_ = kWakeCount;
  try {
    apply(settings);
  } catch (...) {
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
    throw;
  }
  // A USB serial adapter holds received bytes for its latency timer (16 ms by default) unless
  // the driver is asked for low latency; a two-byte reply must not wait for that.
  serial_struct ss{};
  lowLatency_ = false;
  if (::ioctl(fd_, TIOCGSERIAL, &ss) == 0) {
    ss.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd_, TIOCSSERIAL, &ss) == 0) {
      serial_struct back{};
      lowLatency_ = ::ioctl(fd_, TIOCGSERIAL, &back) == 0 && (back.flags & ASYNC_LOW_LATENCY);
    }
  }
  ::tcflush(fd_, TCIFLUSH);
}

void TermiosChannel::apply(const LineSettings& s) {
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) {
    if (deviceLost(errno)) lost(8015, "tcgetattr", errno);
    vb::Raise(8015);
  }
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
  t.c_oflag &= ~(OPOST | ONLCR | OCRNL);
  t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN | ECHOE | ECHOK);
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CRTSCTS | CSTOPB);
  t.c_cflag |= CREAD | CLOCAL | HUPCL;
  switch (s.dataBits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: vb::Raise(8008, "The specified byte size is invalid");
  }
  switch (s.parity) {
    case 'E': t.c_cflag |= PARENB; break;
    case 'O': t.c_cflag |= PARENB | PARODD; break;
    case 'M': t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 'S': t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
  if (s.stopBitsX2 >= 3) t.c_cflag |= CSTOPB;  // one and a half is two here
  if (s.handshaking == 1 || s.handshaking == 3) t.c_iflag |= IXON | IXOFF;
  if (s.handshaking == 2 || s.handshaking == 3) t.c_cflag |= CRTSCTS;
  // Reads never block (the descriptor is non-blocking); poll() reports input once the wake count
  // of bytes is in, so a wait for a two-byte reply wakes once, not once a byte.
  t.c_cc[VMIN] = static_cast<cc_t>(wake_);
  t.c_cc[VTIME] = 0;
  speed_t sp = speedConstant(s.baud);
  if (sp != B0) {
    ::cfsetispeed(&t, sp);
    ::cfsetospeed(&t, sp);
  }
  if (::tcsetattr(fd_, TCSANOW, &t) != 0) {
    if (deviceLost(errno)) lost(8015, "tcsetattr", errno);
    vb::Raise(8015);
  }
  if (sp == B0) {
    if (!SetArbitraryBaud(fd_, s.baud)) vb::Raise(8007, "The device's baud rate is unsupported");
    return;
  }
  termios back{};
  if (::tcgetattr(fd_, &back) != 0 || ::cfgetospeed(&back) != sp) vb::Raise(8007, "The device's baud rate is unsupported");
}

void TermiosChannel::SetWakeCount(long count) {
  count = std::clamp<long>(count, 1, kWakeCount);
  if (fd_ < 0 || gone_ || count == wake_) return;
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) {
    if (deviceLost(errno)) lost(8020, "tcgetattr", errno);
    return;  // the old count stays; the caller sees it in WakeCount()
  }
  t.c_cc[VMIN] = static_cast<cc_t>(count);
  if (::tcsetattr(fd_, TCSANOW, &t) != 0) {
    if (deviceLost(errno)) lost(8020, "tcsetattr", errno);
    return;
  }
  wake_ = count;
}

void TermiosChannel::Configure(const LineSettings& settings) {
  if (fd_ < 0) vb::Raise(8018);
  if (gone_) lost(8015, "tcsetattr", EIO);
  apply(settings);
}

void TermiosChannel::Close() {
  if (fd_ < 0) return;
  // The control empties both buffers on closing; without this, close() would wait for
  // pending output for up to 30 seconds.
  ::tcflush(fd_, TCIOFLUSH);
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  fd_ = -1;
}

void TermiosChannel::ReadAvailable(std::vector<uint8_t>& out) {
  if (fd_ < 0) vb::Raise(8018);
  if (gone_) lost(8020, "read", EIO);
  uint8_t buf[512];
  for (;;) {
    ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n > 0) {
      out.insert(out.end(), buf, buf + n);
      if (static_cast<size_t>(n) < sizeof buf) return;
      continue;
    }
    if (n == 0) lost(8020, "read", 0);  // end of file: hung up
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return;
    lost(8020, "read", errno);
  }
}

long TermiosChannel::WaitingCount() {
  if (fd_ < 0) vb::Raise(8018);
  if (gone_) lost(8020, "read", EIO);
  int n = 0;
  if (::ioctl(fd_, FIONREAD, &n) != 0) {
    if (deviceLost(errno)) lost(8020, "FIONREAD", errno);
    return -1;
  }
  if (n > 0) return n;
  // Nothing waiting: a line that was hung up tells so only to a read, which the caller makes.
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) return -1;
  return 0;
}

void TermiosChannel::Write(const std::vector<uint8_t>& bytes) {
  if (fd_ < 0) vb::Raise(8018);
  if (gone_) lost(vb::errDeviceIO, "write", EIO);
  size_t done = 0;
  RealClock rc;
  int64_t deadline = rc.NowUs() + int64_t(kWriteTimeoutMs) * 1000;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      int64_t left = deadline - rc.NowUs();
      if (left <= 0) vb::Raise(vb::errDeviceIO, "The device " + path_ + " does not take data (write timed out)");
      pollfd p{fd_, POLLOUT, 0};
      int r = ::poll(&p, 1, static_cast<int>(left / 1000) + 1);
      if (r > 0 && (p.revents & (POLLHUP | POLLERR))) lost(vb::errDeviceIO, "write", EIO);
      continue;
    }
    lost(vb::errDeviceIO, "write", n < 0 ? errno : EIO);
  }
}

long TermiosChannel::OutCount() {
  if (fd_ < 0) vb::Raise(8018);
  if (gone_) lost(8020, "TIOCOUTQ", EIO);
  int n = 0;
  if (::ioctl(fd_, TIOCOUTQ, &n) != 0) {
    if (deviceLost(errno)) lost(8020, "TIOCOUTQ", errno);
    return 0;
  }
  return n;
}

void TermiosChannel::FlushInput() {
  if (fd_ < 0) vb::Raise(8018);
  if (gone_) lost(8020, "tcflush", EIO);
  if (::tcflush(fd_, TCIFLUSH) != 0 && deviceLost(errno)) lost(8020, "tcflush", errno);
}

void TermiosChannel::FlushOutput() {
  if (fd_ < 0) vb::Raise(8018);
  if (gone_) lost(vb::errDeviceIO, "tcflush", EIO);
  if (::tcflush(fd_, TCOFLUSH) != 0 && deviceLost(errno)) lost(vb::errDeviceIO, "tcflush", errno);
}

void TermiosChannel::SetModemLines(bool dtr, bool rts) {
  if (fd_ < 0) vb::Raise(8018);
  if (gone_) lost(vb::errDeviceIO, "TIOCMSET", EIO);
  // A pty has no modem lines (ENOTTY); some drivers refuse them (EINVAL): both are skipped.
  int on = (dtr ? TIOCM_DTR : 0) | (rts ? TIOCM_RTS : 0);
  int off = (dtr ? 0 : TIOCM_DTR) | (rts ? 0 : TIOCM_RTS);
  for (auto [req, bits] : {std::pair{TIOCMBIS, on}, std::pair{TIOCMBIC, off}}) {
    if (bits == 0) continue;
    if (::ioctl(fd_, req, &bits) != 0 && deviceLost(errno)) lost(vb::errDeviceIO, "TIOCMSET", errno);
  }
}

// ---- The default channel factory: the port map and termios ------------------------------

namespace {
ChannelFactory termiosFactory() {
  return [](int port) -> std::unique_ptr<Channel> {
    std::optional<std::string> dev = DeviceForPort(port);
    if (!dev) return nullptr;
    return std::make_unique<TermiosChannel>(*dev);
  };
}
}  // namespace

ChannelFactory& defaultChannelFactory() {
  static ChannelFactory f = termiosFactory();
  return f;
}

void setChannelFactory(ChannelFactory factory) {
  defaultChannelFactory() = factory ? std::move(factory) : termiosFactory();
}

}  // namespace serial
