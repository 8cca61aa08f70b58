// The dispatch of port events, clients, WaitChar and the device notices.
#include <array>
#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/serial/sio_test_support.h"

namespace vantor {

namespace {

using SioDispatch = SioTest;

TEST_F(SioDispatch, RxCharErrorAndBreakInOneWakeUp) {
  // Whether the port still holds error flags once the count query has cleared them.
  for (const bool ErrorsArriveLate : {false, true}) {
    SCOPED_TRACE(ErrorsArriveLate ? "errors still pending" : "errors cleared by the count");
    TSioComm& Port = MakeComm();
    std::vector<std::string> Log;
    Port.SetOnRxChar([&](TObject* Sender, int Count) {
      EXPECT_EQ(Sender, &Port);
      Log.push_back("RxChar " + std::to_string(Count));
      if (ErrorsArriveLate)
        Fault->InjectErrors(kCeFrame, false);
    });
    Port.SetOnError(
        [&](TObject*, int Errors) { Log.push_back("Error " + std::to_string(Errors)); });
    Port.SetOnBreak([&](TObject*) { Log.push_back("Break"); });
    Port.Open();
    Fault->InjectRx(Bytes("abc"), false);
    Fault->InjectErrors(kCeOverrun, false);
    Fault->InjectEvents(kEvRxChar | kEvErr | kEvBreak);
    ASSERT_TRUE(PumpUntil([&] { return !Log.empty() && Log.back() == "Break"; }));
    const std::vector<std::string> Expected =
        ErrorsArriveLate ? std::vector<std::string>{"RxChar 3", "Error 8", "Break"}
                         : std::vector<std::string>{"RxChar 3", "Break"};
    EXPECT_EQ(Log, Expected);
    Port.Close();
    ExpectNoMisuse();
  }
}

TEST_F(SioDispatch, RxCharCountsWhatIsWaitingAndNeverZero) {
  TSioComm& Port = MakeComm();
  std::vector<int> Counts;
  Port.SetOnRxChar([&](TObject*, int Count) {
    Counts.push_back(Count);
    char Buf[2];
    Port.ReadBuf(Buf, 2);  // leaves the rest for the next wake-up
  });
  Port.Open();
  ASSERT_TRUE(PumpUntil([&] { return Fault->WaitingForEvents(); }));
  Fault->InjectEvents(kEvRxChar);  // nothing waiting: no OnRxChar
  ASSERT_TRUE(PumpUntil([&] { return Fault->CallCount("WaitCommEvent") == 2; }));
  EXPECT_TRUE(Counts.empty());
  Fault->InjectRx(Bytes("abc"));
  ASSERT_TRUE(PumpUntil([&] { return !Counts.empty(); }));
  Fault->InjectRx(Bytes("de"));
  ASSERT_TRUE(PumpUntil([&] { return Counts.size() >= 2; }));
  EXPECT_EQ(Counts, (std::vector<int>{3, 3}));
  Port.Close();
}

TEST_F(SioDispatch, EveryEventInItsOrder) {
  TSioComm& Port = MakeComm();
  Port.SetDirectWrite(true);  // the port then reports TxEmpty itself
  Port.SetMonitorEvents(TSioCommEvents(0x1FFF));
  std::vector<std::string> Log;
  const auto Note = [&Log](const char* Name) {
    return [&Log, Name](TObject*) { Log.push_back(Name); };
  };
  Port.SetOnRxFlag(Note("RxFlag"));
  Port.SetOnCts(Note("Cts"));
  Port.SetOnDsr(Note("Dsr"));
  Port.SetOnRing(Note("Ring"));
  Port.SetOnRlsd(Note("Rlsd"));
  Port.SetOnTxEmpty(Note("TxEmpty"));
  Port.SetOnBreak(Note("Break"));
  Port.SetOnPErr(Note("PErr"));
  Port.SetOnRx80Full(Note("Rx80Full"));
  Port.SetOnEvent1(Note("Event1"));
  Port.SetOnEvent2(Note("Event2"));
  Port.SetOnError([&](TObject*, int) { Log.push_back("Error"); });
  Port.Open();
  EXPECT_EQ(Fault->LastMask(), 0x1FFFu);
  Fault->InjectErrors(kCeRxParity, false);
  Fault->InjectEvents(0x1FFE);  // all but RxChar
  ASSERT_TRUE(PumpUntil([&] { return Log.size() == 12; }));
  EXPECT_EQ(Log,
            (std::vector<std::string>{"Error", "RxFlag", "Cts", "Dsr", "Ring", "Rlsd", "TxEmpty",
                                      "Break", "PErr", "Rx80Full", "Event1", "Event2"}));
  Log.clear();
  Fault->InjectEvents(kEvErr | kEvCts);  // no error flags: no OnError
  ASSERT_TRUE(PumpUntil([&] { return Log.size() == 1; }));
  EXPECT_EQ(Log, std::vector<std::string>{"Cts"});
  Port.Close();
}

// The closure is too large to live inside std::function, so a rebinding that freed it would
// leave the rest of the handler running in freed memory.
TEST_F(SioDispatch, AHandlerThatRebindsItsOwnEventRunsOnUnharmed) {
  TSioComm& Port = MakeComm();
  std::array<char, 64> Mark{};
  Mark.fill('m');
  std::string Seen;
  int Rebound = 0;
  Port.SetOnRxChar([&Port, &Seen, &Rebound, Mark](TObject*, int Count) {
    std::vector<char> Buf(static_cast<std::size_t>(Count));
    Port.ReadBuf(Buf.data(), Count);
    Port.SetOnRxChar([&Port, &Rebound](TObject*, int Waiting) {
      std::vector<char> Rest(static_cast<std::size_t>(Waiting));
      Port.ReadBuf(Rest.data(), Waiting);
      ++Rebound;
    });
    Seen.assign(Mark.begin(), Mark.end());
  });
  Port.Open();
  Fault->InjectRx(Bytes("a"));
  ASSERT_TRUE(PumpUntil([&] { return !Seen.empty(); }));
  EXPECT_EQ(Seen, std::string(64, 'm'));
  Fault->InjectRx(Bytes("b"));
  EXPECT_TRUE(PumpUntil([&] { return Rebound == 1; }));
  Port.Close();
}

TEST_F(SioDispatch, FailuresInsideADispatchGoToTheReportAndTheThreadGoesOn) {
  TSioComm& Port = MakeComm();
  std::vector<std::string> Log;
  Port.SetOnError([&](TObject*, int) {
    Log.push_back("Error");
    throw std::runtime_error("error handler failed");
  });
  Port.SetOnBreak([&](TObject*) { Log.push_back("Break"); });
  int RxChars = 0;
  Port.SetOnRxChar([&](TObject*, int) {
    ++RxChars;
    throw std::runtime_error("rx handler failed");
  });
  Port.Open();
  // The line check guards its own handler: OnBreak still runs.
  Fault->InjectErrors(kCeFrame, false);
  Fault->InjectEvents(kEvErr | kEvBreak);
  ASSERT_TRUE(PumpUntil([&] { return Log.size() == 2; }));
  EXPECT_EQ(Log, (std::vector<std::string>{"Error", "Break"}));
  // A failing OnRxChar ends that dispatch: no OnBreak.
  Fault->InjectRx(Bytes("a"), false);
  Fault->InjectEvents(kEvRxChar | kEvBreak);
  ASSERT_TRUE(PumpUntil([&] { return FailureTexts().size() == 2; }));
  EXPECT_EQ(Log.size(), 2u);
  // A refused status query is reported the same way.
  Fault->Refuse(foClearCommError, 6, 1);
  Fault->InjectEvents(kEvRxChar);
  ASSERT_TRUE(PumpUntil([&] { return FailureTexts().size() == 3; }));
  EXPECT_EQ(FailureTexts(),
            (std::vector<std::string>{"error handler failed.", "rx handler failed.",
                                      "Error retrieving statistics (6), The handle is invalid."}));
  // And the thread still dispatches.
  Fault->InjectEvents(kEvBreak);
  EXPECT_TRUE(PumpUntil([&] { return Log.size() == 3; }));
  EXPECT_EQ(RxChars, 1);
  Port.Close();
  ExpectNoMisuse();
}

TEST_F(SioDispatch, WithoutSyncTheHandlersRunOnTheEventThread) {
  TSioComm& Port = MakeComm();
  Port.SetSyncThreads(false);
  std::atomic<int> OnMain{0}, Elsewhere{0};
  Port.SetOnRxChar([&](TObject*, int) { (TThread::IsMainThread() ? OnMain : Elsewhere)++; });
  Port.Open();
  Fault->InjectRx(Bytes("z"));
  ASSERT_TRUE(PumpUntil([&] { return Elsewhere.load() == 1; }));
  EXPECT_EQ(OnMain.load(), 0);
  Port.Close();
  ExpectNoMisuse();
}

class TCountingDisplay : public TSioDisplay {
 public:
  using TSioDisplay::TSioDisplay;
  void UpdateDisplay(TSioCustomComm* Comm) override {
    LastComm = Comm;
    ++Updates;
  }
  TSioCustomComm* LastComm = nullptr;
  int Updates = 0;
};

TEST_F(SioDispatch, TheDisplayIsRefreshedAtEveryWakeUpAndForgottenWhenFreed) {
  TSioComm& Port = MakeComm();
  auto Display = std::make_unique<TCountingDisplay>(nullptr);
  Port.SetDisplay(Display.get());
  Port.Open();
  Fault->InjectEmptyWake();
  ASSERT_TRUE(PumpUntil([&] { return Display->Updates == 1; }));
  EXPECT_EQ(Display->LastComm, &Port);
  Port.Close();
  Display.reset();
  EXPECT_EQ(Port.Display(), nullptr);
}

class TRecordingUser : public ISioCommUser {
 public:
  void EventsReceived(int Events) override { Log.push_back("events " + std::to_string(Events)); }
  void DataReceived(PSioData Data, int Count) override {
    Log.push_back("data " + std::string(reinterpret_cast<const char*>(Data), Count));
  }
  std::vector<std::string> Log;
};

TEST_F(SioDispatch, ClientsTakeTheBytesInsteadOfOnRxChar) {
  TSioComm& Port = MakeComm();
  auto User = std::make_shared<TRecordingUser>();
  TSioDispatcher Client(User);
  EXPECT_TRUE(Client.Active());
  EXPECT_EQ(Client.WriteBuf("x", 1), 0);  // not inserted: does nothing
  int RxChars = 0;
  std::vector<std::string> RxBufs;
  Port.SetOnRxChar([&](TObject*, int) { ++RxChars; });
  Port.SetOnRxBuf([&](TObject*, PSioData Data, int Count) {
    RxBufs.emplace_back(reinterpret_cast<const char*>(Data), Count);
  });
  Port.SetMonitorEvents({ceRxChar, ceCts});
  Port.InsertClient(&Client);
  Port.InsertClient(&Client);  // twice: every notice twice
  EXPECT_EQ(Client.Comm(), &Port);
  Port.Open();

  Fault->InjectRx(Bytes("ab"));
  ASSERT_TRUE(PumpUntil([&] { return RxBufs.size() == 1; }));
  EXPECT_EQ(User->Log, (std::vector<std::string>{"data ab", "data ab"}));
  EXPECT_EQ(Fault->RxWaiting(), 0u);

  Port.RemoveClient(&Client);  // one occurrence; the link stays while one is left
  EXPECT_EQ(Client.Comm(), &Port);
  EXPECT_EQ(Port.ClientCount(), 1);
  User->Log.clear();
  Fault->InjectEvents(kEvCts);
  ASSERT_TRUE(PumpUntil([&] { return User->Log.size() == 1; }));
  EXPECT_EQ(User->Log, std::vector<std::string>{"events 8"});

  Port.DisableControls();
  User->Log.clear();
  Fault->InjectRx(Bytes("cd"));
  ASSERT_TRUE(PumpUntil([&] { return RxBufs.size() == 2; }));
  EXPECT_EQ(RxBufs.back(), "cd");
  EXPECT_TRUE(User->Log.empty());

  Port.EnableControls();
  Client.SetActive(false);
  Fault->InjectRx(Bytes("ef"));
  ASSERT_TRUE(PumpUntil([&] { return RxBufs.size() == 3; }));
  EXPECT_TRUE(User->Log.empty());
  EXPECT_EQ(RxChars, 0);

  TSioDispatcher Writer(std::make_shared<TRecordingUser>());
  Port.InsertClient(&Writer);
  EXPECT_EQ(Writer.WriteBuf("hi", 2), 2);
  EXPECT_TRUE(Writer.WriteText("!"));
  EXPECT_TRUE(Writer.WriteChar('?'));
  EXPECT_TRUE(PumpUntil([&] { return Fault->Written().size() == 4; }));
  Writer.SetDTRState(true);
  EXPECT_EQ(Fault->Escapes().back(), kSetDtr);
  Port.Close();
  EXPECT_EQ(Port.ClientCount(), 2);
  Port.RemoveClient(&Writer);
}

TEST_F(SioDispatch, ClientsAndComponentDetachFromEachOther) {
  auto User = std::make_shared<TRecordingUser>();
  {
    TSioComm& Port = MakeComm();
    auto Client = std::make_unique<TSioDispatcher>(User);
    Port.InsertClient(Client.get());
    Port.InsertClient(Client.get());
    Client.reset();  // leaves the component first, with every occurrence
    EXPECT_EQ(Port.ClientCount(), 0);
  }
  TSioDispatcher Client(User);
  MakeComm().InsertClient(&Client);
  Comm.reset();  // the component clears the client's link
  EXPECT_EQ(Client.Comm(), nullptr);
}

TEST_F(SioDispatch, WaitChar) {
  TSioComm& Port = MakeComm();
  Port.SetMonitorEvents({});
  EXPECT_FALSE(Port.WaitChar(0));
  Port.Open();
  EXPECT_FALSE(Port.WaitChar(0));
  EXPECT_FALSE(Port.WaitChar(20));  // nothing arrives
  Fault->InjectRx(Bytes("k"), false);
  EXPECT_TRUE(Port.WaitChar(5000));
  char Ch = 0;
  EXPECT_TRUE(Port.ReadCharWait(Ch, 5000));
  EXPECT_EQ(Ch, 'k');
  Port.Close();
}

TEST_F(SioDispatch, WaitingThreadsEndBeforeTheComponentGoes) {
  TSioComm& Port = MakeComm();
  Port.SetMonitorEvents({});
  Port.Open();
  for (int Index = 0; Index < 5; ++Index)
    EXPECT_FALSE(Port.WaitChar(0));
  Comm.reset();  // must not leave a waiting thread polling a freed component
}

// A device-change record: DEV_BROADCAST_HDR, then the port's UTF-16 name.
std::vector<std::uint8_t> PortRecord(std::uint32_t DeviceType, const std::u16string& Name) {
  std::vector<std::uint8_t> Record(12 + 2 * (Name.size() + 1), 0);
  const auto Size = static_cast<std::uint32_t>(Record.size());
  std::memcpy(Record.data(), &Size, 4);
  std::memcpy(Record.data() + 4, &DeviceType, 4);
  std::memcpy(Record.data() + 12, Name.data(), 2 * Name.size());
  return Record;
}

TEST_F(SioDispatch, DeviceNotices) {
  TSioComm& Port = MakeComm();
  std::vector<std::string> Log;
  Port.SetOnUSBDevicePlugin([&](TObject* Sender, const std::string& Name) {
    EXPECT_EQ(Sender, &Port);
    Log.push_back("plug " + Name);
  });
  Port.SetOnUSBDeviceUnplug(
      [&](TObject*, const std::string& Name) { Log.push_back("unplug " + Name); });
  const auto Port5 = PortRecord(3, u"COM5");
  const auto Accented = PortRecord(3, u"COM\u00e9");
  const auto Volume = PortRecord(2, u"E:");
  auto Unterminated = PortRecord(3, u"COM12");
  Unterminated.resize(Unterminated.size() - 2);  // no NUL inside the record
  const std::uint32_t Shorter = static_cast<std::uint32_t>(Unterminated.size() - 2);
  std::memcpy(Unterminated.data(), &Shorter, 4);  // and its size stops before the "2"
  Unterminated.push_back('?');                    // what lies beyond the record is not read
  Unterminated.push_back(0);
  struct Case {
    std::uint32_t Msg;
    std::uintptr_t Code;
    const std::vector<std::uint8_t>* Record;  // null: LParam 0, never to be read
    std::string Expected;
  };
  const std::vector<Case> Cases = {
      {0x0219, 0x8000, &Port5, "plug COM5"},
      {0x0219, 0x8004, &Port5, "unplug COM5"},
      {0x0219, 0x8004, &Accented, "unplug COM\xC3\xA9"},
      {0x0219, 0x8004, &Volume, ""},
      {0x0219, 0x8004, &Unterminated, "unplug COM1"},
      {0x0219, 0x8001, nullptr, ""},  // query for removal
      {0x0219, 0x0007, nullptr, ""},  // device tree changed
      {0x0218, 0x8004, nullptr, ""},  // not a device change at all
  };
  for (const auto& Item : Cases) {
    Log.clear();
    TMessage Message;
    Message.Msg = Item.Msg;
    Message.WParam = Item.Code;
    Message.LParam = Item.Record ? reinterpret_cast<std::intptr_t>(Item.Record->data()) : 0;
    EXPECT_FALSE(App.Backend->DeliverMessage(Message));
    EXPECT_EQ(Message.Result, 0);
    EXPECT_EQ(Log.empty() ? "" : Log.front(), Item.Expected);
  }
  EXPECT_FALSE(Port.Active());  // notices come whether or not the port is open
}

TEST_F(SioDispatch, EveryComponentHearsEveryNoticeInHookOrderUntilItsDestructionBegins) {
  std::vector<std::string> Log;
  auto First = std::make_unique<TSioComm>(nullptr, std::make_unique<TFaultPortBackend>());
  auto Second = std::make_unique<TSioComm>(nullptr, std::make_unique<TFaultPortBackend>());
  First->SetOnUSBDeviceUnplug(
      [&](TObject*, const std::string& Name) { Log.push_back("1 " + Name); });
  Second->SetOnUSBDeviceUnplug(
      [&](TObject*, const std::string& Name) { Log.push_back("2 " + Name); });
  const auto Record = PortRecord(3, u"COM3");
  TMessage Message{0x0219, 0x8004, reinterpret_cast<std::intptr_t>(Record.data()), 0};
  App.Backend->DeliverMessage(Message);
  EXPECT_EQ(Log, (std::vector<std::string>{"1 COM3", "2 COM3"}));
  First.reset();
  Log.clear();
  App.Backend->DeliverMessage(Message);
  EXPECT_EQ(Log, std::vector<std::string>{"2 COM3"});
  Second.reset();
  App.Backend->DeliverMessage(Message);
  EXPECT_EQ(Log.size(), 1u);
}

}  // namespace

}  // namespace vantor
