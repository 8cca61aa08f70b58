// Waiting for port events on Linux: received bytes, stop requests, bytes left unread and a
// vanished device, none of which may make the wait spin.
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "pty_pair.h"
#include "serial/posix/posix_port_backend.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;

// A generous sanity bound for CPU spent during a 300 ms wait: a spinning wait uses ~300.
constexpr double kIdleCpuBoundMs = 100;
// Times the waiting thread may go to sleep during a 300 ms wait: once, and a few more for
// the system; a wait that looks again every 10 ms sleeps about 30 times. The thread's own
// count, since other threads (a sanitizer's among them) sleep and wake on their own.
constexpr long kIdleWakeupBound = 5;

long VoluntarySwitches(pid_t Thread) {
  std::ifstream Status("/proc/self/task/" + std::to_string(Thread) + "/status");
  const std::string Key = "voluntary_ctxt_switches:";
  for (std::string Line; std::getline(Status, Line);)
    if (Line.starts_with(Key))
      return std::stol(Line.substr(Key.size()));
  ADD_FAILURE() << "no switch count for thread " << Thread;
  return 0;
}

// A driver that counts line events, on a pty, whose own driver counts none.
class TCountingBackend : public TPosixPortBackend {
 public:
  void Bump(std::uint32_t TSioLineCounts::*Count) {
    std::lock_guard Guard(FLock);
    ++(FCounts.*Count);
  }

 protected:
  bool ReadLineCounts(int /*Port*/, TSioLineCounts& Counts) override {
    std::lock_guard Guard(FLock);
    Counts = FCounts;
    return true;
  }

 private:
  std::mutex FLock;
  TSioLineCounts FCounts;
};

class PosixWait : public ::testing::Test {
 protected:
  explicit PosixWait(
      std::unique_ptr<TPosixPortBackend> Made = std::make_unique<TPosixPortBackend>())
      : Backend(std::move(Made)) {}
  void SetUp() override {
    Port = Backend->OpenPort(Pty.SlavePath());
    ASSERT_NE(Port, kInvalidSioHandle);
    ASSERT_TRUE(Backend->SetCommMask(Port, kEvRxChar | kEvErr | kEvBreak));
  }
  void TearDown() override {
    Stop.SetEvent();
    if (Waiter.valid()) {
      Waiter.wait_for(10s);
    }
    Backend->ClosePort(Port);
  }

  void StartWait() {
    EvtMask = 0xDEAD;
    WaiterThread = 0;
    Waiter = std::async(std::launch::async, [this] {
      WaiterThread = ::gettid();
      return Backend->WaitCommEvent(Port, EvtMask, Wake, Stop);
    });
  }
  TSioWaitOutcome Outcome() {
    if (Waiter.wait_for(10s) != std::future_status::ready) {
      ADD_FAILURE() << "the wait did not end";
      Stop.SetEvent();
      Waiter.wait();
    }
    return Waiter.get();
  }
  // The wait started last stays blocked for 300 ms and spends (nearly) no CPU meanwhile.
  void ExpectBlockedQuietly() {
    const double Before = ProcessCpuMs();
    while (WaiterThread == 0)
      std::this_thread::yield();
    const long Switches = VoluntarySwitches(WaiterThread);
    EXPECT_EQ(Waiter.wait_for(300ms), std::future_status::timeout) << "the wait ended";
    EXPECT_LT(ProcessCpuMs() - Before, kIdleCpuBoundMs) << "the wait spins";
    EXPECT_LE(VoluntarySwitches(WaiterThread) - Switches, kIdleWakeupBound)
        << "the wait looks again and again";
  }
  void ReadAll() {
    char Buf[256];
    std::uint32_t Got = 0;
    ASSERT_TRUE(Backend->Read(Port, Buf, sizeof Buf, Completion, 1000, Got));
  }

