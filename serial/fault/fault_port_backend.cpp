#include "serial/fault/fault_port_backend.h"

#include <algorithm>
#include <cstring>

namespace vantor {

namespace {

// How often a blocked wait looks at the stop, close and flush signals: the portable event
// wrapper can only be polled, and a short poll keeps the fake simple.
constexpr auto kPollStep = std::chrono::milliseconds(2);

bool IsSet(TSioEvent& Event) {
  return Event.WaitFor(0) == wrSignaled;
}

}  // namespace

TFaultPortBackend::TFaultPortBackend() {
  FCurrentDcb.BaudRate = 9600;
  FCurrentDcb.ByteSize = 8;
  // Bits the component must not carry over into the record it writes.
  FCurrentDcb.Flags = kDcbAbortOnError | kDcbOutX;
}

// --- Set-up ---

void TFaultPortBackend::AddDevice(const std::string& Path) {
  TLock Lock(FLock);
  FDevices.insert(Path);
}

void TFaultPortBackend::RemoveDevice(const std::string& Path) {
  TLock Lock(FLock);
  FDevices.erase(Path);
}

void TFaultPortBackend::HoldDevice(const std::string& Path, std::uint32_t Code) {
  TLock Lock(FLock);
  FDevices.insert(Path);
  FHeld[Path] = Code;
}

void TFaultPortBackend::ReleaseDevice(const std::string& Path) {
  TLock Lock(FLock);
  FHeld.erase(Path);
}

void TFaultPortBackend::SetEcho(bool Value) {
  TLock Lock(FLock);
  FEcho = Value;
}

void TFaultPortBackend::Refuse(TFaultOperation Operation, std::uint32_t Code, int Times) {
  TLock Lock(FLock);
  FRefusals[Operation] = {Code, Times};
}

void TFaultPortBackend::Allow(TFaultOperation Operation) {
  TLock Lock(FLock);
  FRefusals.erase(Operation);
}

void TFaultPortBackend::SetErrorCategory(std::uint32_t Code, TPortFailure Category) {
  TLock Lock(FLock);
  FCategories[Code] = Category;
}

void TFaultPortBackend::SetPlatformId(int Value) {
  TLock Lock(FLock);
  FPlatformId = Value;
}

void TFaultPortBackend::SetTickStart(std::uint32_t Value) {
  TLock Lock(FLock);
  FTickStart = Value;
  FTickBase = std::chrono::steady_clock::now();
}

void TFaultPortBackend::SetModemStatus(std::uint32_t Value) {
  TLock Lock(FLock);
  FModemStatus = Value;
}

void TFaultPortBackend::SetHoldFlags(std::uint32_t Value) {
  TLock Lock(FLock);
  FHoldFlags = Value;
}

void TFaultPortBackend::SetOutQueue(std::uint32_t Value) {
  TLock Lock(FLock);
  FOutQueue = Value;
}

void TFaultPortBackend::SetProperties(const TSioCommProp& Value) {
  TLock Lock(FLock);
  FProperties = Value;
}

void TFaultPortBackend::SetCurrentDcb(const TSioDCB& Value) {
  TLock Lock(FLock);
  FCurrentDcb = Value;
}

void TFaultPortBackend::SetDefaultDcb(const TSioDCB& Value) {
  TLock Lock(FLock);
  FDefaultDcb = Value;
}

void TFaultPortBackend::SetRegistryNames(std::vector<std::string> Names) {
  TLock Lock(FLock);
  FRegistryNames = std::move(Names);
}

// --- Injection ---

void TFaultPortBackend::InjectRx(const std::vector<std::uint8_t>& Bytes, bool RaiseEvent) {
  {
    TLock Lock(FLock);
    FRx.insert(FRx.end(), Bytes.begin(), Bytes.end());
    if (RaiseEvent)
      FPendingEvents |= kEvRxChar;
  }
  FChanged.notify_all();
}

void TFaultPortBackend::InjectEvents(std::uint32_t Bits) {
  {
    TLock Lock(FLock);
    FPendingEvents |= Bits;
  }
  FChanged.notify_all();
}

void TFaultPortBackend::InjectEmptyWake() {
  {
    TLock Lock(FLock);
    ++FEmptyWakes;
  }
  FChanged.notify_all();
}

void TFaultPortBackend::InjectErrors(std::uint32_t Flags, bool RaiseEvent) {
  {
    TLock Lock(FLock);
    FErrors |= Flags;
    if (RaiseEvent)
      FPendingEvents |= kEvErr;
  }
  FChanged.notify_all();
}

void TFaultPortBackend::InjectBreak() {
  {
    TLock Lock(FLock);
    FErrors |= kCeBreak;
    FPendingEvents |= kEvBreak;
  }
  FChanged.notify_all();
}

// --- Pending writes ---

void TFaultPortBackend::SetHoldWrites(bool Value) {
  TLock Lock(FLock);
  FHoldWrites = Value;
}

void TFaultPortBackend::SetWritesIgnoreAbandon(bool Value) {
  TLock Lock(FLock);
  FIgnoreAbandon = Value;
}

bool TFaultPortBackend::WaitForPendingWrite(std::chrono::milliseconds Timeout) {
  TLock Lock(FLock);
  return FChanged.wait_for(Lock, Timeout, [this] { return FPending.Active && !FPending.Released; });
}

bool TFaultPortBackend::WaitForAbandonRequest(std::chrono::milliseconds Timeout) {
  TLock Lock(FLock);
  return FChanged.wait_for(Lock, Timeout, [this] { return FPending.AbandonSeen; });
}

std::uint32_t TFaultPortBackend::PendingWriteSize() const {
  TLock Lock(FLock);
  return FPending.Active && !FPending.Released ? FPending.Count : 0;
}

bool TFaultPortBackend::CompletePendingWrite(std::uint32_t Count) {
  {
    TLock Lock(FLock);
    if (!FPending.Active || FPending.Released)
      return false;
    FPending.Released = true;
    FPending.ReleaseCount = std::min(Count, FPending.Count);
  }
  FChanged.notify_all();
  return true;
}

// --- Observation ---

std::vector<TFaultCall> TFaultPortBackend::Calls() const {
  TLock Lock(FLock);
  return FCalls;
}

std::vector<std::string> TFaultPortBackend::CallNames() const {
  TLock Lock(FLock);
  std::vector<std::string> Names;
  for (const auto& Call : FCalls)
    Names.push_back(Call.Name);
  return Names;
}

int TFaultPortBackend::CallCount(const std::string& Name) const {
  TLock Lock(FLock);
  return static_cast<int>(std::count_if(
      FCalls.begin(), FCalls.end(), [&Name](const TFaultCall& Call) { return Call.Name == Name; }));
}

void TFaultPortBackend::ClearCalls() {
  TLock Lock(FLock);
  FCalls.clear();
}

std::vector<std::uint8_t> TFaultPortBackend::Written() const {
  TLock Lock(FLock);
  return FWritten;
}

TSioDCB TFaultPortBackend::LastDcb() const {
  TLock Lock(FLock);
  return FLastDcb;
}

int TFaultPortBackend::DcbWrites() const {
  TLock Lock(FLock);
  return FDcbWrites;
}

TSioCommTimeouts TFaultPortBackend::LastTimeouts() const {
  TLock Lock(FLock);
  return FLastTimeouts;
}

std::uint32_t TFaultPortBackend::LastMask() const {
  TLock Lock(FLock);
  return FMask;
}

std::uint32_t TFaultPortBackend::LastInQueueSize() const {
  TLock Lock(FLock);
  return FInQueueSize;
}

std::uint32_t TFaultPortBackend::LastOutQueueSize() const {
  TLock Lock(FLock);
  return FOutQueueSize;
}

std::vector<std::uint32_t> TFaultPortBackend::Purges() const {
  TLock Lock(FLock);
  return FPurges;
}

std::vector<std::uint32_t> TFaultPortBackend::Escapes() const {
  TLock Lock(FLock);
  return FEscapes;
}

std::vector<std::uint32_t> TFaultPortBackend::Sleeps() const {
  TLock Lock(FLock);
  return FSleeps;
}

bool TFaultPortBackend::PortOpen() const {
  TLock Lock(FLock);
  return !FOpen.empty();
}

int TFaultPortBackend::OpenCount() const {
  TLock Lock(FLock);
  return FOpenCount;
}

std::size_t TFaultPortBackend::RxWaiting() const {
  TLock Lock(FLock);
  return FRx.size();
}

bool TFaultPortBackend::WaitingForEvents() const {
  TLock Lock(FLock);
  return FWaiters > 0;
}

int TFaultPortBackend::Misuses() const {
  TLock Lock(FLock);
  return FMisuses;
}

// --- Helpers (FLock held) ---

void TFaultPortBackend::Record(std::string Name, std::vector<std::int64_t> Args, std::string Text) {
  FCalls.push_back({std::move(Name), std::move(Args), std::move(Text)});
}

void TFaultPortBackend::Deliver(const std::uint8_t* Bytes, std::uint32_t Count) {
  FWritten.insert(FWritten.end(), Bytes, Bytes + Count);
  if (FEcho && Count > 0) {
    FRx.insert(FRx.end(), Bytes, Bytes + Count);
    FPendingEvents |= kEvRxChar;
    FChanged.notify_all();
  }
}

void TFaultPortBackend::SetError(std::uint32_t Code) {
  FLastErrors[std::this_thread::get_id()] = Code;
}

bool TFaultPortBackend::Refused(TFaultOperation Operation) {
  const auto It = FRefusals.find(Operation);
  if (It == FRefusals.end())
    return false;
  SetError(It->second.Code);
  if (It->second.Times > 0 && --It->second.Times == 0)
    FRefusals.erase(It);
  return true;
}

bool TFaultPortBackend::CheckPort(TSioHandle Port) {
  if (FOpen.count(Port))
    return true;
  ++FMisuses;
  SetError(kInvalidHandleCode);
  return false;
}

// --- TSioPortBackend ---

int TFaultPortBackend::PlatformId() {
  TLock Lock(FLock);
  return FPlatformId;
}

std::uint32_t TFaultPortBackend::LastError() {
  TLock Lock(FLock);
  const auto It = FLastErrors.find(std::this_thread::get_id());
  return It == FLastErrors.end() ? 0 : It->second;
}

std::string TFaultPortBackend::SystemErrorText(std::uint32_t Code) {
  // As the platform gives them: a full stop and a line break at the end.
  switch (Code) {
    case 0:
      return "The operation completed successfully.\r\n";
    case 2:
      return "The system cannot find the file specified.\r\n";
    case 5:
      return "Access is denied.\r\n";
    case 6:
      return "The handle is invalid.\r\n";
    case 22:
      return "The device does not recognize the command.\r\n";
    case 31:
      return "A device attached to the system is not functioning.\r\n";
    case 87:
      return "The parameter is incorrect.\r\n";
    case 995:
      return "The I/O operation has been aborted because of either a thread exit or an "
             "application request.\r\n";
    default:
      return "Unknown error " + std::to_string(Code) + ".\r\n";
  }
}

TPortFailure TFaultPortBackend::ErrorCategory(std::uint32_t Code, TPortErrorPhase /*Phase*/) {
  TLock Lock(FLock);
  const auto It = FCategories.find(Code);
  return It == FCategories.end() ? TPortFailure::pfOther : It->second;
}

void TFaultPortBackend::Sleep(std::uint32_t Milliseconds) {
  // Recorded, not slept: the tests need not pay Close's pause.
  TLock Lock(FLock);
  FSleeps.push_back(Milliseconds);
  Record("Sleep", {Milliseconds});
}

std::uint32_t TFaultPortBackend::TickCount() {
  const auto Now = std::chrono::steady_clock::now();
  TLock Lock(FLock);
  const auto Elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Now - FTickBase);
  return FTickStart + static_cast<std::uint32_t>(Elapsed.count());
}

