#include "serial/sio_comm.h"

#include <algorithm>

#include "serial/sio_dcb.h"
#include "serial/sio_errors.h"
#include "serial/sio_event_thread.h"
#include "serial/sio_write_thread.h"

namespace vantor {

namespace {

std::string WithPath(const char* Msg, const std::string& Path) {
  std::string Text = Msg;
  const auto At = Text.find("%s");
  if (At != std::string::npos)
    Text.replace(At, 2, EscapePercent(Path));
  return Text;
}

}  // namespace

TSioCustomComm::TSioCustomComm(TComponent* AOwner, std::unique_ptr<TSioPortBackend> Backend)
    : TSioComponent(AOwner), FBackend(Backend ? std::move(Backend) : MakePlatformPortBackend()) {
  FBuffers = std::make_unique<TSioBuffers>();
  FBuffers->SetOnChange([this](TObject* Sender) { BuffersChanged(Sender); });
  FEventChars = std::make_unique<TSioEventChars>();
  FEventChars->SetOnChange([this](TObject* Sender) { LineSettingsChanged(Sender); });
  FFlowControl = std::make_unique<TSioFlowControl>();
  FFlowControl->SetOnChange([this](TObject* Sender) { LineSettingsChanged(Sender); });
  FEvent = std::make_unique<TSioWaitEvent>();
  FWriteSection = std::make_unique<TSioCriticalSection>();
  FGlobalSection = std::make_unique<TSioCriticalSection>();
  FSettingsStore = std::make_unique<TSettingsStore>();
  if (TApplication* App = Application()) {
    App->HookMainWindow(this, [this](TMessage& Message) { return DeviceChangeHook(Message); });
  }
}

TSioCustomComm::~TSioCustomComm() {
  ShutDown();
  // Threads that a Close inside their own notice could not wait for.
  for (const auto& Thread : FStoppedThreads) {
    if (Thread->Started() && !Thread->Finished())
      Thread->WaitFor();
  }
  FStoppedThreads.clear();
  for (const auto& Waiting : FWaitThreads)
    Waiting->SetDone(true);
  for (const auto& Waiting : FWaitThreads)
    Waiting->WaitFor();
  FWaitThreads.clear();
  while (!FClients.empty())
    RemoveClient(FClients.back());
  if (FDisplay)
    RemoveFreeNotification(FDisplay);
}

void TSioCustomComm::ShutDown() {
  Destroying();  // no OnClose from here on
  if (TApplication* App = Application())
    App->UnhookMainWindow(this);
  try {
    Close();
  } catch (...) {
    // A destructor reports nothing; the port is closed all the same.
  }
}

void TSioCustomComm::Loaded() {
  TSioComponent::Loaded();
  if ((ComponentState() & csDesigning) == 0 && FAutoOpen)
    Open();
}

// --- Error report ---

void TSioCustomComm::RaiseCommError(const std::string& Msg) {
  ReportError(Msg, false);
}

void TSioCustomComm::RaiseRuleError(const std::string& Msg) {
  ReportError(Msg, true);
}

void TSioCustomComm::ReportError(const std::string& Msg, bool Rule) {
  const std::uint32_t Code = FBackend->LastError();
  const std::string Text = TrimSystemText(FBackend->SystemErrorText(Code));
  if (FOnErrorException) {
    FOnErrorException(this, static_cast<std::int32_t>(Code), Text);
    return;
  }
  // An open port gives the device's failures; a closed one, the open's.
  const TPortFailure Category =
      Rule ? TPortFailure::pfOther
           : FBackend->ErrorCategory(Code,
                                     Active() ? TPortErrorPhase::Open : TPortErrorPhase::Opening);
  throw ESioCommError(FormatCommMessage(Msg, static_cast<std::int32_t>(Code), Text),
                      static_cast<std::int32_t>(Code), Category);
}

void TSioCustomComm::CheckCommResult(bool Result, const std::string& Msg) {
  if (!Result)
    RaiseCommError(Msg);
}

void TSioCustomComm::ReportGuardedFailure() {
  if (TApplication* App = Application())
    App->HandleException(this);
}

void TSioCustomComm::CheckClosed() {
  if (Active())
    RaiseRuleError(SioMsg::kPortOpen);
}

// --- Device path and the device ---

std::string TSioCustomComm::GetDeviceName() {
  const std::string Name = FormatPortNumber(FDeviceName, FPortNum);
  // Prefix the name with "\\.\" to reach ports above COM9 on the NT family.
  return FBackend->PlatformId() == 2 ? "\\\\.\\" + Name : Name;
}

void TSioCustomComm::OpenDevice() {
  const std::string Path = GetDeviceName();
  const TSioHandle Port = FBackend->OpenPort(Path);
  if (Port == kInvalidSioHandle) {
    // The code picks the message, as it always has; what the code means is the category's.
    if (FBackend->LastError() == kSioDeviceNotFoundCode) {
      RaiseCommError(WithPath(SioMsg::kDeviceNotFound, Path));
    } else {
      RaiseCommError(WithPath(SioMsg::kCantOpen, Path) + SioMsg::kCantOpenDetail);
    }
    return;
  }
  {
    std::lock_guard<TSioCriticalSection> Global(*FGlobalSection);
    FHandle.store(Port);
  }
  ++FOpenGeneration;
}

void TSioCustomComm::CloseDevice() {
  // Under both locks, so that no status query or read of another thread is using it.
  std::lock_guard<TSioCriticalSection> Global(*FGlobalSection);
  std::lock_guard<TSioCriticalSection> Write(*FWriteSection);
  const TSioHandle Port = FHandle.exchange(kInvalidSioHandle);
  if (Port != kInvalidSioHandle)
    FBackend->ClosePort(Port);
}

void TSioCustomComm::ApplyDCB() {
  if (!Active() || !FUpdateDCB)
    return;
  TSioDCB Dcb;
  if (!FBackend->GetCommState(Handle(), Dcb))
    Dcb = TSioDCB{};  // all zero but the length
  const TSioLineSettings Line{FBaudrate, FUserBaudrate, FParity, FDatabits, FStopbits, FOptions};
  BuildDCB(Dcb, Line, *FFlowControl, *FEventChars, *FBuffers);
  CheckCommResult(FBackend->SetCommState(Handle(), Dcb), SioMsg::kWriteDcb);
}

void TSioCustomComm::SetupBuffers() {
  if (!Active())
    return;
  CheckCommResult(FBackend->SetupComm(Handle(), static_cast<std::uint32_t>(FBuffers->ReadSize()),
                                      static_cast<std::uint32_t>(FBuffers->WriteSize())),
                  SioMsg::kInitBuffers);
}

void TSioCustomComm::SetTimeouts() {
  if (!Active())
    return;
  // A read returns at once with what has arrived; writes have no time limit.
  const TSioCommTimeouts Timeouts{0xFFFFFFFF, 0, 0, 0, 0};
  CheckCommResult(FBackend->SetCommTimeouts(Handle(), Timeouts), SioMsg::kTimeouts);
}

void TSioCustomComm::ApplyEventMask() {
  static constexpr std::uint32_t kBits[kSioCommEventCount] = {
      kEvBreak,   kEvCts,    kEvDsr,  kEvErr,      kEvRing,   kEvRlsd,  kEvRxChar,
      kEvTxEmpty, kEvRxFlag, kEvPErr, kEvRx80Full, kEvEvent1, kEvEvent2};
  std::uint32_t Mask = 0;
  for (int Ordinal = 0; Ordinal < kSioCommEventCount; ++Ordinal) {
    if (FMonitorEvents.Contains(static_cast<TSioCommEvent>(Ordinal)))
      Mask |= kBits[Ordinal];
  }
  // The write thread reports the end of its own writes.
  if (!FDirectWrite)
    Mask &= ~kEvTxEmpty;
  FEventMask = static_cast<std::int32_t>(Mask);
  if (Active())
    CheckCommResult(FBackend->SetCommMask(Handle(), Mask), SioMsg::kEventMask);
}

// --- Open and Close ---

void TSioCustomComm::Open() {
  CheckClosed();
  // With OnErrorException bound the check returns: an open port keeps its handle.
  if (Active())
    return;
  ReapStoppedThreads();
  OpenDevice();
  if (!Active())
    return;
  try {
    ApplyDCB();
    SetupBuffers();
    SetTimeouts();
    ApplyEventMask();
    StartThreads();
  } catch (...) {
    // Threads already started end before the handle they use is closed.
    StopThreads();
    CloseDevice();
    throw;
  }
  DoOpen();
}

void TSioCustomComm::StartThreads() {
  if (FEventMask != 0) {
    auto Thread = std::make_shared<TSioCommEventThread>(this, Handle(), *FBackend);
    Thread->SetPriority(FEventPriority);
    Thread->SetSync(FSyncThreads);
    FEventThread = Thread;
    Thread->Start();
  }
  if (!FDirectWrite) {
    auto Thread = std::make_shared<TSioCommWriteThread>(this, Handle(), *FBackend, *FWriteSection,
                                                        FBuffers->WriteSize());
    Thread->SetPriority(FWritePriority);
    Thread->SetSync(FSyncThreads);
    FWriteThread = Thread;
    Thread->Start();
  }
}

void TSioCustomComm::DoOpen() {
  try {
    FireHandler(FOnOpen, this);
  } catch (...) {
    ReportGuardedFailure();
  }
}

void TSioCustomComm::Close() {
  if (!Active())
    return;
  const std::uint64_t Generation = FOpenGeneration;
  StopThreads();
  // A Close nested in the wait above (a notice or message handler) may have done the rest.
  if (!Active() || FOpenGeneration != Generation)
    return;
  CloseDevice();
  DoClose();
  if (!FSkipClosePause)
    FBackend->Sleep(300);
}

void TSioCustomComm::DoClose() {
  if (!IsDestroying())
    FireHandler(FOnClose, this);
}

void TSioCustomComm::StopThreads() {
  std::unique_lock<TSioCriticalSection> Global(*FGlobalSection);
  // Both out of their fields before any wait: a Close and an Open nested in a wait below
  // put the new port's threads there, and those are not this call's to stop. Both are asked
  // to stop before the waits, so that such a nested Close finds them in the list and waits
  // for them before it closes the handle they use. The event thread first, then the write
  // thread; they are waited for in that order.
  std::shared_ptr<TSioPortThread> Event = std::move(FEventThread);
  std::shared_ptr<TSioPortThread> Write = std::move(FWriteThread);
  for (std::shared_ptr<TSioPortThread>* Thread : {&Event, &Write}) {
    if (*Thread) {
      (*Thread)->StopThread();
      FStoppedThreads.push_back(std::move(*Thread));
    }
  }
  WaitForStoppedThreads(Global);
}

void TSioCustomComm::WaitForStoppedThreads(std::unique_lock<TSioCriticalSection>& Global) {
  // A copy: a Close nested in one of these waits may change the list; the references
  // keep every object alive until this wait is over.
  const auto Stopped = FStoppedThreads;
  for (const auto& Thread : Stopped) {
    if (!Thread->Started() || Thread->Finished())
      continue;
    // Blocked in a notice further down this very call stack, or this is the thread
    // itself: it ends once that notice returns, without touching the port again.
    if (Thread->InNotice() || Thread->IsCurrentThread())
      continue;
    if (Thread->Sync()) {
      Thread->WaitFor();  // serves its queued dispatches meanwhile
    } else {
      // Its handlers run on that thread and may need the global lock.
      Global.unlock();
      Thread->WaitFor();
      Global.lock();
    }
  }
  ReapStoppedThreads();
}

void TSioCustomComm::ReapStoppedThreads() {
  std::erase_if(FStoppedThreads, [](const std::shared_ptr<TSioPortThread>& Thread) {
    return !Thread->Started() || Thread->Finished();
  });
}

// --- Settings ---

void TSioCustomComm::SetBaudrate(TSioBaudrate Value) {
  if (Value == FBaudrate)
    return;
  FBaudrate = Value;
  if (Value != brUser)
    FUserBaudrate = 0;
  ApplyDCB();
}

void TSioCustomComm::SetUserBaudrate(std::int32_t Value) {
  if (Value == FUserBaudrate)
    return;
  FUserBaudrate = Value;
  FBaudrate = brUser;
  ApplyDCB();
}

void TSioCustomComm::SetParity(TSioParity Value) {
  if (Value == FParity)
    return;
  FParity = Value;
  ApplyDCB();
}

void TSioCustomComm::SetDatabits(TSioDatabits Value) {
  if (Value == FDatabits)
    return;
  FDatabits = Value;
  ApplyDCB();
}

void TSioCustomComm::SetStopbits(TSioStopbits Value) {
  if (Value == FStopbits)
    return;
  FStopbits = Value;
  ApplyDCB();
}

void TSioCustomComm::SetOptions(TSioCommOptions Value) {
  if (Value == FOptions)
    return;
  FOptions = Value;
  ApplyDCB();
}

void TSioCustomComm::SetBuffers(const TSioBuffers& Value) {
  CheckClosed();
  FBuffers->Assign(Value);
}

void TSioCustomComm::SetPortNum(TSioPortInt Value) {
  CheckClosed();
  FPortNum = std::max<TSioPortInt>(Value, 0);
}

void TSioCustomComm::SetDeviceName(const std::string& Value) {
  CheckClosed();
  FDeviceName = Value;
}

void TSioCustomComm::SetMonitorEvents(TSioCommEvents Value) {
  CheckClosed();
  FMonitorEvents = Value;
}

void TSioCustomComm::SetEventPriority(TThreadPriority Value) {
  if (Value == FEventPriority)
    return;
  FEventPriority = Value;
  if (FEventThread)
    FEventThread->SetPriority(Value);
}

void TSioCustomComm::SetWritePriority(TThreadPriority Value) {
  if (Value == FWritePriority)
    return;
  FWritePriority = Value;
  if (FWriteThread)
    FWriteThread->SetPriority(Value);
}

void TSioCustomComm::SetDirectWrite(bool Value) {
  CheckClosed();
  // One opening uses one write path throughout, even when the report did not raise.
  if (Active())
    return;
  FDirectWrite = Value;
}

void TSioCustomComm::SetUpdateDCB(bool Value) {
  CheckClosed();
  FUpdateDCB = Value;
}

void TSioCustomComm::SetDisplay(TSioDisplay* Value) {
  if (Value == FDisplay)
    return;
  if (FDisplay)
    RemoveFreeNotification(FDisplay);
  FDisplay = Value;
  if (FDisplay)
    FreeNotification(FDisplay);
}

void TSioCustomComm::Notification(TComponent* AComponent, TOperation Operation) {
  TSioComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FDisplay)
    FDisplay = nullptr;
}

void TSioCustomComm::BuffersChanged(TObject* /*Sender*/) {
  CheckClosed();
  SetupBuffers();
  ApplyDCB();
}

void TSioCustomComm::LineSettingsChanged(TObject* /*Sender*/) {
  ApplyDCB();
}

}  // namespace vantor
