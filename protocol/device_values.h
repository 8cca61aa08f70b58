// The values the device stores and how the host shows them: function-key values of the key
// fields and the device's key codes (USB HID usage IDs), and the firmware version text.
#pragma once

#include <cstdint>
#include <string>

namespace vantor {

constexpr std::uint16_t kKeyNone = 252;       // an empty field: names no key
constexpr std::uint8_t kDeviceKeyNone = 255;  // the device's "no key"
constexpr std::uint16_t kVirtualKeyF1 = 112;  // F1..F12 = 112..123
constexpr std::uint8_t kDeviceKeyF1 = 58;     // F1..F12 = 58..69
constexpr int kFunctionKeys = 12;             // the device takes F1 to F12, no more

// 58..69: a code the device maps to F1..F12.
constexpr bool IsFunctionKeyCode(int Code) {
  return Code >= kDeviceKeyF1 && Code < kDeviceKeyF1 + kFunctionKeys;
}

// 112..123 (plain F1..F12) give 58..69; every other value, modifiers included, gives 255.
int KeyToDeviceCode(std::uint16_t Value);
// 58..69 give 112..123; every other code gives the none value 252.
std::uint16_t DeviceCodeToKey(int Code);

// Tenths with one decimal and a full stop whatever the locale: 12 -> "1.2", 255 -> "25.5".
std::string VersionText(std::uint8_t Tenths);

}  // namespace vantor
