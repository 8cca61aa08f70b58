// The Linux program's command line. It is read twice: before Qt starts, so that --help
// and --version work without a display, leaving Qt's own options (-platform, -display,
// -style, ...) alone; and after Qt has taken those out, when anything left that is not the
// program's own is refused.
#pragma once

#include <string>
#include <vector>

namespace vantor {

struct TProgramCommandLine {
  // Ports that discovery does not list (a Bluetooth rfcomm port, a pseudo-terminal); the
  // window then tries these alone, in this order.
  std::vector<std::string> Ports;
  // Set when the program is to end at once: what to print (to standard output for
  // --help and --version, else to standard error) and the exit code.
  bool Exit = false;
  int ExitCode = 0;
  std::string Output;
};

// BeforeQt: Qt's options are still in the arguments and pass unremarked.
TProgramCommandLine ParseProgramCommandLine(int Argc, const char* const* Argv, bool BeforeQt);

}  // namespace vantor
