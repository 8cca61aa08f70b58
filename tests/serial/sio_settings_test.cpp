// Settings objects, the DCB built from them, the error texts and the byte queue.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "serial/sio_write_thread.h"
#include "serial/sio_dcb.h"
#include "serial/sio_errors.h"
#include "serial/sio_settings.h"

namespace vantor {

namespace {

struct NoticeCounter {
  int Count = 0;
  TObject* LastSender = nullptr;
  template <class T>
  void Attach(T& Object) {
    Object.SetOnChange([this](TObject* Sender) {
      ++Count;
      LastSender = Sender;
    });
  }
};

TEST(SioSettings, NestedUpdatesSendOneNoticeAtTheOutermostEnd) {
  TSioBuffers Buffers;
  NoticeCounter Notices;
  Notices.Attach(Buffers);
  Buffers.BeginUpdate();
  Buffers.BeginUpdate();
  Buffers.SetReadSize(1);
  Buffers.SetWriteSize(2);
  Buffers.SetXonLimit(3);
  Buffers.EndUpdate();
  EXPECT_EQ(Notices.Count, 0);
  Buffers.EndUpdate();
  EXPECT_EQ(Notices.Count, 1);
  EXPECT_EQ(Notices.LastSender, &Buffers);
  // An unbalanced EndUpdate does not drive the count below zero.
  Buffers.EndUpdate();
  Buffers.SetReadSize(5);
  EXPECT_EQ(Notices.Count, 3);
}

TEST(SioSettings, WhichSettersNotify) {
  struct Case {
    const char* Name;
    std::function<void(TSioBuffers&, TSioFlowControl&, TSioEventChars&)> Change;
    int Notices;
  };
  const std::vector<Case> Cases = {
      {"ReadSize unchanged", [](auto& B, auto&, auto&) { B.SetReadSize(4096); }, 0},
      {"ReadSize changed", [](auto& B, auto&, auto&) { B.SetReadSize(100); }, 1},
      {"WriteSize changed", [](auto& B, auto&, auto&) { B.SetWriteSize(100); }, 1},
      {"XoffLimit changed", [](auto& B, auto&, auto&) { B.SetXoffLimit(1); }, 1},
      {"ReadTimeout changed", [](auto& B, auto&, auto&) { B.SetReadTimeout(5); }, 0},
      {"WriteTimeout changed", [](auto& B, auto&, auto&) { B.SetWriteTimeout(5); }, 0},
      {"OutCtsFlow unchanged", [](auto&, auto& F, auto&) { F.SetOutCtsFlow(false); }, 0},
      {"ControlRts changed", [](auto&, auto& F, auto&) { F.SetControlRts(rtsToggle); }, 1},
      {"XonChar unchanged", [](auto&, auto&, auto& C) { C.SetXonChar(17); }, 1},
      {"EofChar by index", [](auto&, auto&, auto& C) { C.SetEventChar(5, 26); }, 1},
      {"index out of range", [](auto&, auto&, auto& C) { C.SetEventChar(6, 26); }, 0},
  };
  for (const auto& Item : Cases) {
    TSioBuffers Buffers;
    TSioFlowControl Flow;
    TSioEventChars Chars;
    NoticeCounter Notices;
    Notices.Attach(Buffers);
    Notices.Attach(Flow);
    Notices.Attach(Chars);
    Item.Change(Buffers, Flow, Chars);
    EXPECT_EQ(Notices.Count, Item.Notices) << Item.Name;
  }
}

TEST(SioSettings, AssignCopiesEverythingWithOneNotice) {
  TSioFlowControl Source;
  Source.SetOutCtsFlow(true);
  Source.SetOutDsrFlow(true);
  Source.SetControlDtr(dtrHandshake);
  Source.SetControlRts(rtsToggle);
  Source.SetXonXoffIn(true);
  Source.SetTxContinueOnXoff(true);
  TSioFlowControl Flow;
  NoticeCounter Notices;
  Notices.Attach(Flow);
  Flow.Assign(Source);
  EXPECT_EQ(Notices.Count, 1);
  EXPECT_TRUE(Flow.OutCtsFlow() && Flow.OutDsrFlow() && Flow.XonXoffIn() &&
              Flow.TxContinueOnXoff());
  EXPECT_FALSE(Flow.XonXoffOut() || Flow.DsrSensitivity());
  EXPECT_EQ(Flow.ControlDtr(), dtrHandshake);
  EXPECT_EQ(Flow.ControlRts(), rtsToggle);

  TSioBuffers Sizes;
  Sizes.SetReadSize(10);
  Sizes.SetWriteSize(20);
  Sizes.SetReadTimeout(30);
  Sizes.SetWriteTimeout(40);
  Sizes.SetXonLimit(50);
  Sizes.SetXoffLimit(60);
  TSioBuffers Buffers;
  Notices.Attach(Buffers);
  Notices.Count = 0;
  Buffers.Assign(Sizes);
  EXPECT_EQ(Notices.Count, 1);
  EXPECT_EQ(Buffers.ReadSize(), 10);
  EXPECT_EQ(Buffers.WriteSize(), 20);
  EXPECT_EQ(Buffers.ReadTimeout(), 30);
  EXPECT_EQ(Buffers.WriteTimeout(), 40);
  EXPECT_EQ(Buffers.XonLimit(), 50);
  EXPECT_EQ(Buffers.XoffLimit(), 60);

  TSioEventChars Special;
  Special.SetEofChar(26);
  TSioEventChars Chars;
  Notices.Attach(Chars);
  Notices.Count = 0;
  Chars.Assign(Special);
  EXPECT_EQ(Notices.Count, 1);
  EXPECT_EQ(Chars.EofChar(), 26);
  EXPECT_EQ(Chars.EventChar(), 0);
  EXPECT_EQ(Chars.XonChar(), 17);
  EXPECT_EQ(Chars.XoffChar(), 19);
}

TEST(SioSettings, AssignFromAnotherClassIsRefused) {
  TSioBuffers Buffers;
  TSioFlowControl Flow;
  TSioEventChars Chars;
  EXPECT_THROW(Buffers.Assign(Flow), EConvertError);
  EXPECT_THROW(Flow.Assign(Chars), EConvertError);
  EXPECT_THROW(Chars.Assign(Buffers), EConvertError);
  // The store ignores any other source.
  TSettingsStore Store;
  Store.SetKey("k");
  EXPECT_NO_THROW(Store.Assign(Buffers));
  EXPECT_EQ(Store.Key(), "k");
  TSettingsStore Other;
  Other.SetKey("x.ini");
  Other.SetSection("S");
  Other.SetLocation(slRegistry);
  Other.SetRegRoot(rrLOCALMACHINE);
  Store.Assign(Other);
  EXPECT_EQ(Store.Key(), "x.ini");
  EXPECT_EQ(Store.Section(), "S");
  EXPECT_EQ(Store.Location(), slRegistry);
  EXPECT_EQ(Store.RegRoot(), rrLOCALMACHINE);
}

TEST(SioDcb, Comport1SettingsGiveTheExactRecord) {
  TSioFlowControl Flow;
  Flow.SetControlDtr(dtrEnabled);
  Flow.SetControlRts(rtsEnabled);
  TSioDCB Dcb;
  Dcb.Flags = 0xFFFF;  // nothing of what the port held survives in the flag word
  Dcb.wReserved = 7;   // other fields are kept
  BuildDCB(Dcb, TSioLineSettings{br115200, 0, paNone, db8, sb1, {}}, Flow, TSioEventChars(),
           TSioBuffers());
  EXPECT_EQ(Dcb.DCBlength, 28u);
  EXPECT_EQ(Dcb.BaudRate, 115200u);
  EXPECT_EQ(Dcb.ByteSize, 8);
  EXPECT_EQ(Dcb.Parity, 0);
  EXPECT_EQ(Dcb.StopBits, 0);
  EXPECT_EQ(Dcb.Flags, 0x1011u);
  EXPECT_EQ(Dcb.XonChar, 17);
  EXPECT_EQ(Dcb.XoffChar, 19);
  EXPECT_EQ(Dcb.ErrorChar, 0);
  EXPECT_EQ(Dcb.EofChar, 0);
  EXPECT_EQ(Dcb.EvtChar, 0);
  EXPECT_EQ(Dcb.XonLim, 1024);
  EXPECT_EQ(Dcb.XoffLim, 1024);
  EXPECT_EQ(Dcb.wReserved, 7);
}

TEST(SioDcb, EachSettingToItsValue) {
  for (int Ordinal = 1; Ordinal <= br256000; ++Ordinal) {
    std::int32_t User = -1;
    const auto Rate = static_cast<TSioBaudrate>(Ordinal);
    EXPECT_EQ(BaudrateFromBits(BaudrateBits(Rate), User), Rate);
    EXPECT_EQ(User, 0);
  }
  EXPECT_EQ(BaudrateBits(br110), 110u);
  EXPECT_EQ(BaudrateBits(br56000), 56000u);
  EXPECT_EQ(BaudrateBits(br256000), 256000u);
  std::int32_t User = 0;
  EXPECT_EQ(BaudrateFromBits(250000, User), brUser);
  EXPECT_EQ(User, 250000);

  const std::uint8_t Parities[] = {0, 1, 2, 3, 4};
  for (int P = paNone; P <= paSpace; ++P) {
    EXPECT_EQ(ParityValue(static_cast<TSioParity>(P)), Parities[P]);
  }
  for (int D = db4; D <= db8; ++D)
    EXPECT_EQ(DatabitsValue(static_cast<TSioDatabits>(D)), D + 4);
  EXPECT_EQ(StopbitsValue(sb15), 1);
  EXPECT_EQ(StopbitsValue(sb2), 2);

  struct FlagCase {
    const char* Name;
    std::function<void(TSioFlowControl&, TSioLineSettings&)> Set;
    std::uint32_t Flags;
  };
  const std::vector<FlagCase> Cases = {
      {"none", [](auto&, auto&) {}, 0x0001},
      {"OutCtsFlow", [](auto& F, auto&) { F.SetOutCtsFlow(true); }, 0x0005},
      {"OutDsrFlow", [](auto& F, auto&) { F.SetOutDsrFlow(true); }, 0x0009},
      {"dtrHandshake", [](auto& F, auto&) { F.SetControlDtr(dtrHandshake); }, 0x0021},
      {"rtsHandshake", [](auto& F, auto&) { F.SetControlRts(rtsHandshake); }, 0x2001},
      {"rtsToggle", [](auto& F, auto&) { F.SetControlRts(rtsToggle); }, 0x3001},
      {"XonXoffOut", [](auto& F, auto&) { F.SetXonXoffOut(true); }, 0x0101},
      {"XonXoffIn", [](auto& F, auto&) { F.SetXonXoffIn(true); }, 0x0201},
      {"DsrSensitivity", [](auto& F, auto&) { F.SetDsrSensitivity(true); }, 0x0041},
      {"TxContinueOnXoff", [](auto& F, auto&) { F.SetTxContinueOnXoff(true); }, 0x0081},
      {"coErrorChar", [](auto&, auto& L) { L.Options.Include(coErrorChar); }, 0x0401},
      {"coNullStrip", [](auto&, auto& L) { L.Options.Include(coNullStrip); }, 0x0801},
      {"coParityCheck", [](auto&, auto& L) { L.Options.Include(coParityCheck); }, 0x0003},
  };
  for (const auto& Item : Cases) {
    TSioFlowControl Flow;
    TSioLineSettings Line;
    Item.Set(Flow, Line);
    TSioDCB Dcb;
    BuildDCB(Dcb, Line, Flow, TSioEventChars(), TSioBuffers());
    EXPECT_EQ(Dcb.Flags, Item.Flags) << Item.Name;
    // And back, as the device's defaults are read.
    EXPECT_EQ(ControlDtrFromFlags(Dcb.Flags), Flow.ControlDtr()) << Item.Name;
    EXPECT_EQ(ControlRtsFromFlags(Dcb.Flags), Flow.ControlRts()) << Item.Name;
    EXPECT_EQ(OptionsFromFlags(Dcb.Flags), Line.Options) << Item.Name;
  }
  EXPECT_EQ(ControlDtrFromFlags(0x0030), dtrHandshake);  // the unused field value 3

  const TSioLineSettings Custom{brUser, 250000, paEven, db7, sb2, {}};
  TSioDCB Dcb;
  TSioBuffers Limits;
  Limits.SetXonLimit(0x12345);  // only the low 16 bits reach the record
  BuildDCB(Dcb, Custom, TSioFlowControl(), TSioEventChars(), Limits);
  EXPECT_EQ(Dcb.BaudRate, 250000u);
  EXPECT_EQ(Dcb.Parity, 2);
  EXPECT_EQ(Dcb.ByteSize, 7);
  EXPECT_EQ(Dcb.StopBits, 2);
  EXPECT_EQ(Dcb.XonLim, 0x2345);
}

TEST(SioErrors, TrimmingAndFormatting) {
  EXPECT_EQ(TrimSystemText("Access is denied.\r\n"), "Access is denied");
  EXPECT_EQ(TrimSystemText("Odd... \t. "), "Odd");
  EXPECT_EQ(TrimSystemText("...."), "");
  EXPECT_EQ(TrimSystemText("v1.2 ok"), "v1.2 ok");

  struct Case {
    std::string Msg;
    std::string Expected;
  };
  const std::vector<Case> Cases = {
      {SioMsg::kInitBuffers, "Error initializing buffers (5), Access is denied"},
      {SioMsg::kEventMask, " Error setting EventMask (5), Access is denied"},
      {SioMsg::kOutputFull, SioMsg::kOutputFull},
      {SioMsg::kDefaultParams, SioMsg::kDefaultParams},
      {std::string("Can't open specified device COM%%7") + SioMsg::kCantOpenDetail,
       "Can't open specified device COM%7 (Error 5, Access is denied)"},
  };
  for (const auto& Item : Cases) {
    EXPECT_EQ(FormatCommMessage(Item.Msg, 5, "Access is denied"), Item.Expected) << Item.Msg;
  }
  EXPECT_EQ(FormatPortNumber("COM%d", 3), "COM3");
  EXPECT_EQ(FormatPortNumber("COM5", 3), "COM5");
  EXPECT_EQ(EscapePercent("a%b"), "a%%b");
}

TEST(SioBuffer, QueueKeepsBytesAtItsStart) {
  TSioCommBuffer Buffer(8);
  EXPECT_EQ(Buffer.Capacity(), 8);
  Buffer.Write("abcdef", 6);
  char Out[8] = {};
  Buffer.Peek(Out, 2);
  EXPECT_EQ(std::string(Out, 2), "ab");
  EXPECT_EQ(Buffer.Size(), 6);
  Buffer.Remove(4);
  EXPECT_EQ(Buffer.Size(), 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(Buffer.DataPtr()), 2), "ef");
  Buffer.Write("gh", 2);
  Buffer.Read(Out, 3);
  EXPECT_EQ(std::string(Out, 3), "efg");
  Buffer.Remove(10);  // more than held: empties it
  EXPECT_EQ(Buffer.Size(), 0);
  Buffer.Write("x", 1);
  Buffer.Clear();
  EXPECT_EQ(Buffer.Size(), 0);
}

}  // namespace

}  // namespace vantor
