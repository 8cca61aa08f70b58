// Opening and closing, the device path, the error report and the settings of an open port.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "serial/sio_errors.h"

#include "tests/serial/sio_test_support.h"

namespace vantor {

namespace {

using SioOpenClose = SioTest;

TEST_F(SioOpenClose, OpenConfiguresThePortThenClosePausesOnce) {
  TSioComm& Port = MakeComm();
  int Opened = 0, Closed = 0;
  Port.SetOnOpen([&](TObject* Sender) {
    EXPECT_EQ(Sender, &Port);
    EXPECT_TRUE(Port.Active());
    ++Opened;
  });
  Port.SetOnClose([&](TObject*) {
    EXPECT_FALSE(Port.Active());
    ++Closed;
  });
  Port.Open();
  EXPECT_TRUE(Port.Active());
  EXPECT_EQ(Opened, 1);
  const auto Calls = Fault->Calls();
  ASSERT_GE(Calls.size(), 6u);
  EXPECT_EQ(Calls[0].Name, "OpenPort");
  EXPECT_EQ(Calls[0].Text, kCom5Path);
  EXPECT_EQ(Calls[1].Name, "GetCommState");
  EXPECT_EQ(Calls[2].Name, "SetCommState");
  EXPECT_EQ(Calls[3].Name, "SetupComm");
  EXPECT_EQ(Calls[4].Name, "SetCommTimeouts");
  EXPECT_EQ(Calls[5].Name, "SetCommMask");

  const TSioDCB Dcb = Fault->LastDcb();
  EXPECT_EQ(Dcb.BaudRate, 115200u);
  EXPECT_EQ(Dcb.ByteSize, 8);
  EXPECT_EQ(Dcb.Parity, 0);
  EXPECT_EQ(Dcb.StopBits, 0);
  EXPECT_EQ(Dcb.Flags, 0x1011u);  // the abort-on-error bit the device had is gone
  EXPECT_EQ(Fault->LastInQueueSize(), 4096u);
  EXPECT_EQ(Fault->LastOutQueueSize(), 2048u);
  const TSioCommTimeouts Timeouts = Fault->LastTimeouts();
  EXPECT_EQ(Timeouts.ReadIntervalTimeout, 0xFFFFFFFFu);
  EXPECT_EQ(Timeouts.ReadTotalTimeoutMultiplier + Timeouts.ReadTotalTimeoutConstant +
                Timeouts.WriteTotalTimeoutMultiplier + Timeouts.WriteTotalTimeoutConstant,
            0u);
  EXPECT_EQ(Fault->LastMask(), 0x00C1u);  // TxEmpty is the write thread's
  EXPECT_EQ(Port.EventMask(), 0x00C1);

  Port.Close();
  EXPECT_FALSE(Port.Active());
  EXPECT_FALSE(Fault->PortOpen());
  EXPECT_EQ(Closed, 1);
  EXPECT_EQ(Fault->Sleeps(), std::vector<std::uint32_t>{300});

  Port.Close();  // closed: nothing at all
  EXPECT_EQ(Closed, 1);
  EXPECT_EQ(Fault->Sleeps().size(), 1u);
  ExpectNoMisuse();
}

TEST_F(SioOpenClose, EveryFailureOfOpenIsReportedAndLeavesThePortClosed) {
  struct Case {
    std::optional<TFaultOperation> Operation;  // refused, or none for a device problem
    std::uint32_t Code;
    std::string Device;
    std::string Message;
    bool Opened;  // whether the device had been opened (and must be closed again)
    TPortFailure Category = TPortFailure::pfOther;  // as the fault backend maps the code
  };
  const std::vector<Case> Cases = {
      {std::nullopt, 2, "COM7", "Specified device not found (\\\\.\\COM7).", false,
       TPortFailure::pfNotFound},
      {std::nullopt, 5, "COM5",
       "Can't open specified device \\\\.\\COM5 (Error 5, Access is denied)", false,
       TPortFailure::pfBusy},
      {foOpenPort, 31, "COM5",
       "Can't open specified device \\\\.\\COM5 (Error 31, A device attached to the system is "
       "not functioning)",
       false},
      {foSetCommState, 31, "COM5",
       "Error writing dcb (31), A device attached to the system is not functioning", true},
      {foSetupComm, 87, "COM5", "Error initializing buffers (87), The parameter is incorrect",
       true},
      {foSetCommTimeouts, 22, "COM5",
       "Error setting timeouts (22), The device does not recognize the command", true},
      {foSetCommMask, 5, "COM5", " Error setting EventMask (5), Access is denied", true,
       TPortFailure::pfBusy},
  };
  for (const auto& Item : Cases) {
    SCOPED_TRACE(Item.Message);
    TSioComm& Port = MakeComm();
    int Notices = 0;
    Port.SetOnOpen([&](TObject*) { ++Notices; });
    Port.SetOnClose([&](TObject*) { ++Notices; });
    Port.SetDeviceName(Item.Device);
    if (!Item.Operation && Item.Code == 5)
      Fault->HoldDevice(kCom5Path, 5);
    if (Item.Operation)
      Fault->Refuse(*Item.Operation, Item.Code);
    const ESioCommError Raised = RaisedError([&] { Port.Open(); });
    EXPECT_EQ(Raised.Message(), Item.Message);
    EXPECT_EQ(Raised.Code(), static_cast<std::int32_t>(Item.Code));
    EXPECT_EQ(Raised.Category(), Item.Category);
    EXPECT_FALSE(Port.Active());
    EXPECT_FALSE(Fault->PortOpen());
    EXPECT_EQ(Fault->CallCount("ClosePort"), Item.Opened ? 1 : 0);
    EXPECT_EQ(Fault->CallCount("WaitCommEvent"), 0);
    EXPECT_EQ(Notices, 0);
    ExpectNoMisuse();

    // The same with OnErrorException bound: the handler gets the code and the system's
    // text, and the operation goes on.
    TSioComm& Again = MakeComm();
    Again.SetDeviceName(Item.Device);
    if (!Item.Operation && Item.Code == 5)
      Fault->HoldDevice(kCom5Path, 5);
    if (Item.Operation)
      Fault->Refuse(*Item.Operation, Item.Code);
    std::vector<std::pair<int, std::string>> Reports;
    Again.SetOnErrorException([&](TObject* Sender, int Errors, const std::string& Text) {
      EXPECT_EQ(Sender, &Again);
      Reports.emplace_back(Errors, Text);
    });
    int Opened = 0;
    Again.SetOnOpen([&](TObject*) { ++Opened; });
    EXPECT_EQ(RaisedMessage([&] { Again.Open(); }), "");
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0].first, static_cast<int>(Item.Code));
    EXPECT_EQ(Reports[0].second, TrimSystemText(Fault->SystemErrorText(Item.Code)));
    EXPECT_EQ(Again.Active(), Item.Opened);
    EXPECT_EQ(Opened, Item.Opened ? 1 : 0);
    Again.Close();
    ExpectNoMisuse();
  }
}

