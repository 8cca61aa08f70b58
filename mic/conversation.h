// One port's conversation with a microphone as a machine without I/O: it is handed the
// bytes that arrived and the time, and answers with the frames to send, the time it next
// needs to be woken, and what happened. The driver owns the port and the clock, so the
// same machine runs on the console loop, in tests fed byte scripts, and in the browser.
//
// On the wire: a handshake at once and every 250 ms until a status-1 reply; then the
// version and settings 1 to 4 are asked for; a write is the window's Save (four write
// frames, then four reads, back to back) and the read-back is compared. The time limit
// bounds the wait for the next answer, so a slow device that keeps answering is read.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "mic/settings.h"
#include "protocol/reassembly.h"

namespace vantor {

// Milliseconds on the driver's monotonic clock; only differences matter.
using TMillis = std::chrono::milliseconds;

class TMicConversation {
 public:
  enum class TPhase {
    cpNew,
    cpGreeting,  // handshakes until a status-1 reply
    cpReading,   // version and settings requested
    cpReady,     // all read; waiting for a write (or Finish)
    cpWriting,   // eight frames sent; waiting for the read-back
    cpDone,      // finished: the driver closes the port
  };
  enum class TOutcome {
    coNone,
    coOk,      // read (and written, if asked) completely
    coSilent,  // no answer to the greeting within the time limit
    coFailed,  // the port failed, or the device stopped answering midway
  };
  // What happened, in order, for front-ends that show progress.
  struct TEvent {
    enum TKind {
      evGreeted,         // the microphone answered the greeting
      evSettingsRead,    // version and settings are all in
      evSettingChecked,  // one setting read back after a write: Setting, Matches
      evVerified,        // the whole read-back is in (compare with Differences)
      evFailed,          // Text says why; the conversation is over
    };
    TKind Kind;
    int Setting = 0;
    bool Matches = true;
    std::string Text;
  };
  // A line of the transcript: frames sent, bytes received, replies and what they meant.
  struct TNote {
    TMillis At;
    std::string Text;
  };
  using TFrameBytes = std::vector<std::uint8_t>;

  static constexpr TMillis kGreetingPeriod{250};

  explicit TMicConversation(TMillis Timeout);

  // Input. Start once the port is open; KeepOpen stops in cpReady after the read.
  void Start(TMillis Now, bool KeepOpen);
  void Receive(TMillis Now, const std::uint8_t* Bytes, std::size_t Count);
  // The time has come (or any time: early ticks do nothing).
  void Tick(TMillis Now);
  // From cpReady: writes Settings and reads them back.
  void Write(TMillis Now, const TMicSettings& Settings);
  // The port failed or vanished (Why says how, for the user); ends the conversation.
  void PortFailed(TMillis Now, const std::string& Why);
  // Ends the conversation wherever it stands (the caller closes the port).
  void Finish();

  // Output. Frames go out in order, each in one write: the driver reports FrameSent when it
  // went whole, or FrameFailed (the port is lost) when it did not.
  bool HasFrame() const { return !FOutbox.empty(); }
  const TFrameBytes& NextFrame() const { return FOutbox.front(); }
  void FrameSent(TMillis Now);
  void FrameFailed(TMillis Now);
  // When Tick is next needed; none while nothing waits on the clock.
  std::optional<TMillis> NextWake() const;
  std::vector<TEvent> TakeEvents();
  std::vector<TNote> TakeNotes();

  TPhase Phase() const { return FPhase; }
  TOutcome Outcome() const { return FOutcome; }
  // A step is under way: the driver must keep feeding it.
  bool Waiting() const;
  const std::string& Failure() const { return FFailure; }
  bool Answered() const { return FAnswered; }
  bool WriteStarted() const { return FWriteStarted; }
  const std::string& Firmware() const { return FFirmware; }
  const TMicSettings& Settings() const { return FSettings; }
  const TMicSettings& Written() const { return FWritten; }
  const TMicSettings& ReadBack() const { return FReadBack; }
  // The settings whose read-back differs from what was written (mute as on or off).
  std::vector<int> Differences() const { return SettingDifferences(FReadBack, FWritten); }

 private:
  void Queue(TFrameBytes Frame, std::string Meaning);
  void Greet(TMillis Now);
  void Answer(TMillis Now);
  void QueueReads();
  void Scan(TMillis Now);
  bool HandleReply(TMillis Now, const TByteBuffer& Frame, std::uint8_t Length);
  void Progress(TMillis Now, std::size_t Slot);
  void CheckComplete();
  void TimedOut(TMillis Now);
  void Fail(TMillis Now, TOutcome Outcome, const std::string& Why);
  void End();
  std::string Missing() const;
  std::string WritesSentText() const;
  void Note(TMillis Now, std::string Text);

  TMillis FTimeout;  // not const: a conversation may be replaced by a new one
  TPhase FPhase = TPhase::cpNew;
  TOutcome FOutcome = TOutcome::coNone;
  bool FKeepOpen = false;
  std::optional<TMillis> FNextGreeting, FDeadline;
  std::optional<TMillis> FStuckSince;  // the buffer's head has claimed an impossible length

  std::deque<TFrameBytes> FOutbox;
  std::deque<std::string> FMeanings;  // the transcript's word for each queued frame
  TByteBuffer FReceived;
  std::vector<TEvent> FEvents;
  std::vector<TNote> FNotes;

  std::string FFailure;
  bool FAnswered = false;
  bool FWriteStarted = false;
  std::string FFirmware;
  TMicSettings FSettings, FWritten, FReadBack;
  // Answers of this step: the version (reading only), then settings 1 to 4.
  std::array<bool, 1 + kSettingCount> FHave{};
  int FWritesSent = 0;  // write frames that went out whole
};

}  // namespace vantor
