#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "vantor_version.h"

namespace vantor {

namespace {

constexpr const char* kExitStatuses = R"(Exit status:
  0  success
  1  usage error, or a file that cannot be read or written
  2  no microphone answered (no port; the named port absent, busy, denied or silent)
  3  refused by the rules, or a backup file that fails its checks
  4  the settings read back differ from those written (named per setting)
  5  the conversation started and then failed (the port failed or vanished)
  6  check: a microphone holds other settings than those wanted (each one named)
With several ports the highest status of any of them is returned; any error outranks 6.

Keys are F1 to F12 (any case); left and right may be off; mute is on or off.
Examples:
  vantor-mic list
  vantor-mic show --port /dev/ttyACM0 --json
  vantor-mic set left=F3 right=off
  vantor-mic backup mic.json && vantor-mic restore --all mic.json
  vantor-mic check --all mic.json
  vantor-mic diagnose > report.txt)";

// Options every command takes, before its name or after it. After it they are the
// command's own, so that its --help lists them; the ports given either side are joined.
void AddCommonOptions(CLI::App& To, TCommandLine& Line, std::vector<std::string>& Ports) {
  To.add_option("--port", Ports,
                "a serial port to use (a device path, or COMn on Windows), even one the "
                "port list does not show; may be given more than once. Without it: the "
                "ports present")
      ->type_name("PORT")
      ->allow_extra_args(false);
  To.add_option("--timeout", Line.TimeoutMs,
                "the longest wait in milliseconds for the device's next answer")
      ->type_name("MS")
      ->check(CLI::Range(1u, 600000u))
      ->capture_default_str();
  To.add_flag("--json", Line.Json,
              "standard output holds only a JSON document; messages go to standard error");
  To.add_flag("--verbose", Line.Verbose,
              "each frame in hex on standard error, labelled with its port");
  To.add_flag("--all-ports", Line.AllPorts,
              "Linux: greet every free serial port found, not only USB ones (the greeting "
              "raises DTR and RTS, which resets some boards)");
}

bool TakesValue(const std::string& Option) {
  return Option == "--port" || Option == "--timeout";
}

// Where the command's name stands: the first word that is neither an option nor an
// option's value.
std::optional<std::size_t> CommandWord(const std::vector<std::string>& Args, std::size_t From = 1) {
  for (std::size_t I = From; I < Args.size(); ++I) {
    if (Args[I].rfind('-', 0) != 0 || Args[I] == "-")
      return I;
    if (TakesValue(Args[I]))
      ++I;
  }
  return std::nullopt;
}

// The value given to Option, for messages: "--timeout abc" or "--timeout=abc".
std::string OptionValue(const std::vector<std::string>& Args, const std::string& Option) {
  for (std::size_t I = 1; I < Args.size(); ++I) {
    if (Args[I] == Option && I + 1 < Args.size())
      return Args[I + 1];
    if (Args[I].rfind(Option + "=", 0) == 0)
      return Args[I].substr(Option.size() + 1);
  }
  return "";
}

std::size_t EditDistance(const std::string& A, const std::string& B) {
  std::vector<std::size_t> Row(B.size() + 1);
  for (std::size_t J = 0; J <= B.size(); ++J)
    Row[J] = J;
  for (std::size_t I = 1; I <= A.size(); ++I) {
    std::size_t Diagonal = Row[0];
    Row[0] = I;
    for (std::size_t J = 1; J <= B.size(); ++J) {
      const std::size_t Above = Row[J];
      Row[J] = std::min({Row[J] + 1, Row[J - 1] + 1, Diagonal + (A[I - 1] == B[J - 1] ? 0 : 1)});
      Diagonal = Above;
    }
  }
  return Row[B.size()];
}

TParsedCommandLine UsageError(const std::string& Text) {
  std::fprintf(stderr, "vantor-mic: %s\nRun vantor-mic --help for the commands and options.\n",
               Text.c_str());
  TParsedCommandLine Result;
  Result.Exit = true;
  Result.Status = esUsage;
  Result.Error = Text;
  return Result;
}

}  // namespace

