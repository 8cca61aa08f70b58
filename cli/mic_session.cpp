#include "cli/mic_session.h"

#include <algorithm>
#include <cstdio>

#include "cli/platform.h"
#include "framework/signal_watch.h"
#include "framework/console/console.h"

namespace vantor {

namespace {

TPortProblem FromReport(const TPortReportEntry& Entry) {
  TPortProblem Problem;
  Problem.Port = Entry.Name;
  Problem.State = PortStateName(Entry.State);
  Problem.Message = DescribePortState(Entry);
  Problem.Remedies = PortRemedies(Entry);
  return Problem;
}

TPortProblem FromConversation(const TPortConversation& Talk, bool Named) {
  TPortProblem Problem;
  Problem.Port = Talk.Port();
  Problem.Message = Talk.Failure();
  if (Talk.OpenFailed()) {
    // A port the report found free can still fail to open: another program took it
    // meanwhile, or (on Windows, or for a holder this user cannot see) the report could
    // not tell.
    Problem.State = PortStateName(Talk.OpenFailure());
    Problem.Counts = Named;
    return Problem;
  }
  switch (Talk.Outcome()) {
    case TPortConversation::TOutcome::coSilent:
      Problem.State = "silent";
      Problem.Message = "silent: " + Problem.Message;
      Problem.Remedies.push_back(
          "Check that this is the microphone's port (vantor-mic list), and unplug the "
          "microphone and plug it in again.");
      break;
    default:
      // A port that fails before any answer is no microphone we know of, unless named.
      Problem.State = "failed";
      if (Talk.Answered() || Named)
        Problem.Status = esFailed;
      if (Talk.WriteStarted())
        Problem.Remedies.push_back("`vantor-mic show --port " + Talk.Port() +
                                   "` shows what the microphone holds now.");
      break;
  }
  Problem.Counts = Named || Talk.Answered();
  return Problem;
}

}  // namespace

namespace {
int GInterrupt = 0;  // main thread only
}  // namespace

void NoteInterrupt(int Signal) {
  if (GInterrupt == 0)
    GInterrupt = Signal;
}

int InterruptSignal() {
  return GInterrupt;
}

TMicSessionSeams SystemSeams() {
  return {MakePortReport, MakeComport1};
}

TMicSession::TMicSession(TConsoleBackend& Loop, const TCommandLine& Line, TMicSessionSeams Seams)
    : FLoop(Loop), FLine(Line), FSeams(std::move(Seams)) {}

TMicSession::~TMicSession() {
  FinishAll();
}

void TMicSession::Survey(bool Greet, bool KeepOpen) {
  FReport = FSeams.MakeReport(FLine.Ports, FLine.Ports.empty());
  if (!Greet)
    return;
  // Busy ports are not greeted: bytes sent to a port another program uses would disturb it.
  for (const TPortReportEntry& Entry : FReport) {
    if (Entry.State != TPortFailure::pfNone)
      continue;
    // The microphone is a USB device: a board's console or an Arduino found beside it is
    // not disturbed (the greeting raises DTR and RTS) unless named or asked for.
    if (!NamedPorts() && !FLine.AllPorts && ReportTellsUsbPorts() && !Entry.UsbSerial) {
      FSkipped.push_back(Entry.Name);
      continue;
    }
    FConversations.push_back(std::make_unique<TPortConversation>(
        Entry.Name, std::chrono::milliseconds(FLine.TimeoutMs),
        FLine.Verbose ? TLineSink([this](const std::string& Port, const std::string& Line) {
          Verbose(Port, Line);
        })
                      : TLineSink(),
        FSeams.OpenPort));
  }
  for (const auto& Talk : FConversations)
    Talk->Start(KeepOpen);
  RunWhileWaiting();
}

void TMicSession::WriteAndVerify(
    const std::vector<std::pair<TPortConversation*, TMicSettings>>& Plans) {
  for (const auto& [Talk, Settings] : Plans)
    Talk->Write(Settings);
  RunWhileWaiting();
}

void TMicSession::FinishAll() {
  for (const auto& Talk : FConversations)
    Talk->Finish();
}

void TMicSession::RunWhileWaiting() {
  FLoop.RunUntil([this] {
    return InterruptSignal() != 0 || std::none_of(FConversations.begin(), FConversations.end(),
                                                  [](const auto& Talk) { return Talk->Waiting(); });
  });
  if (const int Signal = InterruptSignal()) {
    const std::string Why = "interrupted by " + TSignalWatch::Name(Signal);
    std::string Text;
    for (const auto& Talk : FConversations) {
      const bool Writing = Talk->Phase() == TPortConversation::TPhase::cpWriting;
      Talk->Abandon(Why);
      if (Writing)
        Text += (Text.empty() ? "" : "\n") + Talk->Port() + ": " + Talk->Failure();
    }
    throw EInterrupted(Signal, Text.empty() ? Why + "; no write frame was sent" : Text);
  }
}

bool TMicSession::Skipped(const std::string& Port) const {
  return std::find(FSkipped.begin(), FSkipped.end(), Port) != FSkipped.end();
}

const TPortConversation* TMicSession::ConversationWith(const std::string& Port) const {
  for (const auto& Talk : FConversations) {
    if (Talk->Port() == Port)
      return Talk.get();
  }
  return nullptr;
}

std::vector<TPortConversation*> TMicSession::Microphones() const {
  std::vector<TPortConversation*> Found;
  for (const auto& Talk : FConversations) {
    if (Talk->Answered() &&
        (Talk->Outcome() == TPortConversation::TOutcome::coOk || Talk->WriteStarted())) {
      Found.push_back(Talk.get());
    }
  }
  return Found;
}

std::vector<TPortProblem> TMicSession::Problems() const {
  std::vector<TPortProblem> Problems;
  for (const TPortReportEntry& Entry : FReport) {
    if (Entry.State != TPortFailure::pfNone) {
      TPortProblem Problem = FromReport(Entry);
      Problem.Counts = NamedPorts();
      Problems.push_back(std::move(Problem));
    } else if (const TPortConversation* Talk = ConversationWith(Entry.Name)) {
      if (Talk->OpenFailed() || (Talk->Outcome() != TPortConversation::TOutcome::coOk &&
                                 Talk->Outcome() != TPortConversation::TOutcome::coNone)) {
        Problems.push_back(FromConversation(*Talk, NamedPorts()));
      }
    }
  }
  return Problems;
}

int TMicSession::Status() const {
  const std::vector<TPortProblem> All = Problems();
  const bool NoMicrophone = Microphones().empty();
  int Status = NoMicrophone ? esNoMicrophone : esSuccess;
  for (const TPortProblem& Problem : All) {
    if (Problem.Counts || NoMicrophone)
      Status = std::max(Status, Problem.Status);
  }
  return Status;
}

void TMicSession::Verbose(const std::string& Port, const std::string& Line) const {
  std::fprintf(stderr, "[%s] %s\n", Port.c_str(), Line.c_str());
  std::fflush(stderr);
}

std::string ProblemText(const TPortProblem& Problem) {
  std::string Text = Problem.Port + ": " + Problem.Message;
  for (const std::string& Remedy : Problem.Remedies)
    Text += "\n    " + Remedy;
  return Text;
}

}  // namespace vantor
