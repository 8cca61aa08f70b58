#include "mic/rules.h"

#include "protocol/device_values.h"

namespace vantor {

namespace {

bool IsButton(int Index) {
  return Index != kMute;
}

bool Allowed(int Index, std::uint8_t Code) {
  return IsPlainKey(Code) || (Index != kCentre && Code == kDeviceKeyNone);
}

// The value a named text gives a setting under the rules, or the reason it gives none.
std::optional<std::uint8_t> ReadNamed(int Index, const std::string& Text, std::string& Reason) {
  const auto Value = ReadSettingValue(Index, Text, Reason);
  if (Value && IsButton(Index) && !Allowed(Index, *Value)) {
    Reason = "the centre button cannot be switched off";
    return std::nullopt;
  }
  return Value;
}

}  // namespace

std::optional<std::uint8_t> ReadSettingValue(int Index, std::string_view Text,
                                             std::string& Reason) {
  if (Index == kMute) {
    // Text output says on and off, JSON and backups true and false: both are read anywhere.
    const std::string Word = LowerCase(Text);
    if (Word == "on" || Word == "true")
      return 1;
    if (Word == "off" || Word == "false")
      return 0;
    Reason = "mute is on or off";
    return std::nullopt;
  }
  if (const auto Code = ParseKeyName(Text))
    return Code;
  Reason = "only " + AllowedValues(Index) + " can be set";
  return std::nullopt;
}

std::string AllowedValues(int Index) {
  if (Index == kMute)
    return "on or off";
  return Index == kCentre ? "F1 to F12" : "F1 to F12 or off";
}

TSettingsPlan PlanSettings(const TMicSettings& Device, const TNamedValues& Named) {
  TSettingsPlan Plan{Device, {}};
  const auto IsNamed = [&Named](int Index) {
    return Named[static_cast<std::size_t>(Index - 1)].has_value();
  };
  std::array<bool, kSettingCount> Usable{};  // holds a value the duplicate rule can compare
  for (int Index = kCentre; Index <= kMute; ++Index) {
    if (IsNamed(Index)) {
      std::string Reason;
      const auto Value = ReadNamed(Index, *Named[static_cast<std::size_t>(Index - 1)], Reason);
      if (!Value) {
        Plan.Refusals.push_back({Index, true, 0, Reason});
        continue;
      }
      Plan.Settings[Index] = *Value;
    } else if (IsButton(Index) && !Allowed(Index, Device[Index])) {
      Plan.Refusals.push_back({Index, false, 0,
                               "the microphone holds " + KeyName(Device[Index]) + ", but only " +
                                   AllowedValues(Index) + " is allowed"});
      continue;
    }
    Usable[static_cast<std::size_t>(Index - 1)] = true;
  }
  for (int Later = kLeft; Later <= kRight; ++Later) {
    for (int Earlier = kCentre; Earlier < Later; ++Earlier) {
      const std::uint8_t Key = Plan.Settings[Later];
      if (!Usable[static_cast<std::size_t>(Later - 1)] ||
          !Usable[static_cast<std::size_t>(Earlier - 1)] || !IsPlainKey(Key) ||
          Plan.Settings[Earlier] != Key) {
        continue;
      }
      if (IsNamed(Later) || IsNamed(Earlier)) {
        const int Blamed = IsNamed(Later) ? Later : Earlier;
        const int Other = Blamed == Later ? Earlier : Later;
        Plan.Refusals.push_back(
            {Blamed, true, 0, KeyName(Key) + " is already set for " + SettingName(Other)});
      } else {
        Plan.Refusals.push_back({Earlier, false, Later,
                                 SettingName(Earlier) + " and " + SettingName(Later) +
                                     " both hold " + KeyName(Key) + " on the microphone"});
      }
      break;
    }
  }
  return Plan;
}

}  // namespace vantor
