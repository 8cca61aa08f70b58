// The device link's frames: AA, length of the whole frame, command, payload, BB.
#pragma once

#include <array>
#include <cstdint>

namespace vantor {

class ISerialPort;

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

using TShortFrame = std::array<std::uint8_t, 5>;
using TLongFrame = std::array<std::uint8_t, 6>;

TShortFrame HandshakeFrame();                                          // AA 05 01 00 BB
TShortFrame ReadSettingFrame(std::uint8_t Index);                      // AA 05 02 i BB
TLongFrame WriteSettingFrame(std::uint8_t Index, std::uint8_t Value);  // AA 06 03 i v BB
TShortFrame ReadVersionFrame();                                        // AA 05 04 00 BB

// Each request is written in one WriteBuf. A failure of any kind closes the port and is
// swallowed: the caller learns nothing (the port-closed notification tells the rest).
void SendHandshake(ISerialPort& Port);
void RequestSetting(ISerialPort& Port, std::uint8_t Index);
void WriteSetting(ISerialPort& Port, std::uint8_t Index, std::uint8_t Value);
void RequestVersion(ISerialPort& Port);

}  // namespace vantor
