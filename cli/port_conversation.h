// One port and its conversation on the console loop: the port comes from a factory (the
// window's Comport1 settings in the product, a scripted port in tests), the conversation
// is the device core's machine, and this driver carries bytes and time between them. Event
// driven on the main thread, so any number of ports talk at once.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mic/conversation.h"
#include "serial/serial_port.h"

namespace vantor {

class TTimer;

// A closed port for a name, configured and ready to open.
using TPortFactory = std::function<std::unique_ptr<ISerialPort>(const std::string& Port)>;
// The ports the tool opens: the component with the window's Comport1 settings.
std::unique_ptr<ISerialPort> MakeComport1(const std::string& Port);

// Receives each line of the transcript as it happens (the --verbose output).
using TLineSink = std::function<void(const std::string& Port, const std::string& Line)>;

class TPortConversation {
 public:
  using TPhase = TMicConversation::TPhase;
  using TOutcome = TMicConversation::TOutcome;

  TPortConversation(std::string Port, std::chrono::milliseconds Timeout, TLineSink Verbose,
                    TPortFactory Factory = MakeComport1);
  ~TPortConversation();
  TPortConversation(const TPortConversation&) = delete;
  TPortConversation& operator=(const TPortConversation&) = delete;

  // Opens and greets. Ends in cpReady (KeepOpen) or cpDone.
  void Start(bool KeepOpen);
  // From cpReady: writes Settings and reads them back; ends in cpDone.
  void Write(const TMicSettings& Settings);
  // Ends the conversation wherever it stands and closes the port.
  void Finish();
  // Ends it as failed, for Why ("interrupted by SIGINT"), and closes the port; a write
  // under way is named in Failure().
  void Abandon(const std::string& Why);
  // A step is under way: the loop must run on.
  bool Waiting() const { return FTalk.Waiting(); }

  const std::string& Port() const { return FPort; }
  TPhase Phase() const { return FTalk.Phase(); }
  TOutcome Outcome() const { return FTalk.Outcome(); }
  // The port did not open; OpenFailure says why (busy and denied told apart).
  bool OpenFailed() const { return FOpenFailed; }
  TPortFailure OpenFailure() const { return FOpenFailure; }
  const std::string& Failure() const { return FOpenFailed ? FOpenError : FTalk.Failure(); }
  bool Answered() const { return FTalk.Answered(); }
  bool WriteStarted() const { return FTalk.WriteStarted(); }
  const std::string& Firmware() const { return FTalk.Firmware(); }
  const TMicSettings& Settings() const { return FTalk.Settings(); }
  const TMicSettings& Written() const { return FTalk.Written(); }
  const TMicSettings& ReadBack() const { return FTalk.ReadBack(); }
  std::vector<int> Differences() const { return FTalk.Differences(); }
  const std::vector<std::string>& Transcript() const { return FTranscript; }

 private:
  TMillis Now() const;
  void Received(int Count);
  void Lost(const std::string& Why);
  // Sends what the machine asks for, closes the port when it is done, arms the wake timer.
  void Pump();
  void ClosePort();
  void Log(TMillis At, const std::string& Text);

  const std::string FPort;
  const TLineSink FVerbose;
  const TPortFactory FFactory;
  const std::chrono::steady_clock::time_point FBegan;
  TMicConversation FTalk;

  std::unique_ptr<ISerialPort> FComm;
  std::unique_ptr<TTimer> FWake;
  bool FClosing = false;  // our own Close: its OnClose is no failure
  bool FOpenFailed = false;
  TPortFailure FOpenFailure = TPortFailure::pfOther;
  std::string FOpenError;
  std::vector<std::string> FTranscript;
};

}  // namespace vantor
