// check: compares each microphone with the settings wanted, and writes nothing. Only the
// settings named (all four from a backup file) are compared, mute as on or off.
#include <algorithm>

#include "cli/commands.h"
#include "cli/json_output.h"

namespace vantor {

namespace {

struct TComparison {
  TPortConversation* Talk;
  TPlannedSettings Plan;
  std::vector<int> Differences;  // among the named settings
};

TJson ValueJson(int Index, std::uint8_t Value) {
  return Index == kMute ? TJson(MuteOn(Value)) : TJson(KeyName(Value));
}

TJson ComparisonJson(const TComparison& C, const std::vector<TAssignment>& Named) {
  TJson Wanted = TJson::object();
  for (int Index = kCentre; Index <= kMute; ++Index) {
    if (std::any_of(Named.begin(), Named.end(),
                    [Index](const TAssignment& A) { return A.Index == Index; })) {
      Wanted[SettingName(Index)] = ValueJson(Index, C.Plan.Settings[Index]);
    }
  }
  TJson Differences = TJson::array();
  for (const int Index : C.Differences) {
    Differences.push_back(TJson{{"setting", SettingName(Index)},
                                {"holds", ValueJson(Index, C.Talk->Settings()[Index])},
                                {"wanted", ValueJson(Index, C.Plan.Settings[Index])}});
  }
  TJson Json = TJson::object();
  Json["port"] = C.Talk->Port();
  Json["firmware"] = C.Talk->Firmware();
  Json["holds"] = SettingsJson(C.Talk->Settings());
  Json["wanted"] = Wanted;
  Json["matches"] = C.Differences.empty();
  Json["differences"] = Differences;
  return Json;
}

}  // namespace

int RunCheck(const TCommandLine& Line, TConsoleBackend& Loop) {
  const TDesiredSettings Desired = ReadDesiredSettings(Line);
  if (Desired.Status != esSuccess)
    return Desired.Status;
  TMicSession Session(Loop, Line);
  Session.Survey(true, false);
  const std::vector<TPortProblem> Problems = RelevantProblems(Session);
  int Status = esSuccess;
  const std::vector<TPortConversation*> Chosen =
      ChooseMicrophones(Session, Line.All, "check", Status);

  TJson Document = TJson::object();
  Document["microphones"] = TJson::array();
  Document["refusals"] = TJson::array();
  bool Differs = false;
  for (TPortConversation* Talk : Chosen) {
    TComparison C{Talk, PlanSettings(Talk->Settings(), Desired.Named), {}};
    // A wanted state the rules refuse is no state to check against. What the microphone
    // holds in settings not named is not compared, so it is not refused either.
    bool Refused = false;
    for (std::size_t I = 0; I < C.Plan.Reasons.size(); ++I) {
      if (!C.Plan.Reasons[I].Named)
        continue;
      Refused = true;
      Message((Chosen.size() > 1 ? Talk->Port() + ": " : std::string()) + C.Plan.Refusals[I]);
      Document["refusals"].push_back(
          TJson{{"port", Talk->Port()}, {"refusal", C.Plan.Refusals[I]}});
    }
    if (Refused) {
      Status = std::max(Status, static_cast<int>(esRefused));
      continue;
    }
    for (const int Index : SettingDifferences(Talk->Settings(), C.Plan.Settings)) {
      const bool IsNamed = std::any_of(Desired.Named.begin(), Desired.Named.end(),
                                       [Index](const TAssignment& A) { return A.Index == Index; });
      if (IsNamed)
        C.Differences.push_back(Index);
    }
    Differs |= !C.Differences.empty();
    Document["microphones"].push_back(ComparisonJson(C, Desired.Named));
    if (Line.Json)
      continue;
    if (C.Differences.empty())
      Print(Talk->Port() + ": matches: it holds " + SettingsText(Talk->Settings()));
    for (const int Index : C.Differences) {
      Print(Talk->Port() + ": " + SettingName(Index) + ": " +
            ValueName(Index, Talk->Settings()[Index]) + ", wanted " +
            ValueName(Index, C.Plan.Settings[Index]));
    }
  }
  // Any error outranks a difference: a check that could not look everywhere is no answer.
  if (Status == esSuccess && Differs)
    Status = esDiffers;
  if (Line.Json) {
    Document["problems"] = ProblemsJson(Problems);
    PrintJson(Document);
  }
  return Status;
}

}  // namespace vantor
