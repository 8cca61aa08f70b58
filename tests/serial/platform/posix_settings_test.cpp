// Line settings, line functions and status on a pseudo-terminal.
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>

#include "pty_pair.h"
#include "serial/port_backend.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;

class PosixSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    Port = Backend->OpenPort(Pty.SlavePath());
    ASSERT_NE(Port, kInvalidSioHandle);
  }
  void TearDown() override {
    if (Port != kInvalidSioHandle) {
      Backend->ClosePort(Port);
    }
  }
  TSioDCB Make(std::uint32_t Baud, std::uint8_t Size, std::uint8_t Parity, std::uint8_t Stop,
               std::uint32_t Flags = 0x1011) {
    TSioDCB Dcb;
    Dcb.BaudRate = Baud;
    Dcb.ByteSize = Size;
    Dcb.Parity = Parity;
    Dcb.StopBits = Stop;
    Dcb.Flags = Flags;
    Dcb.XonChar = 17;
    Dcb.XoffChar = 19;
    Dcb.XonLim = Dcb.XoffLim = 1024;
    return Dcb;
  }

  std::unique_ptr<TSioPortBackend> Backend = MakePlatformPortBackend();
  TPtyPair Pty;
  TSioHandle Port = kInvalidSioHandle;
};

struct TRoundTrip {
  const char* Name;
  std::uint32_t Baud;
  std::uint8_t Size, Parity, Stop;
  std::uint32_t Flags;
};

TEST_F(PosixSettings, SettingsReadBackAsWritten) {
  const TRoundTrip Cases[] = {
      {"115200 8N1, DTR and RTS on", 115200, 8, 0, 0, 0x1011},
      {"user rate 250000", 250000, 8, 0, 0, 0x1011},
      {"9600 7E1 parity check", 9600, 7, 2, 0, 0x1013},
      {"odd parity, two stop bits", 19200, 8, 1, 2, 0x0001},
      {"mark parity", 57600, 8, 3, 0, 0x1011},
      {"space parity", 57600, 8, 4, 0, 0x1011},
      {"5 bits, one and a half stop bits", 1200, 5, 0, 1, 0x0001},
      {"CTS output flow", 38400, 8, 0, 0, 0x1015},
      {"RTS handshake", 38400, 8, 0, 0, 0x2011},
      {"XON/XOFF both ways", 4800, 8, 0, 0, 0x1311},
      {"odd rate 31250", 31250, 8, 0, 0, 0x0001},
  };
  for (const TRoundTrip& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TSioDCB Dcb = Make(Case.Baud, Case.Size, Case.Parity, Case.Stop, Case.Flags);
    ASSERT_TRUE(Backend->SetCommState(Port, Dcb)) << Backend->LastError();
    TSioDCB Read;
    ASSERT_TRUE(Backend->GetCommState(Port, Read));
    EXPECT_EQ(Read.DCBlength, 28u);
    EXPECT_EQ(Read.BaudRate, Case.Baud);
    EXPECT_EQ(Read.ByteSize, Case.Size);
    EXPECT_EQ(Read.Parity, Case.Parity);
    EXPECT_EQ(Read.StopBits, Case.Stop);
    EXPECT_EQ(Read.Flags, Case.Flags);
    EXPECT_EQ(Read.XonChar, 17);
    EXPECT_EQ(Read.XoffChar, 19);
  }
}

TEST_F(PosixSettings, XonXoffCharactersReachTheLine) {
  TSioDCB Dcb = Make(9600, 8, 0, 0, 0x0301);
  Dcb.XonChar = 0x11 + 1;
  Dcb.XoffChar = 0x13 + 1;
  ASSERT_TRUE(Backend->SetCommState(Port, Dcb));
  TSioDCB Read;
  ASSERT_TRUE(Backend->GetCommState(Port, Read));
  EXPECT_EQ(Read.XonChar, 0x12);
  EXPECT_EQ(Read.XoffChar, 0x14);
}

TEST_F(PosixSettings, ImpossibleSettingsAreRefusedAndChangeNothing) {
  ASSERT_TRUE(Backend->SetCommState(Port, Make(115200, 8, 0, 0)));
  const TSioDCB Refused[] = {
      Make(115200, 4, 0, 0),                         // 4-bit characters
      Make(115200, 9, 0, 0), Make(115200, 8, 5, 0),  // no such parity
      Make(115200, 8, 0, 1),                         // 1.5 stop bits need 5-bit characters
      Make(115200, 5, 0, 2),                         // and 2 stop bits longer ones
      Make(0, 8, 0, 0),
  };
  for (const TSioDCB& Dcb : Refused) {
    EXPECT_FALSE(Backend->SetCommState(Port, Dcb));
    EXPECT_EQ(Backend->LastError(), static_cast<std::uint32_t>(EINVAL));
  }
  TSioDCB Read;
  ASSERT_TRUE(Backend->GetCommState(Port, Read));
  EXPECT_EQ(Read.BaudRate, 115200u);
  EXPECT_EQ(Read.ByteSize, 8);
  EXPECT_EQ(Read.StopBits, 0);
}

