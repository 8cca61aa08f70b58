// LD_PRELOAD library for Wine under test: Linux pseudo-terminals have no modem lines and
// no interrupt counters, so Wine's serial wait loop fails on them. Where the real ioctl
// refuses one of those requests on a terminal, answer as a cable with DSR, CTS and DCD up
// would; every other call passes through unchanged. Test tooling, never part of the program.
#include <dlfcn.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>

namespace {

using TIoctl = int (*)(int, unsigned long, ...);

TIoctl RealIoctl() {
  static const TIoctl Real = reinterpret_cast<TIoctl>(::dlsym(RTLD_NEXT, "ioctl"));
  return Real;
}

bool Refused(int Error) {
  return Error == ENOTTY || Error == EINVAL;
}

bool AnswersOnBehalf(unsigned long Request) {
  return Request == TIOCMGET || Request == TIOCMSET || Request == TIOCMBIS || Request == TIOCMBIC ||
         Request == TIOCGICOUNT;
}

}  // namespace

extern "C" int ioctl(int Fd, unsigned long Request, ...) {
  va_list Args;
  va_start(Args, Request);
  void* Arg = va_arg(Args, void*);  // every request passes at most one word
  va_end(Args);

  const TIoctl Real = RealIoctl();
  if (Real == nullptr) {
    errno = ENOSYS;
    return -1;
  }
  const int Result = Real(Fd, Request, Arg);
  if (Result == 0 || !AnswersOnBehalf(Request) || !Refused(errno)) {
    return Result;
  }
  const int Error = errno;
  if (!::isatty(Fd) || Arg == nullptr) {
    errno = Error;
    return Result;
  }
  if (Request == TIOCMGET) {
    *static_cast<int*>(Arg) = TIOCM_DSR | TIOCM_CTS | TIOCM_CAR;
  } else if (Request == TIOCGICOUNT) {
    std::memset(Arg, 0, sizeof(serial_icounter_struct));
  }
  return 0;
}