TSioHandle TFaultPortBackend::OpenPort(const std::string& Path) {
  TLock Lock(FLock);
  Record("OpenPort", {}, Path);
  if (!FDevices.count(Path)) {
    SetError(kErrorFileNotFound);
    return kInvalidSioHandle;
  }
  if (const auto It = FHeld.find(Path); It != FHeld.end()) {
    SetError(It->second);
    return kInvalidSioHandle;
  }
  for (const auto& [Handle, OpenPath] : FOpen) {
    if (OpenPath == Path) {
      SetError(kErrorAccessDenied);  // exclusive: already open
      return kInvalidSioHandle;
    }
  }
  if (Refused(foOpenPort))
    return kInvalidSioHandle;
  const TSioHandle Handle = FNextHandle++;
  FOpen[Handle] = Path;
  ++FOpenCount;
  FRx.clear();
  FPendingEvents = 0;
  FErrors = 0;
  return Handle;
}

void TFaultPortBackend::ClosePort(TSioHandle Port) {
  TLock Lock(FLock);
  Record("ClosePort", {static_cast<std::int64_t>(Port)});
  if (!CheckPort(Port))
    return;
  if (FInUse[Port] > 0)
    ++FMisuses;  // another thread is still in a call on it
  FOpen.erase(Port);
  FChanged.notify_all();
}

