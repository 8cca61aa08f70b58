// One port's conversation with a microphone, as the window holds it but on the console
// loop: open with Comport1's settings, greet every 250 ms until a status-1 reply or the
// time limit, then ask for the version and the four settings; when told, write four
// settings with the window's eight Save frames and compare what is read back. Event-driven
// on the main thread, so any number of ports talk at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/mic_settings.h"
#include "protocol/reassembly.h"
#include "serial/sio_events.h"

namespace vantor {

class TSioComm;
class TTimer;

// Receives each line of the transcript as it happens (the --verbose output).
using TLineSink = std::function<void(const std::string& Port, const std::string& Line)>;

class TMicConversation {
 public:
  enum class TPhase {
    cpNew,
    cpGreeting,  // handshakes until a status-1 reply
    cpReading,   // version and settings requested
    cpReady,     // all read; the port stays open for a write
    cpWriting,   // eight frames sent; waiting for the read-back
    cpDone,      // finished; the port is closed
  };
  enum class TOutcome {
    coNone,
    coOk,          // read (and written, if asked) completely
    coOpenFailed,  // the port could not be opened
    coSilent,      // no answer to the greeting within the time limit
    coFailed,      // the port failed, or the device stopped answering midway
  };

  TMicConversation(std::string Port, std::chrono::milliseconds Timeout, TLineSink Verbose);
  ~TMicConversation();
  TMicConversation(const TMicConversation&) = delete;
  TMicConversation& operator=(const TMicConversation&) = delete;

  // Opens and greets. Ends in cpReady (KeepOpen) or cpDone.
  void Start(bool KeepOpen);
  // From cpReady: writes Settings and reads them back; ends in cpDone.
  void Write(const TMicSettings& Settings);
  // Ends the conversation wherever it stands and closes the port.
  void Finish();
  // A step is under way: the loop must run on.
  bool Waiting() const;

  const std::string& Port() const { return FPort; }
  TPhase Phase() const { return FPhase; }
  TOutcome Outcome() const { return FOutcome; }
  const std::string& Failure() const { return FFailure; }
  // Why the port did not open (coOpenFailed): busy and denied told apart.
  TPortFailure OpenFailure() const { return FOpenFailure; }
  bool Answered() const { return FAnswered; }
  bool WriteStarted() const { return FWriteStarted; }
  const std::string& Firmware() const { return FFirmware; }
  const TMicSettings& Settings() const { return FSettings; }
  const TMicSettings& Written() const { return FWritten; }
  const TMicSettings& ReadBack() const { return FReadBack; }
  // The settings whose read-back differs from what was written (mute as on or off).
  std::vector<int> Differences() const;
  const std::vector<std::string>& Transcript() const { return FTranscript; }

 private:
  void Greet();
  void StepTimedOut();
  void Answer();
  void ReadSettings();
  void Received(int Count);
  bool HandleReply(const TByteBuffer& Frame, std::uint8_t Length);
  void SettingReply(std::uint8_t Index, std::uint8_t Value);
  void CheckComplete();
  void Fail(TOutcome Outcome, const std::string& Why);
  void End();
  void ClosePort();
  void RestartStep();
  std::string Missing() const;
  std::string WritesSentText() const;
  void Log(const std::string& Text);
  void LogFrame(const char* Direction, const std::uint8_t* Bytes, std::size_t Count,
                const std::string& Meaning);
  template <class TFrame>
  void LogSent(const TFrame& Frame, const std::string& Meaning) {
    LogFrame("sent    ", Frame.data(), Frame.size(), Meaning);
  }

  const std::string FPort;
  const std::chrono::milliseconds FTimeout;
  const TLineSink FVerbose;
  const std::chrono::steady_clock::time_point FBegan;

  std::unique_ptr<TSioComm> FComm;
  std::unique_ptr<TTimer> FGreetTimer;
  std::unique_ptr<TTimer> FStepTimer;
  TByteBuffer FReceived;
  bool FKeepOpen = false;
  bool FClosing = false;  // our own Close: its OnClose is no failure

  TPhase FPhase = TPhase::cpNew;
  TOutcome FOutcome = TOutcome::coNone;
  std::string FFailure;
  TPortFailure FOpenFailure = TPortFailure::pfOther;
  bool FAnswered = false;
  bool FWriteStarted = false;
  std::string FFirmware;
  bool FHaveFirmware = false;
  TMicSettings FSettings, FWritten, FReadBack;
  std::array<bool, kSettingCount> FHave{};  // replies of this step, per setting
  int FWritesSent = 0;                      // write frames handed to the port
  std::vector<std::string> FTranscript;
};

}  // namespace vantor
