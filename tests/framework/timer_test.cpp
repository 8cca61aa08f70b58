#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/headless/headless.h"
#include "framework/timer.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;

class TimerTest : public ::testing::Test {
 protected:
  THeadlessApp H = MakeHeadlessApplication();
  TComponent Owner{nullptr};
  std::vector<std::uint64_t> Ticks;

  TTimer* MakeTimer(unsigned Interval, bool Enabled = true) {
    auto* Timer = Owner.MakeOwned<TTimer>();
    Timer->SetEnabled(Enabled);
    Timer->SetInterval(Interval);
    Timer->OnTimer = [this](TObject*) { Ticks.push_back(H.Backend->Now()); };
    return Timer;
  }
};

TEST_F(TimerTest, DefaultsToEnabledWithOneSecond) {
  TTimer Timer(nullptr);
  EXPECT_TRUE(Timer.Enabled());
  EXPECT_EQ(Timer.Interval(), 1000u);
  EXPECT_EQ(H.Backend->RunningTimers(), 1);
}

TEST_F(TimerTest, TicksEveryPeriodOnTheVirtualClock) {
  MakeTimer(300);
  H.Backend->Advance(1000ms);
  EXPECT_EQ(Ticks, (std::vector<std::uint64_t>{300, 600, 900}));
  EXPECT_EQ(H.Backend->Now(), 1000u);
}

TEST_F(TimerTest, SwitchingOnARunningTimerKeepsItsPeriod) {
  auto* Timer = MakeTimer(1000);
  H.Backend->Advance(600ms);
  Timer->SetEnabled(true);
  H.Backend->Advance(400ms);
  EXPECT_EQ(Ticks, (std::vector<std::uint64_t>{1000}));
}

TEST_F(TimerTest, ChangingTheIntervalRestartsTheTimer) {
  auto* Timer = MakeTimer(1000);
  H.Backend->Advance(600ms);
  Timer->SetInterval(500);
  H.Backend->Advance(1000ms);
  EXPECT_EQ(Ticks, (std::vector<std::uint64_t>{1100, 1600}));
}

TEST_F(TimerTest, SwitchedOffAndOnAgainStartsAFreshPeriod) {
  auto* Timer = MakeTimer(1000);
  H.Backend->Advance(600ms);
  Timer->SetEnabled(false);
  H.Backend->Advance(1000ms);
  Timer->SetEnabled(true);
  H.Backend->Advance(1000ms);
  EXPECT_EQ(Ticks, (std::vector<std::uint64_t>{2600}));
}

TEST_F(TimerTest, TicksDueTogetherFireInTheOrderTheTimersStarted) {
  std::vector<std::string> Order;
  auto* Slow = Owner.MakeOwned<TTimer>();
  Slow->SetInterval(400);
  auto* Fast = Owner.MakeOwned<TTimer>();
  Fast->SetInterval(200);
  Slow->OnTimer = [&](TObject*) { Order.push_back("slow@" + std::to_string(H.Backend->Now())); };
  Fast->OnTimer = [&](TObject*) { Order.push_back("fast@" + std::to_string(H.Backend->Now())); };
  H.Backend->Advance(800ms);
  EXPECT_EQ(Order, (std::vector<std::string>{"fast@200", "slow@400", "fast@400", "fast@600",
                                             "slow@800", "fast@800"}));
}

TEST_F(TimerTest, AFailureInATickIsReportedAndTheTimerGoesOn) {
  auto* Timer = MakeTimer(100);
  int Count = 0;
  Timer->OnTimer = [&](TObject*) {
    ++Count;
    throw Exception("tick failed");
  };
  H.Backend->Advance(200ms);
  EXPECT_EQ(Count, 2);
  ASSERT_EQ(H.Backend->MessageBoxes().size(), 2u);
  EXPECT_EQ(H.Backend->MessageBoxes()[0].Text, "tick failed.");
}

TEST_F(TimerTest, ATimerMayFreeItselfInsideItsOwnTick) {
  auto Timer = std::make_unique<TTimer>(nullptr);
  Timer->SetInterval(100);
  int Count = 0;
  Timer->OnTimer = [&](TObject*) {
    ++Count;
    Timer.reset();
  };
  H.Backend->Advance(500ms);
  EXPECT_EQ(Count, 1);
  EXPECT_EQ(H.Backend->RunningTimers(), 0);
}

TEST_F(TimerTest, ATimerStoppedInsideItsOwnTickTicksNoMore) {
  auto* Timer = MakeTimer(100);
  Timer->OnTimer = [&](TObject* Sender) {
    Ticks.push_back(H.Backend->Now());
    static_cast<TTimer*>(Sender)->SetEnabled(false);
  };
  H.Backend->Advance(500ms);
  EXPECT_EQ(Ticks, (std::vector<std::uint64_t>{100}));
}

TEST_F(TimerTest, IntervalZeroDoesNotRun) {
  MakeTimer(0);
  H.Backend->Advance(5000ms);
  EXPECT_TRUE(Ticks.empty());
}

}  // namespace

}  // namespace vantor
