#include "serial/sio_dcb.h"

#include <array>

namespace vantor {

namespace {

constexpr std::array<std::uint32_t, 16> kBaudrateBits = {0,     110,    300,    600,   1200,  2400,
                                                         4800,  9600,   14400,  19200, 38400, 56000,
                                                         57600, 115200, 128000, 256000};

}  // namespace

std::uint32_t BaudrateBits(TSioBaudrate Value) {
  return Value < kBaudrateBits.size() ? kBaudrateBits[Value] : 0;
}

std::uint8_t ParityValue(TSioParity Value) {
  return static_cast<std::uint8_t>(Value);
}
std::uint8_t DatabitsValue(TSioDatabits Value) {
  return static_cast<std::uint8_t>(Value + 4);
}
std::uint8_t StopbitsValue(TSioStopbits Value) {
  return static_cast<std::uint8_t>(Value);
}
std::uint32_t DtrControlBits(TSioControlDtr Value) {
  return std::uint32_t{Value} << 4;
}
std::uint32_t RtsControlBits(TSioControlRts Value) {
  return std::uint32_t{Value} << 12;
}

std::uint32_t OptionBit(TSioCommOption Value) {
  switch (Value) {
    case coErrorChar:
      return kDcbErrorChar;
    case coNullStrip:
      return kDcbNull;
    case coParityCheck:
      return kDcbParity;
  }
  return 0;
}

void BuildDCB(TSioDCB& Dcb, const TSioLineSettings& Line, const TSioFlowControl& Flow,
              const TSioEventChars& Chars, const TSioBuffers& Buffers) {
  Dcb.BaudRate = Line.Baudrate == brUser ? static_cast<std::uint32_t>(Line.UserBaudrate)
                                         : BaudrateBits(Line.Baudrate);
  Dcb.Parity = ParityValue(Line.Parity);
  Dcb.StopBits = StopbitsValue(Line.Stopbits);
  Dcb.ByteSize = DatabitsValue(Line.Databits);
  Dcb.XonChar = Chars.XonChar();
  Dcb.XoffChar = Chars.XoffChar();
  Dcb.ErrorChar = Chars.ErrorChar();
  Dcb.EvtChar = Chars.EventChar();
  Dcb.EofChar = Chars.EofChar();
  Dcb.XonLim = static_cast<std::uint16_t>(Buffers.XonLimit());
  Dcb.XoffLim = static_cast<std::uint16_t>(Buffers.XoffLimit());

  std::uint32_t Flags = kDcbBinary;
  if (Flow.OutCtsFlow())
    Flags |= kDcbOutxCtsFlow;
  if (Flow.OutDsrFlow())
    Flags |= kDcbOutxDsrFlow;
  if (Flow.XonXoffOut())
    Flags |= kDcbOutX;
  if (Flow.XonXoffIn())
    Flags |= kDcbInX;
  Flags |= DtrControlBits(Flow.ControlDtr());
  Flags |= RtsControlBits(Flow.ControlRts());
  if (Flow.DsrSensitivity())
    Flags |= kDcbDsrSensitivity;
  if (Flow.TxContinueOnXoff())
    Flags |= kDcbTxContinueOnXoff;
  for (TSioCommOption Option : {coErrorChar, coNullStrip, coParityCheck}) {
    if (Line.Options.Contains(Option))
      Flags |= OptionBit(Option);
  }
  Dcb.Flags = Flags;
}

TSioBaudrate BaudrateFromBits(std::uint32_t Bits, std::int32_t& UserBaudrate) {
  for (std::size_t Index = 1; Index < kBaudrateBits.size(); ++Index) {
    if (kBaudrateBits[Index] == Bits) {
      UserBaudrate = 0;
      return static_cast<TSioBaudrate>(Index);
    }
  }
  UserBaudrate = static_cast<std::int32_t>(Bits);
  return brUser;
}

TSioParity ParityFromValue(std::uint8_t Value) {
  return Value <= paSpace ? static_cast<TSioParity>(Value) : paNone;
}

TSioDatabits DatabitsFromValue(std::uint8_t Value) {
  return Value >= 4 && Value <= 8 ? static_cast<TSioDatabits>(Value - 4) : db8;
}

TSioStopbits StopbitsFromValue(std::uint8_t Value) {
  return Value <= sb2 ? static_cast<TSioStopbits>(Value) : sb1;
}

TSioControlDtr ControlDtrFromFlags(std::uint32_t Flags) {
  const std::uint32_t Field = (Flags & kDcbDtrControlMask) >> 4;
  return Field >= dtrHandshake ? dtrHandshake : static_cast<TSioControlDtr>(Field);
}

TSioControlRts ControlRtsFromFlags(std::uint32_t Flags) {
  return static_cast<TSioControlRts>((Flags & kDcbRtsControlMask) >> 12);
}

TSioCommOptions OptionsFromFlags(std::uint32_t Flags) {
  TSioCommOptions Options;
  for (TSioCommOption Option : {coErrorChar, coNullStrip, coParityCheck}) {
    if (Flags & OptionBit(Option))
      Options.Include(Option);
  }
  return Options;
}

}  // namespace vantor
