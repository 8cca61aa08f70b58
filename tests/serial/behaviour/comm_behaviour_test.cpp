// The component's behaviour, the same scenarios over every port: the real component, set up
// as the window's Comport1 (115200 8N1, DTR and RTS on, break, error, received bytes, sent),
// inside the headless application, its handlers bound as the window binds them. A scenario
// that the port cannot play is skipped with the reason.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "framework/headless/headless.h"
#include "framework/thread.h"
#include "serial/sio_comm.h"
#include "serial/sio_errors.h"
#include "test_port.h"

namespace vantor {

namespace {

using TTestPortMaker = std::unique_ptr<TTestPort> (*)();

const std::string kHandshake("\xAA\x05\x01\x00\xBB", 5);

class CommBehaviour : public ::testing::TestWithParam<TTestPortMaker> {
 protected:
  CommBehaviour() : App(MakeHeadlessApplication()), Port(GetParam()()) {}

  void SetUp() override {
    if (const std::string Why = Port->Unavailable(); !Why.empty()) {
      GTEST_SKIP() << Why;
    }
  }
  void TearDown() override {
    if (Comm) {
      Comm->SetOnRxChar(nullptr);
      Comm->SetOnOpen(nullptr);
      Comm->SetOnClose(nullptr);
      Comm->SetOnError(nullptr);
      Comm->SetOnBreak(nullptr);
      Comm.reset();
    }
  }

  TSioComm& MakeComm() {
    Comm = std::make_unique<TSioComm>(nullptr, Port->MakeBackend());
    Comm->SetName("Comport1");
    Comm->SetDeviceName(Port->DeviceName());
    Comm->SetBaudrate(br115200);
    Comm->FlowControl().SetControlDtr(dtrEnabled);
    Comm->FlowControl().SetControlRts(rtsEnabled);
    Comm->SetMonitorEvents({ceBreak, ceError, ceRxChar, ceTxEmpty});
    ISerialPort& Contract = *Comm;
    Comm->SetOnRxChar([this, &Contract](TObject* Sender, int Count) {
      OnMainThread = OnMainThread && TThread::IsMainThread();
      // Also inside the destructor's Close: the whole component, contract included, exists.
      EXPECT_NE(dynamic_cast<ISerialPort*>(Sender), nullptr);
      std::string Bytes(static_cast<std::size_t>(Count), '\0');
      Bytes.resize(static_cast<std::size_t>(Contract.ReadBuf(Bytes.data(), Count)));
      Received += Bytes;
      if (AfterRead) {
        AfterRead();
      }
    });
    Comm->SetOnClose([this](TObject*) {
      EXPECT_FALSE(Comm && Comm->Active());
      ++Closes;
    });
    Comm->SetOnError([this, &Contract](TObject*, int Errors) {
      LineErrors |= Errors;
      if (CloseOnError) {
        Contract.Close();
      }
    });
    Comm->SetOnBreak([this](TObject*) { ++Breaks; });
    return *Comm;
  }

  void Write(const std::string& Bytes) {
    ASSERT_EQ(Comm->WriteBuf(Bytes.data(), static_cast<int>(Bytes.size())),
              static_cast<int>(Bytes.size()));
  }
  // Generous, so that a fault fails the test instead of hanging it.
  bool PumpUntil(const std::function<bool()>& Done, int Milliseconds = 10000) {
    return App.Backend->PumpUntil(Done, std::chrono::milliseconds(Milliseconds));
  }
  bool ReceivedAtLeast(std::size_t Count) {
    return PumpUntil([&] { return Received.size() >= Count; });
  }
  // Writes Bytes and gives the echo time to come back and the event thread to queue its
  // dispatch, serving nothing on the main thread meanwhile. Callers retry when it was not
  // long enough: the dispatch then never runs, as the stop came first.
  void LeaveAnEchoQueued(const std::string& Bytes) {
    Write(Bytes);
    std::this_thread::sleep_for(std::chrono::milliseconds(Port->SettleMs()));
  }

