// vantor-mic: the microphone's settings from the command line, on Linux and Windows. The
// commands run on the console backend of the framework; see --help.
#include <exception>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/mic_session.h"
#include "cli/platform.h"
#include "framework/console/console.h"

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
  if (Parsed.Exit)
    return Parsed.Status;
  try {
    const TConsoleApp Console = MakeConsoleApplication(argc > 0 ? argv[0] : "vantor-mic");
    const TInterruptWatch Interrupts;  // ends before the application it wakes
    const int Status = RunCommand(Parsed.Line, *Console.Backend);
    if (const int Signal = InterruptSignal()) {
      Message("interrupted by " + InterruptName(Signal) + " after the command had ended");
      return 128 + Signal;
    }
    return Status;
  } catch (const EInterrupted& E) {
    Message(E.what());
    return 128 + E.Signal;
  } catch (const std::exception& E) {
    Message(std::string("failed: ") + E.what());
    return esFailed;
  }
}

}  // namespace vantor

int main(int argc, char** argv) {
  return vantor::Main(argc, argv);
}