  std::unique_ptr<TPosixPortBackend> Backend;
  TPtyPair Pty;
  TSioHandle Port = kInvalidSioHandle;
  TSioWaitEvent Wake, Stop, Completion;
  std::uint32_t EvtMask = 0;
  std::future<TSioWaitOutcome> Waiter;
  std::atomic<pid_t> WaiterThread = 0;
};

TEST_F(PosixWait, StopSetBeforeTheWaitIsNoticed) {
  Stop.SetEvent();
  EXPECT_EQ(Backend->WaitCommEvent(Port, EvtMask, Wake, Stop), TSioWaitOutcome::Stopped);
  Pty.Send("x");
  EXPECT_EQ(Backend->WaitCommEvent(Port, EvtMask, Wake, Stop), TSioWaitOutcome::Stopped)
      << "even with bytes waiting";
}

TEST_F(PosixWait, StopEndsAPendingWait) {
  StartWait();
  ExpectBlockedQuietly();
  Stop.SetEvent();
  EXPECT_EQ(Outcome(), TSioWaitOutcome::Stopped);
}

TEST_F(PosixWait, WakeFromOutsideEndsTheWaitWithoutEvents) {
  StartWait();
  Wake.SetEvent();
  EXPECT_EQ(Outcome(), TSioWaitOutcome::Events);
  EXPECT_EQ(EvtMask, 0u);
}

TEST_F(PosixWait, ArrivingBytesReportRxChar) {
  StartWait();
  Pty.Send("abc");
  EXPECT_EQ(Outcome(), TSioWaitOutcome::Events);
  EXPECT_EQ(EvtMask, kEvRxChar);
  ReadAll();

  Pty.Send("d");  // bytes already there when the wait is armed count too
  std::this_thread::sleep_for(20ms);
  StartWait();
  EXPECT_EQ(Outcome(), TSioWaitOutcome::Events);
  EXPECT_EQ(EvtMask, kEvRxChar);
}

TEST_F(PosixWait, BytesLeftUnreadAreNotReportedAgainUntilMoreArrive) {
  Pty.Send("abc");
  StartWait();
  ASSERT_EQ(Outcome(), TSioWaitOutcome::Events);

  char Buf[2];
  std::uint32_t Got = 0;
  ASSERT_TRUE(Backend->Read(Port, Buf, 2, Completion, 1000, Got));  // one byte stays
  StartWait();
  ExpectBlockedQuietly();

  Pty.Send("d");
  EXPECT_EQ(Outcome(), TSioWaitOutcome::Events);
  EXPECT_EQ(EvtMask, kEvRxChar);
  TSioPortStatus Status;
  ASSERT_TRUE(Backend->ClearCommError(Port, Status));
  EXPECT_EQ(Status.InQueue, 2u) << "the byte left over and the new one";
}

TEST_F(PosixWait, BytesAreNotReportedWhenTheMaskLacksRxChar) {
  ASSERT_TRUE(Backend->SetCommMask(Port, kEvErr));
  StartWait();
  Pty.Send("abc");
  ExpectBlockedQuietly();
}

TEST_F(PosixWait, EmptyMaskIsRefused) {
  ASSERT_TRUE(Backend->SetCommMask(Port, 0));
  EXPECT_EQ(Backend->WaitCommEvent(Port, EvtMask, Wake, Stop), TSioWaitOutcome::Refused);
}

TEST_F(PosixWait, HangUpIsReportedOnceThenOnlyStopEndsTheWait) {
  StartWait();
  Pty.CloseMaster();
  EXPECT_EQ(Outcome(), TSioWaitOutcome::Events);
  EXPECT_EQ(EvtMask, kEvErr);
  TSioPortStatus Status;
  ASSERT_TRUE(Backend->ClearCommError(Port, Status));
  EXPECT_EQ(Status.Errors, kCeMode);

  StartWait();
  ExpectBlockedQuietly();
  Stop.SetEvent();
  EXPECT_EQ(Outcome(), TSioWaitOutcome::Stopped);
}

