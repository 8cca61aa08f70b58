// The port backend on Linux: termios in raw mode, poll() on the port together with the
// eventfds of the component's signals, the driver's counters for breaks and line errors,
// errno and its system text for the code and its text.
#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "base/posix/unique_fd.h"
#include "serial/port_backend.h"

namespace vantor {

// The driver's counts of line events on a tty (the kernel's interrupt counters). They are
// cumulative for the tty, not for one open: only their growth means anything.
struct TSioLineCounts {
  std::uint32_t Frame = 0;
  std::uint32_t Overrun = 0;
  std::uint32_t Parity = 0;
  std::uint32_t Break = 0;
  std::uint32_t BufOverrun = 0;  // the tty's own input buffer was full
};

// What the driver does not hold for an open port, kept beside its descriptor.
struct TPosixPortState {
  std::mutex Lock;
  // An epoll set holding the port edge-triggered: readable when the line has had news since
  // the wait last looked (bytes, a hang-up), not merely while bytes lie unread.
  TUniqueFd Readiness;
  std::uint32_t EventMask = 0;
  std::uint32_t Errors = 0;      // CE_* flags pending for the next ClearCommError
  std::uint32_t LineEvents = 0;  // EV_BREAK, EV_ERR from the counts, for the next wait
  bool Counted = false;          // the driver keeps line counts (a pty does not)
  TSioLineCounts Counts;         // as last read: the baseline for the next read
  bool HungUp = false;           // the device vanished (pty master closed, USB unplugged)
  bool HangUpReported = false;   // the one EV_ERR for it has been given out
  std::uint32_t RxReported = 0;  // received bytes an EV_RXCHAR has announced, not yet read
  bool FramingKept = true;       // false: the driver has its own framing (a pty)
  TSioDCB Dcb;                   // the last accepted line settings
  TSioCommTimeouts Timeouts;
  std::uint32_t InQueue = 4096, OutQueue = 4096;
};

class TPosixPortBackend : public TSioPortBackend {
 public:
  int PlatformId() override;
  std::uint32_t LastError() override;
  std::string SystemErrorText(std::uint32_t Code) override;
  TPortFailure ErrorCategory(std::uint32_t Code, TPortErrorPhase Phase) override;
  void Sleep(std::uint32_t Milliseconds) override;
  std::uint32_t TickCount() override;

  TSioHandle OpenPort(const std::string& Path) override;
  void ClosePort(TSioHandle Port) override;

  bool GetCommState(TSioHandle Port, TSioDCB& Dcb) override;
  bool SetCommState(TSioHandle Port, const TSioDCB& Dcb) override;
  bool SetupComm(TSioHandle Port, std::uint32_t InQueue, std::uint32_t OutQueue) override;
  bool SetCommTimeouts(TSioHandle Port, const TSioCommTimeouts& Timeouts) override;
  bool SetCommMask(TSioHandle Port, std::uint32_t Mask) override;
  bool ClearCommError(TSioHandle Port, TSioPortStatus& Status) override;
  bool PurgeComm(TSioHandle Port, std::uint32_t Flags) override;
  bool EscapeCommFunction(TSioHandle Port, std::uint32_t Code) override;
  bool GetCommModemStatus(TSioHandle Port, std::uint32_t& Status) override;
  bool GetCommProperties(TSioHandle Port, TSioCommProp& Properties) override;
  bool GetDefaultCommConfig(const std::string& DeviceName, TSioDCB& Dcb) override;
  void RegistryPortNames(std::vector<std::string>& Names) override;

  bool Read(TSioHandle Port, void* Buf, std::uint32_t Count, TSioEvent& Completion,
            std::uint32_t TimeoutMs, std::uint32_t& Transferred) override;
  bool Write(TSioHandle Port, const void* Buf, std::uint32_t Count, TSioEvent& Completion,
             std::uint32_t TimeoutMs, std::uint32_t& Transferred) override;
  TSioWriteOutcome WriteAbandonable(TSioHandle Port, const void* Buf, std::uint32_t Count,
                                    TSioEvent& Completion, TSioEvent& Close, TSioEvent& Flush,
                                    std::uint32_t& Transferred) override;
  TSioWaitOutcome WaitCommEvent(TSioHandle Port, std::uint32_t& EvtMask, TSioEvent& Wake,
                                TSioEvent& Stop) override;

 protected:
  // Reads the tty's interrupt counters (TIOCGICOUNT). False with errno set when they cannot
  // be read; ENOTTY or EINVAL mean the driver counts nothing (a pty). Virtual: the tests feed
  // counts through it, as no pty counts.
  virtual bool ReadLineCounts(int Port, TSioLineCounts& Counts);

 private:
  // The state of an open port, or null with errno EBADF for an unknown handle.
  std::shared_ptr<TPosixPortState> Find(TSioHandle Port);
  static void NoteHangUp(TPosixPortState& State);
  // With the state's lock held: turns the growth of the driver's counts since the last read
  // into error flags and line events.
  void TakeLineCounts(int Port, TPosixPortState& State);
  // With the state's lock held: what the line has to report now, as bits of the mask.
  std::uint32_t TakeEvents(int Port, TPosixPortState& State);

  // Writes as much of the bytes as the output queue takes now. Full: the queue has no
  // room (wait for POLLOUT and call again); Failed: errno tells why (a hang-up is noted).
  enum class TWriteStep { Done, Full, Failed };
  static TWriteStep WriteWhatFits(int Fd, TPosixPortState& State, const unsigned char* Bytes,
                                  std::uint32_t Count, std::uint32_t& Transferred);

  std::mutex FLock;
  std::map<int, std::shared_ptr<TPosixPortState>> FPorts;
};

}  // namespace vantor
