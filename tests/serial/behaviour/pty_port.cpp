// The behaviour suite over a pseudo-terminal with the POSIX backend. The device end echoes
// on a thread of its own; a pty counts no breaks or line errors, so the backend's counter
// read is fed by the device end, which sends the byte such an event comes with.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "serial/posix/posix_port_backend.h"
#include "test_port.h"
#include "tests/serial/platform/pty_pair.h"

namespace vantor {

namespace {

struct TSharedCounts {
  std::mutex Lock;
  TSioLineCounts Counts;
};

// The platform's backend, without the pause after Close, over a driver that counts.
class TPtyBackend : public TPosixPortBackend {
 public:
  explicit TPtyBackend(std::shared_ptr<TSharedCounts> Counts) : FCounts(std::move(Counts)) {}
  void Sleep(std::uint32_t /*Milliseconds*/) override {}

 protected:
  bool ReadLineCounts(int /*Port*/, TSioLineCounts& Counts) override {
    std::lock_guard Guard(FCounts->Lock);
    Counts = FCounts->Counts;
    return true;
  }

 private:
  std::shared_ptr<TSharedCounts> FCounts;
};

int CountEntries(const char* Folder) {
  int Count = 0;
  DIR* Dir = ::opendir(Folder);
  while (Dir != nullptr && ::readdir(Dir) != nullptr) {
    ++Count;
  }
  if (Dir != nullptr) {
    ::closedir(Dir);
  }
  return Count;
}

class TPtyTestPort : public TTestPort {
 public:
  TPtyTestPort() {
    if (::pipe(FStop) != 0) {
      FStop[0] = FStop[1] = -1;
    }
    // The port's purges can discard bytes poll has just announced: a blocking read would
    // then wait for ever, and the echo could not be stopped.
    ::fcntl(FPty.Master(), F_SETFL, ::fcntl(FPty.Master(), F_GETFL) | O_NONBLOCK);
    FEcho = std::thread([this] { Echo(); });
  }
  ~TPtyTestPort() override {
    StopEcho();
    ::close(FStop[0]);
    ::close(FStop[1]);
    if (FHolder && FHeld != kInvalidSioHandle) {
      FHolder->ClosePort(FHeld);
    }
  }
  TPtyTestPort(const TPtyTestPort&) = delete;
  TPtyTestPort& operator=(const TPtyTestPort&) = delete;

  std::string Name() const override { return "pty"; }
  std::unique_ptr<TSioPortBackend> MakeBackend() override {
    return std::make_unique<TPtyBackend>(FCounts);
  }
  std::string DeviceName() const override { return FPty.SlavePath(); }
  std::string DevicePath() const override { return FPty.SlavePath(); }
  std::string MissingDeviceName() const override { return "/dev/no-such-serial-port"; }
  std::string MissingDevicePath() const override { return MissingDeviceName(); }
  int SettleMs() const override { return 100; }
  int OpenCloseCycles() const override { return 1000; }
  int CountResources() const override {
    return CountEntries("/proc/self/fd") + CountEntries("/proc/self/task");
  }

  void HangUp() override {
    StopEcho();
    FPty.CloseMaster();
  }
  void SendBreak() override { Count(&TSioLineCounts::Break, std::string(1, '\0')); }
  void SendFramingError() override { Count(&TSioLineCounts::Frame, "\xFF"); }
  void HoldElsewhere() override {
    FHolder = std::make_unique<TPosixPortBackend>();
    FHeld = FHolder->OpenPort(FPty.SlavePath());
  }
  void ReleaseElsewhere() override {
    FHolder->ClosePort(FHeld);
    FHeld = kInvalidSioHandle;
  }

 private:
  // The driver counts the event, then the byte it came with arrives.
  void Count(std::uint32_t TSioLineCounts::*Event, const std::string& Byte) {
    {
      std::lock_guard Guard(FCounts->Lock);
      ++(FCounts->Counts.*Event);
    }
    FPty.Send(Byte);
  }
  void Echo() {
    char Buf[4096];
    for (;;) {
      pollfd Polls[2] = {{FPty.Master(), POLLIN, 0}, {FStop[0], POLLIN, 0}};
      if (::poll(Polls, 2, -1) < 0 || (Polls[1].revents & POLLIN) != 0) {
        return;
      }
      const ssize_t Got = ::read(FPty.Master(), Buf, sizeof Buf);
      if (Got > 0) {
        FPty.Send(std::string(Buf, static_cast<std::size_t>(Got)));
      }
    }
  }
  void StopEcho() {
    if (FEcho.joinable()) {
      (void)!::write(FStop[1], "x", 1);
      FEcho.join();
    }
  }

  TPtyPair FPty;
  std::shared_ptr<TSharedCounts> FCounts = std::make_shared<TSharedCounts>();
  int FStop[2] = {-1, -1};
  std::thread FEcho;
  std::unique_ptr<TPosixPortBackend> FHolder;
  TSioHandle FHeld = kInvalidSioHandle;
};

}  // namespace

std::unique_ptr<TTestPort> MakeTestPort() {
  return std::make_unique<TPtyTestPort>();
}

}  // namespace vantor
