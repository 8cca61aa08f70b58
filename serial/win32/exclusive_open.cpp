#include "serial/win32/exclusive_open.h"

#include "base/utf.h"
#include "serial/port_failure.h"

namespace vantor {

TFileHandle OpenPortExclusive(const std::string& Path, DWORD& Error) {
  const std::wstring Wide = Widen(Path);
  TFileHandle Port(::CreateFileW(Wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  Error = Port ? ERROR_SUCCESS : ::GetLastError();
  return Port;
}

TPortFailure ClassifyPortError(std::uint32_t Code, TPortErrorPhase Phase) {
  const bool Open = Phase == TPortErrorPhase::Open;
  switch (Code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return TPortFailure::pfNotFound;
    case ERROR_ACCESS_DENIED:
      // Opening: how Windows refuses a COM port that another handle holds. Once open: what
      // USB serial drivers answer after their device was unplugged.
      return Open ? TPortFailure::pfRemoved : TPortFailure::pfBusy;
    case ERROR_SHARING_VIOLATION:
      return TPortFailure::pfBusy;
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_OPERATION_ABORTED:
      // What usbser and the FTDI and CP210x drivers answer on a port whose device is gone
      // (an aborted operation too: the component cancels none whose failure it reports);
      // while opening, a device that is there but failing.
      return Open ? TPortFailure::pfRemoved : TPortFailure::pfOther;
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
      return TPortFailure::pfRemoved;
    default:
      // Windows grants COM ports to every user: no code means "denied".
      return TPortFailure::pfOther;
  }
}

}  // namespace vantor
