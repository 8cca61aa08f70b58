// The commands of vantor-mic. Each returns the exit status; results go to standard output
// (text, or with --json one JSON document), messages to standard error.
#pragma once

#include <string>
#include <vector>

#include "cli/assignments.h"
#include "cli/command_line.h"
#include "cli/mic_session.h"

namespace vantor {

class TConsoleBackend;

int RunList(const TCommandLine& Line, TConsoleBackend& Loop);
int RunDiagnose(const TCommandLine& Line, TConsoleBackend& Loop);
int RunShow(const TCommandLine& Line, TConsoleBackend& Loop);
int RunBackup(const TCommandLine& Line, TConsoleBackend& Loop);
int RunSet(const TCommandLine& Line, TConsoleBackend& Loop);
int RunRestore(const TCommandLine& Line, TConsoleBackend& Loop);
int RunCheck(const TCommandLine& Line, TConsoleBackend& Loop);

// Shared by the commands.
void Message(const std::string& Text);  // "vantor-mic: Text" on standard error
void Print(const std::string& Text);    // a line on standard output
void ReportProblems(const std::vector<TPortProblem>& Problems);
// The problems worth a word: those that count, or all when no microphone answered.
std::vector<TPortProblem> RelevantProblems(const TMicSession& Session);
// The one microphone a command that writes or backs up works on; with several and no
// --all it refuses (naming them). Empty when the command must end: Status says how.
// The settings wanted, from the command line's words or a backup file (Line.File, its
// firmware in Firmware): the assignments, or the exit status that ends the command (usage
// error, or a file that fails its checks), its message already given.
struct TDesiredSettings {
  std::vector<TAssignment> Named;
  std::string Firmware;
  int Status = esSuccess;
};
TDesiredSettings ReadDesiredSettings(const TCommandLine& Line);
std::vector<TPortConversation*> ChooseMicrophones(const TMicSession& Session, bool All,
                                                  const std::string& Command, int& Status);

}  // namespace vantor
