// Line functions, status reads, properties, the device's defaults, saved settings and
// the registry's port names.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "serial/sio_errors.h"
#include "tests/serial/sio_test_support.h"

namespace vantor {

namespace {

using SioLine = SioTest;

TEST_F(SioLine, LineFunctionsSendTheirEscapeCodes) {
  struct Case {
    const char* Name;
    std::function<void(TSioComm&)> Call;
    std::uint32_t Code;
  };
  const std::vector<Case> Cases = {
      {"SetDTR(true)", [](TSioComm& C) { C.SetDTR(true); }, 5},
      {"SetDTR(false)", [](TSioComm& C) { C.SetDTR(false); }, 6},
      {"SetRTS(true)", [](TSioComm& C) { C.SetRTS(true); }, 3},
      {"SetRTS(false)", [](TSioComm& C) { C.SetRTS(false); }, 4},
      {"SetBreak(true)", [](TSioComm& C) { C.SetBreak(true); }, 8},
      {"SetBreak(false)", [](TSioComm& C) { C.SetBreak(false); }, 9},
      {"SetXon(true)", [](TSioComm& C) { C.SetXon(true); }, 2},
      {"SetXon(false)", [](TSioComm& C) { C.SetXon(false); }, 1},
      {"ResetDev", [](TSioComm& C) { C.ResetDev(); }, 7},
  };
  TSioComm& Port = MakeComm();
  for (const auto& Item : Cases)
    Item.Call(Port);  // closed: nothing, no failure
  EXPECT_TRUE(Fault->Escapes().empty());
  Port.Open();
  for (const auto& Item : Cases) {
    Item.Call(Port);
    EXPECT_EQ(Fault->Escapes().back(), Item.Code) << Item.Name;
  }
  Fault->Refuse(foEscapeCommFunction, 22, 1);
  EXPECT_EQ(RaisedMessage([&] { Port.SetBreak(true); }),
            "Error calling comm function (22), The device does not recognize the command");
  Port.Close();
}

TEST_F(SioLine, HandshakeForbidsManualDtrAndRts) {
  TSioComm& Port = MakeComm();
  Port.Open();
  const std::size_t Before = Fault->Escapes().size();
  Port.FlowControl().SetControlDtr(dtrHandshake);
  EXPECT_EQ(RaisedMessage([&] { Port.SetDTR(true); }), SioMsg::kDtrHandshake);
  for (const TSioControlRts Rts : {rtsHandshake, rtsToggle}) {
    Port.FlowControl().SetControlRts(Rts);
    EXPECT_EQ(RaisedMessage([&] { Port.SetRTS(false); }), SioMsg::kRtsHandshake);
  }
  EXPECT_EQ(Fault->Escapes().size(), Before);  // the line was left alone
  // With the report bound the function is performed all the same.
  Port.SetOnErrorException([](TObject*, int, const std::string&) {});
  Port.SetDTR(true);
  EXPECT_EQ(Fault->Escapes().back(), kSetDtr);
  Port.Close();
}

TEST_F(SioLine, StatusReads) {
  struct Case {
    const char* Name;
    std::function<bool(TSioComm&)> Read;
    std::uint32_t Modem;
    std::uint32_t Hold;
  };
  const std::vector<Case> Cases = {
      {"CTS", [](TSioComm& C) { return C.CTS(); }, 0x10, 0},
      {"DSR", [](TSioComm& C) { return C.DSR(); }, 0x20, 0},
      {"RING", [](TSioComm& C) { return C.RING(); }, 0x40, 0},
      {"RLSD", [](TSioComm& C) { return C.RLSD(); }, 0x80, 0},
      {"CTSHold", [](TSioComm& C) { return C.CTSHold(); }, 0, 0x01},
      {"DSRHold", [](TSioComm& C) { return C.DSRHold(); }, 0, 0x02},
      {"RLSDHold", [](TSioComm& C) { return C.RLSDHold(); }, 0, 0x04},
      {"XOffHold", [](TSioComm& C) { return C.XOffHold(); }, 0, 0x08},
      {"XOffSent", [](TSioComm& C) { return C.XOffSent(); }, 0, 0x10},
  };
  TSioComm& Port = MakeComm();
  Port.SetMonitorEvents({});
  Fault->SetModemStatus(0xF0);
  Fault->SetHoldFlags(0x1F);
  for (const auto& Item : Cases)
    EXPECT_FALSE(Item.Read(Port)) << Item.Name << " closed";
  Port.Open();
  for (const auto& Item : Cases) {
    Fault->SetModemStatus(Item.Modem);
    Fault->SetHoldFlags(Item.Hold);
    EXPECT_TRUE(Item.Read(Port)) << Item.Name;
    Fault->SetModemStatus(0xF0 & ~Item.Modem);
    Fault->SetHoldFlags(0x1F & ~Item.Hold);
    EXPECT_FALSE(Item.Read(Port)) << Item.Name;
  }
  Fault->Refuse(foGetCommModemStatus, 5, 1);
  EXPECT_EQ(RaisedMessage([&] { Port.CTS(); }), "Error reading modem state (5), Access is denied");
  Port.Close();
}

TEST_F(SioLine, Properties) {
  TSioComm& Port = MakeComm();
  EXPECT_EQ(RaisedMessage([&] { Port.Properties(); }), SioMsg::kPortClosed);
  TSioCommProp Prop;
  Prop.dwMaxBaud = 0x10000000;
  Prop.dwCurrentTxQueue = 2048;
  Fault->SetProperties(Prop);
  Port.Open();
  EXPECT_EQ(Port.Properties().dwMaxBaud, 0x10000000u);
  EXPECT_EQ(Port.Properties().dwCurrentTxQueue, 2048u);
  Fault->Refuse(foGetCommProperties, 87, 1);
  EXPECT_EQ(RaisedMessage([&] { Port.Properties(); }),
            "Error reading port properties (87), The parameter is incorrect");
  Port.Close();
}

TEST_F(SioLine, ResetPortParametersTakesTheDevicesDefaults) {
  TSioComm& Port = MakeComm();
  TSioDCB Dcb;
  Dcb.BaudRate = 250000;
  Dcb.ByteSize = 7;
  Dcb.Parity = 2;
  Dcb.StopBits = 2;
  Dcb.Flags = 0x0001 | 0x0004 | 0x0100 | 0x2000 | 0x0800;  // DTR field 0
  Dcb.XonChar = 1;
  Dcb.XoffChar = 2;
  Dcb.ErrorChar = 3;
  Dcb.EvtChar = 4;
  Dcb.EofChar = 26;
  Dcb.XonLim = 10;
  Dcb.XoffLim = 20;
  Fault->SetDefaultDcb(Dcb);
  Port.ResetPortParameters();
  EXPECT_EQ(Fault->Calls().back().Text, "COM5");  // by name, without the prefix
  EXPECT_EQ(Port.Baudrate(), brUser);
  EXPECT_EQ(Port.UserBaudrate(), 250000);
  EXPECT_EQ(Port.Databits(), db7);
  EXPECT_EQ(Port.Parity(), paEven);
  EXPECT_EQ(Port.Stopbits(), sb2);
  EXPECT_EQ(Port.FlowControl().ControlDtr(), dtrDisabled);
  EXPECT_EQ(Port.FlowControl().ControlRts(), rtsHandshake);
  EXPECT_TRUE(Port.FlowControl().OutCtsFlow());
  EXPECT_TRUE(Port.FlowControl().XonXoffOut());
  EXPECT_FALSE(Port.FlowControl().XonXoffIn());
  EXPECT_EQ(Port.EventChars().XonChar(), 1);
  EXPECT_EQ(Port.EventChars().EventChar(), 4);
  EXPECT_EQ(Port.EventChars().EofChar(), 26);
  EXPECT_EQ(Port.Buffers().XoffLimit(), 20);
  EXPECT_EQ(Port.Options(), TSioCommOptions{coNullStrip});

  Dcb.BaudRate = 57600;
  Fault->SetDefaultDcb(Dcb);
  Port.ResetPortParameters();
  EXPECT_EQ(Port.Baudrate(), br57600);
  EXPECT_EQ(Port.UserBaudrate(), 0);

  Fault->Refuse(foGetDefaultCommConfig, 2, 1);
  EXPECT_EQ(RaisedMessage([&] { Port.ResetPortParameters(); }), SioMsg::kDefaultParams);

  // On an open port a changed limit is refused after the flow control reached the port.
  Port.Open();
  const int Writes = Fault->DcbWrites();
  Dcb.XonLim = 99;
  Fault->SetDefaultDcb(Dcb);
  EXPECT_EQ(RaisedMessage([&] { Port.ResetPortParameters(); }), SioMsg::kPortOpen);
  EXPECT_GT(Fault->DcbWrites(), Writes);
  Port.Close();
}

class SioSavedSettings : public SioTest {
 protected:
  void SetUp() override {
    Folder = std::filesystem::temp_directory_path() /
             ("sio-settings-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
              "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Folder);
  }
  void TearDown() override {
    SioTest::TearDown();
    std::error_code Ignored;
    std::filesystem::remove_all(Folder, Ignored);
  }
  std::string Read(const std::filesystem::path& File) {
    std::ifstream In(File);
    return std::string(std::istreambuf_iterator<char>(In), {});
  }
  std::filesystem::path Folder;
};

TEST_F(SioSavedSettings, SaveAndLoadRoundTrip) {
  TSioComm& Port = MakeComm();
  const std::string File = (Folder / "port.ini").string();
  Port.SettingsStore().SetKey(File);
  Port.SetUserBaudrate(250000);
  Port.SetParity(paOdd);
  Port.SetDatabits(db7);
  Port.SetStopbits(sb2);
  Port.SetPortNum(4);
  ASSERT_TRUE(Port.SaveSettings());
  EXPECT_EQ(Port.SettingsStore().Section(), "Comport1");
  const std::string Text = Read(File);
  for (const char* Line : {"USERBAUDRATE=250000", "BAUDRATE=0", "PARITY=1", "DATABITS=3",
                           "PORTNUM=4", "STOPBITS=2", "COMNAME=COM4", "FLOWCONTROL=1", "FLAG=1"}) {
    EXPECT_NE(Text.find(Line), std::string::npos) << Line;
  }

  TSioComm& Other = MakeComm(false);
  Other.SettingsStore().SetKey(File);
  Other.SettingsStore().SetSection("Comport1");
  ASSERT_TRUE(Other.LoadSettings());
  EXPECT_EQ(Other.Baudrate(), brUser);
  EXPECT_EQ(Other.UserBaudrate(), 250000);
  EXPECT_EQ(Other.Parity(), paOdd);
  EXPECT_EQ(Other.Databits(), db7);
  EXPECT_EQ(Other.Stopbits(), sb2);
  EXPECT_EQ(Other.PortNum(), 4);
  EXPECT_EQ(Other.FlowControl().ControlDtr(), dtrEnabled);
  EXPECT_EQ(Other.FlowControl().ControlRts(), rtsEnabled);
}

TEST_F(SioSavedSettings, FlowControlRuleAndTheFlagKey) {
  struct Case {
    std::function<void(TSioFlowControl&)> Set;
    int Saved;
  };
  const std::vector<Case> Cases = {
      {[](TSioFlowControl&) {}, 0},
      {[](TSioFlowControl& F) { F.SetControlRts(rtsEnabled); }, 1},
      {[](TSioFlowControl& F) { F.SetXonXoffIn(true); }, 2},
      {[](TSioFlowControl& F) {
         F.SetControlDtr(dtrEnabled);
         F.SetXonXoffOut(true);
       },
       1},
  };
  const std::string File = (Folder / "flow.ini").string();
  for (const auto& Item : Cases) {
    TSioComm& Port = MakeComm(false);
    Port.SettingsStore().SetKey(File);
    Item.Set(Port.FlowControl());
    ASSERT_TRUE(Port.SaveSettings());
    EXPECT_NE(Read(File).find("FLOWCONTROL=" + std::to_string(Item.Saved)), std::string::npos);
    TSioComm& Loaded = MakeComm(false);
    Loaded.SettingsStore().SetKey(File);
    Loaded.FlowControl().SetControlRts(rtsToggle);
    ASSERT_TRUE(Loaded.LoadSettings());
    EXPECT_EQ(Loaded.FlowControl().XonXoffIn(), Item.Saved == 2);
    EXPECT_EQ(Loaded.FlowControl().ControlRts(), Item.Saved == 1 ? rtsEnabled : rtsDisabled);
  }
  // Without FLAG=1 nothing is loaded.
  std::ofstream(File) << "[Comport1]\r\nFLAG=0\r\nBAUDRATE=7\r\n";
  TSioComm& Port = MakeComm(false);
  Port.SettingsStore().SetKey(File);
  EXPECT_FALSE(Port.LoadSettings());
  EXPECT_EQ(Port.Baudrate(), br1200);
}

TEST_F(SioSavedSettings, TheDefaultFileIsTheProgramsPathWithIni) {
  TSioComm& Port = MakeComm(false);
  const std::string Exe = App.App->ExeName();
  const std::string Expected = Exe.substr(0, Exe.find_last_of('.')) + ".INI";
  EXPECT_FALSE(Port.LoadSettings());  // no such file; the names are settled all the same
  EXPECT_EQ(Port.SettingsStore().Key(), Expected);
  EXPECT_EQ(Port.SettingsStore().Section(), "Comport1");
  Port.SettingsStore().SetLocation(slRegistry);
  EXPECT_FALSE(Port.SaveSettings());
  EXPECT_FALSE(Port.LoadSettings());
}

TEST_F(SioLine, ComPortNamesFromTheRegistryWithoutDuplicates) {
  TSioComm& Port = MakeComm();
  Fault->SetRegistryNames({"COM1", "COM3", "COM1", "COM5"});
  std::vector<std::string> Names = {"stale"};
  Port.GetComPortNames(Names);
  EXPECT_EQ(Names, (std::vector<std::string>{"COM1", "COM3", "COM5"}));
}

}  // namespace

}  // namespace vantor
