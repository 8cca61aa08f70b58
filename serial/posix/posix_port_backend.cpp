// Opening, line settings, status and line functions of a port on Linux.
#include "serial/posix/posix_port_backend.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "base/posix/unique_fd.h"
#include "base/system_error.h"
#include "serial/posix/exclusive_open.h"
#include "serial/posix/line_settings.h"

namespace vantor {

namespace {

int Fd(TSioHandle Port) {
  return static_cast<int>(Port);
}

// A pseudo-terminal has no modem lines: it behaves as a cable without them.
bool NoModemLines(int Error) {
  return Error == ENOTTY || Error == EINVAL;
}

bool ChangeModemLine(int Port, int Line, bool On) {
  if (::ioctl(Port, On ? TIOCMBIS : TIOCMBIC, &Line) == 0 || NoModemLines(errno)) {
    return true;
  }
  return false;
}

// DTR and RTS as the DCB's control fields ask; Linux has no DTR handshake and no RTS
// toggle, so those raise the line like "enable" does. The RTS handshake is CRTSCTS.
bool ApplyModemLines(int Port, const TSioDCB& Dcb) {
  const bool Dtr = (Dcb.Flags & kDcbDtrControlMask) != 0;
  const std::uint32_t Rts = Dcb.Flags & kDcbRtsControlMask;
  if (!ChangeModemLine(Port, TIOCM_DTR, Dtr)) {
    return false;
  }
  return Rts == 0x2000 || ChangeModemLine(Port, TIOCM_RTS, Rts != 0);
}

TSioDCB DefaultDcb() {
  TSioDCB Dcb;
  Dcb.BaudRate = 9600;
  Dcb.Flags = kDcbBinary | 0x0010 | 0x1000;  // DTR and RTS on
  Dcb.XonLim = 2048;
  Dcb.XoffLim = 512;
  Dcb.ByteSize = 8;
  Dcb.XonChar = 17;
  Dcb.XoffChar = 19;
  return Dcb;
}

}  // namespace

int TPosixPortBackend::PlatformId() {
  return 0;
}  // not NT: the path is the device name

std::uint32_t TPosixPortBackend::LastError() {
  return static_cast<std::uint32_t>(errno);
}

std::string TPosixPortBackend::SystemErrorText(std::uint32_t Code) {
  return vantor::SystemErrorText(Code);
}

TPortFailure TPosixPortBackend::ErrorCategory(std::uint32_t Code, TPortErrorPhase Phase) {
  return ClassifyPortError(Code, Phase);
}

void TPosixPortBackend::Sleep(std::uint32_t Milliseconds) {
  timespec Left{static_cast<time_t>(Milliseconds / 1000),
                static_cast<long>(Milliseconds % 1000) * 1000000L};
  while (::nanosleep(&Left, &Left) != 0 && errno == EINTR) {
  }
}

std::uint32_t TPosixPortBackend::TickCount() {
  timespec Now{};
  ::clock_gettime(CLOCK_MONOTONIC, &Now);
  const auto Ms = static_cast<std::uint64_t>(Now.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(Now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(Ms);  // wraps around like GetTickCount
}

TSioHandle TPosixPortBackend::OpenPort(const std::string& Path) {
  int Error = 0;
  // Held exclusively, as Windows holds a COM port; freed unused, the tty's flag is cleared.
  TExclusiveTty Port = OpenExclusiveTty(Path, Error);
  if (!Port.Valid()) {
    return kInvalidSioHandle;
  }
  // Each failure from here gives the port up again, keeping errno for the report.
  const auto GiveUp = [&Port] {
    const int Failure = errno;
    Port = TExclusiveTty();
    errno = Failure;
    return kInvalidSioHandle;
  };
  if (!MakeRawLine(Port.Get())) {
    return GiveUp();
  }
  auto State = std::make_shared<TPosixPortState>();
  State->Readiness.Reset(::epoll_create1(EPOLL_CLOEXEC));
  epoll_event Watch{};
  Watch.events = EPOLLIN | EPOLLET;
  if (!State->Readiness.Valid() ||
      ::epoll_ctl(State->Readiness.Get(), EPOLL_CTL_ADD, Port.Get(), &Watch) != 0) {
    return GiveUp();
  }
  // The counts are the tty's since it was set up: what they say from now on is this open's.
  // A driver that keeps none (a pty answers ENOTTY) just reports no line events.
  State->Counted = ReadLineCounts(Port.Get(), State->Counts);
  State->Dcb = DefaultDcb();
  ReadLineSettings(Port.Get(), State->Dcb);
  std::lock_guard Guard(FLock);
  FPorts[Port.Get()] = std::move(State);
  return static_cast<TSioHandle>(Port.Release());
}

void TPosixPortBackend::ClosePort(TSioHandle Port) {
  {
    std::lock_guard Guard(FLock);
    FPorts.erase(Fd(Port));
  }
  // The exclusive flag belongs to the tty, not to this descriptor: clear it, or the line
  // stays closed to everybody while its other end lives on.
  ::ioctl(Fd(Port), TIOCNXCL);
  ::close(Fd(Port));
}

bool TPosixPortBackend::ReadLineCounts(int Port, TSioLineCounts& Counts) {
  serial_icounter_struct Kernel{};
  if (::ioctl(Port, TIOCGICOUNT, &Kernel) != 0) {
    return false;
  }
  const auto Count = [](int Value) { return static_cast<std::uint32_t>(Value); };
  Counts = {Count(Kernel.frame), Count(Kernel.overrun), Count(Kernel.parity), Count(Kernel.brk),
            Count(Kernel.buf_overrun)};
  return true;
}

void TPosixPortBackend::TakeLineCounts(int Port, TPosixPortState& State) {
  TSioLineCounts Now;
  if (!State.Counted || !ReadLineCounts(Port, Now)) {
    return;  // a hung-up line answers nothing; its hang-up is reported on its own
  }
  const TSioLineCounts& Seen = State.Counts;
  std::uint32_t Errors = 0;
  // The counts only grow (and wrap): any change is news.
  if (Now.Frame != Seen.Frame) {
    Errors |= kCeFrame;
  }
  if (Now.Parity != Seen.Parity) {
    Errors |= kCeRxParity;
  }
  if (Now.Overrun != Seen.Overrun) {
    Errors |= kCeOverrun;
  }
  if (Now.BufOverrun != Seen.BufOverrun) {
    Errors |= kCeRxOver;
  }
  if (Errors != 0) {
    State.LineEvents |= kEvErr;
  }
  if (Now.Break != Seen.Break) {
    Errors |= kCeBreak;  // as Windows: the flag with EV_BREAK, which is no EV_ERR
    State.LineEvents |= kEvBreak;
  }
  State.Errors |= Errors;
  State.Counts = Now;
}

std::shared_ptr<TPosixPortState> TPosixPortBackend::Find(TSioHandle Port) {
  std::lock_guard Guard(FLock);
  auto It = FPorts.find(Fd(Port));
  if (It == FPorts.end()) {
    errno = EBADF;
    return nullptr;
  }
  return It->second;
}

void TPosixPortBackend::NoteHangUp(TPosixPortState& State) {
  if (!State.HungUp) {
    State.HungUp = true;
    State.Errors |= kCeMode;  // the device is gone: its handle no longer serves
  }
}

bool TPosixPortBackend::GetCommState(TSioHandle Port, TSioDCB& Dcb) {
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  std::lock_guard Guard(State->Lock);
  TSioDCB Current = State->Dcb;
  const std::uint8_t ByteSize = Current.ByteSize, Parity = Current.Parity;
  if (!ReadLineSettings(Fd(Port), Current)) {
    return false;
  }
  if (!State->FramingKept) {
    // The driver frames characters its own way (a pty): show the framing asked for.
    Current.ByteSize = ByteSize;
    Current.Parity = Parity;
    if (Current.StopBits != 0) {
      Current.StopBits = ByteSize == 5 ? 1 : 2;
    }
  }
  Current.DCBlength = sizeof(TSioDCB);
  Dcb = Current;
  return true;
}

bool TPosixPortBackend::SetCommState(TSioHandle Port, const TSioDCB& Dcb) {
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  std::lock_guard Guard(State->Lock);
  bool FramingKept = true;
  if (!ApplyLineSettings(Fd(Port), Dcb, FramingKept) || !ApplyModemLines(Fd(Port), Dcb)) {
    return false;
  }
  State->Dcb = Dcb;
  State->FramingKept = FramingKept;
  return true;
}

bool TPosixPortBackend::SetupComm(TSioHandle Port, std::uint32_t InQueue, std::uint32_t OutQueue) {
  // The kernel sizes its own queues; the sizes are only reported back.
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  std::lock_guard Guard(State->Lock);
  State->InQueue = InQueue;
  State->OutQueue = OutQueue;
  return true;
}

bool TPosixPortBackend::SetCommTimeouts(TSioHandle Port, const TSioCommTimeouts& Timeouts) {
  // Kept for the record only: reads always return at once with what has arrived, the one
  // mode the component asks for.
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  std::lock_guard Guard(State->Lock);
  State->Timeouts = Timeouts;
  return true;
}

bool TPosixPortBackend::SetCommMask(TSioHandle Port, std::uint32_t Mask) {
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  std::lock_guard Guard(State->Lock);
  State->EventMask = Mask;
  return true;
}

bool TPosixPortBackend::ClearCommError(TSioHandle Port, TSioPortStatus& Status) {
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  std::lock_guard Guard(State->Lock);
  Status = TSioPortStatus{};
  int InQueue = 0, OutQueue = 0;
  if (::ioctl(Fd(Port), FIONREAD, &InQueue) != 0 || ::ioctl(Fd(Port), TIOCOUTQ, &OutQueue) != 0) {
    if (errno != EIO) {
      return false;
    }
    // A hung-up line answers no query, but its error flags must still reach the caller.
    NoteHangUp(*State);
    InQueue = OutQueue = 0;
  }
  TakeLineCounts(Fd(Port), *State);
  Status.Errors = std::exchange(State->Errors, 0);
  Status.InQueue = static_cast<std::uint32_t>(InQueue);
  Status.OutQueue = static_cast<std::uint32_t>(OutQueue);
  return true;
}

bool TPosixPortBackend::PurgeComm(TSioHandle Port, std::uint32_t Flags) {
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  const bool Input = (Flags & (kPurgeRxAbort | kPurgeRxClear)) != 0;
  const bool Output = (Flags & (kPurgeTxAbort | kPurgeTxClear)) != 0;
  if (!Input && !Output) {
    return true;
  }
  std::lock_guard Guard(State->Lock);
  if (::tcflush(Fd(Port), Input && Output ? TCIOFLUSH : (Input ? TCIFLUSH : TCOFLUSH)) != 0) {
    return false;
  }
  if (Input) {
    State->RxReported = 0;
  }
  return true;
}

bool TPosixPortBackend::EscapeCommFunction(TSioHandle Port, std::uint32_t Code) {
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  const int Line = Fd(Port);
  switch (Code) {
    case kSetXoff:
      return ::tcflow(Line, TCOOFF) == 0;  // transmit as if XOFF had been received
    case kSetXon:
      return ::tcflow(Line, TCOON) == 0;
    case kSetRts:
    case kClrRts:
      return ChangeModemLine(Line, TIOCM_RTS, Code == kSetRts);
    case kSetDtr:
    case kClrDtr:
      return ChangeModemLine(Line, TIOCM_DTR, Code == kSetDtr);
    case kSetBreak:
      return ::ioctl(Line, TIOCSBRK) == 0;
    case kClrBreak:
      return ::ioctl(Line, TIOCCBRK) == 0;
    default:  // kResetDev among them: a tty cannot be reset from here
      errno = EINVAL;
      return false;
  }
}

bool TPosixPortBackend::GetCommModemStatus(TSioHandle Port, std::uint32_t& Status) {
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  int Lines = 0;
  if (::ioctl(Fd(Port), TIOCMGET, &Lines) != 0) {
    return false;  // a pty has no modem lines to read
  }
  Status = ((Lines & TIOCM_CTS) != 0 ? kMsCtsOn : 0) | ((Lines & TIOCM_DSR) != 0 ? kMsDsrOn : 0) |
           ((Lines & TIOCM_RNG) != 0 ? kMsRingOn : 0) | ((Lines & TIOCM_CAR) != 0 ? kMsRlsdOn : 0);
  return true;
}

bool TPosixPortBackend::GetCommProperties(TSioHandle Port, TSioCommProp& Properties) {
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  std::lock_guard Guard(State->Lock);
  Properties = TSioCommProp{};
  Properties.wPacketLength = sizeof(TSioCommProp);
  Properties.wPacketVersion = 2;
  Properties.dwServiceMask = 0x00000001;       // SP_SERIALCOMM
  Properties.dwMaxBaud = 0x10000000;           // BAUD_USER: any rate
  Properties.dwProvSubType = 0x00000001;       // PST_RS232
  Properties.dwProvCapabilities = 0x0000003A;  // RTS/CTS, parity check, XON/XOFF, XON/XOFF chars
  Properties.dwSettableParams = 0x0000003F;    // parity, baud, data bits, stop bits, handshake,
                                               // parity check
  Properties.dwSettableBaud = 0x1007FFFF;      // every BAUD_* value and BAUD_USER
  Properties.wSettableData = 0x000F;           // 5 to 8 data bits
  Properties.wSettableStopParity = 0x1F07;     // 1, 1.5, 2 stop bits; every parity
  Properties.dwCurrentTxQueue = State->OutQueue;
  Properties.dwCurrentRxQueue = State->InQueue;
  return true;
}

bool TPosixPortBackend::GetDefaultCommConfig(const std::string& DeviceName, TSioDCB& Dcb) {
  struct stat Node {};
  if (::stat(DeviceName.c_str(), &Node) != 0) {
    return false;
  }
  if (!S_ISCHR(Node.st_mode)) {
    errno = ENOTTY;
    return false;
  }
  Dcb = DefaultDcb();
  return true;
}

void TPosixPortBackend::RegistryPortNames(std::vector<std::string>& /*Names*/) {
  // Linux keeps no registry of serial ports; discovery lists them its own way.
}

std::unique_ptr<TSioPortBackend> MakePlatformPortBackend() {
  return std::make_unique<TPosixPortBackend>();
}

}  // namespace vantor
