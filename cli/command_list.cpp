// list and diagnose: the port report, each free port greeted at once, and (diagnose) the
// system and the transcript of every conversation, for a support request.
#include <algorithm>

#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/platform.h"
#include "vantor_version.h"

namespace vantor {

namespace {

std::string Padded(std::string Text, std::size_t Width) {
  if (Text.size() < Width)
    Text.resize(Width, ' ');
  return Text;
}

// "free, microphone, firmware 1.2" or "free, no answer to the greeting within 1000 ms".
std::string StateLine(const TPortReportEntry& Entry, const TPortConversation* Talk,
                      bool WithSettings) {
  std::string Text = DescribePortState(Entry);
  if (!Talk)
    return Text;
  if (Talk->Answered() && Talk->Outcome() == TPortConversation::TOutcome::coOk) {
    Text += ", microphone, firmware " + Talk->Firmware();
    if (WithSettings)
      Text += ": " + SettingsText(Talk->Settings());
    return Text;
  }
  return Text + ", " + Talk->Failure();
}

void PrintPorts(const TMicSession& Session, bool Diagnose) {
  const TPortReport& Report = Session.Report();
  std::size_t Width = 0;
  for (const TPortReportEntry& Entry : Report)
    Width = std::max(Width, Entry.Name.size());
  const std::string Indent(Diagnose ? 6 : 4, ' ');
  for (const TPortReportEntry& Entry : Report) {
    std::string State = StateLine(Entry, Session.ConversationWith(Entry.Name), Diagnose);
    if (Session.Skipped(Entry.Name))
      State += ", not greeted: no USB serial port (--all-ports greets it)";
    Print((Diagnose ? "  " : "") + Padded(Entry.Name, Width) + "  " + State);
    if (!Entry.Description.empty())
      Print(Indent + "device: " + Entry.Description);
    if (!Entry.StableName.empty())
      Print(Indent + "stable name: " + Entry.StableName);
    if (Diagnose && !Entry.Present)
      Print(Indent + "named on the command line; not among the ports present");
    for (const std::string& Remedy : PortRemedies(Entry)) {
      std::string Line = Indent;
      if (Diagnose)
        Line += "remedy: ";
      Print(Line + Remedy);
    }
  }
}

}  // namespace

int RunList(const TCommandLine& Line, TConsoleBackend& Loop) {
  TMicSession Session(Loop, Line);
  Session.Survey(!Line.NoProbe, false);
  if (Line.Json) {
    TJson Document = TJson::object();
    Document["ports"] = TJson::array();
    for (const TPortReportEntry& Entry : Session.Report())
      Document["ports"].push_back(
          PortJson(Entry, Session.ConversationWith(Entry.Name), Session.Skipped(Entry.Name)));
    PrintJson(Document);
  } else if (Session.Report().empty()) {
    Message("no serial port found: is the microphone plugged in?");
  } else {
    PrintPorts(Session, false);
  }
  return Line.NoProbe ? esSuccess : Session.Status();
}

int RunDiagnose(const TCommandLine& Line, TConsoleBackend& Loop) {
  TMicSession Session(Loop, Line);
  Session.Survey(true, false);
  const std::string Version = std::string("vantor-mic ") + VANTOR_PACKAGE_VERSION_TEXT;
  const std::string Timeout = std::to_string(Line.TimeoutMs) + " ms per step";
  if (Line.Json) {
    TJson Document = TJson::object();
    Document["program"] = Version;
    Document["system"] = SystemDescription();
    Document["timeout_ms"] = Line.TimeoutMs;
    Document["ports"] = TJson::array();
    for (const TPortReportEntry& Entry : Session.Report()) {
      const TPortConversation* Talk = Session.ConversationWith(Entry.Name);
      TJson Port = PortJson(Entry, Talk, Session.Skipped(Entry.Name));
      Port["transcript"] = Talk ? TJson(Talk->Transcript()) : TJson::array();
      Document["ports"].push_back(Port);
    }
    PrintJson(Document);
    return Session.Status();
  }
  Print(Version + " diagnose");
  Print("system:     " + SystemDescription());
  Print("time limit: " + Timeout);
  Print("");
  Print("ports (" + std::to_string(Session.Report().size()) + "):");
  if (Session.Report().empty())
    Print("  none found: is the microphone plugged in?");
  PrintPorts(Session, true);
  for (const TPortReportEntry& Entry : Session.Report()) {
    const TPortConversation* Talk = Session.ConversationWith(Entry.Name);
    Print("");
    if (!Talk) {
      Print("conversation with " + Entry.Name + ": none (the port is " +
            PortStateName(Entry.State) + ")");
      continue;
    }
    Print("conversation with " + Entry.Name + ":");
    for (const std::string& Transcript : Talk->Transcript())
      Print("  " + Transcript);
  }
  return Session.Status();
}

}  // namespace vantor