TEST_F(PosixWait, HangUpWithBytesLeftUnreadDoesNotSpinEither) {
  Pty.Send("abc");
  StartWait();
  ASSERT_EQ(Outcome(), TSioWaitOutcome::Events);
  StartWait();  // the bytes stay unread
  Pty.CloseMaster();
  EXPECT_EQ(Outcome(), TSioWaitOutcome::Events);
  EXPECT_EQ(EvtMask, kEvErr);
  StartWait();
  ExpectBlockedQuietly();
}

// Breaks and line errors arrive with a byte, which wakes the wait; the counts at open are
// the baseline. Each is reported alone, before its byte, so that the dispatch's line check
// still finds its error flag.
class PosixLineEvents : public PosixWait {
 protected:
  PosixLineEvents() : PosixWait(std::make_unique<TCountingBackend>()) {}
  TCountingBackend& Counting() { return static_cast<TCountingBackend&>(*Backend); }
};

TEST_F(PosixLineEvents, BreaksAndLineErrorsAreReportedFromTheGrowthOfTheCounts) {
  struct Case {
    std::uint32_t TSioLineCounts::*Count;
    std::uint32_t Event, Error;
  };
  const Case Cases[] = {
      {&TSioLineCounts::Break, kEvBreak, kCeBreak},
      {&TSioLineCounts::Frame, kEvErr, kCeFrame},
      {&TSioLineCounts::Parity, kEvErr, kCeRxParity},
      {&TSioLineCounts::Overrun, kEvErr, kCeOverrun},
      {&TSioLineCounts::BufOverrun, kEvErr, kCeRxOver},
  };
  for (const Case& Item : Cases) {
    SCOPED_TRACE(Item.Error);
    Counting().Bump(Item.Count);
    Pty.Send(std::string(1, '\0'));
    StartWait();
    ASSERT_EQ(Outcome(), TSioWaitOutcome::Events);
    EXPECT_EQ(EvtMask, Item.Event);
    TSioPortStatus Status;
    ASSERT_TRUE(Backend->ClearCommError(Port, Status));
    EXPECT_EQ(Status.Errors, Item.Error);
    StartWait();
    ASSERT_EQ(Outcome(), TSioWaitOutcome::Events);
    EXPECT_EQ(EvtMask, kEvRxChar) << "the byte that came with it";
    ReadAll();
  }
}

TEST_F(PosixLineEvents, CountsFromBeforeTheOpenAndUnwatchedEventsAreNotReported) {
  Backend->ClosePort(Port);
  Counting().Bump(&TSioLineCounts::Frame);  // cumulative for the tty: an earlier user's
  Port = Backend->OpenPort(Pty.SlavePath());
  ASSERT_NE(Port, kInvalidSioHandle);
  ASSERT_TRUE(Backend->SetCommMask(Port, kEvRxChar | kEvErr));
  Counting().Bump(&TSioLineCounts::Break);  // not watched
  Pty.Send("x");
  StartWait();
  ASSERT_EQ(Outcome(), TSioWaitOutcome::Events);
  EXPECT_EQ(EvtMask, kEvRxChar);
  TSioPortStatus Status;
  ASSERT_TRUE(Backend->ClearCommError(Port, Status));
  EXPECT_EQ(Status.Errors, kCeBreak) << "the flag is the port's, whatever the mask";
}

TEST_F(PosixLineEvents, TheStatusQueryReadsTheCountsWithoutAWait) {
  Counting().Bump(&TSioLineCounts::Parity);
  TSioPortStatus Status;
  ASSERT_TRUE(Backend->ClearCommError(Port, Status));
  EXPECT_EQ(Status.Errors, kCeRxParity);
  ASSERT_TRUE(Backend->ClearCommError(Port, Status));
  EXPECT_EQ(Status.Errors, 0u) << "reported once";
}

}  // namespace

}  // namespace vantor
