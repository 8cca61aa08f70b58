// The dispatch of port events to the handlers and clients, WaitChar, and device notices.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "serial/sio_comm.h"

namespace vantor {

namespace {

void AppendUtf8(std::string& Out, std::uint32_t CodePoint) {
  if (CodePoint < 0x80) {
    Out += static_cast<char>(CodePoint);
  } else if (CodePoint < 0x800) {
    Out += static_cast<char>(0xC0 | (CodePoint >> 6));
    Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
  } else if (CodePoint < 0x10000) {
    Out += static_cast<char>(0xE0 | (CodePoint >> 12));
    Out += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (CodePoint >> 18));
    Out += static_cast<char>(0x80 | ((CodePoint >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
  }
}

// A UTF-16 string at Data (not necessarily aligned), as UTF-8: up to its NUL, and never
// past MaxUnits code units.
std::string Utf16ToUtf8(const std::uint8_t* Data, std::size_t MaxUnits) {
  std::string Out;
  auto Unit = [Data](std::size_t Index) {
    std::uint16_t Value = 0;
    std::memcpy(&Value, Data + 2 * Index, sizeof Value);
    return Value;
  };
  for (std::size_t Index = 0; Index < MaxUnits; ++Index) {
    const std::uint16_t First = Unit(Index);
    if (First == 0)
      break;
    std::uint32_t CodePoint = First;
    if (First >= 0xD800 && First < 0xDC00) {
      const std::uint16_t Second = Index + 1 < MaxUnits ? Unit(Index + 1) : 0;
      if (Second >= 0xDC00 && Second < 0xE000) {
        CodePoint = 0x10000 + ((First - 0xD800u) << 10) + (Second - 0xDC00u);
        ++Index;
      } else {
        CodePoint = 0xFFFD;
      }
    } else if (First >= 0xDC00 && First < 0xE000) {
      CodePoint = 0xFFFD;
    }
    AppendUtf8(Out, CodePoint);
  }
  return Out;
}

}  // namespace

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
  Fire(FOnRxChar, this, Count);
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
    Fire(FOnRxFlag, this);
  if (Has(kEvCts))
    Fire(FOnCts, this);
  if (Has(kEvDsr))
    Fire(FOnDsr, this);
  if (Has(kEvRing))
    Fire(FOnRing, this);
  if (Has(kEvRlsd))
    Fire(FOnRlsd, this);
  if (Has(kEvTxEmpty))
    Fire(FOnTxEmpty, this);
  if (Has(kEvBreak))
    Fire(FOnBreak, this);
  if (Has(kEvPErr))
    Fire(FOnPErr, this);
  if (Has(kEvRx80Full))
    Fire(FOnRx80Full, this);
  if (Has(kEvEvent1))
    Fire(FOnEvent1, this);
  if (Has(kEvEvent2))
    Fire(FOnEvent2, this);
}

bool TSioCustomComm::CheckLineErrors() {
  try {
    TSioPortStatus Status;
    GetComStat(Status);
    if (Status.Errors == 0)
      return false;
    Fire(FOnError, this, static_cast<int>(Status.Errors));
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
  Fire(FOnRxBuf, this, Data, Count);
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
  if (Message.Msg != WM_DEVICECHANGE_MSG)
    return false;
  const bool Arrival = Message.WParam == DBT_DEVICEARRIVAL_CODE;
  const bool Removal = Message.WParam == DBT_DEVICEREMOVECOMPLETE_CODE;
  // The record is read only for these two codes.
  if ((!Arrival && !Removal) || Message.LParam == 0)
    return false;
  const auto* Record = reinterpret_cast<const std::uint8_t*>(Message.LParam);
  std::uint32_t DeviceType = 0;
  std::memcpy(&DeviceType, Record + 4, sizeof DeviceType);  // dbch_devicetype
  if (DeviceType != DBT_DEVTYP_PORT_TYPE)
    return false;
  // dbcp_name follows the header. The record's size bounds it, so that a name without its
  // NUL is not read past the record; a record that gives no size is read up to the NUL.
  std::uint32_t Size = 0;
  std::memcpy(&Size, Record, sizeof Size);
  const std::size_t MaxUnits = Size >= 14 ? (Size - 12) / 2 : SIZE_MAX;
  const std::string Name = Utf16ToUtf8(Record + 12, MaxUnits);
  if (Arrival) {
    Fire(FOnUSBDevicePlugin, this, Name);
  } else {
    Fire(FOnUSBDeviceUnplug, this, Name);
  }
  return false;
}

}  // namespace vantor
