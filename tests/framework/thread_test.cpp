#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "base/device_change.h"
#include "framework/cross_thread.h"
#include "framework/headless/headless.h"
#include "framework/thread.h"
#include "tests/framework/body_thread.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;
// Only a guard against a hang; no assertion depends on how long anything takes.
constexpr auto Patience = 20s;

class ThreadTest : public ::testing::Test {
 protected:
  THeadlessApp H = MakeHeadlessApplication();
};

TEST_F(ThreadTest, PrioritiesMapToThePlatformValues) {
  const int Expected[] = {-15, -2, -1, 0, 1, 2, 15};
  for (int P = tpIdle; P <= tpTimeCritical; ++P) {
    EXPECT_EQ(PlatformThreadPriority(static_cast<TThreadPriority>(P)), Expected[P]) << P;
  }
}

TEST_F(ThreadTest, SynchronizeOnTheMainThreadRunsAtOnce) {
  bool Ran = false;
  TThread::Synchronize(nullptr, [&] { Ran = true; });
  EXPECT_TRUE(Ran);
  EXPECT_TRUE(TThread::IsMainThread());
}

TEST_F(ThreadTest, SynchronizeFromSeveralThreadsRunsEachOnceOnTheMainThread) {
  constexpr std::size_t Threads = 4, CallsEach = 25;
  const auto Main = std::this_thread::get_id();
  std::vector<int> Runs(Threads * CallsEach, 0);
  std::atomic<int> OffMain{0};
  std::vector<std::unique_ptr<TBodyThread>> Workers;
  Workers.reserve(Threads);
  for (std::size_t T = 0; T < Threads; ++T) {
    Workers.push_back(std::make_unique<TBodyThread>([&, T](TBodyThread& Self) {
      for (std::size_t C = 0; C < CallsEach; ++C) {
        Self.Synchronize([&, T, C] {
          if (std::this_thread::get_id() != Main)
            ++OffMain;
          ++Runs[T * CallsEach + C];
        });
      }
    }));
  }
  for (auto& W : Workers)
    W->Start();
  EXPECT_TRUE(H.Backend->PumpUntil(
      [&] {
        for (auto& W : Workers) {
          if (!W->Finished())
            return false;
        }
        return true;
      },
      Patience));
  EXPECT_EQ(OffMain.load(), 0);
  for (int R : Runs)
    EXPECT_EQ(R, 1);
}

TEST_F(ThreadTest, WaitForOnTheMainThreadServesAWorkerBlockedInSynchronize) {
  std::atomic<bool> InWorker{false};
  bool Ran = false;
  TBodyThread Worker([&](TBodyThread& Self) {
    InWorker = true;
    Self.Synchronize([&] { Ran = true; });
    Self.SetReturnValue(7);
  });
  Worker.Start();
  EXPECT_EQ(Worker.WaitFor(), 7);
  EXPECT_TRUE(Ran);
  // A finished thread can be waited for again.
  EXPECT_EQ(Worker.WaitFor(), 7);
  EXPECT_TRUE(Worker.Finished());
}

TEST_F(ThreadTest, WaitForOnTheMainThreadServesAMessageSentToTheApplication) {
  int Seen = 0;
  H.App->HookMainWindow(this, [&](TMessage& M) {
    Seen = static_cast<int>(M.WParam);
    M.Result = 42;
    return true;
  });
  std::intptr_t Result = 0;
  TBodyThread Worker([&](TBodyThread&) {
    TMessage M{kWmDeviceChange, 0x8004, 0, 0};
    Application()->SendAppMessage(M);
    Result = M.Result;
  });
  Worker.Start();
  Worker.WaitFor();
  EXPECT_EQ(Seen, 0x8004);
  EXPECT_EQ(Result, 42);
}

TEST_F(ThreadTest, AFailureInASynchronisedMethodIsReRaisedInTheWorker) {
  std::string Caught;
  TBodyThread Worker([&](TBodyThread& Self) {
    try {
      Self.Synchronize([] { throw Exception("refused on the main thread"); });
    } catch (const Exception& E) {
      Caught = E.Message();
    }
  });
  Worker.Start();
  Worker.WaitFor();
  EXPECT_EQ(Caught, "refused on the main thread");
  EXPECT_TRUE(H.Backend->MessageBoxes().empty());
}

