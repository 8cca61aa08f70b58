#include "ui/program/command_line_linux.h"

#include <CLI/CLI.hpp>

#include <sstream>

#include "vantor_version.h"

namespace vantor {

namespace {

constexpr const char* kProgram = "vantor-mic-settings";

const char* const kFooter = R"(
Without --port the window looks for the microphone among the serial ports the system
lists that can be opened now, and keeps looking until one answers. Qt's own options
(-platform NAME, -display DISPLAY, -style NAME, ...) are passed to Qt.)";

}  // namespace

TProgramCommandLine ParseProgramCommandLine(int Argc, const char* const* Argv, bool BeforeQt) {
  TProgramCommandLine Result;
  CLI::App Cli{"Chooses the function key each button of the Vantor table-top microphone sends.",
               kProgram};
  Cli.allow_extras(BeforeQt);
  Cli.footer(kFooter);
  Cli.set_version_flag("--version", std::string(kProgram) + " " + VANTOR_VERSION_TEXT);
  Cli.add_option("--port", Result.Ports,
                 "A serial port that is not listed by the system, such as a Bluetooth "
                 "port (/dev/rfcomm0) or a pseudo-terminal; repeatable. The window then "
                 "tries only the ports named, in the order given.")
      ->type_name("PATH")
      ->allow_extra_args(false);
  try {
    Cli.parse(Argc, Argv);  // Argv[0] is the program
  } catch (const CLI::ParseError& Error) {
    std::ostringstream Out, Err;
    Result.ExitCode = Cli.exit(Error, Out, Err) == 0 ? 0 : 2;  // 2: a usage error
    Result.Output = Out.str() + Err.str();
    Result.Exit = true;
    return Result;
  }
  // The controller cuts a port entry at its first blank.
  for (const std::string& Port : Result.Ports) {
    if (Port.empty() || Port.find(' ') != std::string::npos) {
      Result.Output = std::string(kProgram) + ": --port " + Port +
                      ": a port path must not be empty or hold a blank; name it "
                      "through a symbolic link without one\n";
      Result.ExitCode = 2;
      Result.Exit = true;
    }
  }
  return Result;
}

}  // namespace vantor
