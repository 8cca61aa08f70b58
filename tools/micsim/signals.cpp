#include "tools/micsim/signals.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <system_error>

namespace vantor {

namespace micsim {

TSignals::TSignals() {
  // Writing to a port nobody reads must fail with an error, not end the program.
  std::signal(SIGPIPE, SIG_IGN);
  sigset_t Set;
  sigemptyset(&Set);
  sigaddset(&Set, SIGINT);
  sigaddset(&Set, SIGTERM);
  sigaddset(&Set, SIGHUP);
  if (sigprocmask(SIG_BLOCK, &Set, nullptr) != 0) {
    throw std::system_error(errno, std::generic_category(), "sigprocmask");
  }
  FFd = TFd(signalfd(-1, &Set, SFD_CLOEXEC));
  if (FFd.Get() < 0)
    throw std::system_error(errno, std::generic_category(), "signalfd");
}

int TSignals::Take() {
  signalfd_siginfo Info{};
  if (read(FFd.Get(), &Info, sizeof Info) != static_cast<ssize_t>(sizeof Info))
    return 0;
  return static_cast<int>(Info.ssi_signo);
}

}  // namespace micsim

}  // namespace vantor
