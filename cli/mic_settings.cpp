#include "cli/mic_settings.h"

#include <algorithm>

#include "protocol/device_values.h"

namespace vantor {

namespace {

constexpr std::uint8_t kFirstKey = kDeviceKeyF1, kLastKey = kDeviceKeyF1 + 11;

std::string Lower(std::string_view Text) {
  std::string Result(Text);
  for (char& C : Result) {
    if (C >= 'A' && C <= 'Z')
      C = static_cast<char>(C - 'A' + 'a');
  }
  return Result;
}

std::optional<int> SettingIndex(std::string_view Name) {
  const std::string Wanted = Lower(Name);
  for (int Index = kCentre; Index <= kMute; ++Index) {
    if (SettingName(Index) == Wanted)
      return Index;
  }
  return std::nullopt;
}

bool IsButton(int Index) {
  return Index != kMute;
}

// What a button may hold: the centre button a plain key, the others a plain key or off.
bool Allowed(int Index, std::uint8_t Code) {
  return IsPlainKey(Code) || (Index != kCentre && Code == kDeviceKeyNone);
}

std::string AllowedText(int Index) {
  return Index == kCentre ? "F1 to F12" : "F1 to F12 or off";
}

// The refusal of a named value, or none; sets Value when the text names one.
std::optional<std::string> ReadNamed(const TAssignment& Named, std::uint8_t& Value) {
  if (Named.Index == kMute) {
    const std::string Text = Lower(Named.Value);
    if (Text != "on" && Text != "off")
      return Named.Text + ": mute is on or off";
    Value = Text == "on" ? 1 : 0;
    return std::nullopt;
  }
  const auto Code = ParseKeyName(Named.Value);
  if (Named.Index == kCentre && Code == kDeviceKeyNone)
    return Named.Text + ": the centre button cannot be switched off";
  if (!Code)
    return Named.Text + ": only " + AllowedText(Named.Index) + " can be set";
  Value = *Code;
  return std::nullopt;
}

const TAssignment* Find(const std::vector<TAssignment>& Named, int Index) {
  const auto It = std::find_if(Named.begin(), Named.end(),
                               [Index](const TAssignment& A) { return A.Index == Index; });
  return It == Named.end() ? nullptr : &*It;
}

}  // namespace

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

std::string KeyName(std::uint8_t Code) {
  if (Code == kDeviceKeyNone)
    return "off";
  // Appended, not concatenated: GCC 12 at -O3 reports a false -Wrestrict inside
  // `"F" + std::to_string(...)`.
  std::string Name = IsPlainKey(Code) ? "F" : "unknown(";
  Name += std::to_string(IsPlainKey(Code) ? Code - kFirstKey + 1 : Code);
  if (!IsPlainKey(Code))
    Name += ')';
  return Name;
}

std::string ValueName(int Index, std::uint8_t Value) {
  if (Index == kMute)
    return Value != 0 ? "on" : "off";
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

std::optional<std::uint8_t> ParseKeyName(std::string_view Text) {
  const std::string Name = Lower(Text);
  if (Name == "off")
    return kDeviceKeyNone;
  if (Name.size() < 2 || Name.size() > 3 || Name[0] != 'f')
    return std::nullopt;
  int Number = 0;
  for (std::size_t I = 1; I < Name.size(); ++I) {
    if (Name[I] < '0' || Name[I] > '9')
      return std::nullopt;
    Number = Number * 10 + (Name[I] - '0');
  }
  if (Name[1] == '0' || Number < 1 || Number > 12)
    return std::nullopt;
  return static_cast<std::uint8_t>(kFirstKey + Number - 1);
}

bool IsPlainKey(std::uint8_t Code) {
  return Code >= kFirstKey && Code <= kLastKey;
}

TParsedAssignments ParseAssignments(const std::vector<std::string>& Words) {
  TParsedAssignments Result;
  for (const std::string& Word : Words) {
    const auto Equals = Word.find('=');
    const auto Index =
        Equals == std::string::npos ? std::nullopt : SettingIndex(Word.substr(0, Equals));
    if (!Index) {
      Result.Error = "\"" + Word + "\" is not a setting: write centre=KEY, left=KEY|off, " +
                     "right=KEY|off or mute=on|off";
      return Result;
    }
    if (Find(Result.Assignments, *Index)) {
      Result.Error = SettingName(*Index) + " is named twice";
      return Result;
    }
    Result.Assignments.push_back({*Index, Word, Word.substr(Equals + 1)});
  }
  return Result;
}

TPlannedSettings PlanSettings(const TMicSettings& Device, const std::vector<TAssignment>& Named) {
  TPlannedSettings Plan{Device, {}};
  std::array<bool, kSettingCount> Usable{};  // holds a value the rules can compare
  for (int Index = kCentre; Index <= kMute; ++Index) {
    if (const TAssignment* Given = Find(Named, Index)) {
      std::uint8_t Value = 0;
      if (const auto Refusal = ReadNamed(*Given, Value)) {
        Plan.Refusals.push_back(*Refusal);
        continue;
      }
      Plan.Settings[Index] = Value;
    } else if (IsButton(Index) && !Allowed(Index, Device[Index])) {
      // Writing it back as it is would store a value the window cannot show.
      Plan.Refusals.push_back(SettingName(Index) + ": the microphone holds " +
                              KeyName(Device[Index]) + ", but only " + AllowedText(Index) +
                              " is allowed: name a value for it (" + SettingName(Index) + "=KEY)");
      continue;
    }
    Usable[static_cast<std::size_t>(Index - 1)] = true;
  }
  // Duplicates, at most one refusal per button: the later named one is blamed.
  for (int Later = kLeft; Later <= kRight; ++Later) {
    for (int Earlier = kCentre; Earlier < Later; ++Earlier) {
      const std::uint8_t Key = Plan.Settings[Later];
      if (!Usable[static_cast<std::size_t>(Later - 1)] ||
          !Usable[static_cast<std::size_t>(Earlier - 1)] || !IsPlainKey(Key) ||
          Plan.Settings[Earlier] != Key) {
        continue;
      }
      const TAssignment* Blamed = Find(Named, Later);
      const int Other = Blamed ? Earlier : Later;
      if (!Blamed)
        Blamed = Find(Named, Earlier);
      if (Blamed) {
        Plan.Refusals.push_back(Blamed->Text + ": " + KeyName(Key) + " is already set for " +
                                SettingName(Other));
      } else {
        Plan.Refusals.push_back(SettingName(Earlier) + " and " + SettingName(Later) +
                                " both hold " + KeyName(Key) +
                                " on the microphone: name a new key for one of them");
      }
      break;
    }
  }
  return Plan;
}

}  // namespace vantor
