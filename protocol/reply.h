// Reading a reply frame: exactly which bytes the host looks at, and nothing else.
#pragma once

#include <cstdint>
#include <vector>

namespace vantor {

struct TDeviceReply {
  enum TKind : std::uint8_t {
    rkIgnored,         // no command (length 0 to 2), command 3, an unknown code, a bad setting
    rkNotConnected,    // command 1 with a length below 4
    rkHandshake,       // command 1: Status
    rkSetting,         // command 2 of length 6 with index 1 to 4: Index, Value
    rkVersion,         // command 4: Version
    rkVersionUnknown,  // command 4 with a length below 4
  };
  TKind Kind = rkIgnored;
  std::uint8_t Status = 0;
  std::uint8_t Index = 0;
  std::uint8_t Value = 0;
  std::uint8_t Version = 0;
};

// Frame holds at least Length bytes and begins with the start byte; the end byte is never
// examined.
TDeviceReply ReadReply(const std::vector<std::uint8_t>& Frame, std::uint8_t Length);

}  // namespace vantor
