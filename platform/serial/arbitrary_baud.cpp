// Kept apart: the kernel's termios2 header cannot share a file with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace serial {

bool SetArbitraryBaud(int fd, long baud) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_cflag &= ~CBAUD;
  t.c_cflag |= BOTHER;
  t.c_ispeed = static_cast<speed_t>(baud);
  t.c_ospeed = static_cast<speed_t>(baud);
  t.c_cflag &= ~(CBAUD << IBSHIFT);
  t.c_cflag |= BOTHER << IBSHIFT;
  if (ioctl(fd, TCSETS2, &t) != 0) return false;
  struct termios2 back {};
  if (ioctl(fd, TCGETS2, &back) != 0) return false;
  return back.c_ospeed == static_cast<speed_t>(baud);
}

}  // namespace serial
