// The microphone's four settings as the tool names them, and the rules a new set of them
// must keep: each button's key, or off for the left and right buttons, and mute when not
// push-to-talk.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Settings 1 to 4 as the device numbers them.
constexpr int kSettingCount = 4;
constexpr int kCentre = 1, kLeft = 2, kRight = 3, kMute = 4;

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
// A key code's name: "F1".."F12", "off" for 255, "unknown(N)" for any other code.
std::string KeyName(std::uint8_t Code);
// A setting's value as the tool shows it: the key's name, or "on"/"off" for mute.
std::string ValueName(int Index, std::uint8_t Value);
// "centre F8, left off, right F2, mute off".
std::string SettingsText(const TMicSettings& Settings);
// "F1".."F12" (any case) and "off"; none for anything else.
std::optional<std::uint8_t> ParseKeyName(std::string_view Text);
bool IsPlainKey(std::uint8_t Code);  // F1..F12

// One "name=value" word of the command line, as given and as understood.
struct TAssignment {
  int Index = 0;
  std::string Text;   // "left=F3", for messages
  std::string Value;  // "F3"
};

struct TParsedAssignments {
  std::vector<TAssignment> Assignments;
  std::string Error;  // a word that is not "setting=value", or a setting named twice
};
TParsedAssignments ParseAssignments(const std::vector<std::string>& Words);

// Applies the assignments to what the device holds and checks the rules on the result
// (never edit by edit, so a swap is allowed): the centre button is never off, a button's
// value is a plain F1..F12 (or off for left and right), no key is set twice, mute is on or
// off. A setting the device holds that breaks a rule and is not named is refused too, by
// its name. Each refusal says which setting and why ("left=F2: F2 is already set for
// right"); none means the result may be written.
struct TPlannedSettings {
  TMicSettings Settings;
  std::vector<std::string> Refusals;
};
TPlannedSettings PlanSettings(const TMicSettings& Device, const std::vector<TAssignment>& Named);

}  // namespace vantor
