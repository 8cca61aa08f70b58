// vantor-mic's command line: the commands, their options and the exit statuses.
#pragma once

#include <string>
#include <vector>

namespace vantor {

enum TExitStatus : int {
  esSuccess = 0,
  esUsage = 1,         // a usage error, or a file that cannot be read or written
  esNoMicrophone = 2,  // no port, or the port absent, busy, denied or silent
  esRefused = 3,       // refused by the rules, or a backup file that fails its checks
  esMismatch = 4,      // the settings read back differ from those written
  esFailed = 5,        // the conversation started and then failed
  esDiffers = 6,       // check: a microphone holds other settings than those wanted
};

struct TCommandLine {
  std::string Command;             // list, show, set, backup, restore, diagnose
  std::vector<std::string> Ports;  // --port, in the order given; empty: the ports present
  unsigned TimeoutMs = 1000;
  bool Json = false;
  bool Verbose = false;
  bool All = false;
  bool DryRun = false;
  bool Force = false;  // set, restore: write even when the microphone holds the settings
  bool NoProbe = false;
  bool AllPorts = false;                 // Linux: greet free ports that are no USB serial port too
  std::vector<std::string> Assignments;  // set, check: centre=F8 ...
  std::string File;                      // backup, restore, check: a path, or "-"
};

// The command line parsed, or the exit status to leave with: help and version were
// printed (0), or a usage error was reported on standard error (1).
struct TParsedCommandLine {
  TCommandLine Line;
  bool Exit = false;
  int Status = esSuccess;
  std::string Error;  // a usage error's message, as standard error got it
};
TParsedCommandLine ParseCommandLine(const std::vector<std::string>& Args);

}  // namespace vantor
