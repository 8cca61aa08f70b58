#include "pty_pair.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace vantor {

TPtyPair::TPtyPair() {
  int Slave = -1;
  char Name[256] = {};
  if (::openpty(&FMaster, &Slave, Name, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }
  termios Raw{};
  ::tcgetattr(FMaster, &Raw);
  ::cfmakeraw(&Raw);
  ::tcsetattr(FMaster, TCSANOW, &Raw);
  ::close(Slave);  // the backend opens its own
  ::fcntl(FMaster, F_SETFD, FD_CLOEXEC);
  FSlavePath = Name;
}

TPtyPair::~TPtyPair() {
  CloseMaster();
}

void TPtyPair::CloseMaster() {
  if (FMaster >= 0) {
    ::close(FMaster);
    FMaster = -1;
  }
}

void TPtyPair::Send(const std::string& Bytes) const {
  std::size_t Done = 0;
  while (Done < Bytes.size()) {
    const ssize_t Put = ::write(FMaster, Bytes.data() + Done, Bytes.size() - Done);
    if (Put < 0 && errno == EAGAIN) {  // a non-blocking master whose buffer is full
      pollfd Writable{FMaster, POLLOUT, 0};
      ::poll(&Writable, 1, 1000);
      continue;
    }
    if (Put <= 0) {
      throw std::runtime_error("write to the pty master failed");
    }
    Done += static_cast<std::size_t>(Put);
  }
}

std::string TPtyPair::Receive(std::size_t Count) const {
  std::string Bytes;
  while (Bytes.size() < Count) {
    pollfd Poll{FMaster, POLLIN, 0};
    if (::poll(&Poll, 1, 10000) <= 0) {
      break;
    }
    char Chunk[4096];
    const std::size_t Want = std::min(sizeof Chunk, Count - Bytes.size());
    const ssize_t Got = ::read(FMaster, Chunk, Want);
    if (Got <= 0) {
      break;
    }
    Bytes.append(Chunk, static_cast<std::size_t>(Got));
  }
  return Bytes;
}

int CountOpenFds() {
  int Count = 0;
  DIR* Dir = ::opendir("/proc/self/fd");
  if (Dir == nullptr) {
    return -1;
  }
  while (::readdir(Dir) != nullptr) {
    ++Count;
  }
  ::closedir(Dir);
  return Count;
}

double ProcessCpuMs() {
  rusage Usage{};
  ::getrusage(RUSAGE_SELF, &Usage);
  auto Ms = [](const timeval& T) { return T.tv_sec * 1000.0 + T.tv_usec / 1000.0; };
  return Ms(Usage.ru_utime) + Ms(Usage.ru_stime);
}

}  // namespace vantor
