#include "tools/micsim/pty.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace vantor {

namespace micsim {

namespace {

[[noreturn]] void Fail(const std::string& What) {
  throw std::system_error(errno, std::generic_category(), What);
}

void MakeRaw(int Fd, const std::string& Name) {
  termios Settings{};
  if (tcgetattr(Fd, &Settings) != 0)
    Fail("tcgetattr " + Name);
  cfmakeraw(&Settings);
  cfsetispeed(&Settings, B115200);
  cfsetospeed(&Settings, B115200);
  if (tcsetattr(Fd, TCSANOW, &Settings) != 0)
    Fail("tcsetattr " + Name);
}

std::string ReadLink(const std::string& Path) {
  std::vector<char> Buffer(4096);
  const ssize_t N = readlink(Path.c_str(), Buffer.data(), Buffer.size());
  if (N < 0)
    return "";
  return std::string(Buffer.data(), static_cast<std::size_t>(N));
}

}  // namespace

TFd& TFd::operator=(TFd&& Other) noexcept {
  if (this != &Other) {
    Reset();
    FFd = Other.Release();
  }
  return *this;
}

int TFd::Release() {
  const int Fd = FFd;
  FFd = -1;
  return Fd;
}

void TFd::Reset() {
  if (FFd >= 0)
    close(FFd);
  FFd = -1;
}

TPty OpenPty() {
  int Master = -1;
  int Slave = -1;
  char Name[256] = {};
  if (openpty(&Master, &Slave, Name, nullptr, nullptr) != 0)
    Fail("openpty");
  TPty Pty{TFd(Master), TFd(Slave), Name};
  MakeRaw(Pty.Slave.Get(), Pty.Path);
  MakeRaw(Pty.Master.Get(), "the pty master");
  for (const int Fd : {Master, Slave}) {
    if (fcntl(Fd, F_SETFD, FD_CLOEXEC) != 0)
      Fail("fcntl");
  }
  const int Flags = fcntl(Master, F_GETFL);
  if (Flags < 0 || fcntl(Master, F_SETFL, Flags | O_NONBLOCK) != 0)
    Fail("fcntl");
  return Pty;
}

TPortLink::~TPortLink() {
  if (!FTarget.empty() && ReadLink(FPath) == FTarget)
    unlink(FPath.c_str());
}

void TPortLink::PointAt(const std::string& Target) {
  struct stat Info {};
  if (lstat(FPath.c_str(), &Info) == 0 && !S_ISLNK(Info.st_mode)) {
    errno = EEXIST;
    Fail(FPath + " exists and is not a symbolic link");
  }
  // Make the new link beside the old one and rename it over: the path never goes missing.
  const std::string Temp = FPath + ".micsim-" + std::to_string(getpid());
  unlink(Temp.c_str());
  if (symlink(Target.c_str(), Temp.c_str()) != 0)
    Fail("symlink " + Temp);
  if (rename(Temp.c_str(), FPath.c_str()) != 0) {
    const int Error = errno;
    unlink(Temp.c_str());
    errno = Error;
    Fail("rename " + Temp + " to " + FPath);
  }
  FTarget = Target;
}

}  // namespace micsim

}  // namespace vantor
