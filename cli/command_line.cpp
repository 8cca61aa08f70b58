#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <cstdio>

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

}  // namespace

TParsedCommandLine ParseCommandLine(const std::vector<std::string>& Args) {
  TParsedCommandLine Result;
  TCommandLine& Line = Result.Line;
  CLI::App App{
      "Reads and sets the function keys that the three buttons of the Vantor "
      "table-top microphone send, over its serial port.",
      "vantor-mic"};
  App.set_version_flag("--version", std::string("vantor-mic ") + VANTOR_PACKAGE_VERSION_TEXT);
  App.add_option("--port", Line.Ports,
                 "a serial port to use (a device path, or COMn on Windows), even one the "
                 "port list does not show; may be given more than once. Without it: the "
                 "ports present")
      ->type_name("PORT")
      ->allow_extra_args(false);
  App.add_option("--timeout", Line.TimeoutMs,
                 "the longest wait in milliseconds for the device's next answer")
      ->type_name("MS")
      ->check(CLI::Range(1u, 600000u))
      ->capture_default_str();
  App.add_flag("--json", Line.Json,
               "standard output holds only a JSON document; messages go to standard error");
  App.add_flag("--verbose", Line.Verbose,
               "each frame in hex on standard error, labelled with its port");
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

  for (CLI::App* Command : App.get_subcommands([](CLI::App*) { return true; }))
    Command->footer(kExitStatuses);

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
    std::fprintf(stderr, "vantor-mic: %s\nRun vantor-mic --help for the commands and options.\n",
                 E.what());
    Result.Exit = true;
    Result.Status = esUsage;
    return Result;
  }
  Line.Command = App.get_subcommands().front()->get_name();
  // check takes one file or settings: a word without "=" is the file.
  if (Line.Command == "check" && Line.Assignments.size() == 1 &&
      Line.Assignments.front().find('=') == std::string::npos) {
    Line.File = Line.Assignments.front();
    Line.Assignments.clear();
  }
  if (Line.Command == "set" && Line.Assignments.empty()) {
    std::fputs("vantor-mic: set needs at least one setting, e.g. left=F3\n", stderr);
    Result.Exit = true;
    Result.Status = esUsage;
  }
  return Result;
}

}  // namespace vantor
