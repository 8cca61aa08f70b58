#include "bench_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace vantor {

TBenchPty::TBenchPty() {
  int Slave = -1;
  char Name[256] = {};
  if (::openpty(&FMaster, &Slave, Name, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }
  termios Raw{};
  ::tcgetattr(FMaster, &Raw);
  ::cfmakeraw(&Raw);
  ::tcsetattr(FMaster, TCSANOW, &Raw);
  ::tcsetattr(Slave, TCSANOW, &Raw);
  ::close(Slave);
  // The drain reads first and polls only when nothing is there: one call per read while
  // bytes stream, the same for every path measured.
  ::fcntl(FMaster, F_SETFL, ::fcntl(FMaster, F_GETFL) | O_NONBLOCK);
  FSlavePath = Name;
}

TBenchPty::~TBenchPty() {
  ::close(FMaster);
}

TDrain::TDrain(int Master, std::uint64_t Target) : FMaster(Master), FTarget(Target) {
  FThread = std::thread([this] {
    char Buf[65536];
    while (!FStop.load()) {
      const ssize_t Got = ::read(FMaster, Buf, sizeof Buf);
      if (Got > 0) {
        const std::uint64_t Total = FBytes += static_cast<std::uint64_t>(Got);
        if (Total >= FTarget && Total - static_cast<std::uint64_t>(Got) < FTarget) {
          FReachedAt = Clock::now().time_since_epoch().count();
        }
        continue;
      }
      if (Got < 0 && errno == EAGAIN) {
        pollfd Poll{FMaster, POLLIN, 0};
        ::poll(&Poll, 1, 50);
        continue;
      }
      // No slave end is open (between runs): the master reports that at once, so pause.
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
}

TDrain::~TDrain() {
  FStop = true;
  FThread.join();
}

double ProcessCpuMs() {
  rusage Usage{};
  ::getrusage(RUSAGE_SELF, &Usage);
  auto Ms = [](const timeval& T) { return T.tv_sec * 1000.0 + T.tv_usec / 1000.0; };
  return Ms(Usage.ru_utime) + Ms(Usage.ru_stime);
}

}  // namespace vantor