bool TFaultPortBackend::GetCommState(TSioHandle Port, TSioDCB& Dcb) {
  TLock Lock(FLock);
  Record("GetCommState", {static_cast<std::int64_t>(Port)});
  if (!CheckPort(Port) || Refused(foGetCommState)) {
    Dcb = TSioDCB{};
    return false;
  }
  Dcb = FCurrentDcb;
  Dcb.DCBlength = 28;
  return true;
}

bool TFaultPortBackend::SetCommState(TSioHandle Port, const TSioDCB& Dcb) {
  TLock Lock(FLock);
  Record("SetCommState", {static_cast<std::int64_t>(Port), Dcb.BaudRate, Dcb.Flags});
  if (!CheckPort(Port) || Refused(foSetCommState))
    return false;
  FCurrentDcb = Dcb;
  FLastDcb = Dcb;
  ++FDcbWrites;
  return true;
}

bool TFaultPortBackend::SetupComm(TSioHandle Port, std::uint32_t InQueue, std::uint32_t OutQueue) {
  TLock Lock(FLock);
  Record("SetupComm", {static_cast<std::int64_t>(Port), InQueue, OutQueue});
  if (!CheckPort(Port) || Refused(foSetupComm))
    return false;
  FInQueueSize = InQueue;
  FOutQueueSize = OutQueue;
  return true;
}

