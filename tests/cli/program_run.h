// Runs a program to its end, as a shell would, and keeps what it printed.
#pragma once

#include <string>
#include <vector>

namespace vantor {

struct TProgramRun {
  int Status = -1;  // the exit status; 128 + signal when killed; -1 when it could not start
  std::string Out;  // standard output
  std::string Err;  // standard error
};

// Args[0] is looked up in PATH. Input goes to its standard input. A program still running
// after the bounded wait is killed (and the test sees status 128 + 9).
TProgramRun RunProgram(const std::vector<std::string>& Args, const std::string& Input = "");

// The same, sending Signal to the program once its standard error holds Cue (it has got
// that far), as a user's Ctrl-C or kill would.
TProgramRun RunProgramInterrupted(const std::vector<std::string>& Args, const std::string& Cue,
                                  int Signal);

}  // namespace vantor
