// The event and lock wrappers: manual and automatic reset, waits across threads, the
// re-entrant lock, and handles closed with their objects.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "serial/sync_objects.h"

#ifndef _WIN32
#include "pty_pair.h"
#endif

namespace vantor {

using namespace std::chrono_literals;

TEST(SioEvent, WaitEventStaysSignalledUntilReset) {
  TSioWaitEvent Event;
  ASSERT_NE(Event.Handle(), kInvalidSioHandle);
  EXPECT_EQ(Event.WaitFor(0), wrTimeout);
  Event.SetEvent();
  EXPECT_EQ(Event.WaitFor(0), wrSignaled);
  EXPECT_EQ(Event.WaitFor(0), wrSignaled);  // a wait does not consume it
  Event.SetEvent();                         // setting twice needs one reset
  Event.ResetEvent();
  EXPECT_EQ(Event.WaitFor(0), wrTimeout);
  Event.ResetEvent();  // resetting a reset event is harmless
  EXPECT_EQ(Event.WaitFor(0), wrTimeout);
}

TEST(SioEvent, InitialStateAndAutomaticReset) {
  TSioEvent Signalled(nullptr, true, true, nullptr);
  EXPECT_EQ(Signalled.WaitFor(0), wrSignaled);

  TSioEvent Auto(nullptr, false, true, nullptr);
  EXPECT_EQ(Auto.WaitFor(0), wrSignaled);
  EXPECT_EQ(Auto.WaitFor(0), wrTimeout);  // the wait consumed it
  Auto.SetEvent();
  Auto.SetEvent();
  EXPECT_EQ(Auto.WaitFor(0), wrSignaled);
  EXPECT_EQ(Auto.WaitFor(0), wrTimeout);
}

TEST(SioEvent, WaitEndsWhenAnotherThreadSetsIt) {
  TSioWaitEvent Event;
  auto Waiter = std::async(std::launch::async, [&] { return Event.WaitFor(kSioInfinite); });
  std::this_thread::sleep_for(20ms);
  Event.SetEvent();
  ASSERT_EQ(Waiter.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(Waiter.get(), wrSignaled);

  TSioWaitEvent Other;
  auto Limited = std::async(std::launch::async, [&] { return Other.WaitFor(60000); });
  Other.SetEvent();
  ASSERT_EQ(Limited.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(Limited.get(), wrSignaled);
}

TEST(SioEvent, ShortTimeLimitEndsTheWait) {
  TSioWaitEvent Event;
  EXPECT_EQ(Event.WaitFor(30), wrTimeout);
}

TEST(SioCriticalSection, HolderMayEnterAgainOthersWait) {
  TSioCriticalSection Section;
  Section.Acquire();
  Section.Enter();  // the holder takes it again
  std::atomic<bool> Entered{false};
  std::thread Other([&] {
    Section.Acquire();
    Entered = true;
    Section.Release();
  });
  Section.Leave();
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(Entered.load()) << "still held once";
  Section.Release();
  Other.join();
  EXPECT_TRUE(Entered.load());
  {
    std::lock_guard Guard(Section);  // usable as a standard lock
  }
}

#ifndef _WIN32
TEST(SioEvent, HandlesAreClosedWithTheirObjects) {
  const int Before = CountOpenFds();
  {
    std::vector<std::unique_ptr<TSioWaitEvent>> Events;
    Events.reserve(200);
    for (int I = 0; I < 200; ++I) {
      Events.push_back(std::make_unique<TSioWaitEvent>());
    }
    EXPECT_GE(CountOpenFds(), Before + 200);
  }
  EXPECT_EQ(CountOpenFds(), Before);
}
#endif

}  // namespace vantor
