// The platform operations beneath the serial port component. The component holds all the
// logic; a backend only asks the system. Three implement it: Win32 (overlapped I/O),
// POSIX (termios, poll and eventfd) and a fault-injecting one for the tests.
//
// Records use the Windows layouts and values, so that the logic is the same everywhere;
// the POSIX backend translates them to termios.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "serial/port_failure.h"
#include "serial/sio_events.h"
#include "serial/sync_objects.h"

namespace vantor {

// The device control block: line settings (the Win32 DCB layout, 28 bytes).
struct TSioDCB {
  std::uint32_t DCBlength = 28;
  std::uint32_t BaudRate = 0;
  std::uint32_t Flags = 0;  // see the kDcb* bits
  std::uint16_t wReserved = 0;
  std::uint16_t XonLim = 0;
  std::uint16_t XoffLim = 0;
  std::uint8_t ByteSize = 0;
  std::uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
  char XonChar = 0;
  char XoffChar = 0;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;
  std::uint16_t wReserved1 = 0;
};
static_assert(sizeof(TSioDCB) == 28);

constexpr std::uint32_t kDcbBinary = 0x0001;
constexpr std::uint32_t kDcbParity = 0x0002;
constexpr std::uint32_t kDcbOutxCtsFlow = 0x0004;
constexpr std::uint32_t kDcbOutxDsrFlow = 0x0008;
constexpr std::uint32_t kDcbDtrControlMask = 0x0030;  // 0x0010 enable, 0x0020 handshake
constexpr std::uint32_t kDcbDsrSensitivity = 0x0040;
constexpr std::uint32_t kDcbTxContinueOnXoff = 0x0080;
constexpr std::uint32_t kDcbOutX = 0x0100;
constexpr std::uint32_t kDcbInX = 0x0200;
constexpr std::uint32_t kDcbErrorChar = 0x0400;
constexpr std::uint32_t kDcbNull = 0x0800;
constexpr std::uint32_t kDcbRtsControlMask =
    0x3000;  // 0x1000 enable, 0x2000 handshake, 0x3000 toggle
constexpr std::uint32_t kDcbAbortOnError = 0x4000;

struct TSioCommTimeouts {
  std::uint32_t ReadIntervalTimeout = 0;
  std::uint32_t ReadTotalTimeoutMultiplier = 0;
  std::uint32_t ReadTotalTimeoutConstant = 0;
  std::uint32_t WriteTotalTimeoutMultiplier = 0;
  std::uint32_t WriteTotalTimeoutConstant = 0;
};

// The port status record: error flags (CE_*), then COMSTAT (hold flags, queue counts).
struct TSioPortStatus {
  std::uint32_t Errors = 0;
  std::uint32_t Flags = 0;  // bits 0..4: CTS, DSR, RLSD hold, XOFF hold, XOFF sent
  std::uint32_t InQueue = 0;
  std::uint32_t OutQueue = 0;
};
static_assert(sizeof(TSioPortStatus) == 16);

// The communications-properties record (the Win32 COMMPROP layout, 64 bytes).
struct TSioCommProp {
  std::uint16_t wPacketLength = 0;
  std::uint16_t wPacketVersion = 0;
  std::uint32_t dwServiceMask = 0;
  std::uint32_t dwReserved1 = 0;
  std::uint32_t dwMaxTxQueue = 0;
  std::uint32_t dwMaxRxQueue = 0;
  std::uint32_t dwMaxBaud = 0;
  std::uint32_t dwProvSubType = 0;
  std::uint32_t dwProvCapabilities = 0;
  std::uint32_t dwSettableParams = 0;
  std::uint32_t dwSettableBaud = 0;
  std::uint16_t wSettableData = 0;
  std::uint16_t wSettableStopParity = 0;
  std::uint32_t dwCurrentTxQueue = 0;
  std::uint32_t dwCurrentRxQueue = 0;
  std::uint32_t dwProvSpec1 = 0;
  std::uint32_t dwProvSpec2 = 0;
  std::uint16_t wcProvChar[2] = {0, 0};
};
static_assert(sizeof(TSioCommProp) == 64);

// Communications event bits (EV_*), error flags (CE_*), purge flags and escape codes.
constexpr std::uint32_t kEvRxChar = 0x0001, kEvRxFlag = 0x0002, kEvTxEmpty = 0x0004,
                        kEvCts = 0x0008, kEvDsr = 0x0010, kEvRlsd = 0x0020, kEvBreak = 0x0040,
                        kEvErr = 0x0080, kEvRing = 0x0100, kEvPErr = 0x0200, kEvRx80Full = 0x0400,
                        kEvEvent1 = 0x0800, kEvEvent2 = 0x1000;
constexpr std::uint32_t kCeRxOver = 0x0001, kCeOverrun = 0x0002, kCeRxParity = 0x0004,
                        kCeFrame = 0x0008, kCeBreak = 0x0010, kCeTxFull = 0x0100, kCeMode = 0x8000;
constexpr std::uint32_t kPurgeTxAbort = 0x0001, kPurgeRxAbort = 0x0002, kPurgeTxClear = 0x0004,
                        kPurgeRxClear = 0x0008;
constexpr std::uint32_t kSetXoff = 1, kSetXon = 2, kSetRts = 3, kClrRts = 4, kSetDtr = 5,
                        kClrDtr = 6, kResetDev = 7, kSetBreak = 8, kClrBreak = 9;
constexpr std::uint32_t kMsCtsOn = 0x10, kMsDsrOn = 0x20, kMsRingOn = 0x40, kMsRlsdOn = 0x80;

// How a wait for port events ended.
enum class TSioWaitOutcome : std::uint8_t {
  Events,   // the port reported events: their bits are in EvtMask (possibly 0)
  Stopped,  // the stop signal was set; a pending wait was cancelled and has completed
  Refused,  // the platform refused to arm the wait (no event will come)
  Failed,   // the wait itself failed or was abandoned: no dispatch
};

// How the write thread's write ended.
enum class TSioWriteOutcome : std::uint8_t {
  Written,       // completed (at once or later): Transferred bytes were sent
  Refused,       // the platform refused to start it (LastError set)
  ResultFailed,  // it was pending, and its completed result reports failure
  Close,         // the close signal was set while it was pending (cancelled, completed)
  Flush,         // the flush signal was set while it was pending (cancelled, completed)
};

class TSioPortBackend {
 public:
  virtual ~TSioPortBackend() = default;