// Maps one code by the phase, as the platforms do: failing, or gone once open.
class TPhaseBackend : public TFaultPortBackend {
 public:
  TPortFailure ErrorCategory(std::uint32_t Code, TPortErrorPhase Phase) override {
    if (Code != 31)
      return TFaultPortBackend::ErrorCategory(Code, Phase);
    return Phase == TPortErrorPhase::Open ? TPortFailure::pfRemoved : TPortFailure::pfOther;
  }
};

TEST_F(SioOpenClose, ErrorsCarryTheCodeAndTheBackendsCategoryForTheirPhase) {
  auto Backend = std::make_unique<TPhaseBackend>();
  TPhaseBackend& Fake = *Backend;
  Fake.AddDevice(kCom5Path);
  TSioComm Port(nullptr, std::move(Backend));
  Port.SetDeviceName("COM5");
  Fake.Refuse(foOpenPort, 31, 1);
  const ESioCommError Opening = RaisedError([&] { Port.Open(); });
  EXPECT_EQ(Opening.Code(), 31);
  EXPECT_EQ(Opening.Category(), TPortFailure::pfOther);
  Port.Open();
  Fake.Refuse(foRead, 31, 1);
  char Buf[4];
  const ESioCommError Reading = RaisedError([&] { Port.ReadBuf(Buf, 4); });
  EXPECT_EQ(Reading.Message(),
            "Read error (31), A device attached to the system is not functioning");
  EXPECT_EQ(Reading.Category(), TPortFailure::pfRemoved);
  // The component's own refusal says nothing of the device, whatever code came last.
  const ESioCommError Refusal = RaisedError([&] { Port.Open(); });
  EXPECT_EQ(Refusal.Message(), SioMsg::kPortOpen);
  EXPECT_EQ(Refusal.Code(), 31);
  EXPECT_EQ(Refusal.Category(), TPortFailure::pfOther);
  Port.Close();
}

