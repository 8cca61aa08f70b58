// vantor-mic: the microphone's settings from the command line, on Linux and Windows. The
// commands run on the console backend of the framework; see --help.
#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/mic_session.h"
#include "cli/platform.h"
#include "framework/console/console.h"
#include "framework/signal_watch.h"

namespace vantor {

namespace {

int RunCommand(const TCommandLine& Line, TConsoleBackend& Loop) {
  if (Line.Command == "list")
    return RunList(Line, Loop);
  if (Line.Command == "show")
    return RunShow(Line, Loop);
  if (Line.Command == "set")
    return RunSet(Line, Loop);
  if (Line.Command == "backup")
    return RunBackup(Line, Loop);
  if (Line.Command == "restore")
    return RunRestore(Line, Loop);
  if (Line.Command == "check")
    return RunCheck(Line, Loop);
  return RunDiagnose(Line, Loop);
}

}  // namespace

int Main(int argc, char** argv) {
  PrepareConsole();
  std::vector<std::string> Args = Utf8Arguments(argc, argv);
  Args.insert(Args.begin(), "vantor-mic");
  const TParsedCommandLine Parsed = ParseCommandLine(Args);
  // A script that asked for JSON gets a document even when the command never ran.
  const bool Json = std::find(Args.begin(), Args.end(), "--json") != Args.end();
  const auto Failed = [Json](int Status, const std::string& Why) {
    if (Json)
      PrintJson(TJson{{"status", Status}, {"error", Why}});
    return Status;
  };
  if (Parsed.Exit)
    return Parsed.Status == esSuccess ? Parsed.Status : Failed(Parsed.Status, Parsed.Error);
  try {
    const TConsoleApp Console = MakeConsoleApplication(argc > 0 ? argv[0] : "vantor-mic");
    const TSignalWatch Interrupts(NoteInterrupt);  // ends before the application it calls
    const int Status = RunCommand(Parsed.Line, *Console.Backend);
    // A command that ended before its document (one microphone wanted, several found)
    // still gives one, with the reason.
    if (Json && !JsonPrinted() && Status != esSuccess)
      Failed(Status, MessagesSoFar().empty() ? std::string() : MessagesSoFar().back());
    if (const int Signal = InterruptSignal()) {
      Message("interrupted by " + TSignalWatch::Name(Signal) + " after the command had ended");
      return 128 + Signal;
    }
    return Status;
  } catch (const EInterrupted& E) {
    Message(E.what());
    return Failed(128 + E.Signal, E.what());
  } catch (const std::exception& E) {
    Message(std::string("failed: ") + E.what());
    return Failed(esFailed, E.what());
  }
}

}  // namespace vantor

int main(int argc, char** argv) {
  return vantor::Main(argc, argv);
}
