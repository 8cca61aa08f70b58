// The device control block built from the component's settings, and the reverse mapping
// used when settings are taken from the device's defaults. Pure functions.
#pragma once

#include <cstdint>

#include "serial/port_backend.h"
#include "serial/sio_settings.h"
#include "serial/sio_types.h"

namespace vantor {

struct TSioLineSettings {
  TSioBaudrate Baudrate = br1200;
  std::int32_t UserBaudrate = 0;
  TSioParity Parity = paNone;
  TSioDatabits Databits = db8;
  TSioStopbits Stopbits = sb1;
  TSioCommOptions Options;
};

// Line speed in bit/s of a table entry; brUser has none (0).
std::uint32_t BaudrateBits(TSioBaudrate Value);
std::uint8_t ParityValue(TSioParity Value);
std::uint8_t DatabitsValue(TSioDatabits Value);
std::uint8_t StopbitsValue(TSioStopbits Value);
std::uint32_t DtrControlBits(TSioControlDtr Value);
std::uint32_t RtsControlBits(TSioControlRts Value);
std::uint32_t OptionBit(TSioCommOption Value);

// Fills Dcb (as read from the port) with the settings; the flag word is built anew.
void BuildDCB(TSioDCB& Dcb, const TSioLineSettings& Line, const TSioFlowControl& Flow,
              const TSioEventChars& Chars, const TSioBuffers& Buffers);

// The first table entry with that speed, else brUser (UserBaudrate then carries the speed).
TSioBaudrate BaudrateFromBits(std::uint32_t Bits, std::int32_t& UserBaudrate);
TSioParity ParityFromValue(std::uint8_t Value);      // unknown: paNone
TSioDatabits DatabitsFromValue(std::uint8_t Value);  // unknown: db8
TSioStopbits StopbitsFromValue(std::uint8_t Value);  // unknown: sb1
TSioControlDtr ControlDtrFromFlags(std::uint32_t Flags);
TSioControlRts ControlRtsFromFlags(std::uint32_t Flags);
TSioCommOptions OptionsFromFlags(std::uint32_t Flags);

}  // namespace vantor
