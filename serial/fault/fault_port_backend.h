// A port backend that lives entirely in memory, for the tests: a table of device paths,
// refusals of chosen operations with chosen codes, injected received bytes, events, error
// flags and breaks, writes held pending until the test releases them, and a record of
// every call, every byte written and the settings last given to the port.
//
// Thread-safe: the component's threads call it while the test drives it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "serial/port_backend.h"

namespace vantor {

// The Windows codes the fake answers with on its own: a path it does not know, and a device
// already open or held.
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorAccessDenied = 5;

struct TFaultCall {
  std::string Name;                // the operation, as named in TSioPortBackend
  std::vector<std::int64_t> Args;  // its numeric arguments (handle first where it has one)
  std::string Text;                // its text argument (a path or a device name)
};

// The operations a test can have refused: the backend's own, and WriteResult, a pending
// write whose completed result reports failure. An enumeration, so that a misspelt
// refusal fails to compile rather than refusing nothing.
enum TFaultOperation : std::uint8_t {
  foOpenPort,
  foGetCommState,
  foSetCommState,
  foSetupComm,
  foSetCommTimeouts,
  foSetCommMask,
  foClearCommError,
  foPurgeComm,
  foEscapeCommFunction,
  foGetCommModemStatus,
  foGetCommProperties,
  foGetDefaultCommConfig,
  foRead,
  foWrite,
  foWriteAbandonable,
  foWriteResult,
  foWaitCommEvent,
};

class TFaultPortBackend : public TSioPortBackend {
 public:
  // Error code of an operation on a handle that is not open (ERROR_INVALID_HANDLE).
  static constexpr std::uint32_t kInvalidHandleCode = 6;

  TFaultPortBackend();

  // --- The fake devices ---
  void AddDevice(const std::string& Path);
  void RemoveDevice(const std::string& Path);
  // Held by another program: opening it fails with Code, until it is released.
  void HoldDevice(const std::string& Path, std::uint32_t Code);
  void ReleaseDevice(const std::string& Path);
  // The device sends back every byte written to it, as received bytes with EV_RXCHAR.
  void SetEcho(bool Value);

  // --- Refusals ---
  // Times < 0: every call.
  void Refuse(TFaultOperation Operation, std::uint32_t Code, int Times = -1);
  void Allow(TFaultOperation Operation);

  // --- What the platform reports ---
  // The category of a code, whatever the phase; by default 2 is "not found", 5 "busy" (the
  // codes the fake refuses an open with) and any other "other".
  void SetErrorCategory(std::uint32_t Code, TPortFailure Category);
  void SetPlatformId(int Value);
  // The tick count reads Value now and counts on from there (to test its wrap-around).
  void SetTickStart(std::uint32_t Value);
  void SetModemStatus(std::uint32_t Value);
  void SetHoldFlags(std::uint32_t Value);
  void SetOutQueue(std::uint32_t Value);
  void SetProperties(const TSioCommProp& Value);
  void SetCurrentDcb(const TSioDCB& Value);  // what GetCommState gives after an open
  void SetDefaultDcb(const TSioDCB& Value);  // what GetDefaultCommConfig gives
  void SetRegistryNames(std::vector<std::string> Names);

  // --- Injection (the port must be open for the events to be seen) ---
  // Queues received bytes; with RaiseEvent, also the EV_RXCHAR event.
  void InjectRx(const std::vector<std::uint8_t>& Bytes, bool RaiseEvent = true);
  // Event bits for the next wait; bits outside the port's mask are dropped, as a port does.
  void InjectEvents(std::uint32_t Bits);
  // A wake-up that reports no event bits at all.
  void InjectEmptyWake();
  // Pending error flags (CE_*), cleared by the next status query; with RaiseEvent, EV_ERR.
  void InjectErrors(std::uint32_t Flags, bool RaiseEvent = true);
  // A break on input: CE_BREAK pending and EV_BREAK.
  void InjectBreak();

  // --- Pending writes of the write thread ---
  // While holding, WriteAbandonable leaves each write pending until it is released, or
  // abandoned for Close or Flush.
  void SetHoldWrites(bool Value);
  // A pending write that ignores Close and Flush until it is released: a slow cancel.
  void SetWritesIgnoreAbandon(bool Value);
  bool WaitForPendingWrite(std::chrono::milliseconds Timeout);
  // Until a pending write has seen Close or Flush set, whether or not it gave up for it.
  bool WaitForAbandonRequest(std::chrono::milliseconds Timeout);
  std::uint32_t PendingWriteSize() const;  // 0 when none is pending
  // Completes the pending write with Count bytes (all when Count exceeds it); false when
  // none is pending.
  bool CompletePendingWrite(std::uint32_t Count = 0xFFFFFFFF);