// A descendant whose thread start fails after the event thread is already running.
class TFailingStartComm : public TSioComm {
 public:
  using TSioComm::TSioComm;

 protected:
  void StartThreads() override {
    TSioComm::StartThreads();
    throw ESioCommError("thread start failed");
  }
};

TEST_F(SioOpenClose, AFailedThreadStartStopsTheStartedThreadBeforeTheHandleCloses) {
  auto Backend = std::make_unique<TFaultPortBackend>();
  TFaultPortBackend& Fake = *Backend;
  Fake.AddDevice(kCom5Path);
  TFailingStartComm Port(nullptr, std::move(Backend));
  Port.SetDeviceName("COM5");
  EXPECT_EQ(RaisedMessage([&] { Port.Open(); }), "thread start failed");
  EXPECT_FALSE(Port.Active());
  EXPECT_FALSE(Fake.PortOpen());
  EXPECT_EQ(Fake.Misuses(), 0);
}

TEST_F(SioOpenClose, OpenOnAnOpenPortIsRefusedAndNeverOpensTheDeviceAgain) {
  TSioComm& Port = MakeComm();
  int Opened = 0;
  Port.SetOnOpen([&](TObject*) { ++Opened; });
  Port.Open();
  EXPECT_EQ(RaisedMessage([&] { Port.Open(); }), SioMsg::kPortOpen);
  int Reports = 0;
  Port.SetOnErrorException([&](TObject*, int, const std::string&) { ++Reports; });
  Port.Open();
  EXPECT_EQ(Reports, 1);
  EXPECT_EQ(Opened, 1);
  EXPECT_EQ(Fault->OpenCount(), 1);
  EXPECT_EQ(Fault->CallCount("OpenPort"), 1);
  EXPECT_TRUE(Port.Active());
  // The write path is intact.
  EXPECT_EQ(Port.WriteBuf("hello", 5), 5);
  EXPECT_TRUE(PumpUntil([&] { return Fault->Written().size() == 5; }));
  Port.Close();
  ExpectNoMisuse();
}

