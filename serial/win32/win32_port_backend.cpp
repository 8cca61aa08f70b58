// Opening, line settings, status and line functions of a port on Windows.
#include "serial/win32/win32_port_backend.h"

#include <cstring>

#include "base/utf.h"

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
  wchar_t* Text = nullptr;
  const DWORD Length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, Code, 0, reinterpret_cast<wchar_t*>(&Text), 0, nullptr);
  if (Text == nullptr) {
    return {};
  }
  std::string Utf8 = Narrow(std::wstring_view(Text, Length));
  ::LocalFree(Text);
  return Utf8;
}

TSioErrorCategory TWin32PortBackend::ErrorCategory(std::uint32_t Code, TSioErrorPhase Phase) {
  const bool Open = Phase == TSioErrorPhase::Open;
  switch (Code) {
    case ERROR_FILE_NOT_FOUND:
      // Only this code: the open's message says "not found" for it alone, as it always has.
      return ecNotFound;
    case ERROR_ACCESS_DENIED:
      // Opening: how Windows refuses a COM port that another handle holds. Once open: what
      // USB serial drivers answer after their device was unplugged.
      return Open ? ecRemoved : ecBusy;
    case ERROR_SHARING_VIOLATION:
      return ecBusy;
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_OPERATION_ABORTED:
      // What usbser and the FTDI and CP210x drivers answer on a port whose device is gone
      // (an aborted operation too: the component cancels none whose failure it reports);
      // while opening, a device that is there but failing.
      return Open ? ecRemoved : ecOther;
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
      return ecRemoved;
    default:
      return ecOther;  // Windows grants COM ports to every user: no code means "denied"
  }
}

void TWin32PortBackend::Sleep(std::uint32_t Milliseconds) {
  ::Sleep(Milliseconds);
}

std::uint32_t TWin32PortBackend::TickCount() {
  return ::GetTickCount();
}

TSioHandle TWin32PortBackend::OpenPort(const std::string& Path) {
  HANDLE Port = ::CreateFileW(Widen(Path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (Port == INVALID_HANDLE_VALUE) {
    return kInvalidSioHandle;
  }
  return reinterpret_cast<TSioHandle>(Port);
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