TEST_F(PosixSettings, QueuesTimeoutsAndMaskAreAccepted) {
  EXPECT_TRUE(Backend->SetupComm(Port, 4096, 2048));
  TSioCommTimeouts Timeouts;
  Timeouts.ReadIntervalTimeout = 0xFFFFFFFF;
  EXPECT_TRUE(Backend->SetCommTimeouts(Port, Timeouts));
  EXPECT_TRUE(Backend->SetCommMask(Port, 0x00C1));
  TSioCommProp Properties;
  ASSERT_TRUE(Backend->GetCommProperties(Port, Properties));
  EXPECT_EQ(Properties.wPacketLength, 64);
  EXPECT_EQ(Properties.dwMaxBaud, 0x10000000u);  // any rate
  EXPECT_EQ(Properties.dwCurrentRxQueue, 4096u);
  EXPECT_EQ(Properties.dwCurrentTxQueue, 2048u);
}

TEST_F(PosixSettings, DefaultConfigurationIs9600With8N1) {
  TSioDCB Dcb;
  ASSERT_TRUE(Backend->GetDefaultCommConfig(Pty.SlavePath(), Dcb));
  EXPECT_EQ(Dcb.BaudRate, 9600u);
  EXPECT_EQ(Dcb.ByteSize, 8);
  EXPECT_EQ(Dcb.Parity, 0);
  EXPECT_EQ(Dcb.StopBits, 0);
  EXPECT_NE(Dcb.Flags & kDcbBinary, 0u);
  EXPECT_FALSE(Backend->GetDefaultCommConfig("/dev/no-such-serial-port", Dcb));
  EXPECT_EQ(Backend->LastError(), static_cast<std::uint32_t>(ENOENT));
}

TEST_F(PosixSettings, LineFunctionsOnACableWithoutModemLines) {
  for (std::uint32_t Code : {kSetDtr, kClrDtr, kSetRts, kClrRts, kSetBreak, kClrBreak}) {
    EXPECT_TRUE(Backend->EscapeCommFunction(Port, Code)) << Code;
  }
  EXPECT_FALSE(Backend->EscapeCommFunction(Port, kResetDev));
  EXPECT_EQ(Backend->LastError(), static_cast<std::uint32_t>(EINVAL));
  std::uint32_t Lines = 0;
  EXPECT_FALSE(Backend->GetCommModemStatus(Port, Lines)) << "a pty has no modem lines";
}

TEST_F(PosixSettings, XoffHoldsOutputUntilXon) {
  TSioWaitEvent Completion;
  std::uint32_t Moved = 99;
  ASSERT_TRUE(Backend->EscapeCommFunction(Port, kSetXoff));
  ASSERT_TRUE(Backend->Write(Port, "abc", 3, Completion, 100, Moved));
  EXPECT_EQ(Moved, 0u) << "output is held";
  ASSERT_TRUE(Backend->EscapeCommFunction(Port, kSetXon));
  ASSERT_TRUE(Backend->Write(Port, "abc", 3, Completion, 10000, Moved));
  EXPECT_EQ(Moved, 3u);
  EXPECT_EQ(Pty.Receive(3), "abc");
}

TEST_F(PosixSettings, StatusCountsAndPurge) {
  Pty.Send("12345");
  TSioPortStatus Status;
  for (int I = 0; I < 1000 && Status.InQueue < 5; ++I) {
    ASSERT_TRUE(Backend->ClearCommError(Port, Status));
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(Status.InQueue, 5u);
  EXPECT_EQ(Status.Errors, 0u);
  ASSERT_TRUE(Backend->PurgeComm(Port, kPurgeRxAbort | kPurgeRxClear));
  ASSERT_TRUE(Backend->ClearCommError(Port, Status));
  EXPECT_EQ(Status.InQueue, 0u);
  EXPECT_TRUE(Backend->PurgeComm(Port, kPurgeTxAbort | kPurgeTxClear));
}

}  // namespace

}  // namespace vantor