  // --- Observation ---
  std::vector<TFaultCall> Calls() const;
  std::vector<std::string> CallNames() const;
  int CallCount(const std::string& Name) const;
  void ClearCalls();
  std::vector<std::uint8_t> Written() const;
  TSioDCB LastDcb() const;
  int DcbWrites() const;
  TSioCommTimeouts LastTimeouts() const;
  std::uint32_t LastMask() const;
  std::uint32_t LastInQueueSize() const;
  std::uint32_t LastOutQueueSize() const;
  std::vector<std::uint32_t> Purges() const;
  std::vector<std::uint32_t> Escapes() const;
  std::vector<std::uint32_t> Sleeps() const;
  bool PortOpen() const;  // some handle is open
  int OpenCount() const;  // successful opens so far
  std::size_t RxWaiting() const;
  bool WaitingForEvents() const;  // a WaitCommEvent is blocked now
  // Calls made with a handle that is not open, and closes of a handle that another thread
  // was still using in a wait or a pending write: each is a fault of the caller.
  int Misuses() const;

  // --- TSioPortBackend ---
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

 private:
  using TLock = std::unique_lock<std::mutex>;
  struct TRefusal {
    std::uint32_t Code;
    int Times;
  };
  struct TPendingWrite {
    bool Active = false;
    bool Released = false;
    bool AbandonSeen = false;
    std::uint32_t Count = 0;
    std::uint32_t ReleaseCount = 0;
  };

  void Record(std::string Name, std::vector<std::int64_t> Args, std::string Text = {});
  // True (and LastError set) when Operation is to be refused now.
  bool Refused(TFaultOperation Operation);
  // True when Port is open; otherwise counts a misuse and sets LastError.
  bool CheckPort(TSioHandle Port);
  void SetError(std::uint32_t Code);
  // What the device does with bytes written to it: kept, and sent back when it echoes.
  void Deliver(const std::uint8_t* Bytes, std::uint32_t Count);

  mutable std::mutex FLock;
  std::condition_variable FChanged;
  std::set<std::string> FDevices;
  std::map<std::string, std::uint32_t> FHeld;
  std::map<TFaultOperation, TRefusal> FRefusals;
  std::map<std::thread::id, std::uint32_t> FLastErrors;
  std::map<std::uint32_t, TPortFailure> FCategories{{kErrorFileNotFound, TPortFailure::pfNotFound},
                                                    {kErrorAccessDenied, TPortFailure::pfBusy}};
  std::map<TSioHandle, std::string> FOpen;
  std::map<TSioHandle, int> FInUse;
  TSioHandle FNextHandle = 0x100;
  int FOpenCount = 0;
  int FPlatformId = 2;
  std::uint32_t FTickStart = 0;
  std::chrono::steady_clock::time_point FTickBase = std::chrono::steady_clock::now();
  std::uint32_t FModemStatus = 0;
  std::uint32_t FHoldFlags = 0;
  std::uint32_t FOutQueue = 0;
  TSioCommProp FProperties{};
  TSioDCB FCurrentDcb{};
  TSioDCB FDefaultDcb{};
  std::vector<std::string> FRegistryNames;
  std::vector<std::uint8_t> FRx;
  std::uint32_t FPendingEvents = 0;
  int FEmptyWakes = 0;
  std::uint32_t FErrors = 0;
  bool FEcho = false;
  bool FHoldWrites = false;
  bool FIgnoreAbandon = false;
  TPendingWrite FPending;
  int FWaiters = 0;
  int FMisuses = 0;
  std::vector<TFaultCall> FCalls;
  std::vector<std::uint8_t> FWritten;
  TSioDCB FLastDcb{};
  int FDcbWrites = 0;
  TSioCommTimeouts FLastTimeouts{};
  std::uint32_t FMask = 0;
  std::uint32_t FInQueueSize = 0;
  std::uint32_t FOutQueueSize = 0;
  std::vector<std::uint32_t> FPurges;
  std::vector<std::uint32_t> FEscapes;
  std::vector<std::uint32_t> FSleeps;
};

}  // namespace vantor
