#include "mic/settings.h"

#include "protocol/device_values.h"

namespace vantor {

std::string LowerCase(std::string_view Text) {
  std::string Result(Text);
  for (char& C : Result) {
    if (C >= 'A' && C <= 'Z')
      C = static_cast<char>(C - 'A' + 'a');
  }
  return Result;
}

std::string SettingName(int Index) {
  switch (Index) {
    case kCentre:
      return "centre";
    case kLeft:
      return "left";
    case kRight:
      return "right";
    default:
      return "mute";
  }
}

std::optional<int> ParseSettingName(std::string_view Name) {
  const std::string Wanted = LowerCase(Name);
  if (Wanted == "center")  // the American spelling
    return kCentre;
  for (int Index = kCentre; Index <= kMute; ++Index) {
    if (SettingName(Index) == Wanted)
      return Index;
  }
  return std::nullopt;
}

std::string KeyName(std::uint8_t Code) {
  if (Code == kDeviceKeyNone)
    return "off";
  // Appended, not concatenated: GCC 12 at -O3 reports a false -Wrestrict inside
  // `"F" + std::to_string(...)`.
  std::string Name = IsPlainKey(Code) ? "F" : "unknown(";
  Name += std::to_string(IsPlainKey(Code) ? Code - kDeviceKeyF1 + 1 : Code);
  if (!IsPlainKey(Code))
    Name += ')';
  return Name;
}

std::optional<std::uint8_t> ParseKeyName(std::string_view Text) {
  const std::string Name = LowerCase(Text);
  if (Name == "off")
    return kDeviceKeyNone;
  if (Name.size() < 2 || Name.size() > 3 || Name[0] != 'f' || Name[1] == '0')
    return std::nullopt;
  int Number = 0;
  for (std::size_t I = 1; I < Name.size(); ++I) {
    if (Name[I] < '0' || Name[I] > '9')
      return std::nullopt;
    Number = Number * 10 + (Name[I] - '0');
  }
  const int Code = kDeviceKeyF1 + Number - 1;
  if (Number < 1 || !IsFunctionKeyCode(Code))
    return std::nullopt;
  return static_cast<std::uint8_t>(Code);
}

bool IsPlainKey(std::uint8_t Code) {
  return IsFunctionKeyCode(Code);
}

bool MuteOn(std::uint8_t Value) {
  return Value != 0;
}

std::string ValueName(int Index, std::uint8_t Value) {
  if (Index == kMute)
    return MuteOn(Value) ? "on" : "off";
  return KeyName(Value);
}

std::string SettingsText(const TMicSettings& Settings) {
  std::string Text;
  for (int Index = kCentre; Index <= kMute; ++Index) {
    Text += (Index == kCentre ? "" : ", ") + SettingName(Index) + " " +
            ValueName(Index, Settings[Index]);
  }
  return Text;
}

std::vector<int> SettingDifferences(const TMicSettings& Have, const TMicSettings& Want) {
  std::vector<int> Indexes;
  for (int Index = kCentre; Index <= kMute; ++Index) {
    const bool Same =
        Index == kMute ? MuteOn(Have[Index]) == MuteOn(Want[Index]) : Have[Index] == Want[Index];
    if (!Same)
      Indexes.push_back(Index);
  }
  return Indexes;
}

}  // namespace vantor
