// Preloaded into Wine by the Windows test rig only, so that a Windows program
// can use a pseudo-terminal as its COM port (the simulated meter's line).
//
// Wine's serial layer asks the line for its modem status (TIOCMGET) while it
// waits for a received byte (WaitCommEvent with EV_RXCHAR) and cancels the wait
// when that fails, and a pseudo-terminal has no modem lines: every wait ends
// in ERROR_OPERATION_ABORTED and no byte is ever reported. Here a
// pseudo-terminal answers as a line with a device attached (CTS, DSR and DCD
// on), and takes DTR and RTS changes without effect. Whether bytes arrived
// Wine learns from the input queue (TIOCINQ), which a pseudo-terminal keeps.
// Every other device and request goes to the C library untouched.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

// Unix98 pseudo-terminal slaves (/dev/pts/N) have majors 136 to 143.
static int is_pty_slave(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return 0;
  unsigned major_number = major(st.st_rdev);
  return major_number >= 136 && major_number <= 143;
}

int ioctl(int fd, unsigned long request, ...) {
  static int (*next)(int, unsigned long, void*);
  if (!next) next = (int (*)(int, unsigned long, void*))dlsym(RTLD_NEXT, "ioctl");
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);

  int saved = errno;
  int result = next(fd, request, arg);
  if (result == 0 || errno != ENOTTY) return result;
  switch (request) {
    case TIOCMGET:
      if (!is_pty_slave(fd)) return result;
      *(int*)arg = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_DTR | TIOCM_RTS;
      break;
    case TIOCMSET:
    case TIOCMBIS:
    case TIOCMBIC:
      if (!is_pty_slave(fd)) return result;
      break;
    default:
      return result;
  }
  errno = saved;
  return 0;
}
