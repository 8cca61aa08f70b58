#include "serial/posix/exclusive_open.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "serial/port_failure.h"

namespace vantor {

namespace {

TExclusiveTty Refused(int Code, int& Error) {
  Error = Code;
  errno = Code;
  return TExclusiveTty();
}

bool HeldExclusively(int Fd) {
  int Exclusive = 0;
  return ::ioctl(Fd, TIOCGEXCL, &Exclusive) == 0 && Exclusive != 0;
}

}  // namespace

void TExclusiveTty::Reset() {
  if (FFd.Valid())
    ::ioctl(FFd.Get(), TIOCNXCL);
  FFd.Reset();
}

TExclusiveTty OpenExclusiveTty(const std::string& Path, int& Error) {
  Error = 0;
  TUniqueFd Fd(::open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!Fd)
    return Refused(errno, Error);
  if (!::isatty(Fd.Get()))
    return Refused(ENOTTY, Error);
  // A lock held through another open file description means another user of the port.
  if (::flock(Fd.Get(), LOCK_EX | LOCK_NB) != 0)
    return Refused(errno == EWOULDBLOCK ? EBUSY : errno, Error);
  if (HeldExclusively(Fd.Get()))
    return Refused(EBUSY, Error);
  if (::ioctl(Fd.Get(), TIOCEXCL) != 0)
    return Refused(errno, Error);
  return TExclusiveTty(std::move(Fd));
}

TPortFailure ClassifyPortError(std::uint32_t Code, TPortErrorPhase Phase) {
  const bool Opening = Phase == TPortErrorPhase::Opening;
  switch (static_cast<int>(Code)) {
    case ENOENT:
      return TPortFailure::pfNotFound;
    case ENODEV:
    case ENXIO:
      // A node without its device: nothing to open, or, once open, the device was unplugged.
      return Opening ? TPortFailure::pfNotFound : TPortFailure::pfRemoved;
    case EIO:
      // A hung-up tty answers EIO: its device went away (USB unplugged, pty master closed).
      return Opening ? TPortFailure::pfOther : TPortFailure::pfRemoved;
    case EBUSY:
      return TPortFailure::pfBusy;
    case EACCES:
    case EPERM:
      return TPortFailure::pfDenied;  // the node's permissions (not in the dialout group, say)
    case ENOTTY:
      // Once open, a tty's driver refuses an ioctl it lacks (a pty has no modem lines).
      return Opening ? TPortFailure::pfNotSerial : TPortFailure::pfOther;
    default:
      return TPortFailure::pfOther;
  }
}

}  // namespace vantor
