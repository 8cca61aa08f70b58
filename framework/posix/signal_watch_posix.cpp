#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

#include "base/posix/unique_fd.h"
#include "framework/application.h"
#include "framework/signal_watch.h"

namespace vantor {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> GWakeFd{-1};

extern "C" void NoteSignal(int Signal) {
  const int Saved = errno;
  const auto Byte = static_cast<unsigned char>(Signal);
  if (const int Fd = GWakeFd.load(); Fd >= 0 && write(Fd, &Byte, 1) < 0) {
    // A full pipe already holds signals enough to end the program.
  }
  errno = Saved;
}

}  // namespace

struct TSignalWatch::TImpl {
  TUniqueFd Read, Write, Stop;
  struct sigaction Previous[std::size(kSignals)]{};
  std::thread Watcher;
};

TSignalWatch::TSignalWatch(std::function<void(int Signal)> OnSignal)
    : F(std::make_unique<TImpl>()) {
  int Pipe[2];
  if (pipe2(Pipe, O_CLOEXEC | O_NONBLOCK) != 0)
    return;  // no watch: the default actions stay, as without one
  F->Read.Reset(Pipe[0]);
  F->Write.Reset(Pipe[1]);
  F->Stop.Reset(eventfd(0, EFD_CLOEXEC));
  GWakeFd = F->Write.Get();
  F->Watcher = std::thread([Read = F->Read.Get(), Stop = F->Stop.Get(), OnSignal] {
    pollfd Fds[2] = {{Read, POLLIN, 0}, {Stop, POLLIN, 0}};
    while (poll(Fds, 2, -1) >= 0 || errno == EINTR) {
      if (Fds[1].revents != 0)
        return;
      unsigned char Signal = 0;
      while ((Fds[0].revents & POLLIN) != 0 && read(Read, &Signal, 1) == 1) {
        TApplication* App = Application();
        if (!App)
          continue;
        try {
          App->CallOnMainThread([&OnSignal, Signal] { OnSignal(Signal); });
        } catch (...) {
          return;  // the application has ended: nothing is left to end
        }
      }
    }
  });
  struct sigaction Action {};
  Action.sa_handler = NoteSignal;
  sigemptyset(&Action.sa_mask);
  for (std::size_t I = 0; I < std::size(kSignals); ++I)
    sigaction(kSignals[I], &Action, &F->Previous[I]);
}

TSignalWatch::~TSignalWatch() {
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

std::string TSignalWatch::Name(int Signal) {
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
