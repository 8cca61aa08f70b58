// The microphone's four settings as every front-end names them, and the key table: device
// codes, key names and their parsing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/frames.h"

namespace vantor {

// Settings 1 to 4 as the device numbers them; front-ends and bindings rely on the numbers.
constexpr int kCentre = dsButton1Key, kLeft = dsButton2Key, kRight = dsButton3Key,
              kMute = dsMuteWhenNotPtt;

// The device's raw values: key codes for 1 to 3 (58..69 = F1..F12, 255 = off), and 0 or
// not 0 for mute.
struct TMicSettings {
  std::array<std::uint8_t, kSettingCount> Values{};
  std::uint8_t& operator[](int Index) { return Values[static_cast<std::size_t>(Index - 1)]; }
  std::uint8_t operator[](int Index) const { return Values[static_cast<std::size_t>(Index - 1)]; }
  bool operator==(const TMicSettings&) const = default;
};

// "centre", "left", "right", "mute".
std::string SettingName(int Index);
// A setting's name in any case ("center" too); none for anything else.
std::optional<int> ParseSettingName(std::string_view Name);

// A key code's name: "F1".."F12", "off" for 255, "unknown(N)" for any other code.
std::string KeyName(std::uint8_t Code);
// "F1".."F12" (any case) and "off"; none for anything else.
std::optional<std::uint8_t> ParseKeyName(std::string_view Text);
bool IsPlainKey(std::uint8_t Code);  // F1..F12

// Mute means only off (0) or on (anything else): a device may store 7 as 1.
bool MuteOn(std::uint8_t Value);
// A setting's value as the tool shows it: the key's name, or "on"/"off" for mute.
std::string ValueName(int Index, std::uint8_t Value);
// "centre F8, left off, right F2, mute off".
std::string SettingsText(const TMicSettings& Settings);

// The settings, in device order, whose values mean something different in Have than in
// Want: key codes compared exactly, mute as on or off.
std::vector<int> SettingDifferences(const TMicSettings& Have, const TMicSettings& Want);

// ASCII lower case: names are matched without the locale.
std::string LowerCase(std::string_view Text);

}  // namespace vantor
