// The ports of one command and their conversations, all on the one console loop: the port
// report first, then every free port greeted at once, so ten ports take one time limit.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "cli/command_line.h"
#include "cli/port_conversation.h"
#include "discovery/port_report.h"

namespace vantor {

class TConsoleBackend;

// Why a port gave no microphone, or failed; and the exit status that stands for it.
struct TPortProblem {
  std::string Port;
  std::string State;    // "busy", "denied", "absent", "error", "silent", "failed"
  std::string Message;  // "busy: held by minicom (pid 4711)"
  std::vector<std::string> Remedies;
  int Status = esNoMicrophone;
  bool Counts = true;  // named by the user, or a microphone that answered and then failed
};

// What a session reaches the system through: the port report and the ports themselves.
struct TMicSessionSeams {
  std::function<TPortReport(const std::vector<std::string>& Named, bool All)> MakeReport;
  TPortFactory OpenPort;
};
TMicSessionSeams SystemSeams();

class TMicSession {
 public:
  TMicSession(TConsoleBackend& Loop, const TCommandLine& Line,
              TMicSessionSeams Seams = SystemSeams());
  ~TMicSession();

  // The report on the named ports (or on those present), then a conversation with each
  // free one (unless Greet is false), run until each has read or ended. Microphones stay
  // open for a write when KeepOpen.
  void Survey(bool Greet, bool KeepOpen);
  // Writes and verifies: each microphone its settings, all at once.
  void WriteAndVerify(const std::vector<std::pair<TPortConversation*, TMicSettings>>& Plans);
  // Closes every port that is still open.
  void FinishAll();

  const TPortReport& Report() const { return FReport; }
  // The conversation with a port of the report; null when it was not greeted.
  const TPortConversation* ConversationWith(const std::string& Port) const;
  // The microphones: ports that answered and were read completely.
  std::vector<TPortConversation*> Microphones() const;
  // Every port that gave no microphone, or failed, in the report's order.
  std::vector<TPortProblem> Problems() const;
  // The highest status among the problems that count: when no microphone answered at all,
  // every problem counts (2 when there was no port at all).
  int Status() const;
  bool NamedPorts() const { return !FLine.Ports.empty(); }
  // A free port left ungreeted because it is no USB serial port (see --all-ports).
  bool Skipped(const std::string& Port) const;

 private:
  void RunWhileWaiting();
  void Verbose(const std::string& Port, const std::string& Line) const;

  TConsoleBackend& FLoop;
  const TCommandLine& FLine;
  const TMicSessionSeams FSeams;
  TPortReport FReport;
  std::vector<std::unique_ptr<TPortConversation>> FConversations;
  std::vector<std::string> FSkipped;
};

// A signal that ends the command (SIGINT, SIGTERM, SIGHUP; Ctrl-C on Windows), noted on
// the main thread by the program's TSignalWatch; 0 while none has come. The session's loop
// stops for it, ends every conversation and closes every port.
void NoteInterrupt(int Signal);
int InterruptSignal();

// A signal ended the command while ports were open: every conversation was ended and its
// port closed; what() names the signal and any write that was under way.
struct EInterrupted : std::runtime_error {
  EInterrupted(int ASignal, const std::string& Text) : std::runtime_error(Text), Signal(ASignal) {}
  int Signal;
};

// A problem as a person reads it: "PORT: message", then each remedy indented.
std::string ProblemText(const TPortProblem& Problem);

}  // namespace vantor