TEST_F(SioOpenClose, FrozenPropertiesAreRefusedWhileOpen) {
  struct Case {
    const char* Name;
    std::function<void(TSioComm&)> Write;
    std::function<bool(TSioComm&)> Unchanged;
  };
  const std::vector<Case> Cases = {
      {"PortNum", [](TSioComm& C) { C.SetPortNum(9); },
       [](TSioComm& C) { return C.PortNum() == 0; }},
      {"DeviceName", [](TSioComm& C) { C.SetDeviceName("COM9"); },
       [](TSioComm& C) { return C.DeviceName() == "COM5"; }},
      {"MonitorEvents", [](TSioComm& C) { C.SetMonitorEvents({}); },
       [](TSioComm& C) { return !C.MonitorEvents().Empty(); }},
      {"DirectWrite", [](TSioComm& C) { C.SetDirectWrite(true); },
       [](TSioComm& C) { return !C.DirectWrite(); }},
      {"UpdateDCB", [](TSioComm& C) { C.SetUpdateDCB(false); },
       [](TSioComm& C) { return C.UpdateDCB(); }},
      {"Buffers",
       [](TSioComm& C) {
         TSioBuffers Other;
         Other.SetReadSize(1);
         C.SetBuffers(Other);
       },
       [](TSioComm& C) { return C.Buffers().ReadSize() == 4096; }},
  };
  for (const auto& Item : Cases) {
    TSioComm& Port = MakeComm();
    Port.Open();
    EXPECT_EQ(RaisedMessage([&] { Item.Write(Port); }), SioMsg::kPortOpen) << Item.Name;
    EXPECT_TRUE(Item.Unchanged(Port)) << Item.Name;
    Port.Close();
    Item.Write(Port);  // closed: accepted
    EXPECT_FALSE(Item.Unchanged(Port)) << Item.Name;
  }

  // A size inside Buffers is stored by the object before the component refuses it; the
  // open port keeps the size it was opened with.
  TSioComm& Port = MakeComm();
  Port.Open();
  EXPECT_EQ(RaisedMessage([&] { Port.Buffers().SetWriteSize(4096); }), SioMsg::kPortOpen);
  EXPECT_EQ(Port.Buffers().WriteSize(), 4096);
  EXPECT_EQ(Port.WriteBufFree(), 2048);
  Port.Close();

  // With the report bound, DirectWrite still does not switch under an open port.
  Port.SetOnErrorException([](TObject*, int, const std::string&) {});
  Port.Open();
  Port.SetDirectWrite(true);
  EXPECT_FALSE(Port.DirectWrite());
  Port.SetPortNum(4);
  EXPECT_EQ(Port.PortNum(), 4);
  Port.Close();
  ExpectNoMisuse();
}

TEST_F(SioOpenClose, DevicePathIsFormattedAndPrefixedAtEveryUse) {
  struct Case {
    std::string Name;
    int PortNum;
    int Platform;
    std::string Path;
  };
  const std::vector<Case> Cases = {
      {"COM5", 0, 2, "\\\\.\\COM5"},           {"COM5", 7, 2, "\\\\.\\COM5"},
      {"COM%d", 3, 2, "\\\\.\\COM3"},          {"COM%d", 3, 1, "COM3"},
      {"/dev/ttyUSB%d", 0, 0, "/dev/ttyUSB0"},
  };
  for (const auto& Item : Cases) {
    TSioComm& Port = MakeComm();
    Port.SetDeviceName(Item.Name);
    Port.SetPortNum(Item.PortNum);
    Fault->SetPlatformId(Item.Platform);
    EXPECT_EQ(Port.GetDeviceName(), Item.Path);
    Fault->SetPlatformId(Item.Platform == 2 ? 1 : 2);  // asked again at every use
    EXPECT_NE(Port.GetDeviceName(), Item.Path);
  }
  TSioComm& Port = MakeComm();
  Port.SetPortNum(0);
  Port.Open();
  EXPECT_EQ(Fault->Calls().front().Text, kCom5Path);
  Port.Close();
}

