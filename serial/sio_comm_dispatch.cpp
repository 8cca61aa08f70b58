// The dispatch of port events to the handlers and clients, WaitChar, and device notices.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/device_change.h"
#include "serial/sio_comm.h"

namespace vantor {

void TSioCustomComm::ProcessEvents(std::uint32_t Events) {
  try {
    if (FDisplay)
      FDisplay->UpdateDisplay(this);
    if (Events & kEvRxChar) {
      HandleRxChar();
      Events &= ~kEvRxChar;
    }
    if (Events != 0)
      HandleCommEvents(static_cast<int>(Events));
  } catch (...) {
    ReportGuardedFailure();
  }
}

void TSioCustomComm::HandleRxChar() {
  const int Count = ReadBufUsed();
  if (Count <= 0)
    return;
  if (!FClients.empty()) {
    std::vector<std::uint8_t> Data(static_cast<std::size_t>(Count));
    const int Read = ReadBuf(Data.data(), Count);
    NotifyClientData(Data.data(), Read);
    return;
  }
  FireHandler(FOnRxChar, this, Count);
}

void TSioCustomComm::HandleCommEvents(int Events) {
  const auto Has = [Events](std::uint32_t Bit) {
    return (static_cast<std::uint32_t>(Events) & Bit) != 0;
  };
  if (Has(kEvErr))
    CheckLineErrors();
  if (!FClients.empty())
    NotifyClientEvents(Events);
  if (Has(kEvRxFlag))
    FireHandler(FOnRxFlag, this);
  if (Has(kEvCts))
    FireHandler(FOnCts, this);
  if (Has(kEvDsr))
    FireHandler(FOnDsr, this);
  if (Has(kEvRing))
    FireHandler(FOnRing, this);
  if (Has(kEvRlsd))
    FireHandler(FOnRlsd, this);
  if (Has(kEvTxEmpty))
    FireHandler(FOnTxEmpty, this);
  if (Has(kEvBreak))
    FireHandler(FOnBreak, this);
  if (Has(kEvPErr))
    FireHandler(FOnPErr, this);
  if (Has(kEvRx80Full))
    FireHandler(FOnRx80Full, this);
  if (Has(kEvEvent1))
    FireHandler(FOnEvent1, this);
  if (Has(kEvEvent2))
    FireHandler(FOnEvent2, this);
}

bool TSioCustomComm::CheckLineErrors() {
  try {
    TSioPortStatus Status;
    GetComStat(Status);
    if (Status.Errors == 0)
      return false;
    FireHandler(FOnError, this, static_cast<int>(Status.Errors));
    return true;
  } catch (...) {
    ReportGuardedFailure();
    return false;
  }
}

// --- Clients ---

void TSioCustomComm::InsertClient(TSioDispatcher* Value) {
  if (!Value)
    return;
  Value->SetComm(this);
  FClients.push_back(Value);
}

void TSioCustomComm::RemoveClient(TSioDispatcher* Value) {
  const auto It = std::find(FClients.begin(), FClients.end(), Value);
  if (It == FClients.end())
    return;
  FClients.erase(It);
  // A dispatcher inserted twice keeps its link while it is still in the list, so that
  // its destructor can take out the rest and leave no dangling entry behind.
  if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end())
    Value->SetComm(nullptr);
}

void TSioCustomComm::NotifyClientEvents(int Events) {
  if (!FControlsEnabled)
    return;
  const std::size_t Count = FClients.size();
  // The bound is re-read, so a list changed by a notice is never read past its end.
  for (std::size_t Index = 0; Index < Count && Index < FClients.size(); ++Index) {
    if (FClients[Index]->Active())
      FClients[Index]->Owner().EventsReceived(Events);
  }
}

void TSioCustomComm::NotifyClientData(PSioData Data, int Count) {
  if (FControlsEnabled) {
    const std::size_t Clients = FClients.size();
    for (std::size_t Index = 0; Index < Clients && Index < FClients.size(); ++Index) {
      if (FClients[Index]->Active())
        FClients[Index]->Owner().DataReceived(Data, Count);
    }
  }
  FireHandler(FOnRxBuf, this, Data, Count);
}

bool TSioCustomComm::WaitChar(int TimeOut) {
  std::erase_if(FWaitThreads,
                [](const std::unique_ptr<TWaitThread>& Waiting) { return Waiting->Finished(); });
  auto State = std::make_shared<TSioWaitState>();
  auto Waiting = std::make_unique<TWaitThread>(this, State);
  Waiting->Start();
  FWaitThreads.push_back(std::move(Waiting));
  if (State->WaitEnded(TimeOut))
    return true;
  State->Done.store(true);
  return false;
}

// --- Device notices ---

bool TSioCustomComm::DeviceChangeHook(TMessage& Message) {
  if (Message.Msg != kWmDeviceChange)
    return false;
  const bool Arrival = Message.WParam == kDbtDeviceArrival;
  const bool Removal = Message.WParam == kDbtDeviceRemoveComplete;
  // The record is read only for these two codes.
  if ((!Arrival && !Removal) || Message.LParam == 0)
    return false;
  const std::optional<std::string> Name =
      ReadPortBroadcastName(reinterpret_cast<const void*>(Message.LParam));
  if (!Name)
    return false;
  if (Arrival) {
    FireHandler(FOnUSBDevicePlugin, this, *Name);
  } else {
    FireHandler(FOnUSBDeviceUnplug, this, *Name);
  }
  return false;
}

}  // namespace vantor
