// The timer queue of the console and headless backends, on times the test gives.
#include <gtest/gtest.h>

#include <string>

#include "framework/timer_queue.h"

namespace vantor {

namespace {

TEST(TimerQueue, ALateTimerTicksOnceAndThenAPeriodAfterItWasServed) {
  TTimerQueue Queue;
  int Ticks = 0;
  Queue.Start(100, 0, [&] { ++Ticks; });
  EXPECT_FALSE(Queue.FireNext(99));
  // Served three and a half periods late: one tick, not three.
  EXPECT_TRUE(Queue.FireNext(350));
  EXPECT_FALSE(Queue.FireNext(350));
  EXPECT_EQ(Ticks, 1);
  EXPECT_EQ(Queue.NextDue(), 450u);
  // Served on time, it keeps its own rhythm.
  EXPECT_TRUE(Queue.FireNext(450));
  EXPECT_EQ(Queue.NextDue(), 550u);
}

TEST(TimerQueue, TicksDueTogetherRunInStartingOrderAndATickMayStopItsOwnTimer) {
  TTimerQueue Queue;
  std::string Order;
  int Second = 0;
  const int First = Queue.Start(50, 0, [&] { Order += 'a'; });
  Second = Queue.Start(50, 0, [&] {
    Order += 'b';
    Queue.Stop(Second);
  });
  Queue.Start(25, 25, [&] { Order += 'c'; });
  while (Queue.FireNext(50)) {
  }
  EXPECT_EQ(Order, "abc");
  EXPECT_EQ(Queue.Running(), 2);
  Queue.Stop(First);
  Queue.Stop(First);  // a stale id finds nothing
  EXPECT_EQ(Queue.Running(), 1);
}

}  // namespace

}  // namespace vantor
