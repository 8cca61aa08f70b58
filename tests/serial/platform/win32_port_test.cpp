// The Win32 backend under Wine, over a pseudo-terminal that the test's wrapper maps as a
// COM port (VANTOR_TEST_COM) with an echoing peer on its other end.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "discovery/port_report.h"
#include "framework/headless/headless.h"
#include "serial/port_backend.h"
#include "serial/port_failure.h"
#include "serial/sio_comm.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;

std::string TestPortPath() {
  const char* Name = std::getenv("VANTOR_TEST_COM");
  return Name == nullptr ? std::string() : std::string("\\\\.\\") + Name;
}

class Win32Port : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestPortPath().empty()) {
      GTEST_SKIP() << "no COM port mapped to a pty (run through run-with-pty)";
    }
    Port = Backend->OpenPort(TestPortPath());
    ASSERT_NE(Port, kInvalidSioHandle) << "error " << Backend->LastError();
    TSioDCB Dcb;
    ASSERT_TRUE(Backend->GetCommState(Port, Dcb));
    Dcb.BaudRate = 115200;
    Dcb.ByteSize = 8;
    Dcb.Parity = 0;
    Dcb.StopBits = 0;
    Dcb.Flags = 0x1011;
    ASSERT_TRUE(Backend->SetCommState(Port, Dcb)) << Backend->LastError();
    ASSERT_TRUE(Backend->SetupComm(Port, 4096, 2048));
    TSioCommTimeouts Timeouts;
    Timeouts.ReadIntervalTimeout = 0xFFFFFFFF;  // reads return at once
    ASSERT_TRUE(Backend->SetCommTimeouts(Port, Timeouts));
    ASSERT_TRUE(Backend->SetCommMask(Port, kEvRxChar | kEvErr | kEvBreak));
    Drain();
  }
  void TearDown() override {
    if (Port != kInvalidSioHandle) {
      Stop.SetEvent();
      if (Waiter.valid()) {
        Waiter.wait_for(10s);
      }
      Backend->ClosePort(Port);
    }
  }

  // Waits (bounded) for Count bytes in the input queue, then reads them all.
  std::string ReceiveAtLeast(std::uint32_t Count) {
    TSioPortStatus Status;
    for (int I = 0; I < 2000 && Status.InQueue < Count; ++I) {
      EXPECT_TRUE(Backend->ClearCommError(Port, Status));
      std::this_thread::sleep_for(5ms);
    }
    return ReadWaiting();
  }
  // Under Wine a read with nothing waiting pends until its time limit, hence a short one.
  std::string ReadWaiting(std::uint32_t TimeoutMs = 1000) {
    char Buf[256];
    std::uint32_t Got = 0;
    EXPECT_TRUE(Backend->Read(Port, Buf, sizeof Buf, Completion, TimeoutMs, Got))
        << Backend->LastError();
    return std::string(Buf, Got);
  }
  void Drain() {
    std::this_thread::sleep_for(20ms);
    while (!ReadWaiting(50).empty()) {
    }
  }
  void Send(const std::string& Bytes) {
    std::uint32_t Put = 0;
    ASSERT_TRUE(Backend->Write(Port, Bytes.data(), static_cast<std::uint32_t>(Bytes.size()),
                               Completion, 5000, Put));
    ASSERT_EQ(Put, Bytes.size());
  }
  void StartWait() {
    Waiter = std::async(std::launch::async,
                        [this] { return Backend->WaitCommEvent(Port, EvtMask, Wake, Stop); });
  }
  TSioWaitOutcome Outcome() {
    if (Waiter.wait_for(10s) != std::future_status::ready) {
      ADD_FAILURE() << "the wait did not end";
      Stop.SetEvent();
    }
    return Waiter.get();
  }

  std::unique_ptr<TSioPortBackend> Backend = MakePlatformPortBackend();
  TSioHandle Port = kInvalidSioHandle;
  TSioWaitEvent Completion, Wake, Stop, Close, Flush;
  std::uint32_t EvtMask = 0;
  std::future<TSioWaitOutcome> Waiter;
};