  THeadlessApp App;
  std::unique_ptr<TTestPort> Port;
  std::unique_ptr<TSioComm> Comm;
  std::string Received;
  bool OnMainThread = true;
  bool CloseOnError = true;
  int Closes = 0;
  int Breaks = 0;
  int LineErrors = 0;
  std::function<void()> AfterRead;
};

TEST_P(CommBehaviour, ARequestIsAnsweredThroughOnRxCharOnTheMainThread) {
  MakeComm().Open();
  ASSERT_TRUE(Comm->Active());
  EXPECT_EQ(Comm->GetDeviceName(), Port->DevicePath());
  Write(kHandshake);
  ASSERT_TRUE(ReceivedAtLeast(kHandshake.size()));
  EXPECT_EQ(Received, kHandshake);
  EXPECT_TRUE(OnMainThread);
  Comm->Close();
  EXPECT_FALSE(Comm->Active());
  EXPECT_EQ(Closes, 1);
  Comm->Close();  // closed: nothing at all
  EXPECT_EQ(Closes, 1);
}

TEST_P(CommBehaviour, BytesWrittenFromOnOpenAndAfterLeaveInCallOrder) {
  TSioComm& Serial = MakeComm();
  Serial.SetOnOpen([&](TObject*) { Write(kHandshake); });
  Serial.Open();
  std::string Expected = kHandshake;
  for (char Index = 'a'; Index <= 'z'; ++Index) {
    const std::string Frame = std::string("\xAA\x06\x02", 3) + Index + "\xBB";
    Write(Frame);
    Expected += Frame;
  }
  ASSERT_TRUE(ReceivedAtLeast(Expected.size()));
  EXPECT_EQ(Received, Expected);
  Serial.Close();
}

TEST_P(CommBehaviour, CloseFromInsideTheHandlerThenOpenAgain) {
  MakeComm();
  AfterRead = [this] { Comm->Close(); };
  Comm->Open();
  Write(kHandshake);
  ASSERT_TRUE(PumpUntil([&] { return Closes == 1; }));
  EXPECT_FALSE(Comm->Active());
  EXPECT_EQ(Received, kHandshake);

  AfterRead = nullptr;
  Received.clear();
  Comm->Open();
  ASSERT_TRUE(Comm->Active()) << "the port was released";
  Write(kHandshake);
  ASSERT_TRUE(ReceivedAtLeast(kHandshake.size()));
  EXPECT_EQ(Received, kHandshake);
  Comm->Close();
  EXPECT_EQ(Closes, 2);
}

TEST_P(CommBehaviour, ManyOpenCloseCyclesLeakNothing) {
  MakeComm().Open();  // the first cycle makes whatever lives as long as the process
  Comm->Close();
  const int Before = Port->CountResources();
  for (int Cycle = 0; Cycle < Port->OpenCloseCycles(); ++Cycle) {
    Comm->Open();
    ASSERT_TRUE(Comm->Active()) << "cycle " << Cycle;
    Comm->Close();
  }
  EXPECT_EQ(Closes, Port->OpenCloseCycles() + 1);
  // Ended threads may take a moment to leave the process's list.
  for (int Look = 0; Look < 1000 && Port->CountResources() > Before; ++Look) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(Port->CountResources(), Before);
}

TEST_P(CommBehaviour, AMissingDeviceIsNotFound) {
  TSioComm& Serial = MakeComm();
  int Opens = 0;
  Serial.SetOnOpen([&](TObject*) { ++Opens; });
  Serial.SetDeviceName(Port->MissingDeviceName());
  try {
    Serial.Open();
    ADD_FAILURE() << "opened";
  } catch (const ESioCommError& E) {
    EXPECT_EQ(E.Message(), "Specified device not found (" + Port->MissingDevicePath() + ").");
    EXPECT_EQ(E.Category(), TPortFailure::pfNotFound);
  }
  EXPECT_FALSE(Serial.Active());
  EXPECT_EQ(Opens + Closes, 0);
}

TEST_P(CommBehaviour, APortHeldByAnotherProgramIsBusyUntilItLetsGo) {
  if (const std::string Why = Port->CannotBeHeldElsewhere(); !Why.empty()) {
    GTEST_SKIP() << Why;
  }
  TSioComm& Serial = MakeComm();
  Port->HoldElsewhere();
  try {
    Serial.Open();
    ADD_FAILURE() << "opened";
  } catch (const ESioCommError& E) {
    EXPECT_EQ(
        E.Message().rfind("Can't open specified device " + Port->DevicePath() + " (Error ", 0), 0u)
        << E.Message();
    EXPECT_EQ(E.Category(), TPortFailure::pfBusy);
  }
  EXPECT_FALSE(Serial.Active());
  Port->ReleaseElsewhere();
  Serial.Open();
  EXPECT_TRUE(Serial.Active());
  Serial.Close();
}

TEST_P(CommBehaviour, AVanishedDeviceIsReportedAsAnErrorAndTheHandlerCloses) {
  if (const std::string Why = Port->CannotHangUp(); !Why.empty()) {
    GTEST_SKIP() << Why;
  }
  MakeComm().Open();
  Port->HangUp();
  ASSERT_TRUE(PumpUntil([&] { return Closes == 1; }));
  EXPECT_NE(LineErrors, 0);
  EXPECT_FALSE(Comm->Active());
}

TEST_P(CommBehaviour, BreaksAndLineErrorsReachTheirHandlers) {
  if (const std::string Why = Port->CannotSendLineEvents(); !Why.empty()) {
    GTEST_SKIP() << Why;
  }
  CloseOnError = false;
  MakeComm().Open();
  Port->SendFramingError();
  ASSERT_TRUE(PumpUntil([&] { return LineErrors != 0; }));
  EXPECT_EQ(LineErrors, static_cast<int>(kCeFrame));
  Port->SendBreak();
  ASSERT_TRUE(PumpUntil([&] { return Breaks == 1; }));
  // As the controller does: a break closes the port, once.
  Comm->SetOnBreak([this](TObject*) { Comm->Close(); });
  Port->SendBreak();
  ASSERT_TRUE(PumpUntil([&] { return Closes == 1; }));
  EXPECT_FALSE(Comm->Active());
}

TEST_P(CommBehaviour, ADispatchQueuedWhenCloseIsCalledRunsInsideItWithThePortOpen) {
  bool RanInside = false;
  for (int Attempt = 0; Attempt < 5 && !RanInside; ++Attempt) {
    bool InClose = false;
    Received.clear();
    AfterRead = [&] {
      if (!InClose) {
        return;
      }
      RanInside = true;
      EXPECT_TRUE(Comm->Active());
      // Its write thread is already being stopped: nothing is queued, nothing raised.
      EXPECT_EQ(Comm->WriteBuf("x", 1), 0);
    };
    MakeComm().Open();
    LeaveAnEchoQueued(kHandshake);
    InClose = true;
    Comm->Close();
    InClose = false;
    EXPECT_FALSE(Comm->Active());
    if (RanInside) {
      EXPECT_EQ(Received, kHandshake);
    }
  }
  EXPECT_TRUE(RanInside);
}

// As in the window: a tick closes the port, a reply queued meanwhile runs inside that Close,
// and a handler below it closes the port and opens the next one.
TEST_P(CommBehaviour, ACloseAndOpenNestedInsideAnotherClosesWaitLeaveTheNewPortWorking) {
  bool Nested = false;
  for (int Attempt = 0; Attempt < 5 && !Nested; ++Attempt) {
    bool InClose = false;
    AfterRead = [&] {
      if (!InClose) {
        return;
      }
      Nested = true;
      InClose = false;
      Comm->Close();
      Comm->Open();
    };
    MakeComm().Open();
    LeaveAnEchoQueued(kHandshake);
    InClose = true;
    Comm->Close();
    InClose = false;
    if (!Nested) {
      continue;
    }
    ASSERT_TRUE(Comm->Active());
    EXPECT_EQ(Closes, 1);
    Received.clear();
    Write(kHandshake);
    EXPECT_TRUE(ReceivedAtLeast(kHandshake.size())) << "the new port lost its threads";
    Comm->Close();
    EXPECT_EQ(Closes, 2);
  }
  EXPECT_TRUE(Nested);
}

TEST_P(CommBehaviour, DestroyingAnOpenPortRunsAQueuedDispatchWithoutOnCloseAndReleasesIt) {
  bool Ran = false;
  for (int Attempt = 0; Attempt < 5 && !Ran; ++Attempt) {
    Received.clear();
    AfterRead = [&] { Ran = true; };
    MakeComm().Open();
    LeaveAnEchoQueued(kHandshake);
    Comm.reset();  // the handler reads through the contract meanwhile
    EXPECT_EQ(Closes, 0);
  }
  EXPECT_TRUE(Ran);
  EXPECT_EQ(Received, kHandshake);
  AfterRead = nullptr;
  MakeComm().Open();
  EXPECT_TRUE(Comm->Active()) << "the port was released";
  Comm->Close();
}

INSTANTIATE_TEST_SUITE_P(Port, CommBehaviour, ::testing::Values(&MakeTestPort),
                         [](const ::testing::TestParamInfo<TTestPortMaker>& Info) {
                           return Info.param()->Name();
                         });

}  // namespace

}  // namespace vantor
