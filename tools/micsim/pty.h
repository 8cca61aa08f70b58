// The pseudo-terminal that stands in for the microphone's USB serial port.
#pragma once

#include <string>

namespace vantor {

namespace micsim {

// Owns one file descriptor.
class TFd {
 public:
  TFd() = default;
  explicit TFd(int Fd) : FFd(Fd) {}
  TFd(TFd&& Other) noexcept : FFd(Other.Release()) {}
  TFd& operator=(TFd&& Other) noexcept;
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  ~TFd() { Reset(); }

  int Get() const { return FFd; }
  int Release();
  void Reset();

 private:
  int FFd = -1;
};

// Both ends raw; the master is non-blocking. The slave descriptor is the simulator's own:
// holding it keeps the pty alive and quiet while no host has the port open (a master
// whose slave is closed by everyone reports POLLHUP without end).
struct TPty {
  TFd Master;
  TFd Slave;
  std::string Path;  // the slave's path, which the host opens
};

// Throws std::system_error.
TPty OpenPty();

// A symbolic link to the current port, replaced when the port is reopened and removed at
// the end if it still points at the port this simulator made.
class TPortLink {
 public:
  explicit TPortLink(std::string Path) : FPath(std::move(Path)) {}
  TPortLink(const TPortLink&) = delete;
  TPortLink& operator=(const TPortLink&) = delete;
  ~TPortLink();

  // Throws std::system_error; refuses to replace anything but a symbolic link.
  void PointAt(const std::string& Target);

 private:
  std::string FPath;
  std::string FTarget;
};

}  // namespace micsim

}  // namespace vantor
