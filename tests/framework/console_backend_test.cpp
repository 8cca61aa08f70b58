// The console backend on a real clock: timers, calls from other threads, and WaitFor.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "framework/console/console.h"
#include "framework/controls.h"
#include "framework/thread.h"
#include "framework/timer.h"
#include "tests/framework/body_thread.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

class ConsoleBackendTest : public ::testing::Test {
 protected:
  TConsoleApp C = MakeConsoleApplication("vantor-test");
};

TEST_F(ConsoleBackendTest, TimersTickOnTheMainThreadInRealTimeAndMayStopThemselves) {
  const auto Main = std::this_thread::get_id();
  TTimer Fast(nullptr), Slow(nullptr);
  Fast.SetInterval(20);
  Slow.SetInterval(100);
  int FastTicks = 0, SlowTicks = 0;
  bool OffMain = false;
  Fast.OnTimer = [&](TObject*) {
    OffMain |= std::this_thread::get_id() != Main;
    if (++FastTicks == 3)
      Fast.SetEnabled(false);  // from inside its own tick
  };
  Slow.OnTimer = [&](TObject*) { ++SlowTicks; };
  const auto Start = TClock::now();
  // However late the loop gets to them, the fast timer stops at its third tick.
  C.Backend->RunUntil([&] { return FastTicks == 3 && SlowTicks >= 2; });
  const auto Took = TClock::now() - Start;
  EXPECT_FALSE(OffMain);
  EXPECT_EQ(FastTicks, 3);  // stopped from inside its tick: no fourth one
  // A real clock: the slow timer's second tick cannot come before two periods.
  EXPECT_GE(Took, 200ms);
}

TEST_F(ConsoleBackendTest, AFormCannotBeShownWhereThereAreNoWindows) {
  EXPECT_EQ(C.Backend->Windows(), nullptr);
  TForm* Form = C.App->CreateForm<TForm>();
  EXPECT_THROW(Form->Show(), Exception);
  EXPECT_FALSE(Form->Showing());
  Form->Close();  // nothing shown: nothing to close, and the loop is told to end
  EXPECT_TRUE(C.App->Terminated());
}

TEST_F(ConsoleBackendTest, SynchronizeFromAnotherThreadIsServedByTheLoop) {
  const auto Main = std::this_thread::get_id();
  std::atomic<int> Served{0};
  bool OffMain = false;
  std::thread Worker([&] {
    for (int I = 0; I < 10; ++I) {
      TThread::Synchronize(nullptr, [&] {
        OffMain |= std::this_thread::get_id() != Main;
        ++Served;
      });
    }
  });
  // No timer runs: the loop sleeps until each call wakes it.
  C.Backend->RunUntil([&] { return Served == 10; });
  Worker.join();
  EXPECT_FALSE(OffMain);
  EXPECT_EQ(Served, 10);
}

TEST_F(ConsoleBackendTest, WaitForServesQueuedCallsAndTerminateEndsRunLoop) {
  std::vector<int> Order;
  TBodyThread Thread([&](TBodyThread& Self) {
    Self.Synchronize([&] { Order.push_back(1); });
    Self.Synchronize([&] { Order.push_back(2); });
  });
  Thread.Start();
  Thread.WaitFor();  // would hang if the wait did not serve the thread's calls
  EXPECT_EQ(Order, (std::vector<int>{1, 2}));

  TTimer Stop(nullptr);
  Stop.SetInterval(10);
  Stop.OnTimer = [&](TObject*) { C.App->Terminate(); };
  C.App->Run();  // returns once a tick has terminated the application
  EXPECT_TRUE(C.App->Terminated());
}

TEST_F(ConsoleBackendTest, TheFailureBoxGoesToStandardError) {
  testing::internal::CaptureStderr();
  C.App->ShowException(Exception("Port gone"));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Port gone."), std::string::npos);
}

}  // namespace

}  // namespace vantor
