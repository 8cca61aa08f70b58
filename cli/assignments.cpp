#include "cli/assignments.h"

#include <algorithm>

namespace vantor {

namespace {

const TAssignment* Find(const std::vector<TAssignment>& Named, int Index) {
  const auto It = std::find_if(Named.begin(), Named.end(),
                               [Index](const TAssignment& A) { return A.Index == Index; });
  return It == Named.end() ? nullptr : &*It;
}

std::string RefusalText(const TRefusal& Refusal, const std::vector<TAssignment>& Named) {
  if (Refusal.Named)
    return Find(Named, Refusal.Setting)->Text + ": " + Refusal.Reason;
  if (Refusal.Other != 0)
    return Refusal.Reason + ": name a new key for one of them";
  const std::string Name = SettingName(Refusal.Setting);
  return Name + ": " + Refusal.Reason + ": name a value for it (" + Name + "=KEY)";
}

}  // namespace

TParsedAssignments ParseAssignments(const std::vector<std::string>& Words) {
  TParsedAssignments Result;
  for (const std::string& Word : Words) {
    const auto Equals = Word.find('=');
    const auto Index =
        Equals == std::string::npos ? std::nullopt : ParseSettingName(Word.substr(0, Equals));
    if (!Index) {
      Result.Error = "\"" + Word + "\" is not a setting: write centre=KEY, left=KEY|off, " +
                     "right=KEY|off or mute=on|off";
      return Result;
    }
    if (Find(Result.Assignments, *Index)) {
      Result.Error = SettingName(*Index) + " is named twice";
      return Result;
    }
    // A word that names no value is a usage error, found before any port is opened; what
    // the rules refuse (centre=off, a key twice) is judged on the result later.
    std::string Reason;
    if (!ReadSettingValue(*Index, Word.substr(Equals + 1), Reason)) {
      Result.Error = Word;
      Result.Error += ": ";
      Result.Error += Reason;
      return Result;
    }
    Result.Assignments.push_back({*Index, Word, Word.substr(Equals + 1)});
  }
  return Result;
}

TPlannedSettings PlanSettings(const TMicSettings& Device, const std::vector<TAssignment>& Named) {
  TNamedValues Values;
  for (const TAssignment& Given : Named)
    Values[static_cast<std::size_t>(Given.Index - 1)] = Given.Value;
  const TSettingsPlan Plan = PlanSettings(Device, Values);
  TPlannedSettings Result{Plan.Settings, {}, Plan.Refusals};
  for (const TRefusal& Refusal : Plan.Refusals)
    Result.Refusals.push_back(RefusalText(Refusal, Named));
  return Result;
}

}  // namespace vantor