TEST_F(SioOpenClose, LineSettingsReachAnOpenPortAtOnceUnlessUpdateDcbIsOff) {
  TSioComm& Port = MakeComm();
  Port.Open();
  const int AtOpen = Fault->DcbWrites();
  EXPECT_EQ(AtOpen, 1);
  Port.SetBaudrate(br9600);
  EXPECT_EQ(Fault->LastDcb().BaudRate, 9600u);
  Port.SetBaudrate(br9600);  // unchanged: no write
  EXPECT_EQ(Fault->DcbWrites(), AtOpen + 1);
  Port.SetUserBaudrate(250000);
  EXPECT_EQ(Port.Baudrate(), brUser);
  EXPECT_EQ(Fault->LastDcb().BaudRate, 250000u);
  Port.SetBaudrate(br115200);
  EXPECT_EQ(Port.UserBaudrate(), 0);
  Port.EventChars().SetXonChar(17);  // same value: still rewritten
  EXPECT_EQ(Fault->DcbWrites(), AtOpen + 4);
  Port.EventChars().SetEofChar(26);
  EXPECT_EQ(Fault->LastDcb().EofChar, 26);
  EXPECT_EQ(Fault->LastDcb().EvtChar, 0);
  TSioFlowControl Flow;
  Flow.SetXonXoffIn(true);
  Flow.SetXonXoffOut(true);
  Port.SetFlowControl(Flow);  // several values, one write
  EXPECT_EQ(Fault->DcbWrites(), AtOpen + 6);
  EXPECT_EQ(Fault->LastDcb().Flags, 0x0301u);
  Port.SetOptions({coParityCheck});
  EXPECT_EQ(Fault->LastDcb().Flags, 0x0303u);

  // A refused live change keeps the new value stored.
  Fault->Refuse(foSetCommState, 31, 1);
  EXPECT_EQ(RaisedMessage([&] { Port.SetParity(paOdd); }),
            "Error writing dcb (31), A device attached to the system is not functioning");
  EXPECT_EQ(Port.Parity(), paOdd);
  Port.Close();

  Port.SetUpdateDCB(false);
  Port.Open();
  Port.SetBaudrate(br300);
  EXPECT_EQ(Fault->CallCount("SetCommState"), AtOpen + 8);  // nothing since the refusal
  EXPECT_EQ(Fault->CallCount("GetCommState"), AtOpen + 8);
  Port.Close();
  ExpectNoMisuse();
}

TEST_F(SioOpenClose, ReadFailureOfTheDeviceStateStillWritesACompleteRecord) {
  TSioComm& Port = MakeComm();
  Fault->Refuse(foGetCommState, 5);
  Port.Open();
  const TSioDCB Dcb = Fault->LastDcb();
  EXPECT_EQ(Dcb.DCBlength, 28u);
  EXPECT_EQ(Dcb.BaudRate, 115200u);
  EXPECT_EQ(Dcb.Flags, 0x1011u);
  Port.Close();
}

TEST_F(SioOpenClose, HandlerFailures) {
  TSioComm& Port = MakeComm();
  Port.SetOnOpen([](TObject*) { throw std::runtime_error("open handler failed"); });
  EXPECT_NO_THROW(Port.Open());
  EXPECT_TRUE(Port.Active());
  EXPECT_EQ(FailureTexts(), std::vector<std::string>{"open handler failed."});

  // A failing OnClose reaches the caller; the port is closed and the pause skipped.
  Port.SetOnClose([](TObject*) { throw std::runtime_error("close handler failed"); });
  EXPECT_THROW(Port.Close(), std::runtime_error);
  EXPECT_FALSE(Port.Active());
  EXPECT_TRUE(Fault->Sleeps().empty());
  ExpectNoMisuse();
}

// Keeps a log that outlives the component, which owns its backend.
class TLoggedBackend : public TFaultPortBackend {
 public:
  explicit TLoggedBackend(std::shared_ptr<std::vector<std::string>> Log) : FLog(std::move(Log)) {}
  void ClosePort(TSioHandle Port) override {
    FLog->push_back("ClosePort");
    TFaultPortBackend::ClosePort(Port);
  }
  void Sleep(std::uint32_t Milliseconds) override {
    FLog->push_back("Sleep " + std::to_string(Milliseconds));
  }

 private:
  std::shared_ptr<std::vector<std::string>> FLog;
};

