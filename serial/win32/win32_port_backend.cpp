// Opening, line settings, status and line functions of a port on Windows.
#include "serial/win32/win32_port_backend.h"

#include <cstring>

#include "base/system_error.h"
#include "base/utf.h"
#include "serial/win32/exclusive_open.h"

namespace vantor {

static_assert(sizeof(DCB) == sizeof(TSioDCB), "TSioDCB mirrors DCB");
static_assert(sizeof(COMMTIMEOUTS) == sizeof(TSioCommTimeouts));
static_assert(sizeof(COMMPROP) == sizeof(TSioCommProp), "TSioCommProp mirrors COMMPROP");
static_assert(sizeof(COMSTAT) == 12 && sizeof(COMMCONFIG) == 52);

namespace {

HANDLE Native(TSioHandle Port) {
  return reinterpret_cast<HANDLE>(Port);
}

}  // namespace

int TWin32PortBackend::PlatformId() {
  // Every Windows this program runs on is of the NT family; GetVersionExW would say so.
  return VER_PLATFORM_WIN32_NT;
}

std::uint32_t TWin32PortBackend::LastError() {
  return ::GetLastError();
}

std::string TWin32PortBackend::SystemErrorText(std::uint32_t Code) {
  return vantor::SystemErrorText(Code);
}

TPortFailure TWin32PortBackend::ErrorCategory(std::uint32_t Code, TPortErrorPhase Phase) {
  return ClassifyPortError(Code, Phase);
}

void TWin32PortBackend::Sleep(std::uint32_t Milliseconds) {
  ::Sleep(Milliseconds);
}

std::uint32_t TWin32PortBackend::TickCount() {
  return ::GetTickCount();
}

TSioHandle TWin32PortBackend::OpenPort(const std::string& Path) {
  DWORD Error = ERROR_SUCCESS;
  TFileHandle Port = OpenPortExclusive(Path, Error);
  if (!Port) {
    ::SetLastError(Error);
    return kInvalidSioHandle;
  }
  return reinterpret_cast<TSioHandle>(Port.Release());
}

void TWin32PortBackend::ClosePort(TSioHandle Port) {
  ::CloseHandle(Native(Port));
}

bool TWin32PortBackend::GetCommState(TSioHandle Port, TSioDCB& Dcb) {
  DCB Native{};
  Native.DCBlength = sizeof(DCB);
  if (!::GetCommState(vantor::Native(Port), &Native)) {
    return false;
  }
  std::memcpy(static_cast<void*>(&Dcb), &Native, sizeof Dcb);
  return true;
}

bool TWin32PortBackend::SetCommState(TSioHandle Port, const TSioDCB& Dcb) {
  DCB Native{};
  std::memcpy(&Native, static_cast<const void*>(&Dcb), sizeof Native);
  return ::SetCommState(vantor::Native(Port), &Native) != 0;
}

bool TWin32PortBackend::SetupComm(TSioHandle Port, std::uint32_t InQueue, std::uint32_t OutQueue) {
  return ::SetupComm(Native(Port), InQueue, OutQueue) != 0;
}

bool TWin32PortBackend::SetCommTimeouts(TSioHandle Port, const TSioCommTimeouts& Timeouts) {
  COMMTIMEOUTS Native{Timeouts.ReadIntervalTimeout, Timeouts.ReadTotalTimeoutMultiplier,
                      Timeouts.ReadTotalTimeoutConstant, Timeouts.WriteTotalTimeoutMultiplier,
                      Timeouts.WriteTotalTimeoutConstant};
  return ::SetCommTimeouts(vantor::Native(Port), &Native) != 0;
}

bool TWin32PortBackend::SetCommMask(TSioHandle Port, std::uint32_t Mask) {
  return ::SetCommMask(Native(Port), Mask) != 0;
}

bool TWin32PortBackend::ClearCommError(TSioHandle Port, TSioPortStatus& Status) {
  DWORD Errors = 0;
  COMSTAT State{};
  if (!::ClearCommError(Native(Port), &Errors, &State)) {
    return false;
  }
  Status.Errors = Errors;
  Status.Flags = (State.fCtsHold ? 0x01u : 0u) | (State.fDsrHold ? 0x02u : 0u) |
                 (State.fRlsdHold ? 0x04u : 0u) | (State.fXoffHold ? 0x08u : 0u) |
                 (State.fXoffSent ? 0x10u : 0u) | (State.fEof ? 0x20u : 0u) |
                 (State.fTxim ? 0x40u : 0u);
  Status.InQueue = State.cbInQue;
  Status.OutQueue = State.cbOutQue;
  return true;
}

bool TWin32PortBackend::PurgeComm(TSioHandle Port, std::uint32_t Flags) {
  return ::PurgeComm(Native(Port), Flags) != 0;
}

bool TWin32PortBackend::EscapeCommFunction(TSioHandle Port, std::uint32_t Code) {
  return ::EscapeCommFunction(Native(Port), Code) != 0;
}

bool TWin32PortBackend::GetCommModemStatus(TSioHandle Port, std::uint32_t& Status) {
  DWORD Lines = 0;
  if (!::GetCommModemStatus(Native(Port), &Lines)) {
    return false;
  }
  Status = Lines;
  return true;
}

bool TWin32PortBackend::GetCommProperties(TSioHandle Port, TSioCommProp& Properties) {
  COMMPROP Native{};
  if (!::GetCommProperties(vantor::Native(Port), &Native)) {
    return false;
  }
  std::memcpy(static_cast<void*>(&Properties), &Native, sizeof Properties);
  return true;
}

bool TWin32PortBackend::GetDefaultCommConfig(const std::string& DeviceName, TSioDCB& Dcb) {
  // The call takes the bare name (COM5); accept a device path too.
  std::string Name = DeviceName;
  if (Name.rfind("\\\\.\\", 0) == 0) {
    Name.erase(0, 4);
  }
  COMMCONFIG Config{};
  Config.dwSize = sizeof(COMMCONFIG);
  DWORD Size = sizeof(COMMCONFIG);
  if (!::GetDefaultCommConfigW(Widen(Name).c_str(), &Config, &Size)) {
    return false;
  }
  std::memcpy(static_cast<void*>(&Dcb), &Config.dcb, sizeof Dcb);
  return true;
}

std::unique_ptr<TSioPortBackend> MakePlatformPortBackend() {
  return std::make_unique<TWin32PortBackend>();
}

}  // namespace vantor
