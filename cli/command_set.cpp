// set and restore: read each microphone, plan its new settings under the rules, and when
// they differ from what it holds (or with --force) write them with the window's Save frames
// and compare what is read back.
#include <algorithm>

#include "cli/assignments.h"
#include "mic/backup.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/text_files.h"

namespace vantor {

namespace {

struct TTarget {
  TPortConversation* Talk;
  TPlannedSettings Plan;
  bool Changes = true;  // the plan differs from what the microphone holds
};

TJson DifferencesJson(const TPortConversation& Talk) {
  TJson List = TJson::array();
  for (const int Index : Talk.Differences()) {
    List.push_back(TJson{{"setting", SettingName(Index)},
                         {"written", ValueName(Index, Talk.Written()[Index])},
                         {"read_back", ValueName(Index, Talk.ReadBack()[Index])}});
  }
  return List;
}

TJson ResultJson(const TTarget& Target, bool Written) {
  const TPortConversation& Talk = *Target.Talk;
  const bool Ok = Written && Talk.Outcome() == TPortConversation::TOutcome::coOk;
  // Unchanged: the microphone was just read holding exactly these settings.
  const bool Unchanged = !Written && !Target.Changes;
  TJson Json = TJson::object();
  Json["port"] = Talk.Port();
  Json["firmware"] = Talk.Firmware();
  Json["before"] = SettingsJson(Talk.Settings());
  Json["after"] = SettingsJson(Target.Plan.Settings);
  Json["written"] = Written;
  Json["changed"] = Target.Changes;
  Json["verified"] = (Ok && Talk.Differences().empty()) || Unchanged;
  Json["differences"] = Ok ? DifferencesJson(Talk) : TJson::array();
  Json["error"] = Written && !Ok ? TJson(Talk.Failure()) : TJson(nullptr);
  return Json;
}

std::string DifferencesText(const TPortConversation& Talk) {
  std::string Text;
  for (const int Index : Talk.Differences()) {
    Text += (Text.empty() ? "" : "; ") + SettingName(Index) + ": wrote " +
            ValueName(Index, Talk.Written()[Index]) + ", read back " +
            ValueName(Index, Talk.ReadBack()[Index]);
  }
  return Text;
}

// Plans, checks, writes and verifies; fills the document's microphones and refusals (both
// empty when there is no microphone to work on).
int Apply(const TCommandLine& Line, TMicSession& Session,
          const std::vector<TPortConversation*>& Microphones, const std::vector<TAssignment>& Named,
          int Status, TJson& Document) {
  std::vector<TTarget> Targets;
  Targets.reserve(Microphones.size());
  for (TPortConversation* Talk : Microphones) {
    TTarget Target{Talk, PlanSettings(Talk->Settings(), Named)};
    Target.Changes = !SettingDifferences(Talk->Settings(), Target.Plan.Settings).empty();
    Targets.push_back(Target);
  }
  Document["microphones"] = TJson::array();
  Document["refusals"] = TJson::array();
  if (Targets.empty())
    return Status;

  bool Refused = false;
  for (const TTarget& Target : Targets) {
    for (const std::string& Refusal : Target.Plan.Refusals) {
      Refused = true;
      Message((Targets.size() > 1 ? Target.Talk->Port() + ": " : std::string()) + Refusal);
      Document["refusals"].push_back(TJson{{"port", Target.Talk->Port()}, {"refusal", Refusal}});
    }
  }
  if (Refused) {
    Message("nothing was written");
    Session.FinishAll();
    return std::max(Status, static_cast<int>(esRefused));
  }
  if (std::any_of(Targets.begin(), Targets.end(),
                  [](const TTarget& T) { return MuteOn(T.Plan.Settings[kMute]); })) {
    Message(
        "note: mute stays on until a window saves: both windows switch it off whenever "
        "they save");
  }
  if (Line.DryRun) {
    Session.FinishAll();
    for (const TTarget& Target : Targets) {
      Document["microphones"].push_back(ResultJson(Target, false));
      if (!Line.Json) {
        Print(Target.Talk->Port() + ": would write " + SettingsText(Target.Plan.Settings) +
              " (dry run: nothing written)");
      }
    }
    return Status;
  }

  std::vector<std::pair<TPortConversation*, TMicSettings>> Writes;
  Writes.reserve(Targets.size());
  for (const TTarget& Target : Targets) {
    if (Target.Changes || Line.Force)
      Writes.emplace_back(Target.Talk, Target.Plan.Settings);
  }
  Session.WriteAndVerify(Writes);
  Session.FinishAll();  // the unchanged ones were kept open for nothing
  for (const TTarget& Target : Targets) {
    const TPortConversation& Talk = *Target.Talk;
    if (!Target.Changes && !Line.Force) {
      Document["microphones"].push_back(ResultJson(Target, false));
      if (!Line.Json)
        Print(Talk.Port() + ": unchanged: it holds " + SettingsText(Talk.Settings()));
      continue;
    }
    Document["microphones"].push_back(ResultJson(Target, true));
    if (Talk.Outcome() != TPortConversation::TOutcome::coOk) {
      Message(Talk.Port() + ": " + Talk.Failure() + "; `vantor-mic show --port " + Talk.Port() +
              "` shows what it holds now");
      Status = std::max(Status, static_cast<int>(esFailed));
    } else if (!Talk.Differences().empty()) {
      Message(Talk.Port() +
              ": the settings read back differ from those written: " + DifferencesText(Talk));
      Status = std::max(Status, static_cast<int>(esMismatch));
    } else if (!Line.Json) {
      Print(Talk.Port() + ": written and read back: " + SettingsText(Talk.ReadBack()));
    }
  }
  return Status;
}

}  // namespace

int RunSet(const TCommandLine& Line, TConsoleBackend& Loop) {
  const TDesiredSettings Desired = ReadDesiredSettings(Line);
  if (Desired.Status != esSuccess)
    return Desired.Status;
  TMicSession Session(Loop, Line);
  Session.Survey(true, true);
  const std::vector<TPortProblem> Problems = RelevantProblems(Session);
  int Status = esSuccess;
  const std::vector<TPortConversation*> Chosen =
      ChooseMicrophones(Session, Line.All, "set", Status);
  TJson Document = TJson::object();
  Document["dry_run"] = Line.DryRun;
  Status = Apply(Line, Session, Chosen, Desired.Named, Status, Document);
  if (Line.Json) {
    Document["problems"] = ProblemsJson(Problems);
    PrintJson(Document);
  }
  return Status;
}

TDesiredSettings ReadDesiredSettings(const TCommandLine& Line) {
  TDesiredSettings Desired;
  if (Line.File.empty()) {
    const TParsedAssignments Parsed = ParseAssignments(Line.Assignments);
    if (!Parsed.Error.empty()) {
      Message(Parsed.Error);
      Desired.Status = esUsage;
    }
    Desired.Named = Parsed.Assignments;
    return Desired;
  }
  // The file is checked before any port is touched.
  std::string Text, Error;
  if (!ReadTextFile(Line.File, kBackupSizeLimit, Text, Error)) {
    Message(Error);
    Desired.Status = esUsage;
    return Desired;
  }
  const TBackupRead Read = ReadBackup(Text);
  if (!Read.Backup) {
    Message((Line.File == "-" ? std::string("standard input") : Line.File) + ": " + Read.Error +
            "; nothing was written");
    Desired.Status = esRefused;
    return Desired;
  }
  Desired.Firmware = Read.Backup->Firmware;
  for (int Index = kCentre; Index <= kMute; ++Index) {
    const std::string Value = ValueName(Index, Read.Backup->Settings[Index]);
    Desired.Named.push_back({Index, SettingName(Index) + "=" + Value, Value});
  }
  return Desired;
}

int RunRestore(const TCommandLine& Line, TConsoleBackend& Loop) {
  const TDesiredSettings Desired = ReadDesiredSettings(Line);
  if (Desired.Status != esSuccess)
    return Desired.Status;
  TMicSession Session(Loop, Line);
  Session.Survey(true, true);
  const std::vector<TPortProblem> Problems = RelevantProblems(Session);
  int Status = esSuccess;
  const std::vector<TPortConversation*> Chosen =
      ChooseMicrophones(Session, Line.All, "restore", Status);
  TJson Document = TJson::object();
  Document["file"] = Line.File;
  Document["firmware"] = Desired.Firmware;
  Document["dry_run"] = false;
  Document["warnings"] = TJson::array();
  for (const TPortConversation* Talk : Chosen) {
    if (Talk->Firmware() != Desired.Firmware) {
      const std::string Warning = Talk->Port() + ": the backup was made from firmware " +
                                  Desired.Firmware + ", this microphone has " + Talk->Firmware();
      Message("warning: " + Warning);
      Document["warnings"].push_back(Warning);
    }
  }
  Status = Apply(Line, Session, Chosen, Desired.Named, Status, Document);
  if (Line.Json) {
    Document["problems"] = ProblemsJson(Problems);
    PrintJson(Document);
  }
  return Status;
}

}  // namespace vantor