TEST_F(SioOpenClose, DestroyingAnOpenPortClosesItWithoutOnClose) {
  auto Log = std::make_shared<std::vector<std::string>>();
  auto Backend = std::make_unique<TLoggedBackend>(Log);
  Backend->AddDevice(kCom5Path);
  auto Port = std::make_unique<TSioComm>(nullptr, std::move(Backend));
  Port->SetDeviceName("COM5");
  int Closed = 0;
  Port->SetOnClose([&](TObject*) { ++Closed; });
  Port->Open();
  Port.reset();
  EXPECT_EQ(*Log, (std::vector<std::string>{"ClosePort", "Sleep 300"}));
  EXPECT_EQ(Closed, 0);
}

TEST_F(SioOpenClose, SkipClosePauseClosesWithoutThePauseAndIsOffByDefault) {
  TSioComm& Port = MakeComm();
  EXPECT_FALSE(Port.SkipClosePause());
  int Closed = 0;
  Port.SetOnClose([&](TObject*) { ++Closed; });
  Port.SetSkipClosePause(true);
  Port.Open();
  Port.Close();
  EXPECT_EQ(Closed, 1);
  EXPECT_TRUE(Fault->Sleeps().empty());

  // Switched off again, the next Close pauses as before.
  Port.SetSkipClosePause(false);
  Port.Open();
  Port.Close();
  EXPECT_EQ(Fault->Sleeps(), std::vector<std::uint32_t>{300});
  ExpectNoMisuse();
}

TEST_F(SioOpenClose, DestroyingWithSkipClosePauseDoesNotPauseEither) {
  auto Log = std::make_shared<std::vector<std::string>>();
  auto Backend = std::make_unique<TLoggedBackend>(Log);
  Backend->AddDevice(kCom5Path);
  auto Port = std::make_unique<TSioComm>(nullptr, std::move(Backend));
  Port->SetDeviceName("COM5");
  Port->SetSkipClosePause(true);
  Port->Open();
  Port.reset();
  EXPECT_EQ(*Log, std::vector<std::string>{"ClosePort"});
}

TEST_F(SioOpenClose, AutoOpenOpensOnceLoaded) {
  TSioComm& Port = MakeComm();
  Port.BeginLoading();
  Port.SetAutoOpen(true);
  Port.SetVersion("1.0");  // a stored description may carry it: no effect
  Port.Loaded();
  EXPECT_EQ(Port.Version(), "2.4.2.0");
  EXPECT_TRUE(Port.Active());
  Port.Close();
}

TEST_F(SioOpenClose, AMaskOfZeroStartsNoEventThread) {
  for (const TSioCommEvents Events : {TSioCommEvents{}, TSioCommEvents{ceTxEmpty}}) {
    TSioComm& Port = MakeComm();
    Port.SetMonitorEvents(Events);
    int Handlers = 0;
    Port.SetOnRxChar([&](TObject*, int) { ++Handlers; });
    Port.Open();
    EXPECT_EQ(Fault->CallCount("SetCommMask"), 1);
    EXPECT_EQ(Fault->LastMask(), 0u);
    Fault->InjectRx(Bytes("abc"));
    PumpFor(50);
    EXPECT_EQ(Fault->CallCount("WaitCommEvent"), 0);
    EXPECT_EQ(Handlers, 0);
    Port.Close();
  }
  // With DirectWrite the port itself reports TxEmpty.
  TSioComm& Port = MakeComm();
  Port.SetDirectWrite(true);
  Port.Open();
  EXPECT_EQ(Fault->LastMask(), 0x00C5u);
  Port.Close();
}

TEST_F(SioOpenClose, WriteFromOnOpenIsSent) {
  TSioComm& Port = MakeComm();
  const std::vector<std::uint8_t> Frame = {0xAA, 0x05, 0x01, 0x00, 0xBB};
  Port.SetOnOpen([&](TObject*) { EXPECT_EQ(Port.WriteBuf(Frame.data(), 5), 5); });
  Port.Open();
  EXPECT_TRUE(PumpUntil([&] { return Fault->Written() == Frame; }));
  Port.Close();
  ExpectNoMisuse();
}

}  // namespace

}  // namespace vantor
