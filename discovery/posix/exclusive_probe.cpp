#include "discovery/posix/exclusive_probe.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "base/posix/unique_fd.h"

namespace vantor {

namespace {

class TExclusivePort : public TProbeHandle {
 public:
  explicit TExclusivePort(TUniqueFd Fd) : FFd(std::move(Fd)) {}
  ~TExclusivePort() override {
    // The flag belongs to the tty, not to this descriptor: a pty slave keeps it after
    // this close while its master is open, and later opens would then fail with EBUSY.
    ::ioctl(FFd.Get(), TIOCNXCL);
  }

 private:
  TUniqueFd FFd;
};

// Whether another holder has made the tty exclusive. A privileged process passes the
// EBUSY check of open(), so the flag itself is asked for.
bool HeldExclusively(int Fd) {
  int Exclusive = 0;
  return ::ioctl(Fd, TIOCGEXCL, &Exclusive) == 0 && Exclusive != 0;
}

}  // namespace

std::unique_ptr<TProbeHandle> ProbeExclusive(const std::string& Path, int* Error) {
  int Ignored = 0;
  int& Why = Error ? *Error : Ignored;
  Why = 0;
  TUniqueFd Fd(::open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!Fd) {
    Why = errno;
    return nullptr;
  }
  if (HeldExclusively(Fd.Get())) {
    Why = EBUSY;
    return nullptr;
  }
  if (::ioctl(Fd.Get(), TIOCEXCL) != 0) {
    Why = errno;
    return nullptr;
  }
  const int Raw = Fd.Get();
  // From here on the handle clears the flag again, whatever the lock says.
  auto Port = std::make_unique<TExclusivePort>(std::move(Fd));
  // A lock held through another open file description means another user of the port.
  if (::flock(Raw, LOCK_EX | LOCK_NB) != 0) {
    Why = errno == EWOULDBLOCK ? EBUSY : errno;
    return nullptr;
  }
  return Port;
}

}  // namespace vantor
