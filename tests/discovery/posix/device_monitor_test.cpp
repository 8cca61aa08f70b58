#include "base/device_change.h"
#include "discovery/posix/device_monitor.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "discovery/posix/udev_event_source.h"
#include "framework/headless/headless.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;

// Events pushed by the test come out of a pipe, as udev's come out of its socket.
class TQueueSource : public TTtyEventSource {
 public:
  TQueueSource() {
    int Fds[2];
    if (::pipe2(Fds, O_CLOEXEC | O_NONBLOCK) != 0)
      throw std::runtime_error("pipe2");
    FRead.Reset(Fds[0]);
    FWrite.Reset(Fds[1]);
  }
  void Push(TTtyEvent Event) {
    std::lock_guard<std::mutex> Guard(FLock);
    FQueue.push_back(std::move(Event));
    const char Byte = 1;
    ASSERT_EQ(::write(FWrite.Get(), &Byte, 1), 1);
  }
  int Fd() const override { return FRead.Get(); }
  std::optional<TTtyEvent> Receive() override {
    std::lock_guard<std::mutex> Guard(FLock);
    ++FReceives;
    FReceived.notify_all();
    char Byte;
    if (::read(FRead.Get(), &Byte, 1) != 1 || FQueue.empty())
      return std::nullopt;
    TTtyEvent Event = std::move(FQueue.front());
    FQueue.pop_front();
    return Event;
  }
  int Receives() {
    std::lock_guard<std::mutex> Guard(FLock);
    return FReceives;
  }
  void WaitForReceives(int Count) {
    std::unique_lock<std::mutex> Guard(FLock);
    FReceived.wait(Guard, [&] { return FReceives >= Count; });
  }

 private:
  TUniqueFd FRead, FWrite;
  std::mutex FLock;
  std::condition_variable FReceived;
  std::deque<TTtyEvent> FQueue;
  int FReceives = 0;
};

struct TSeen {
  std::uintptr_t Event;
  std::u16string Name;
  bool OnMainThread;
  bool operator==(const TSeen&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TSeen& Seen) {
  return Out << std::hex << Seen.Event << " " << std::string(Seen.Name.begin(), Seen.Name.end())
             << (Seen.OnMainThread ? " main" : " other");
}

class DeviceMonitor : public ::testing::Test {
 protected:
  void SetUp() override {
    Headless = MakeHeadlessApplication();
    // Reads the record the way the serial component's hook does.
    Application()->HookMainWindow(this, [this](TMessage& Message) {
      if (Message.Msg != kWmDeviceChange)
        return false;
      const auto* Header = reinterpret_cast<const TDevBroadcastHdr*>(Message.LParam);
      EXPECT_EQ(Header->dbch_devicetype, kDbtDevtypPort);
      const auto* Name = reinterpret_cast<const char16_t*>(Header + 1);
      Seen.push_back({Message.WParam, Name, Application()->IsMainThread()});
      return false;
    });
  }
  void TearDown() override {
    if (Application())
      Application()->UnhookMainWindow(this);
  }
  bool PumpUntilSeen(std::size_t Count) {
    return Headless.Backend->PumpUntil([&] { return Seen.size() >= Count; }, 30s);
  }

  THeadlessApp Headless;
  std::vector<TSeen> Seen;
};

const std::string kAcm = "/devices/pci0000:00/usb1/1-1/1-1:1.0/tty/ttyACM0";
const std::string kUsb = "/devices/pci0000:00/usb1/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0";

TEST_F(DeviceMonitor, DeliversArrivalAndRemovalToTheHooksOnTheMainThread) {
  auto Owned = std::make_unique<TQueueSource>();
  TQueueSource& Source = *Owned;
  TDeviceMonitor Monitor(std::move(Owned), "/dev");
  ASSERT_TRUE(Monitor.Active());
  Source.Push({"add", "ttyACM0", kAcm});
  Source.Push({"change", "ttyACM0", kAcm});
  Source.Push({"add", "tty3", "/devices/virtual/tty/tty3"});
  Source.Push({"remove", "ttyACM0", kAcm});
  Source.Push({"add", "ttyUSB0", kUsb});  // the last: everything before it was handled
  ASSERT_TRUE(PumpUntilSeen(3));
  EXPECT_EQ(Seen, (std::vector<TSeen>{{0x8000, u"/dev/ttyACM0", true},
                                      {0x8004, u"/dev/ttyACM0", true},
                                      {0x8000, u"/dev/ttyUSB0", true}}));
}

TEST_F(DeviceMonitor, NamesPortsUnderItsDeviceFolder) {
  auto Owned = std::make_unique<TQueueSource>();
  TQueueSource& Source = *Owned;
  TDeviceMonitor Monitor(std::move(Owned), "/tmp/devroot");
  Source.Push({"remove", "ttyUSB0", kUsb});
  ASSERT_TRUE(PumpUntilSeen(1));
  EXPECT_EQ(Seen.at(0).Name, u"/tmp/devroot/ttyUSB0");
}

TEST_F(DeviceMonitor, StopsWithoutHavingSpunOnAQuietSource) {
  auto Owned = std::make_unique<TQueueSource>();
  TQueueSource& Source = *Owned;
  {
    TDeviceMonitor Monitor(std::move(Owned), "/dev");
    ASSERT_TRUE(Monitor.Active());
    Headless.Backend->PumpUntil([] { return false; }, 50ms);  // give a spinning thread a go
    // Source stays alive: the monitor owns it until here.
    EXPECT_EQ(Source.Receives(), 0) << "the thread read a source that had nothing";
  }
  EXPECT_TRUE(Seen.empty());
}

TEST_F(DeviceMonitor, StoppingWhileAMessageIsBeingSentServesItInsteadOfDeadlocking) {
  auto Owned = std::make_unique<TQueueSource>();
  TQueueSource& Source = *Owned;
  {
    TDeviceMonitor Monitor(std::move(Owned), "/dev");
    Source.Push({"add", "ttyACM0", kAcm});
    Source.WaitForReceives(1);  // the thread is on its way to SendAppMessage; nobody pumps
  }
  EXPECT_EQ(Seen, (std::vector<TSeen>{{0x8000, u"/dev/ttyACM0", true}}));
}

TEST_F(DeviceMonitor, WithoutASourceIsIdle) {
  TDeviceMonitor Monitor(nullptr, "/dev");
  EXPECT_FALSE(Monitor.Active());
}

TEST_F(DeviceMonitor, TheUdevMonitorStartsAndStopsWhereverUdevIs) {
  // No events can be made here; this only checks that starting and stopping are clean
  // (idle where netlink is unavailable).
  TDeviceMonitor Monitor;
  SUCCEED() << (Monitor.Active() ? "udev reachable" : "udev unavailable");
}

}  // namespace

}  // namespace vantor
