// Close from everywhere a handler can run: inside a dispatch, inside a write-thread notice,
// inside a device notice, and nested inside another Close's wait. The port closes, OnClose
// fires once, nothing hangs, and no thread touches a closed handle.
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/serial/sio_test_support.h"

namespace vantor {

namespace {

using SioCloseRules = SioTest;

// Counts OnClose and checks the port is closed whenever it fires.
struct TCloseWatch {
  int Closes = 0;
  void Attach(TSioComm& Port) {
    Port.SetOnClose([this, &Port](TObject*) {
      EXPECT_FALSE(Port.Active());
      ++Closes;
    });
  }
};

TEST_F(SioCloseRules, CloseFromInsideADispatchedHandler) {
  enum Where { InRxChar, InError, InBreak };
  for (const Where Place : {InRxChar, InError, InBreak}) {
    SCOPED_TRACE(Place);
    TSioComm& Port = MakeComm();
    TCloseWatch Watch;
    Watch.Attach(Port);
    bool Closed = false;
    std::vector<std::string> Later;  // handlers due after the one that closed
    Port.SetOnRxChar([&](TObject*, int) {
      if (Place != InRxChar)
        return;
      char Buf[8];
      EXPECT_GT(Port.ReadBuf(Buf, 8), 0);
      Port.Close();
      Closed = true;
    });
    Port.SetOnError([&](TObject*, int) {
      if (Place == InError) {
        Port.Close();
        Closed = true;
      } else {
        Later.push_back(Port.Active() ? "Error open" : "Error closed");
      }
    });
    Port.SetOnBreak([&](TObject*) {
      if (Place == InBreak) {
        Port.Close();
        Closed = true;
      } else {
        Later.push_back(Port.Active() ? "Break open" : "Break closed");
      }
    });
    Port.Open();
    Fault->InjectRx(Bytes("data"), false);
    if (Place == InError)
      Fault->InjectErrors(kCeFrame, false);
    Fault->InjectEvents(Place == InRxChar ? (kEvRxChar | kEvBreak) : (kEvErr | kEvBreak));
    ASSERT_TRUE(PumpUntil([&] { return Closed; }));
    EXPECT_FALSE(Port.Active());
    EXPECT_EQ(Watch.Closes, 1);
    if (Place != InBreak) {
      EXPECT_EQ(Later, std::vector<std::string>{"Break closed"});
    }
    // The interrupted dispatch ends and its thread goes without touching the port.
    PumpFor(20);
    Port.Close();
    EXPECT_EQ(Watch.Closes, 1);
    // The port opens again, and the old thread is freed along the way.
    Port.SetOnError(nullptr);
    Port.SetOnBreak(nullptr);
    int Fresh = 0;
    Port.SetOnRxChar([&](TObject*, int) {
      char Buf[8];
      Port.ReadBuf(Buf, 8);
      ++Fresh;
    });
    Port.Open();
    Fault->InjectRx(Bytes("x"));
    EXPECT_TRUE(PumpUntil([&] { return Fresh == 1; }));
    Port.SetOnRxChar(nullptr);
    Port.Close();
    EXPECT_EQ(Watch.Closes, 2);
    ExpectNoMisuse();
  }
}

TEST_F(SioCloseRules, CloseFromAWriteThreadNotice) {
  enum Where { InTxEmpty, InWriteError };
  for (const Where Place : {InTxEmpty, InWriteError}) {
    SCOPED_TRACE(Place);
    TSioComm& Port = MakeComm();
    TCloseWatch Watch;
    Watch.Attach(Port);
    bool Closed = false;
    Port.SetOnTxEmpty([&](TObject*) {
      Port.Close();
      Closed = true;
    });
    Port.SetOnError([&](TObject*, int) {
      Port.Close();
      Closed = true;
    });
    if (Place == InWriteError)
      Fault->Refuse(foWriteAbandonable, 31);
    Port.Open();
    if (Place == InWriteError)
      Fault->InjectErrors(kCeTxFull, false);
    EXPECT_EQ(Port.WriteBuf("bye", 3), 3);
    ASSERT_TRUE(PumpUntil([&] { return Closed; }));
    EXPECT_FALSE(Port.Active());
    EXPECT_EQ(Watch.Closes, 1);
    PumpFor(20);
    Fault->Allow(foWriteAbandonable);
    Port.SetOnTxEmpty(nullptr);
    Port.SetOnError(nullptr);
    Port.Open();
    EXPECT_EQ(Port.WriteBuf("again", 5), 5);
    EXPECT_TRUE(PumpUntil([&] { return Fault->Written().size() >= 5; }));
    Port.Close();
    EXPECT_EQ(Watch.Closes, 2);
    ExpectNoMisuse();
  }
}

TEST_F(SioCloseRules, CloseFromADeviceRemovalHandler) {
  TSioComm& Port = MakeComm();
  TCloseWatch Watch;
  Watch.Attach(Port);
  Port.SetOnUSBDeviceUnplug([&](TObject*, const std::string& Name) {
    if (Name == "COM5")
      Port.Close();
  });
  Port.Open();
  std::vector<std::uint8_t> Record(12 + 10, 0);
  const std::uint32_t Type = 3;
  std::memcpy(Record.data() + 4, &Type, 4);
  const std::u16string Name = u"COM5";
  std::memcpy(Record.data() + 12, Name.data(), 8);
  TMessage Message{0x0219, 0x8004, reinterpret_cast<std::intptr_t>(Record.data()), 0};
  App.Backend->DeliverMessage(Message);
  EXPECT_FALSE(Port.Active());
  EXPECT_EQ(Watch.Closes, 1);
  ExpectNoMisuse();
}

TEST_F(SioCloseRules, ADispatchQueuedWhenCloseIsCalledRunsInsideItWithThePortOpen) {
  bool RanInside = false;
  for (int Attempt = 0; Attempt < 5 && !RanInside; ++Attempt) {
    TSioComm& Port = MakeComm();
    TCloseWatch Watch;
    Watch.Attach(Port);
    bool InClose = false;
    std::string Seen;
    Port.SetOnRxChar([&](TObject*, int Count) {
      if (!InClose)
        return;
      RanInside = true;
      EXPECT_TRUE(Port.Active());
      std::string Text(static_cast<std::size_t>(Count), '\0');
      EXPECT_EQ(Port.ReadBuf(Text.data(), Count), Count);
      Seen = Text;
      // Its write thread is already being stopped: nothing is queued, and nothing raised.
      EXPECT_EQ(RaisedMessage([&] { EXPECT_EQ(Port.WriteBuf("x", 1), 0); }), "");
    });
    Port.Open();
    Fault->InjectRx(Bytes("late"), false);
    LeaveADispatchQueued(*Fault, kEvRxChar);
    InClose = true;
    Port.Close();
    InClose = false;
    EXPECT_FALSE(Port.Active());
    EXPECT_EQ(Watch.Closes, 1);
    if (RanInside) {
      EXPECT_EQ(Seen, "late");
    }
    ExpectNoMisuse();
  }
  EXPECT_TRUE(RanInside);
}

TEST_F(SioCloseRules, ACloseNestedInsideAnotherClosesWaitClosesOnce) {
  bool Nested = false;
  for (int Attempt = 0; Attempt < 5 && !Nested; ++Attempt) {
    TSioComm& Port = MakeComm();
    TCloseWatch Watch;
    Watch.Attach(Port);
    bool InClose = false;
    std::vector<std::string> Later;
    Port.SetOnError([&](TObject*, int) {
      if (!InClose)
        return;
      Nested = true;
      Port.Close();  // as the controller does from OnError
      EXPECT_FALSE(Port.Active());
    });
    Port.SetOnBreak([&](TObject*) { Later.push_back(Port.Active() ? "open" : "closed"); });
    Port.Open();
    Fault->InjectErrors(kCeFrame, false);
    LeaveADispatchQueued(*Fault, kEvErr | kEvBreak);
    InClose = true;
    Port.Close();
    InClose = false;
    EXPECT_FALSE(Port.Active());
    EXPECT_EQ(Watch.Closes, 1);
    if (Nested) {
      EXPECT_EQ(Later, std::vector<std::string>{"closed"});
    }
    EXPECT_EQ(Fault->Sleeps().size(), 1u);
    ExpectNoMisuse();
  }
  EXPECT_TRUE(Nested);
}

// As in the window: a tick closes the port, a reply queued meanwhile runs inside that Close,
// and a handler below it closes the port and opens the next one. The outer Close must leave
// the new port and its threads alone.
TEST_F(SioCloseRules, ACloseAndOpenNestedInsideAnotherClosesWaitLeaveTheNewPortWorking) {
  bool Nested = false;
  for (int Attempt = 0; Attempt < 5 && !Nested; ++Attempt) {
    TSioComm& Port = MakeComm();
    TCloseWatch Watch;
    Watch.Attach(Port);
    bool InClose = false;
    int Received = 0;
    Port.SetOnRxChar([&](TObject*, int Count) {
      std::string Text(static_cast<std::size_t>(Count), '\0');
      Port.ReadBuf(Text.data(), Count);
      if (!InClose) {
        ++Received;
        return;
      }
      Nested = true;
      InClose = false;
      Port.Close();
      Port.Open();
    });
    Port.Open();
    Fault->InjectRx(Bytes("late"), false);
    LeaveADispatchQueued(*Fault, kEvRxChar);
    InClose = true;
    Port.Close();
    InClose = false;
    if (!Nested)
      continue;
    ASSERT_TRUE(Port.Active());
    EXPECT_EQ(Watch.Closes, 1);
    // The new port has both threads: bytes leave, and arriving ones are announced.
    EXPECT_EQ(RaisedMessage([&] { EXPECT_EQ(Port.WriteBuf("ping", 4), 4); }), "");
    EXPECT_TRUE(PumpUntil([&] { return Fault->Written().size() == 4; }));
    Fault->InjectRx(Bytes("pong"));
    EXPECT_TRUE(PumpUntil([&] { return Received == 1; }));
    Port.Close();
    EXPECT_EQ(Watch.Closes, 2);
    ExpectNoMisuse();
  }
  EXPECT_TRUE(Nested);
}

TEST_F(SioCloseRules, ARemovalNoticeHandledInsideClosesWaitClosesOnce) {
  // Close waits for the write thread, whose pending write is slow to give up; meanwhile a
  // removal notice sent from another thread is handled inside that wait, and its handler
  // closes the port too. The write completes only once that handler runs.
  TSioComm& Port = MakeComm();
  TCloseWatch Watch;
  Watch.Attach(Port);
  std::atomic<bool> InHandler{false};
  int Unplugs = 0;
  Port.SetOnUSBDeviceUnplug([&](TObject*, const std::string&) {
    ++Unplugs;
    InHandler = true;
    Port.Close();
  });
  Port.SetMonitorEvents({});
  Fault->SetHoldWrites(true);
  Fault->SetWritesIgnoreAbandon(true);
  Port.Open();
  ASSERT_EQ(Port.WriteBuf("slow", 4), 4);
  ASSERT_TRUE(Fault->WaitForPendingWrite(std::chrono::seconds(5)));
  std::vector<std::uint8_t> Record(12 + 10, 0);
  const std::uint32_t Type = 3;
  std::memcpy(Record.data() + 4, &Type, 4);
  std::memcpy(Record.data() + 12, u"COM5", 8);
  std::thread Sender([&] {
    TMessage Message{0x0219, 0x8004, reinterpret_cast<std::intptr_t>(Record.data()), 0};
    App.App->SendAppMessage(Message);
  });
  std::thread Releaser([&] {
    while (!InHandler)
      std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Fault->CompletePendingWrite();
  });
  Port.Close();
  Sender.join();
  Releaser.join();
  EXPECT_EQ(Unplugs, 1);
  EXPECT_FALSE(Port.Active());
  EXPECT_EQ(Watch.Closes, 1);
  EXPECT_EQ(Fault->Sleeps().size(), 1u);
  ExpectNoMisuse();
}

TEST_F(SioCloseRules, CloseFromAHandlerOnTheEventThreadItself) {
  TSioComm& Port = MakeComm();
  Port.SetSyncThreads(false);
  std::atomic<int> Closes{0};
  std::atomic<bool> Done{false};
  Port.SetOnClose([&](TObject*) { ++Closes; });
  Port.SetOnBreak([&](TObject*) {
    Port.Close();  // must not wait for the thread it runs on
    Done = true;
  });
  Port.Open();
  Fault->InjectBreak();
  ASSERT_TRUE(PumpUntil([&] { return Done.load(); }));
  EXPECT_FALSE(Port.Active());
  EXPECT_EQ(Closes.load(), 1);
  Comm.reset();  // waits for that thread to end
}

}  // namespace

}  // namespace vantor