TEST(Win32Backend, MissingPortIsNotFound) {
  auto Backend = MakePlatformPortBackend();
  EXPECT_EQ(Backend->PlatformId(), 2);
  EXPECT_EQ(Backend->OpenPort("\\\\.\\COM49"), kInvalidSioHandle);
  EXPECT_EQ(Backend->LastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(Backend->SystemErrorText(ERROR_FILE_NOT_FOUND).empty());
}

// One table for the component's backend and the port report's probe: both ask this.
TEST(Win32Backend, ErrorCodesMapToWhatStandsInTheWay) {
  struct Case {
    DWORD Code;
    TPortFailure Opening, Open;
  };
  using F = TPortFailure;
  const Case Cases[] = {
      {ERROR_FILE_NOT_FOUND, F::pfNotFound, F::pfNotFound},
      {ERROR_PATH_NOT_FOUND, F::pfNotFound, F::pfNotFound},
      {ERROR_ACCESS_DENIED, F::pfBusy, F::pfRemoved},
      {ERROR_SHARING_VIOLATION, F::pfBusy, F::pfBusy},
      {ERROR_BAD_COMMAND, F::pfOther, F::pfRemoved},
      {ERROR_GEN_FAILURE, F::pfOther, F::pfRemoved},
      {ERROR_OPERATION_ABORTED, F::pfOther, F::pfRemoved},
      {ERROR_DEVICE_REMOVED, F::pfRemoved, F::pfRemoved},
      {ERROR_DEVICE_NOT_CONNECTED, F::pfRemoved, F::pfRemoved},
      {ERROR_INVALID_HANDLE, F::pfOther, F::pfOther},
  };
  auto Backend = MakePlatformPortBackend();
  for (const Case& Item : Cases) {
    EXPECT_EQ(ClassifyPortError(Item.Code, TPortErrorPhase::Opening), Item.Opening) << Item.Code;
    EXPECT_EQ(ClassifyPortError(Item.Code, TPortErrorPhase::Open), Item.Open) << Item.Code;
    EXPECT_EQ(Backend->ErrorCategory(Item.Code, TPortErrorPhase::Opening), Item.Opening)
        << Item.Code;
    EXPECT_EQ(Backend->ErrorCategory(Item.Code, TPortErrorPhase::Open), Item.Open) << Item.Code;
  }
}

// The report and the component over one real port each way; the messages stay the
// component's, chosen by the code (error 3 is not found, yet keeps the generic message).
TEST(Win32Backend, TheReportAndTheComponentAgreeOnWhatStandsInTheWay) {
  const THeadlessApp Headless = MakeHeadlessApplication();
  struct Case {
    std::string Name;
    TPortFailure Failure;
    std::string Message;  // of the component; empty: it opens
  };
  std::vector<Case> Cases = {
      {"COM49", TPortFailure::pfNotFound, "Specified device not found (\\\\.\\COM49)."},
      {"COM49\\x", TPortFailure::pfNotFound,
       "Can't open specified device \\\\.\\COM49\\x (Error 3, "},
  };
  if (!TestPortPath().empty())
    Cases.push_back({std::getenv("VANTOR_TEST_COM"), TPortFailure::pfNone, ""});
  for (const Case& Item : Cases) {
    SCOPED_TRACE(Item.Name);
    const TPortReport Report = MakePortReport({Item.Name}, false);
    ASSERT_EQ(Report.size(), 1u);
    EXPECT_EQ(Report[0].State, Item.Failure);
    TSioComm Comm(nullptr);
    Comm.SetSkipClosePause(true);
    Comm.SetDeviceName(Item.Name);
    try {
      Comm.Open();
      EXPECT_EQ(Item.Failure, TPortFailure::pfNone);
    } catch (const ESioCommError& E) {
      EXPECT_EQ(E.Category(), Item.Failure);
      EXPECT_EQ(E.Code(), Report[0].ErrorCode);
      EXPECT_EQ(std::string(E.what()).rfind(Item.Message, 0), 0u) << E.what();
    }
  }
}

TEST(Win32Backend, SystemTextIsUtf8) {
  auto Backend = MakePlatformPortBackend();
  const std::string Text = Backend->SystemErrorText(ERROR_ACCESS_DENIED);
  EXPECT_NE(Text.find("denied"), std::string::npos) << Text;
}

TEST_F(Win32Port, LineSettingsReadBack) {
  TSioDCB Dcb;
  ASSERT_TRUE(Backend->GetCommState(Port, Dcb));
  EXPECT_EQ(Dcb.DCBlength, 28u);
  EXPECT_EQ(Dcb.BaudRate, 115200u);
  EXPECT_EQ(Dcb.ByteSize, 8);
  EXPECT_EQ(Dcb.Parity, 0);
  EXPECT_EQ(Dcb.StopBits, 0);
  EXPECT_NE(Dcb.Flags & kDcbBinary, 0u);
}

TEST_F(Win32Port, RequestIsAnsweredAndReadBack) {
  Send("ping");
  EXPECT_EQ(ReceiveAtLeast(4), "ping");
  EXPECT_EQ(ReadWaiting(200), "") << "nothing more has come";
}

TEST_F(Win32Port, WriteThreadWriteCompletes) {
  std::uint32_t Put = 0;
  ASSERT_EQ(Backend->WriteAbandonable(Port, "frame", 5, Completion, Close, Flush, Put),
            TSioWriteOutcome::Written);
  EXPECT_EQ(Put, 5u);
  EXPECT_EQ(ReceiveAtLeast(5), "frame");
}

TEST_F(Win32Port, WaitPendsThenReportsArrivingBytes) {
  StartWait();
  EXPECT_EQ(Waiter.wait_for(300ms), std::future_status::timeout) << "nothing has arrived yet";
  Send("ab");
  ASSERT_EQ(Outcome(), TSioWaitOutcome::Events);
  EXPECT_NE(EvtMask & kEvRxChar, 0u);
  EXPECT_EQ(ReceiveAtLeast(2), "ab");
}

TEST_F(Win32Port, StopEndsAPendingWait) {
  StartWait();
  EXPECT_EQ(Waiter.wait_for(300ms), std::future_status::timeout);
  Stop.SetEvent();
  EXPECT_EQ(Outcome(), TSioWaitOutcome::Stopped);
  // The cancelled wait has let go of the port: it closes and opens again.
  Backend->ClosePort(Port);
  Port = Backend->OpenPort(TestPortPath());
  EXPECT_NE(Port, kInvalidSioHandle);
}

TEST_F(Win32Port, StopSetBeforeTheWaitIsNoticed) {
  Stop.SetEvent();
  EXPECT_EQ(Backend->WaitCommEvent(Port, EvtMask, Wake, Stop), TSioWaitOutcome::Stopped);
}

TEST_F(Win32Port, StatusAndPurge) {
  Send("xyz");
  TSioPortStatus Status;
  for (int I = 0; I < 2000 && Status.InQueue < 3; ++I) {
    ASSERT_TRUE(Backend->ClearCommError(Port, Status));
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(Status.InQueue, 3u);
  ASSERT_TRUE(
      Backend->PurgeComm(Port, kPurgeRxAbort | kPurgeRxClear | kPurgeTxAbort | kPurgeTxClear));
  ASSERT_TRUE(Backend->ClearCommError(Port, Status));
  EXPECT_EQ(Status.InQueue, 0u);
}

}  // namespace

}  // namespace vantor
