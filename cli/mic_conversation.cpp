#include "cli/mic_conversation.h"

#include <cstdio>

#include "framework/timer.h"
#include "protocol/device_values.h"
#include "protocol/frames.h"
#include "protocol/reply.h"
#include "serial/sio_comm.h"
#include "serial/sio_errors.h"
#include "ui/program/comport1_settings.h"

namespace vantor {

namespace {

// The window greets once a second; a device may miss the first frames after its port
// opens, so the tool greets four times as often within its one time limit.
constexpr unsigned kGreetingPeriodMs = 250;

constexpr std::uint32_t kLineGone = 0x8000;  // CE_MODE: the port's device has gone

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

}  // namespace

TMicConversation::TMicConversation(std::string Port, std::chrono::milliseconds Timeout,
                                   TLineSink Verbose)
    : FPort(std::move(Port)),
      FTimeout(Timeout),
      FVerbose(std::move(Verbose)),
      FBegan(std::chrono::steady_clock::now()) {}

TMicConversation::~TMicConversation() {
  FClosing = true;
  FGreetTimer.reset();
  FStepTimer.reset();
  FComm.reset();  // closes the port, without OnClose
}

bool TMicConversation::Waiting() const {
  return FPhase == TPhase::cpGreeting || FPhase == TPhase::cpReading || FPhase == TPhase::cpWriting;
}

void TMicConversation::Start(bool KeepOpen) {
  FKeepOpen = KeepOpen;
  FComm = std::make_unique<TSioComm>(nullptr);
  ApplyComport1Settings(*FComm);
  FComm->SetSkipClosePause(true);  // the tool tries many ports; the window never does this
  FComm->SetDeviceName(EscapePercent(FPort));
  FComm->SetOnOpen([this](TObject*) { Greet(); });
  FComm->SetOnRxChar([this](TObject*, int Count) { Received(Count); });
  FComm->SetOnError([this](TObject*, int Errors) {
    if ((static_cast<std::uint32_t>(Errors) & kLineGone) != 0)
      Fail(TOutcome::coFailed, "the port hung up: the device was unplugged or has gone");
    else
      Fail(TOutcome::coFailed,
           "the port reported line errors (flags " + std::to_string(Errors) + ")");
  });
  FComm->SetOnBreak([this](TObject*) { Fail(TOutcome::coFailed, "the line reported a break"); });
  FComm->SetOnClose([this](TObject*) {
    if (!FClosing)
      Fail(TOutcome::coFailed, "the port failed while frames were being sent");
  });

  FGreetTimer = std::make_unique<TTimer>(nullptr);
  FGreetTimer->SetEnabled(false);
  FGreetTimer->SetInterval(kGreetingPeriodMs);
  FGreetTimer->OnTimer = [this](TObject*) { Greet(); };
  FStepTimer = std::make_unique<TTimer>(nullptr);
  FStepTimer->SetEnabled(false);
  FStepTimer->SetInterval(static_cast<unsigned>(FTimeout.count()));
  FStepTimer->OnTimer = [this](TObject*) { StepTimedOut(); };

  FPhase = TPhase::cpGreeting;
  Log("opening with 115200 bit/s, 8N1, DTR and RTS on, no flow control");
  RestartStep();
  FGreetTimer->SetEnabled(true);
  try {
    FComm->Open();  // greets from OnOpen, as the window does
  } catch (const ESioCommError& E) {
    FOpenFailure = E.Category();
    Fail(TOutcome::coOpenFailed, E.what());
  } catch (const std::exception& E) {
    Fail(TOutcome::coOpenFailed, E.what());
  }
}

void TMicConversation::Greet() {
  if (FPhase != TPhase::cpGreeting)
    return;
  LogSent(HandshakeFrame(), "handshake");
  SendHandshake(*FComm);
}

void TMicConversation::RestartStep() {
  FStepTimer->SetEnabled(false);
  FStepTimer->SetEnabled(true);
}

void TMicConversation::StepTimedOut() {
  FStepTimer->SetEnabled(false);
  const std::string Within = " within " + std::to_string(FTimeout.count()) + " ms";
  switch (FPhase) {
    case TPhase::cpGreeting:
      Fail(TOutcome::coSilent, "no answer to the greeting" + Within);
      break;
    case TPhase::cpReading:
      Fail(TOutcome::coFailed,
           "the microphone answered the greeting, then sent no " + Missing() + Within);
      break;
    case TPhase::cpWriting:
      Fail(TOutcome::coFailed, "no read-back of " + Missing() + Within);
      break;
    default:
      break;
  }
}

void TMicConversation::Answer() {
  FAnswered = true;
  FGreetTimer->SetEnabled(false);
  FPhase = TPhase::cpReading;
  FHave = {};
  RestartStep();
  LogSent(ReadVersionFrame(), "read version");
  RequestVersion(*FComm);
  ReadSettings();
}

void TMicConversation::ReadSettings() {
  for (std::uint8_t Index = kCentre; Index <= kMute; ++Index) {
    LogSent(ReadSettingFrame(Index), "read " + SettingName(Index));
    RequestSetting(*FComm, Index);
  }
}

void TMicConversation::Write(const TMicSettings& Settings) {
  if (FPhase != TPhase::cpReady)
    return;
  FWritten = Settings;
  FWriteStarted = true;
  FPhase = TPhase::cpWriting;
  FHave = {};
  RestartStep();
  // The window's Save: four writes, then four reads, back to back.
  for (std::uint8_t Index = kCentre; Index <= kMute; ++Index) {
    LogSent(WriteSettingFrame(Index, Settings[Index]),
            "write " + SettingName(Index) + " = " + ValueName(Index, Settings[Index]));
    WriteSetting(*FComm, Index, Settings[Index]);
    if (FComm->Active())
      FWritesSent = Index;
  }
  ReadSettings();
}

void TMicConversation::Received(int Count) {
  TByteBuffer Bytes(static_cast<std::size_t>(Count));
  int Read = 0;
  try {
    Read = FComm->ReadBuf(Bytes.data(), Count);
  } catch (const std::exception& E) {
    Fail(TOutcome::coFailed, E.what());
    return;
  }
  Bytes.resize(static_cast<std::size_t>(Read > 0 ? Read : 0));
  if (!Bytes.empty()) {
    LogFrame("received", Bytes.data(), Bytes.size(), "");
    FReceived.insert(FReceived.end(), Bytes.begin(), Bytes.end());
  }
  // The window's reassembly: stray bytes dropped, split and merged replies cut whole.
  ScanReceiveBuffer(FReceived, [this](const TByteBuffer& Frame, std::uint8_t Length) {
    return HandleReply(Frame, Length);
  });
}

bool TMicConversation::HandleReply(const TByteBuffer& Frame, std::uint8_t Length) {
  const TDeviceReply Reply = ReadReply(Frame, Length);
  LogFrame("reply   ", Frame.data(), Length, ReplyMeaning(Reply));
  switch (Reply.Kind) {
    case TDeviceReply::rkIgnored:
      return false;  // as the window: only the start byte goes, the scan resumes after it
    case TDeviceReply::rkNotConnected:
      break;
    case TDeviceReply::rkHandshake:
      if (Reply.Status == 1 && FPhase == TPhase::cpGreeting)
        Answer();
      break;
    case TDeviceReply::rkSetting:
      SettingReply(Reply.Index, Reply.Value);
      break;
    case TDeviceReply::rkVersion:
    case TDeviceReply::rkVersionUnknown:
      if (FPhase == TPhase::cpReading) {
        FFirmware = Reply.Kind == TDeviceReply::rkVersion ? VersionText(Reply.Version) : "Unknown";
        FHaveFirmware = true;
        CheckComplete();
      }
      break;
  }
  return true;
}

void TMicConversation::SettingReply(std::uint8_t Index, std::uint8_t Value) {
  if (FPhase == TPhase::cpReading)
    FSettings[Index] = Value;
  else if (FPhase == TPhase::cpWriting)
    FReadBack[Index] = Value;
  else
    return;
  FHave[static_cast<std::size_t>(Index - 1)] = true;
  CheckComplete();
}

void TMicConversation::CheckComplete() {
  for (const bool Have : FHave) {
    if (!Have)
      return;
  }
  if (FPhase == TPhase::cpReading && !FHaveFirmware)
    return;
  FStepTimer->SetEnabled(false);
  FOutcome = TOutcome::coOk;
  if (FPhase == TPhase::cpReading && FKeepOpen) {
    FPhase = TPhase::cpReady;
    return;
  }
  End();
}

std::vector<int> TMicConversation::Differences() const {
  std::vector<int> Indexes;
  for (int Index = kCentre; Index <= kRight; ++Index) {
    if (FReadBack[Index] != FWritten[Index])
      Indexes.push_back(Index);
  }
  // Mute means only off (0) or on (anything else): a device may store 7 as 1.
  if ((FReadBack[kMute] != 0) != (FWritten[kMute] != 0))
    Indexes.push_back(kMute);
  return Indexes;
}

void TMicConversation::Finish() {
  if (FPhase != TPhase::cpDone)
    End();
}

void TMicConversation::Fail(TOutcome Outcome, const std::string& Why) {
  if (FPhase == TPhase::cpDone)
    return;
  FOutcome = Outcome;
  FFailure = Why;
  if (FPhase == TPhase::cpWriting)
    FFailure += "; " + WritesSentText();
  Log("failed: " + FFailure);
  End();
}

void TMicConversation::End() {
  FPhase = TPhase::cpDone;
  if (FGreetTimer)
    FGreetTimer->SetEnabled(false);
  if (FStepTimer)
    FStepTimer->SetEnabled(false);
  ClosePort();
}

void TMicConversation::ClosePort() {
  if (!FComm || !FComm->Active())
    return;
  FClosing = true;
  try {
    FComm->Close();  // allowed from inside the component's own notifications
    Log("closed");
  } catch (const std::exception& E) {
    Log(std::string("closing failed: ") + E.what());
  }
}

std::string TMicConversation::Missing() const {
  std::string Text;
  const auto Add = [&Text](const std::string& What) { Text += (Text.empty() ? "" : ", ") + What; };
  if (FPhase == TPhase::cpReading && !FHaveFirmware)
    Add("version");
  for (int Index = kCentre; Index <= kMute; ++Index) {
    if (!FHave[static_cast<std::size_t>(Index - 1)])
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

void TMicConversation::Log(const std::string& Text) {
  const auto Ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - FBegan)
                      .count();
  char Stamp[32];
  std::snprintf(Stamp, sizeof Stamp, "%6lld ms  ", static_cast<long long>(Ms));
  FTranscript.push_back(Stamp + Text);
  if (FVerbose)
    FVerbose(FPort, FTranscript.back());
}

void TMicConversation::LogFrame(const char* Direction, const std::uint8_t* Bytes, std::size_t Count,
                                const std::string& Meaning) {
  Log(std::string(Direction) + " " + Hex(Bytes, Count) + (Meaning.empty() ? "" : "  " + Meaning));
}

}  // namespace vantor