TParsedCommandLine ParseCommandLine(const std::vector<std::string>& Args) {
  TParsedCommandLine Result;
  TCommandLine& Line = Result.Line;
  CLI::App App{
      "Reads and sets the function keys that the three buttons of the Vantor "
      "table-top microphone send, over its serial port.",
      "vantor-mic"};
  App.set_version_flag("--version", std::string("vantor-mic ") + VANTOR_PACKAGE_VERSION_TEXT);
  std::vector<std::string> PortsBefore, PortsAfter;
  AddCommonOptions(App, Line, PortsBefore);
  App.require_subcommand(1);
  App.fallthrough();  // the options above may also follow the command
  App.footer(kExitStatuses);

  CLI::App* List =
      App.add_subcommand("list", "the serial ports, their state, and which answer as a microphone");
  List->add_flag("--no-probe", Line.NoProbe, "greet no port: only the port report");
  CLI::App* Show =
      App.add_subcommand("show", "firmware version and the four settings of each microphone");
  Show->add_flag("--all", Line.All, "every microphone that answers (the default for show)");
  CLI::App* Set =
      App.add_subcommand("set", "change settings, write them and verify them by reading them back");
  Set->add_option("settings", Line.Assignments,
                  "centre=KEY left=KEY|off right=KEY|off mute=on|off; settings not named keep "
                  "the microphone's values")
      ->type_name("SETTING=VALUE");
  Set->add_flag("--all", Line.All, "set every microphone that answers");
  Set->add_flag("--dry-run", Line.DryRun, "check and show the result, write nothing");
  Set->add_flag("--force", Line.Force, "write even when the microphone already holds the settings");
  CLI::App* Backup =
      App.add_subcommand("backup", "save the microphone's settings to FILE (- for stdout)");
  Backup->add_option("FILE", Line.File, "the backup file, or - for standard output")->required();
  CLI::App* Restore = App.add_subcommand(
      "restore", "check FILE (- for stdin), then write its settings and verify them");
  Restore->add_option("FILE", Line.File, "the backup file, or - for standard input")->required();
  Restore->add_flag("--all", Line.All, "restore onto every microphone that answers");
  Restore->add_flag("--force", Line.Force,
                    "write even when the microphone already holds the settings");
  CLI::App* Check = App.add_subcommand(
      "check",
      "compare each microphone with FILE's settings (- for stdin) or with the named "
      "ones; write nothing");
  Check
      ->add_option("desired", Line.Assignments,
                   "a backup file (its firmware is not compared), or centre=KEY left=KEY|off "
                   "right=KEY|off mute=on|off (settings not named are not compared)")
      ->type_name("FILE|SETTING=VALUE")
      ->required();
  Check->add_flag("--all", Line.All, "check every microphone that answers");
  App.add_subcommand("diagnose",
                     "a report to paste into a support request: the system, every port with "
                     "what stands in its way, and the conversation with each port");

  std::vector<std::string> Commands;
  for (CLI::App* Command : App.get_subcommands([](CLI::App*) { return true; })) {
    AddCommonOptions(*Command, Line, PortsAfter);
    Command->footer("Exit statuses and examples: vantor-mic --help");
    Commands.push_back(Command->get_name());
  }

  // Before CLI11, which knows neither a help command nor a near miss.
  if (const auto At = CommandWord(Args)) {
    const std::string& Word = Args[*At];
    if (Word == "help") {
      const auto Topic = CommandWord(Args, *At + 1);
      if (!Topic) {
        std::fputs(App.help().c_str(), stdout);
        Result.Exit = true;
        return Result;
      }
      if (std::find(Commands.begin(), Commands.end(), Args[*Topic]) != Commands.end()) {
        std::fputs(App.get_subcommand(Args[*Topic])->help().c_str(), stdout);
        Result.Exit = true;
        return Result;
      }
    }
    const std::string& Named = Word == "help" ? Args[*CommandWord(Args, *At + 1)] : Word;
    if (std::find(Commands.begin(), Commands.end(), Named) == Commands.end()) {
      const auto Nearest = std::min_element(
          Commands.begin(), Commands.end(), [&Named](const auto& A, const auto& B) {
            return EditDistance(Named, A) < EditDistance(Named, B);
          });
      return UsageError("\"" + Named + "\" is not a command; the nearest is \"" + *Nearest + "\"");
    }
  } else if (std::none_of(Args.begin() + 1, Args.end(), [](const std::string& A) {
               return A == "--help" || A == "-h" || A == "--version";
             })) {
    std::string Names;
    for (const std::string& Name : Commands)
      Names += (Names.empty() ? "" : ", ") + Name;
    return UsageError("name a command: " + Names);
  }

  std::vector<const char*> Argv;
  Argv.reserve(Args.size());
  for (const std::string& Arg : Args)
    Argv.push_back(Arg.c_str());
  try {
    App.parse(static_cast<int>(Argv.size()), Argv.data());
  } catch (const CLI::Success& E) {  // --help, --version
    Result.Exit = true;
    Result.Status = App.exit(E);
    return Result;
  } catch (const CLI::ParseError& E) {
    // The one option with a number: CLI11's own words do not say what was wanted.
    const std::string Timeout = OptionValue(Args, "--timeout");
    if (!Timeout.empty() && Timeout.find_first_not_of("0123456789") != std::string::npos)
      return UsageError("--timeout: \"" + Timeout + "\" is not a number of milliseconds");
    return UsageError(E.what());
  }
  Line.Command = App.get_subcommands().front()->get_name();
  Line.Ports = PortsBefore;
  Line.Ports.insert(Line.Ports.end(), PortsAfter.begin(), PortsAfter.end());
  if (std::find(Line.Ports.begin(), Line.Ports.end(), "") != Line.Ports.end())
    return UsageError("--port: the port's name is empty");
  // check takes one file or settings: a word without "=" is the file.
  if (Line.Command == "check" && Line.Assignments.size() == 1 &&
      Line.Assignments.front().find('=') == std::string::npos) {
    Line.File = Line.Assignments.front();
    Line.Assignments.clear();
  }
  if (Line.Command == "set" && Line.Assignments.empty())
    return UsageError("set needs at least one setting, e.g. left=F3");
  return Result;
}

}  // namespace vantor
