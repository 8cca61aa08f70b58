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

// Qt's own command-line options (QGuiApplication's and the xcb platform's), with whether
// each takes a value; before Qt starts only these may stand beside the program's own.
struct TQtOption {
  const char* Name;
  bool TakesValue;
};
constexpr TQtOption kQtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"reverse", false},
    {"session", true},
    {"display", true},
    {"geometry", true},
    {"style", true},
    {"stylesheet", true},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
    {"name", true},
    {"title", true},
    {"visual", true},
    {"fn", true},
    {"font", true},
    {"bg", true},
    {"fg", true},
    {"btn", true},
    {"button", true},
    {"im", true},
    {"inputstyle", true},
    {"qmljsdebugger", true},
};

const TQtOption* QtOption(std::string Word) {
  if (Word.rfind('-', 0) != 0)
    return nullptr;
  Word.erase(0, Word.find_first_not_of('-'));
  Word = Word.substr(0, Word.find('='));
  for (const TQtOption& Option : kQtOptions) {
    if (Word == Option.Name)
      return &Option;
  }
  return nullptr;
}

// The first word Qt would not take for its own, and that is not the program's: Qt would
// have to start (and, without a display, abort) before refusing it.
std::string StrangerBeforeQt(const std::vector<std::string>& Extras) {
  for (std::size_t I = 0; I < Extras.size(); ++I) {
    const TQtOption* Option = QtOption(Extras[I]);
    if (!Option)
      return Extras[I];
    if (Option->TakesValue && Extras[I].find('=') == std::string::npos)
      ++I;
  }
  return "";
}

}  // namespace

TProgramCommandLine ParseProgramCommandLine(int Argc, const char* const* Argv, bool BeforeQt) {
  TProgramCommandLine Result;
  CLI::App Cli{"Chooses the function key each button of the Vantor table-top microphone sends.",
               kProgram};
  Cli.allow_extras(BeforeQt);
  Cli.footer(kFooter);
  // The release's version, as vantor-mic prints it (the Windows version record keeps four
  // numbers).
  Cli.set_version_flag("--version", std::string(kProgram) + " " + VANTOR_PACKAGE_VERSION_TEXT);
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
    Result.ExitCode = Cli.exit(Error, Out, Err) == 0 ? 0 : 1;  // 1: a usage error, as vantor-mic
    Result.Output = Out.str() + Err.str();
    Result.Exit = true;
    return Result;
  }
  if (BeforeQt) {
    if (const std::string Stranger = StrangerBeforeQt(Cli.remaining()); !Stranger.empty()) {
      Result.Output = std::string(kProgram) + ": " + Stranger +
                      " is neither an option of this program nor one of Qt's\nRun with "
                      "--help for more information.\n";
      Result.ExitCode = 1;
      Result.Exit = true;
      return Result;
    }
  }
  // The controller cuts a port entry at its first blank.
  for (const std::string& Port : Result.Ports) {
    if (Port.empty() || Port.find(' ') != std::string::npos) {
      Result.Output = std::string(kProgram) + ": --port " + Port +
                      ": a port path must not be empty or hold a blank; name it "
                      "through a symbolic link without one\n";
      Result.ExitCode = 1;
      Result.Exit = true;
    }
  }
  return Result;
}

}  // namespace vantor