bool TFaultPortBackend::SetCommTimeouts(TSioHandle Port, const TSioCommTimeouts& Timeouts) {
  TLock Lock(FLock);
  Record("SetCommTimeouts", {static_cast<std::int64_t>(Port), Timeouts.ReadIntervalTimeout});
  if (!CheckPort(Port) || Refused(foSetCommTimeouts))
    return false;
  FLastTimeouts = Timeouts;
  return true;
}

bool TFaultPortBackend::SetCommMask(TSioHandle Port, std::uint32_t Mask) {
  TLock Lock(FLock);
  Record("SetCommMask", {static_cast<std::int64_t>(Port), Mask});
  if (!CheckPort(Port) || Refused(foSetCommMask))
    return false;
  FMask = Mask;
  return true;
}

bool TFaultPortBackend::ClearCommError(TSioHandle Port, TSioPortStatus& Status) {
  TLock Lock(FLock);
  Record("ClearCommError", {static_cast<std::int64_t>(Port)});
  if (!CheckPort(Port) || Refused(foClearCommError))
    return false;
  Status.Errors = FErrors;
  FErrors = 0;
  Status.Flags = FHoldFlags;
  Status.InQueue = static_cast<std::uint32_t>(FRx.size());
  Status.OutQueue = FOutQueue;
  return true;
}

bool TFaultPortBackend::PurgeComm(TSioHandle Port, std::uint32_t Flags) {
  TLock Lock(FLock);
  Record("PurgeComm", {static_cast<std::int64_t>(Port), Flags});
  if (!CheckPort(Port) || Refused(foPurgeComm))
    return false;
  FPurges.push_back(Flags);
  if (Flags & kPurgeRxClear)
    FRx.clear();
  return true;
}

bool TFaultPortBackend::EscapeCommFunction(TSioHandle Port, std::uint32_t Code) {
  TLock Lock(FLock);
  Record("EscapeCommFunction", {static_cast<std::int64_t>(Port), Code});
  if (!CheckPort(Port) || Refused(foEscapeCommFunction))
    return false;
  FEscapes.push_back(Code);
  return true;
}

bool TFaultPortBackend::GetCommModemStatus(TSioHandle Port, std::uint32_t& Status) {
  TLock Lock(FLock);
  Record("GetCommModemStatus", {static_cast<std::int64_t>(Port)});
  if (!CheckPort(Port) || Refused(foGetCommModemStatus))
    return false;
  Status = FModemStatus;
  return true;
}

bool TFaultPortBackend::GetCommProperties(TSioHandle Port, TSioCommProp& Properties) {
  TLock Lock(FLock);
  Record("GetCommProperties", {static_cast<std::int64_t>(Port)});
  if (!CheckPort(Port) || Refused(foGetCommProperties))
    return false;
  Properties = FProperties;
  return true;
}

bool TFaultPortBackend::GetDefaultCommConfig(const std::string& DeviceName, TSioDCB& Dcb) {
  TLock Lock(FLock);
  Record("GetDefaultCommConfig", {}, DeviceName);
  if (Refused(foGetDefaultCommConfig))
    return false;
  Dcb = FDefaultDcb;
  return true;
}

void TFaultPortBackend::RegistryPortNames(std::vector<std::string>& Names) {
  TLock Lock(FLock);
  Record("RegistryPortNames", {});
  Names = FRegistryNames;
}

