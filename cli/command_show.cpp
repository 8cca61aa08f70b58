// show and backup: read the microphones; and what the commands share.
#include <algorithm>
#include <cstdio>

#include "cli/assignments.h"
#include "mic/backup.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/text_files.h"

namespace vantor {

namespace {

std::vector<std::string>& Messages() {
  static std::vector<std::string> Given;
  return Given;
}

}  // namespace

void Message(const std::string& Text) {
  Messages().push_back(Text);
  std::fprintf(stderr, "vantor-mic: %s\n", Text.c_str());
  std::fflush(stderr);
}

const std::vector<std::string>& MessagesSoFar() {
  return Messages();
}

void Print(const std::string& Text) {
  std::fprintf(stdout, "%s\n", Text.c_str());
}

std::vector<TPortProblem> RelevantProblems(const TMicSession& Session) {
  std::vector<TPortProblem> Problems = Session.Problems();
  if (!Session.Microphones().empty()) {
    std::erase_if(Problems, [](const TPortProblem& Problem) { return !Problem.Counts; });
  }
  return Problems;
}

void ReportProblems(const std::vector<TPortProblem>& Problems) {
  for (const TPortProblem& Problem : Problems)
    Message(ProblemText(Problem));
}

std::vector<TPortConversation*> ChooseMicrophones(const TMicSession& Session, bool All,
                                                  const std::string& Command, int& Status) {
  const std::vector<TPortProblem> Problems = RelevantProblems(Session);
  std::vector<TPortConversation*> Microphones = Session.Microphones();
  Status = Session.Status();
  if (Microphones.empty()) {
    if (Problems.empty())
      Message("no serial port found: is the microphone plugged in?");
    else
      Message("no microphone answered:");
    ReportProblems(Problems);
    return {};
  }
  ReportProblems(Problems);
  if (Microphones.size() > 1 && !All) {
    std::string Names;
    for (const TPortConversation* Talk : Microphones)
      Names += (Names.empty() ? "" : ", ") + Talk->Port();
    Message(std::to_string(Microphones.size()) + " microphones answered (" + Names +
            "): name one with --port" +
            (Command == "backup" ? std::string() : ", or use --all for every one"));
    Status = esUsage;
    return {};
  }
  return Microphones;
}

int RunShow(const TCommandLine& Line, TConsoleBackend& Loop) {
  TMicSession Session(Loop, Line);
  Session.Survey(true, false);
  const std::vector<TPortConversation*> Microphones = Session.Microphones();
  const std::vector<TPortProblem> Problems = RelevantProblems(Session);
  if (Microphones.empty())
    Message(Problems.empty() ? "no serial port found: is the microphone plugged in?"
                             : "no microphone answered:");
  ReportProblems(Problems);
  if (Line.Json) {
    TJson Document = TJson::object();
    Document["microphones"] = TJson::array();
    for (const TPortConversation* Talk : Microphones)
      Document["microphones"].push_back(MicrophoneJson(*Talk));
    Document["problems"] = ProblemsJson(Problems);
    PrintJson(Document);
  } else {
    for (const TPortConversation* Talk : Microphones) {
      Print(Talk->Port() + ": firmware " + Talk->Firmware());
      for (int Index = kCentre; Index <= kMute; ++Index) {
        std::string Name = SettingName(Index);
        Name.resize(8, ' ');
        Print("  " + Name + ValueName(Index, Talk->Settings()[Index]));
      }
    }
  }
  return Session.Status();
}

int RunBackup(const TCommandLine& Line, TConsoleBackend& Loop) {
  TMicSession Session(Loop, Line);
  Session.Survey(true, false);
  int Status = esSuccess;
  const std::vector<TPortConversation*> Chosen =
      ChooseMicrophones(Session, false, "backup", Status);
  if (Chosen.empty())
    return Status;
  const TPortConversation& Talk = *Chosen.front();
  const TBackup Backup{Talk.Firmware(), Talk.Settings()};
  const TPlannedSettings Check = PlanSettings(Backup.Settings, std::vector<TAssignment>{});
  for (const std::string& Refusal : Check.Refusals) {
    Message("warning: " + Talk.Port() + ": " + Refusal +
            "; restore will refuse this backup until the file is corrected");
  }
  const std::string Text = BackupText(Backup);
  std::string Error;
  if (!WriteTextFile(Line.File, Text, Error)) {
    Message(Error);
    return esUsage;
  }
  if (Line.File == "-") {
    Message(Talk.Port() + ": settings written to standard output");
  } else if (Line.Json) {
    TJson Document = TJson::object();
    Document["port"] = Talk.Port();
    Document["file"] = Line.File;
    Document["backup"] = TJson::parse(Text);
    PrintJson(Document);
  } else {
    Print(Talk.Port() + ": firmware " + Talk.Firmware() + ", " + SettingsText(Talk.Settings()) +
          ": saved to " + Line.File);
  }
  return Status;
}

}  // namespace vantor