TEST_F(ThreadTest, AFailureEscapingExecuteIsKept) {
  TBodyThread Worker([](TBodyThread&) { throw Exception("worker failed"); });
  Worker.Start();
  Worker.WaitFor();
  ASSERT_TRUE(Worker.FatalException());
  try {
    std::rethrow_exception(Worker.FatalException());
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), "worker failed");
  }
}

// Tells a flag when it is deleted.
class TSelfFreeing : public TThread {
 public:
  explicit TSelfFreeing(std::atomic<bool>& AFreed) : FFreed(AFreed) {}
  ~TSelfFreeing() override { FFreed = true; }

 protected:
  void Execute() override {}

 private:
  std::atomic<bool>& FFreed;
};

TEST_F(ThreadTest, AFreeOnEndThreadDeletesItself) {
  std::atomic<bool> Freed{false};
  auto Worker = std::make_unique<TSelfFreeing>(Freed);
  Worker->SetFreeOnTerminate(true);
  Worker->Start();
  (void)Worker.release();  // it owns itself from its start on
  EXPECT_TRUE(H.Backend->PumpUntil([&] { return Freed.load(); }, Patience));
}

TEST_F(ThreadTest, DestroyingARunningThreadTerminatesAndWaits) {
  std::atomic<bool> Left{false};
  {
    TBodyThread Worker([&](TBodyThread& Self) {
      while (!Self.Terminated())
        std::this_thread::yield();
      Left = true;
    });
    Worker.Start();
  }
  EXPECT_TRUE(Left);
}

TEST_F(ThreadTest, WaitForRefusesWhatWouldHangOrCrash) {
  TBodyThread NeverStarted([](TBodyThread&) {});
  EXPECT_THROW(NeverStarted.WaitFor(), Exception);
  std::string Caught;
  TBodyThread Self([&](TBodyThread& Me) {
    try {
      Me.WaitFor();
    } catch (const Exception& E) {
      Caught = E.Message();
    }
  });
  Self.Start();
  Self.WaitFor();
  EXPECT_EQ(Caught, "A thread cannot wait for itself");
}

TEST_F(ThreadTest, WaitForOffTheMainThreadJoinsPlainly) {
  TBodyThread Inner([](TBodyThread& Me) { Me.SetReturnValue(3); });
  int Got = 0;
  TBodyThread Outer([&](TBodyThread&) {
    Inner.Start();
    Got = Inner.WaitFor();
  });
  Outer.Start();
  Outer.WaitFor();
  EXPECT_EQ(Got, 3);
}

TEST(ThreadWithoutApplication, SynchronizeIsRefusedRatherThanRunOnTheWrongThread) {
  EXPECT_THROW(TThread::Synchronize(nullptr, [] {}), Exception);
}

TEST(ThreadAfterApplication, AWorkerThatSynchronizesAfterTheApplicationEndedGetsAFailure) {
  std::atomic<bool> Go{false};
  std::string Caught;
  auto H = MakeHeadlessApplication();
  TBodyThread Worker([&](TBodyThread& Self) {
    while (!Go)
      std::this_thread::yield();
    try {
      Self.Synchronize([] {});
    } catch (const Exception& E) {
      Caught = E.Message();
    }
  });
  Worker.Start();
  H.App.reset();
  Go = true;
  Worker.WaitFor();
  EXPECT_EQ(Caught, "The application has ended");
}

TEST(CrossThreadCalls, ACallerWaitingWhenTheQueueClosesIsReleasedWithAFailure) {
  std::atomic<bool> Queued{false};
  TCrossThreadCalls Calls([&] { Queued = true; });
  std::string Caught;
  std::thread Caller([&] {
    try {
      Calls.CallAndWait([] {});
    } catch (const Exception& E) {
      Caught = E.Message();
    }
  });
  while (!Queued)
    std::this_thread::yield();
  Calls.Close();
  Caller.join();
  EXPECT_EQ(Caught, "The application has ended");
  EXPECT_THROW(Calls.CallAndWait([] {}), Exception);
}

}  // namespace

}  // namespace vantor
