// Signals on Linux: the handler stores the signal and writes one byte to a pipe (both
// async-signal-safe); a watcher thread waits on the pipe and wakes the console loop.
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "base/posix/unique_fd.h"
#include "cli/platform.h"
#include "framework/application.h"

namespace vantor {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> GSignal{0};
std::atomic<int> GWakeFd{-1};

extern "C" void NoteSignal(int Signal) {
  const int Saved = errno;
  int Expected = 0;
  GSignal.compare_exchange_strong(Expected, Signal);
  const char Byte = 1;
  if (const int Fd = GWakeFd.load(); Fd >= 0 && write(Fd, &Byte, 1) < 0) {
    // A full pipe already holds a wake-up.
  }
  errno = Saved;
}

}  // namespace

struct TInterruptWatch::TImpl {
  TUniqueFd Read, Write, Stop;
  struct sigaction Previous[3]{};
  std::thread Watcher;
};

TInterruptWatch::TInterruptWatch() : F(std::make_unique<TImpl>()) {
  int Pipe[2];
  if (pipe2(Pipe, O_CLOEXEC | O_NONBLOCK) != 0)
    return;  // no watch: the default actions stay, as without one
  F->Read.Reset(Pipe[0]);
  F->Write.Reset(Pipe[1]);
  F->Stop.Reset(eventfd(0, EFD_CLOEXEC));
  GWakeFd = F->Write.Get();
  F->Watcher = std::thread([Read = F->Read.Get(), Stop = F->Stop.Get()] {
    pollfd Fds[2] = {{Read, POLLIN, 0}, {Stop, POLLIN, 0}};
    while (poll(Fds, 2, -1) >= 0 || errno == EINTR) {
      if (Fds[1].revents != 0)
        return;
      if (Fds[0].revents != 0) {
        char Drain[16];
        while (read(Read, Drain, sizeof Drain) > 0) {
        }
        if (TApplication* App = Application())
          App->WakeMainThread();
      }
    }
  });
  struct sigaction Action {};
  Action.sa_handler = NoteSignal;
  sigemptyset(&Action.sa_mask);
  for (std::size_t I = 0; I < std::size(kSignals); ++I)
    sigaction(kSignals[I], &Action, &F->Previous[I]);
}

TInterruptWatch::~TInterruptWatch() {
  if (!F->Watcher.joinable())
    return;
  for (std::size_t I = 0; I < std::size(kSignals); ++I)
    sigaction(kSignals[I], &F->Previous[I], nullptr);
  GWakeFd = -1;
  const std::uint64_t One = 1;
  if (write(F->Stop.Get(), &One, sizeof One) < 0) {
    // An eventfd write fails only when its count would overflow: it is set already.
  }
  F->Watcher.join();
}

int InterruptSignal() {
  return GSignal.load();
}

std::string InterruptName(int Signal) {
  switch (Signal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    default:
      return "signal " + std::to_string(Signal);
  }
}

}  // namespace vantor