  // Platform family for the device path: 2 is the NT family ("\\.\" prefix).
  virtual int PlatformId() = 0;
  // The error code of the calling thread's last failed operation, and the system's text.
  virtual std::uint32_t LastError() = 0;
  virtual std::string SystemErrorText(std::uint32_t Code) = 0;
  // What a code of this platform means (the platform backends: ClassifyPortError).
  virtual TPortFailure ErrorCategory(std::uint32_t Code, TPortErrorPhase Phase) = 0;
  virtual void Sleep(std::uint32_t Milliseconds) = 0;
  virtual std::uint32_t TickCount() = 0;  // milliseconds, wraps around at 2^32

  // Opens an existing device for reading and writing, exclusively, for asynchronous I/O.
  // Failure: kInvalidSioHandle, with LastError telling why.
  virtual TSioHandle OpenPort(const std::string& Path) = 0;
  virtual void ClosePort(TSioHandle Port) = 0;

  // Each returns true on success; on failure LastError tells why.
  virtual bool GetCommState(TSioHandle Port, TSioDCB& Dcb) = 0;
  virtual bool SetCommState(TSioHandle Port, const TSioDCB& Dcb) = 0;
  virtual bool SetupComm(TSioHandle Port, std::uint32_t InQueue, std::uint32_t OutQueue) = 0;
  virtual bool SetCommTimeouts(TSioHandle Port, const TSioCommTimeouts& Timeouts) = 0;
  virtual bool SetCommMask(TSioHandle Port, std::uint32_t Mask) = 0;
  // Fills the status and clears the port's pending error flags.
  virtual bool ClearCommError(TSioHandle Port, TSioPortStatus& Status) = 0;
  virtual bool PurgeComm(TSioHandle Port, std::uint32_t Flags) = 0;
  virtual bool EscapeCommFunction(TSioHandle Port, std::uint32_t Code) = 0;
  virtual bool GetCommModemStatus(TSioHandle Port, std::uint32_t& Status) = 0;
  virtual bool GetCommProperties(TSioHandle Port, TSioCommProp& Properties) = 0;
  // The device's default line settings (by device name, without the "\\.\" prefix).
  virtual bool GetDefaultCommConfig(const std::string& DeviceName, TSioDCB& Dcb) = 0;
  // Serial port names the platform registry lists (empty where there is none).
  virtual void RegistryPortNames(std::vector<std::string>& Names) = 0;

  // A read of up to Count bytes of what has already arrived. Completion is the caller's
  // event; the wait for it lasts at most TimeoutMs. False: the platform refused to start
  // it (LastError). True: Transferred bytes were read (0 when the wait ended without
  // completion; the operation is then cancelled and finished before returning).
  virtual bool Read(TSioHandle Port, void* Buf, std::uint32_t Count, TSioEvent& Completion,
                    std::uint32_t TimeoutMs, std::uint32_t& Transferred) = 0;
  // A direct write of Count bytes, waited for at most TimeoutMs; as Read.
  virtual bool Write(TSioHandle Port, const void* Buf, std::uint32_t Count, TSioEvent& Completion,
                     std::uint32_t TimeoutMs, std::uint32_t& Transferred) = 0;

  // The write thread's write: starts writing Count bytes and, while it is pending, waits
  // for its completion, Close or Flush (the first in this order wins when several are
  // set). A write abandoned for Close or Flush is cancelled and has completed before this
  // returns, so Buf may be reused or released.
  virtual TSioWriteOutcome WriteAbandonable(TSioHandle Port, const void* Buf, std::uint32_t Count,
                                            TSioEvent& Completion, TSioEvent& Close,
                                            TSioEvent& Flush, std::uint32_t& Transferred) = 0;

  // The event thread's wait for the events of the port's mask. Wake is the thread's wake
  // signal (the completion signal of the pending wait; reset by the caller after each
  // dispatch); Stop ends the wait whatever point it has reached, even when set before
  // the wait was armed. A pending wait is cancelled and has completed before returning, so
  // EvtMask may be released.
  virtual TSioWaitOutcome WaitCommEvent(TSioHandle Port, std::uint32_t& EvtMask, TSioEvent& Wake,
                                        TSioEvent& Stop) = 0;
};

// The platform's own backend (Win32 or POSIX, chosen by the build).
std::unique_ptr<TSioPortBackend> MakePlatformPortBackend();

}  // namespace vantor
