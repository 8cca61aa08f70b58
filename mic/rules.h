// The one rule set for four settings about to be written, in one wording for every
// front-end: the centre button is never off, a button holds a plain F1..F12 (or off for
// left and right), no key is set twice, mute is on or off. Rules are checked on the result,
// never edit by edit, so a swap is allowed.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mic/settings.h"

namespace vantor {

// Why four settings may not be written.
struct TRefusal {
  int Setting = 0;     // the setting refused
  bool Named = false;  // its value was named; otherwise the microphone holds it
  int Other = 0;       // two held settings with one key: the second of them
  // "F2 is already set for right", "the centre button cannot be switched off", "only F1 to
  // F12 or off can be set", "mute is on or off"; held values: "the microphone holds
  // unknown(10), but only F1 to F12 is allowed", "left and right both hold F2 on the
  // microphone".
  std::string Reason;
  bool operator==(const TRefusal&) const = default;
};

// A value named for each setting, as a person wrote it ("F3", "off", "on"); none keeps
// what the microphone holds.
using TNamedValues = std::array<std::optional<std::string>, kSettingCount>;

struct TSettingsPlan {
  TMicSettings Settings;  // what would be written
  std::vector<TRefusal> Refusals;
};

// Applies the named values to what the microphone holds and checks the rules on the
// result. A held value that breaks a rule is refused too: writing it back would store a
// value the window cannot show. At most one refusal per setting; among duplicates the
// later named one is blamed. No refusal: the result may be written.
TSettingsPlan PlanSettings(const TMicSettings& Device, const TNamedValues& Named);

// The value Text names for a setting, before any rule is applied: a key name or off for a
// button (off even for the centre, which the rules then refuse), on, off, true or false in
// any case for mute. None when it names no value, with Reason set ("only F1 to F12 or off
// can be set", "mute is on or off").
std::optional<std::uint8_t> ReadSettingValue(int Index, std::string_view Text, std::string& Reason);

// The values a setting may be given, for messages: "F1 to F12", "F1 to F12 or off", "on
// or off".
std::string AllowedValues(int Index);

}  // namespace vantor