bool TFaultPortBackend::Read(TSioHandle Port, void* Buf, std::uint32_t Count, TSioEvent& Completion,
                             std::uint32_t TimeoutMs, std::uint32_t& Transferred) {
  TLock Lock(FLock);
  Record("Read", {static_cast<std::int64_t>(Port), Count, TimeoutMs});
  Transferred = 0;
  if (!CheckPort(Port) || Refused(foRead))
    return false;
  const std::size_t Taken = std::min<std::size_t>(Count, FRx.size());
  if (Taken > 0)
    std::memcpy(Buf, FRx.data(), Taken);
  FRx.erase(FRx.begin(), FRx.begin() + static_cast<std::ptrdiff_t>(Taken));
  Transferred = static_cast<std::uint32_t>(Taken);
  Completion.SetEvent();
  return true;
}

bool TFaultPortBackend::Write(TSioHandle Port, const void* Buf, std::uint32_t Count,
                              TSioEvent& Completion, std::uint32_t TimeoutMs,
                              std::uint32_t& Transferred) {
  TLock Lock(FLock);
  Record("Write", {static_cast<std::int64_t>(Port), Count, TimeoutMs});
  Transferred = 0;
  if (!CheckPort(Port) || Refused(foWrite))
    return false;
  Deliver(static_cast<const std::uint8_t*>(Buf), Count);
  Transferred = Count;
  Completion.SetEvent();
  return true;
}

TSioWriteOutcome TFaultPortBackend::WriteAbandonable(TSioHandle Port, const void* Buf,
                                                     std::uint32_t Count, TSioEvent& Completion,
                                                     TSioEvent& Close, TSioEvent& Flush,
                                                     std::uint32_t& Transferred) {
  TLock Lock(FLock);
  Record("WriteAbandonable", {static_cast<std::int64_t>(Port), Count});
  Transferred = 0;
  if (!CheckPort(Port) || Refused(foWriteAbandonable))
    return TSioWriteOutcome::Refused;
  const auto* Bytes = static_cast<const std::uint8_t*>(Buf);
  if (!FHoldWrites) {
    if (Refused(foWriteResult))
      return TSioWriteOutcome::ResultFailed;
    Deliver(Bytes, Count);
    Transferred = Count;
    Completion.SetEvent();
    return TSioWriteOutcome::Written;
  }
  FPending = TPendingWrite{true, false, false, Count, 0};
  ++FInUse[Port];
  FChanged.notify_all();
  TSioWriteOutcome Outcome;
  for (;;) {
    if (FPending.Released) {
      if (Refused(foWriteResult)) {
        Outcome = TSioWriteOutcome::ResultFailed;
      } else {
        Deliver(Bytes, FPending.ReleaseCount);
        Transferred = FPending.ReleaseCount;
        Completion.SetEvent();
        Outcome = TSioWriteOutcome::Written;
      }
      break;
    }
    const bool CloseSet = IsSet(Close), FlushSet = IsSet(Flush);
    if ((CloseSet || FlushSet) && !FPending.AbandonSeen) {
      FPending.AbandonSeen = true;
      FChanged.notify_all();
    }
    if (!FIgnoreAbandon && CloseSet) {
      Outcome = TSioWriteOutcome::Close;
      break;
    }
    if (!FIgnoreAbandon && FlushSet) {
      Outcome = TSioWriteOutcome::Flush;
      break;
    }
    FChanged.wait_for(Lock, kPollStep);
  }
  FPending = TPendingWrite{};
  --FInUse[Port];
  FChanged.notify_all();
  return Outcome;
}

TSioWaitOutcome TFaultPortBackend::WaitCommEvent(TSioHandle Port, std::uint32_t& EvtMask,
                                                 TSioEvent& Wake, TSioEvent& Stop) {
  TLock Lock(FLock);
  Record("WaitCommEvent", {static_cast<std::int64_t>(Port)});
  if (!CheckPort(Port) || Refused(foWaitCommEvent))
    return TSioWaitOutcome::Refused;
  ++FInUse[Port];
  ++FWaiters;
  FChanged.notify_all();
  TSioWaitOutcome Outcome;
  for (;;) {
    if (IsSet(Stop)) {
      Outcome = TSioWaitOutcome::Stopped;
      break;
    }
    const std::uint32_t Seen = FPendingEvents & FMask;
    if (Seen != 0 || FEmptyWakes > 0) {
      if (Seen == 0)
        --FEmptyWakes;
      FPendingEvents = 0;  // what the mask does not watch is lost
      EvtMask = Seen;
      Wake.SetEvent();
      Outcome = TSioWaitOutcome::Events;
      break;
    }
    FPendingEvents = 0;
    FChanged.wait_for(Lock, kPollStep);
  }
  --FWaiters;
  --FInUse[Port];
  FChanged.notify_all();
  return Outcome;
}

}  // namespace vantor
