// Waiting for port events on Linux: received bytes, stop requests, bytes left unread and a
// vanished device, none of which may make the wait spin.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "pty_pair.h"
#include "serial/port_backend.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;

// A generous sanity bound for CPU spent during a 300 ms wait: a spinning wait uses ~300.
constexpr double kIdleCpuBoundMs = 100;

class PosixWait : public ::testing::Test {
 protected:
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
    Waiter = std::async(std::launch::async,
                        [this] { return Backend->WaitCommEvent(Port, EvtMask, Wake, Stop); });
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
    EXPECT_EQ(Waiter.wait_for(300ms), std::future_status::timeout) << "the wait ended";
    EXPECT_LT(ProcessCpuMs() - Before, kIdleCpuBoundMs) << "the wait spins";
  }
  void ReadAll() {
    char Buf[256];
    std::uint32_t Got = 0;
    ASSERT_TRUE(Backend->Read(Port, Buf, sizeof Buf, Completion, 1000, Got));
  }

  std::unique_ptr<TSioPortBackend> Backend = MakePlatformPortBackend();
  TPtyPair Pty;
  TSioHandle Port = kInvalidSioHandle;
  TSioWaitEvent Wake, Stop, Completion;
  std::uint32_t EvtMask = 0;
  std::future<TSioWaitOutcome> Waiter;
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

}  // namespace

}  // namespace vantor
