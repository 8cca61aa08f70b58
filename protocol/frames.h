// The device link's frames: AA, length of the whole frame, command, payload, BB. Pure
// values: sending them over a port is protocol/requests.h.
#pragma once

#include <array>
#include <cstdint>

namespace vantor {

constexpr std::uint8_t kFrameStart = 0xAA;
constexpr std::uint8_t kFrameEnd = 0xBB;

enum TDeviceCommand : std::uint8_t {
  cmdHandshake = 1,
  cmdReadSetting = 2,
  cmdWriteSetting = 3,
  cmdReadVersion = 4,
};

// Setting indices, the same in reads and writes.
enum TDeviceSetting : std::uint8_t {
  dsButton1Key = 1,  // centre button
  dsButton2Key = 2,  // left button; 255 = off
  dsButton3Key = 3,  // right button; 255 = off
  dsMuteWhenNotPtt = 4,
};

constexpr int kSettingCount = 4;
// The longest reply the device sends (a setting: AA 06 02 i v BB). A frame that claims
// more is noise, unless the rest really arrives.
constexpr std::uint8_t kLongestReply = 6;

using TShortFrame = std::array<std::uint8_t, 5>;
using TLongFrame = std::array<std::uint8_t, 6>;

TShortFrame HandshakeFrame();                                          // AA 05 01 00 BB
TShortFrame ReadSettingFrame(std::uint8_t Index);                      // AA 05 02 i BB
TLongFrame WriteSettingFrame(std::uint8_t Index, std::uint8_t Value);  // AA 06 03 i v BB
TShortFrame ReadVersionFrame();                                        // AA 05 04 00 BB

}  // namespace vantor
