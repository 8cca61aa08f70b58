#include "cli/port_conversation.h"

#include <algorithm>
#include <cstdio>

#include "framework/timer.h"
#include "serial/comport1_settings.h"
#include "serial/port_backend.h"
#include "serial/sio_comm.h"
#include "serial/sio_errors.h"

namespace vantor {

std::unique_ptr<ISerialPort> MakeComport1(const std::string& Port) {
  auto Comm = std::make_unique<TSioComm>(nullptr);
  ApplyComport1Settings(*Comm);
  Comm->SetSkipClosePause(true);  // the tool tries many ports; the window never does this
  Comm->SetDeviceName(EscapePercent(Port));
  return Comm;
}

TPortConversation::TPortConversation(std::string Port, std::chrono::milliseconds Timeout,
                                     TLineSink Verbose, TPortFactory Factory)
    : FPort(std::move(Port)),
      FVerbose(std::move(Verbose)),
      FFactory(std::move(Factory)),
      FBegan(std::chrono::steady_clock::now()),
      FTalk(Timeout) {}

TPortConversation::~TPortConversation() {
  FClosing = true;
  FWake.reset();
  FComm.reset();  // closes the port, without OnClose
}

TMillis TPortConversation::Now() const {
  return std::chrono::duration_cast<TMillis>(std::chrono::steady_clock::now() - FBegan);
}

void TPortConversation::Start(bool KeepOpen) {
  FWake = std::make_unique<TTimer>(nullptr);
  FWake->SetEnabled(false);
  FWake->OnTimer = [this](TObject*) {
    FTalk.Tick(Now());
    Pump();
  };
  Log(Now(), "opening with 115200 bit/s, 8N1, DTR and RTS on, no flow control");
  try {
    FComm = FFactory(FPort);
    FComm->SetOnRxChar([this](TObject*, int Count) { Received(Count); });
    FComm->SetOnError([this](TObject*, int Errors) {
      if ((static_cast<std::uint32_t>(Errors) & kCeMode) != 0)
        Lost("the port hung up: the device was unplugged or has gone");
      else
        Lost("the port reported line errors (flags " + std::to_string(Errors) + ")");
    });
    FComm->SetOnBreak([this](TObject*) { Lost("the line reported a break"); });
    FComm->SetOnClose([this](TObject*) {
      if (!FClosing)
        Lost("the port failed while frames were being sent");
    });
    FComm->Open();
  } catch (const std::exception& E) {
    const auto* Sio = dynamic_cast<const ESioCommError*>(&E);
    FOpenFailure = Sio ? Sio->Category() : TPortFailure::pfOther;
    FOpenFailed = true;
    FOpenError = E.what();
    FTalk.Finish();
    Log(Now(), "failed: " + FOpenError);
    return;
  }
  FTalk.Start(Now(), KeepOpen);
  Pump();
}

void TPortConversation::Write(const TMicSettings& Settings) {
  FTalk.Write(Now(), Settings);
  Pump();
}

void TPortConversation::Finish() {
  FTalk.Finish();
  Pump();
}

void TPortConversation::Abandon(const std::string& Why) {
  FTalk.PortFailed(Now(), Why);
  FTalk.Finish();
  Pump();
}

void TPortConversation::Received(int Count) {
  std::vector<std::uint8_t> Bytes(static_cast<std::size_t>(std::max(Count, 0)));
  try {
    const int Read = FComm->ReadBuf(Bytes.data(), Count);
    Bytes.resize(static_cast<std::size_t>(std::max(Read, 0)));
  } catch (const std::exception& E) {
    Lost(E.what());
    return;
  }
  FTalk.Receive(Now(), Bytes.data(), Bytes.size());
  Pump();
}

void TPortConversation::Lost(const std::string& Why) {
  FTalk.PortFailed(Now(), Why);
  Pump();
}

void TPortConversation::Pump() {
  while (FTalk.HasFrame()) {
    const auto& Frame = FTalk.NextFrame();
    bool Sent = false;
    try {
      const int Size = static_cast<int>(Frame.size());
      Sent = FComm && FComm->Active() && FComm->WriteBuf(Frame.data(), Size) == Size;
    } catch (const std::exception&) {
      Sent = false;  // the machine learns it below; the close follows from it
    }
    if (!Sent) {
      FTalk.FrameFailed(Now());
      break;
    }
    FTalk.FrameSent(Now());
  }
  FTalk.TakeEvents();  // the tool reads the outcome, not the progress
  for (const TMicConversation::TNote& Note : FTalk.TakeNotes())
    Log(Note.At, Note.Text);
  if (FTalk.Phase() == TPhase::cpDone)
    ClosePort();
  if (!FWake)
    return;
  FWake->SetEnabled(false);
  if (const auto Wake = FTalk.NextWake()) {
    const auto Wait = std::max<TMillis::rep>((*Wake - Now()).count(), 1);
    FWake->SetInterval(static_cast<unsigned>(Wait));
    FWake->SetEnabled(true);
  }
}

void TPortConversation::ClosePort() {
  if (!FComm || !FComm->Active())
    return;
  FClosing = true;
  try {
    FComm->Close();  // allowed from inside the component's own notifications
    Log(Now(), "closed");
  } catch (const std::exception& E) {
    Log(Now(), std::string("closing failed: ") + E.what());
  }
}

void TPortConversation::Log(TMillis At, const std::string& Text) {
  char Stamp[32];
  std::snprintf(Stamp, sizeof Stamp, "%6lld ms  ", static_cast<long long>(At.count()));
  FTranscript.push_back(Stamp + Text);
  if (FVerbose)
    FVerbose(FPort, FTranscript.back());
}

}  // namespace vantor
