#include "mic/conversation.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "protocol/device_values.h"
#include "protocol/frames.h"
#include "protocol/reply.h"

namespace vantor {

namespace {

constexpr std::size_t kVersionSlot = 0;

std::size_t SettingSlot(int Index) {
  return static_cast<std::size_t>(Index);
}

std::string Hex(const std::uint8_t* Bytes, std::size_t Count) {
  std::string Text;
  char Byte[4];
  for (std::size_t I = 0; I < Count; ++I) {
    std::snprintf(Byte, sizeof Byte, I == 0 ? "%02X" : " %02X", Bytes[I]);
    Text += Byte;
  }
  return Text;
}

std::string ReplyMeaning(const TDeviceReply& Reply) {
  switch (Reply.Kind) {
    case TDeviceReply::rkIgnored:
      return "not a reply the tool reads: ignored";
    case TDeviceReply::rkNotConnected:
      return "handshake reply too short: not connected";
    case TDeviceReply::rkHandshake:
      return "handshake reply, status " + std::to_string(Reply.Status);
    case TDeviceReply::rkSetting:
      return SettingName(Reply.Index) + " = " + ValueName(Reply.Index, Reply.Value);
    case TDeviceReply::rkVersion:
      return "firmware " + VersionText(Reply.Version);
    case TDeviceReply::rkVersionUnknown:
      break;
  }
  return "firmware Unknown";
}

template <std::size_t N>
TMicConversation::TFrameBytes Bytes(const std::array<std::uint8_t, N>& Frame) {
  return {Frame.begin(), Frame.end()};
}

}  // namespace

TMicConversation::TMicConversation(TMillis Timeout) : FTimeout(Timeout) {}

bool TMicConversation::Waiting() const {
  return FPhase == TPhase::cpGreeting || FPhase == TPhase::cpReading || FPhase == TPhase::cpWriting;
}

void TMicConversation::Start(TMillis Now, bool KeepOpen) {
  if (FPhase != TPhase::cpNew)
    return;
  FKeepOpen = KeepOpen;
  FPhase = TPhase::cpGreeting;
  FDeadline = Now + FTimeout;
  Greet(Now);
}

void TMicConversation::Queue(TFrameBytes Frame, std::string Meaning) {
  FOutbox.push_back(std::move(Frame));
  FMeanings.push_back(std::move(Meaning));
}

void TMicConversation::Greet(TMillis Now) {
  Queue(Bytes(HandshakeFrame()), "handshake");
  FNextGreeting = Now + kGreetingPeriod;
}

void TMicConversation::QueueReads() {
  for (std::uint8_t Index = kCentre; Index <= kMute; ++Index)
    Queue(Bytes(ReadSettingFrame(Index)), "read " + SettingName(Index));
}

void TMicConversation::Answer(TMillis Now) {
  FAnswered = true;
  FPhase = TPhase::cpReading;
  FNextGreeting.reset();
  FHave = {};
  FDeadline = Now + FTimeout;
  FEvents.push_back({TEvent::evGreeted, 0, true, {}});
  Queue(Bytes(ReadVersionFrame()), "read version");
  QueueReads();
}

void TMicConversation::Write(TMillis Now, const TMicSettings& Settings) {
  if (FPhase != TPhase::cpReady)
    return;
  FWritten = Settings;
  FWriteStarted = true;
  FPhase = TPhase::cpWriting;
  FHave = {};
  FHave[kVersionSlot] = true;  // a write reads no version
  FDeadline = Now + FTimeout;
  for (std::uint8_t Index = kCentre; Index <= kMute; ++Index) {
    Queue(Bytes(WriteSettingFrame(Index, Settings[Index])),
          "write " + SettingName(Index) + " = " + ValueName(Index, Settings[Index]));
  }
  QueueReads();
}

void TMicConversation::FrameSent(TMillis Now) {
  if (FOutbox.empty())
    return;
  const TFrameBytes Frame = std::move(FOutbox.front());
  FOutbox.pop_front();
  Note(Now, "sent     " + Hex(Frame.data(), Frame.size()) + "  " + FMeanings.front());
  FMeanings.pop_front();
  if (Frame.size() > 2 && Frame[2] == cmdWriteSetting)
    ++FWritesSent;
}

void TMicConversation::FrameFailed(TMillis Now) {
  PortFailed(Now, "the port failed while frames were being sent");
}

void TMicConversation::Receive(TMillis Now, const std::uint8_t* Data, std::size_t Count) {
  if (FPhase == TPhase::cpDone || Count == 0)
    return;
  Note(Now, "received " + Hex(Data, Count));
  FReceived.insert(FReceived.end(), Data, Data + Count);
  Scan(Now);
}

void TMicConversation::Scan(TMillis Now) {
  // The window's reassembly: stray bytes dropped, split and merged replies cut whole.
  const std::size_t Before = FReceived.size();
  ScanReceiveBuffer(FReceived, [this, Now](const TByteBuffer& Frame, std::uint8_t Length) {
    return HandleReply(Now, Frame, Length);
  });
  if (FPhase == TPhase::cpDone)
    return;
  // A start byte whose length no reply has holds every later reply back until that many
  // bytes arrive. Given one greeting interval to complete, it is then taken for noise.
  const bool Stuck = FReceived.size() >= 2 && FReceived[1] > kLongestReply;
  if (!Stuck || FReceived.size() < Before)
    FStuckSince.reset();
  if (Stuck && !FStuckSince)
    FStuckSince = Now;
}

void TMicConversation::Tick(TMillis Now) {
  if (FDeadline && Now >= *FDeadline) {
    TimedOut(Now);
    return;
  }
  if (FStuckSince && Now >= *FStuckSince + kGreetingPeriod) {
    Note(Now, "dropped  " + Hex(FReceived.data(), 2) + "  a frame no reply can be: noise");
    FReceived.erase(FReceived.begin());
    FStuckSince.reset();
    Scan(Now);
    if (FPhase == TPhase::cpDone)
      return;
  }
  if (FPhase == TPhase::cpGreeting && FNextGreeting && Now >= *FNextGreeting)
    Greet(Now);
}

std::optional<TMillis> TMicConversation::NextWake() const {
  std::optional<TMillis> Wake;
  for (const auto& At :
       {FDeadline, FNextGreeting,
        FStuckSince ? std::optional(*FStuckSince + kGreetingPeriod) : std::optional<TMillis>()}) {
    if (At && (!Wake || *At < *Wake))
      Wake = At;
  }
  return Wake;
}

bool TMicConversation::HandleReply(TMillis Now, const TByteBuffer& Frame, std::uint8_t Length) {
  const TDeviceReply Reply = ReadReply(Frame, Length);
  Note(Now, "reply    " + Hex(Frame.data(), Length) + "  " + ReplyMeaning(Reply));
  if (FPhase == TPhase::cpDone)
    return true;
  switch (Reply.Kind) {
    case TDeviceReply::rkIgnored:
      return false;  // as the window: only the start byte goes, the scan resumes after it
    case TDeviceReply::rkNotConnected:
      break;
    case TDeviceReply::rkHandshake:
      if (Reply.Status == 1 && FPhase == TPhase::cpGreeting)
        Answer(Now);
      break;
    case TDeviceReply::rkSetting:
      if (FPhase == TPhase::cpReading) {
        FSettings[Reply.Index] = Reply.Value;
        Progress(Now, SettingSlot(Reply.Index));
      } else if (FPhase == TPhase::cpWriting) {
        FReadBack[Reply.Index] = Reply.Value;
        if (!FHave[SettingSlot(Reply.Index)]) {
          const std::vector<int> Differ = SettingDifferences(FReadBack, FWritten);
          const bool Matches = std::find(Differ.begin(), Differ.end(), Reply.Index) == Differ.end();
          FEvents.push_back({TEvent::evSettingChecked, Reply.Index, Matches, {}});
        }
        Progress(Now, SettingSlot(Reply.Index));
      }
      break;
    case TDeviceReply::rkVersion:
    case TDeviceReply::rkVersionUnknown:
      if (FPhase == TPhase::cpReading) {
        FFirmware = Reply.Kind == TDeviceReply::rkVersion ? VersionText(Reply.Version) : "Unknown";
        Progress(Now, kVersionSlot);
      }
      break;
  }
  return true;
}

void TMicConversation::Progress(TMillis Now, std::size_t Slot) {
  if (!FHave[Slot]) {
    FHave[Slot] = true;
    FDeadline = Now + FTimeout;  // the limit is on the wait for the next answer
  }
  CheckComplete();
}

void TMicConversation::CheckComplete() {
  for (const bool Have : FHave) {
    if (!Have)
      return;
  }
  FDeadline.reset();
  FOutcome = TOutcome::coOk;
  if (FPhase == TPhase::cpReading) {
    FEvents.push_back({TEvent::evSettingsRead, 0, true, {}});
    if (FKeepOpen) {
      FPhase = TPhase::cpReady;
      return;
    }
  } else {
    FEvents.push_back({TEvent::evVerified, 0, true, {}});
  }
  End();
}

void TMicConversation::TimedOut(TMillis Now) {
  const std::string Within = " within " + std::to_string(FTimeout.count()) + " ms";
  switch (FPhase) {
    case TPhase::cpGreeting:
      Fail(Now, TOutcome::coSilent, "no answer to the greeting" + Within);
      break;
    case TPhase::cpReading:
      Fail(Now, TOutcome::coFailed,
           "the microphone answered the greeting, then sent no " + Missing() + Within);
      break;
    case TPhase::cpWriting:
      Fail(Now, TOutcome::coFailed, "no read-back of " + Missing() + Within);
      break;
    default:
      FDeadline.reset();
      break;
  }
}

void TMicConversation::PortFailed(TMillis Now, const std::string& Why) {
  Fail(Now, TOutcome::coFailed, Why);
}

void TMicConversation::Finish() {
  if (FPhase != TPhase::cpDone)
    End();
}

void TMicConversation::Fail(TMillis Now, TOutcome Outcome, const std::string& Why) {
  if (FPhase == TPhase::cpDone)
    return;
  FOutcome = Outcome;
  FFailure = Why;
  if (FPhase == TPhase::cpWriting)
    FFailure += "; " + WritesSentText();
  Note(Now, "failed: " + FFailure);
  FEvents.push_back({TEvent::evFailed, 0, false, FFailure});
  End();
}

void TMicConversation::End() {
  FPhase = TPhase::cpDone;
  FNextGreeting.reset();
  FDeadline.reset();
  FStuckSince.reset();
  FOutbox.clear();
  FMeanings.clear();
}

std::string TMicConversation::Missing() const {
  std::string Text;
  const auto Add = [&Text](const std::string& What) { Text += (Text.empty() ? "" : ", ") + What; };
  if (!FHave[kVersionSlot])
    Add("version");
  for (int Index = kCentre; Index <= kMute; ++Index) {
    if (!FHave[SettingSlot(Index)])
      Add(SettingName(Index));
  }
  return Text;
}

std::string TMicConversation::WritesSentText() const {
  if (FWritesSent == 0)
    return "no write frame was sent";
  std::string Names;
  for (int Index = kCentre; Index <= FWritesSent; ++Index)
    Names += (Index == kCentre ? "" : Index == FWritesSent ? " and " : ", ") + SettingName(Index);
  return "the write frames for " + Names +
         " had been sent, so the microphone may hold some new settings and some old ones";
}

void TMicConversation::Note(TMillis Now, std::string Text) {
  FNotes.push_back({Now, std::move(Text)});
}

std::vector<TMicConversation::TEvent> TMicConversation::TakeEvents() {
  return std::exchange(FEvents, {});
}

std::vector<TMicConversation::TNote> TMicConversation::TakeNotes() {
  return std::exchange(FNotes, {});
}

}  // namespace vantor
