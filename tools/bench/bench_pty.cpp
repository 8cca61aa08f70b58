#include "bench_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

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
  FSlavePath = Name;
}

TBenchPty::~TBenchPty() {
  ::close(FMaster);
}

TDrain::TDrain(int Master) : FMaster(Master) {
  FThread = std::thread([this] {
    char Buf[65536];
    while (!FStop.load()) {
      pollfd Poll{FMaster, POLLIN, 0};
      if (::poll(&Poll, 1, 50) <= 0) {
        continue;
      }
      const ssize_t Got = ::read(FMaster, Buf, sizeof Buf);
      if (Got > 0) {
        FBytes += static_cast<std::uint64_t>(Got);
      }
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
