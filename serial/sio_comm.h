// The serial port component: its settings, Open/Close, the error report, the read and
// write paths, the event dispatch, device notices, clients, line functions and saved
// settings. The platform work is done by a TSioPortBackend; the default is the platform's.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/application.h"
#include "framework/component.h"
#include "framework/thread.h"
#include "serial/port_backend.h"
#include "serial/serial_port.h"
#include "serial/sio_clients.h"
#include "serial/sio_events.h"
#include "serial/sio_settings.h"
#include "serial/sio_types.h"
#include "serial/sync_objects.h"

namespace vantor {

class TSioCommEventThread;
class TSioCommWriteThread;
class TSioPortThread;

// Adds nothing to the framework component; the common base of the serial components.
class TSioComponent : public TComponent {
 public:
  using TComponent::TComponent;
};

class TSioCustomComm : public TSioComponent {
 public:
  explicit TSioCustomComm(TComponent* AOwner, std::unique_ptr<TSioPortBackend> Backend = nullptr);
  ~TSioCustomComm() override;

  void Loaded() override;

  // --- Life cycle ---
  void Open();
  void Close();
  bool Active() const { return Handle() != kInvalidSioHandle; }
  TSioHandle Handle() const { return FHandle.load(); }
  // The device path, computed afresh at every use.
  std::string GetDeviceName();
  TSioPortBackend& Backend() const { return *FBackend; }

  // --- Settings ---
  bool AutoOpen() const { return FAutoOpen; }
  void SetAutoOpen(bool Value) { FAutoOpen = Value; }
  TSioBaudrate Baudrate() const { return FBaudrate; }
  void SetBaudrate(TSioBaudrate Value);
  std::int32_t UserBaudrate() const { return FUserBaudrate; }
  void SetUserBaudrate(std::int32_t Value);
  TSioParity Parity() const { return FParity; }
  void SetParity(TSioParity Value);
  TSioDatabits Databits() const { return FDatabits; }
  void SetDatabits(TSioDatabits Value);
  TSioStopbits Stopbits() const { return FStopbits; }
  void SetStopbits(TSioStopbits Value);
  TSioCommOptions Options() const { return FOptions; }
  void SetOptions(TSioCommOptions Value);
  TSioEventChars& EventChars() { return *FEventChars; }
  void SetEventChars(const TSioEventChars& Value) { FEventChars->Assign(Value); }
  TSioFlowControl& FlowControl() { return *FFlowControl; }
  void SetFlowControl(const TSioFlowControl& Value) { FFlowControl->Assign(Value); }
  TSioBuffers& Buffers() { return *FBuffers; }
  void SetBuffers(const TSioBuffers& Value);
  TSioPortInt PortNum() const { return FPortNum; }
  void SetPortNum(TSioPortInt Value);
  const std::string& DeviceName() const { return FDeviceName; }
  void SetDeviceName(const std::string& Value);
  TSioCommEvents MonitorEvents() const { return FMonitorEvents; }
  void SetMonitorEvents(TSioCommEvents Value);
  TThreadPriority EventPriority() const { return FEventPriority; }
  void SetEventPriority(TThreadPriority Value);
  TThreadPriority WritePriority() const { return FWritePriority; }
  void SetWritePriority(TThreadPriority Value);
  bool DirectWrite() const { return FDirectWrite; }
  void SetDirectWrite(bool Value);
  bool UpdateDCB() const { return FUpdateDCB; }
  void SetUpdateDCB(bool Value);
  bool SyncThreads() const { return FSyncThreads; }
  void SetSyncThreads(bool Value) { FSyncThreads = Value; }
  // Off by default: every Close of an open port then pauses 300 ms, as the window's port
  // does. A program that goes through many ports (the command-line tool) switches it on.
  // May change at any time; the next Close uses it.
  bool SkipClosePause() const { return FSkipClosePause; }
  void SetSkipClosePause(bool Value) { FSkipClosePause = Value; }
  TSettingsStore& SettingsStore() { return *FSettingsStore; }
  void SetSettingsStore(const TSettingsStore& Value) { FSettingsStore->Assign(Value); }
  TSioDisplay* Display() const { return FDisplay; }
  void SetDisplay(TSioDisplay* Value);
  std::string Version() const { return "2.4.2.0"; }
  void SetVersion(const std::string& /*Value*/) {}
  // The platform event bits given to the port at the last Open.
  std::int32_t EventMask() const { return FEventMask; }

  // --- Read and write paths ---
  int ReadBuf(void* Buf, int Count);
  int WriteBuf(const void* Buf, int Count);
  bool WriteText(const std::string& s);
  bool WriteChar(char Ch);
  std::string ReadText();
  bool ReadChar(char& Ch);
  bool ReadCharWait(char& Ch, int TimeOut);
  int ReadBufUsed();
  int ReadBufFree();
  int WriteBufUsed();
  int WriteBufFree();
  int UARTReadBufUsed();
  int UARTWriteBufUsed();
  void PurgeRead();
  void PurgeWrite();
  void PurgeReadWrite();

  // --- Line functions and status ---
  void SetDTR(bool Value);
  void SetRTS(bool Value);
  void SetBreak(bool Value);
  void SetXon(bool Value);
  void ResetDev();
  bool CTS();
  bool DSR();
  bool RING();
  bool RLSD();
  bool CTSHold();
  bool DSRHold();
  bool RLSDHold();
  bool XOffHold();
  bool XOffSent();
  TSioCommProp Properties();
  void ResetPortParameters();
  bool SaveSettings();
  bool LoadSettings();
  void GetComPortNames(std::vector<std::string>& Value);

  // --- Clients and waiting ---
  void InsertClient(TSioDispatcher* Value);
  void RemoveClient(TSioDispatcher* Value);
  void EnableControls() { FControlsEnabled = true; }
  void DisableControls() { FControlsEnabled = false; }
  bool ControlsEnabled() const { return FControlsEnabled; }
  int ClientCount() const { return static_cast<int>(FClients.size()); }
  bool WaitChar(int TimeOut);

  // --- Device notices (the hook on the application's window) ---
  bool DeviceChangeHook(TMessage& Message);

  // --- Events ---
#define SIO_EVENT(Type, Name)     \
  const Type& Name() const {      \
    return F##Name;               \
  }                               \
  void Set##Name(Type Handler) {  \
    F##Name = std::move(Handler); \
  }
  SIO_EVENT(TNotifyEvent, OnOpen)
  SIO_EVENT(TNotifyEvent, OnClose)
  SIO_EVENT(TNotifyEvent, OnCts)
  SIO_EVENT(TNotifyEvent, OnDsr)
  SIO_EVENT(TNotifyEvent, OnRlsd)
  SIO_EVENT(TNotifyEvent, OnRing)
  SIO_EVENT(TNotifyEvent, OnBreak)
  SIO_EVENT(TSioCommErrorEvent, OnError)
  SIO_EVENT(TSioCommErrorExceptionEvent, OnErrorException)
  SIO_EVENT(TSioCommRxCharEvent, OnRxChar)
  SIO_EVENT(TNotifyEvent, OnRxFlag)
  SIO_EVENT(TSioCommRxBufEvent, OnRxBuf)
  SIO_EVENT(TNotifyEvent, OnTxEmpty)
  SIO_EVENT(TNotifyEvent, OnPErr)
  SIO_EVENT(TNotifyEvent, OnRx80Full)
  SIO_EVENT(TNotifyEvent, OnEvent1)
  SIO_EVENT(TNotifyEvent, OnEvent2)
  SIO_EVENT(TSioCommUSBDeviceEvent, OnUSBDeviceUnplug)
  SIO_EVENT(TSioCommUSBDeviceEvent, OnUSBDevicePlugin)
#undef SIO_EVENT

 protected:
  virtual void OpenDevice();
  virtual void StartThreads();
  virtual void HandleRxChar();
  virtual void HandleCommEvents(int Events);
  virtual void NotifyClientEvents(int Events);
  virtual void NotifyClientData(PSioData Data, int Count);

  void Notification(TComponent* AComponent, TOperation Operation) override;

  // The error report: raises ESioCommError with the platform's code and text filled in and
  // the backend's category of that code, or, with OnErrorException bound, calls it and
  // returns.
  void RaiseCommError(const std::string& Msg);
  // The same for a refusal of the component's own (an open port, a handshake line, a full
  // buffer): the code is still the platform's last one, but it says nothing of the device,
  // so the category is ecOther.
  void RaiseRuleError(const std::string& Msg);
  void CheckCommResult(bool Result, const std::string& Msg);
  void CheckClosed();
  // Hands the failure being handled to the application's standard report (inside a catch).
  void ReportGuardedFailure();
  // The first steps of destruction: no OnClose from here on, the hook removed, the port
  // closed. Close runs dispatches already queued, whose handlers may call the object
  // through any of its parts, so the most derived destructor calls this; later calls do
  // nothing.
  void ShutDown();
  // Calls a copy of a bound handler: a handler that rebinds its own event would otherwise
  // destroy the closure it is running in.
  template <class E, class... A>
  static void FireHandler(const E& Event, A&&... Args) {
    if (Event) {
      const E Running = Event;
      Running(std::forward<A>(Args)...);
    }
  }

 private:
  friend class TSioCommEventThread;
  friend class TSioCommWriteThread;

  void ReportError(const std::string& Msg, bool Rule);
  void ApplyDCB();
  void SetupBuffers();
  void SetTimeouts();
  void ApplyEventMask();
  void StopThreads();
  void WaitForStoppedThreads(std::unique_lock<TSioCriticalSection>& Global);
  void ReapStoppedThreads();
  void CloseDevice();
  void DoOpen();
  void DoClose();
  void BuffersChanged(TObject* Sender);
  void LineSettingsChanged(TObject* Sender);
  void GetComStat(TSioPortStatus& Status);
  void PurgeBuffers(std::uint32_t Flags);
  void CommFunction(std::uint32_t Code);
  std::uint32_t ModemStatus();
  bool HoldFlag(std::uint32_t Bit);
  bool CheckLineErrors();
  void ProcessEvents(std::uint32_t Events);
  void LoadFromDCB(const TSioDCB& Dcb);
  std::string IniFileName();
  std::string IniSection();

  std::unique_ptr<TSioPortBackend> FBackend;
  std::atomic<TSioHandle> FHandle{kInvalidSioHandle};
  std::unique_ptr<TSioCriticalSection> FWriteSection;
  std::unique_ptr<TSioCriticalSection> FGlobalSection;
  TSioCommProp FProperties{};
  std::unique_ptr<TSioWaitEvent> FEvent;
  std::shared_ptr<TSioCommEventThread> FEventThread;
  std::shared_ptr<TSioCommWriteThread> FWriteThread;
  std::int32_t FEventMask = 0;
  bool FAutoOpen = false;
  TSioPortInt FPortNum = 0;
  std::string FDeviceName = "COM%d";
  TSioCommEvents FMonitorEvents = kDefaultMonitorEvents;
  std::unique_ptr<TSioBuffers> FBuffers;
  TThreadPriority FEventPriority = tpNormal;
  TThreadPriority FWritePriority = tpHighest;
  bool FDirectWrite = false;
  bool FControlsEnabled = true;
  std::vector<TSioDispatcher*> FClients;
  TSioBaudrate FBaudrate = br1200;
  TSioParity FParity = paNone;
  TSioDatabits FDatabits = db8;
  TSioStopbits FStopbits = sb1;
  TSioCommOptions FOptions;
  std::unique_ptr<TSioFlowControl> FFlowControl;
  std::unique_ptr<TSioEventChars> FEventChars;
  bool FUpdateDCB = true;
  std::int32_t FUserBaudrate = 0;
  TNotifyEvent FOnOpen, FOnClose, FOnCts, FOnDsr, FOnRlsd, FOnRing, FOnBreak;
  TSioCommErrorEvent FOnError;
  TSioCommErrorExceptionEvent FOnErrorException;
  TSioCommRxCharEvent FOnRxChar;
  TNotifyEvent FOnRxFlag;
  TSioCommRxBufEvent FOnRxBuf;
  TNotifyEvent FOnTxEmpty, FOnPErr, FOnRx80Full, FOnEvent1, FOnEvent2;
  TSioDisplay* FDisplay = nullptr;
  bool FSyncThreads = true;
  bool FSkipClosePause = false;
  std::unique_ptr<TSettingsStore> FSettingsStore;
  TSioCommUSBDeviceEvent FOnUSBDeviceUnplug, FOnUSBDevicePlugin;

  // Threads asked to stop that Close could not wait for (it was called from inside one of
  // their notices, or from the thread itself): waited for and freed by a later Open,
  // Close or the destructor, once they have ended.
  std::vector<std::shared_ptr<TSioPortThread>> FStoppedThreads;
  // Counts successful device opens, so that a Close that finds the port reopened or
  // already closed by a Close nested in its wait leaves it alone.
  std::uint64_t FOpenGeneration = 0;
  std::vector<std::unique_ptr<TWaitThread>> FWaitThreads;
};

// The published component: what a window's stored description sets, and the contract
// the rest of the program uses.
class TSioComm : public TSioCustomComm, public ISerialPort {
 public:
  using TSioCustomComm::TSioCustomComm;
  // Closes while the ISerialPort part still exists: the window's handlers read through it.
  ~TSioComm() override { ShutDown(); }
  TSioComm(const TSioComm&) = delete;
  TSioComm& operator=(const TSioComm&) = delete;

  std::string DeviceName() const override { return TSioCustomComm::DeviceName(); }
  void SetDeviceName(const std::string& Value) override { TSioCustomComm::SetDeviceName(Value); }
  void Open() override { TSioCustomComm::Open(); }
  void Close() override { TSioCustomComm::Close(); }
  bool Active() const override { return TSioCustomComm::Active(); }
  int ReadBuf(void* Buf, int Count) override { return TSioCustomComm::ReadBuf(Buf, Count); }
  int WriteBuf(const void* Buf, int Count) override { return TSioCustomComm::WriteBuf(Buf, Count); }
  void SetOnOpen(TNotifyEvent Handler) override { TSioCustomComm::SetOnOpen(std::move(Handler)); }
  void SetOnClose(TNotifyEvent Handler) override { TSioCustomComm::SetOnClose(std::move(Handler)); }
  void SetOnRxChar(TSioCommRxCharEvent Handler) override {
    TSioCustomComm::SetOnRxChar(std::move(Handler));
  }
  void SetOnError(TSioCommErrorEvent Handler) override {
    TSioCustomComm::SetOnError(std::move(Handler));
  }
  void SetOnBreak(TNotifyEvent Handler) override { TSioCustomComm::SetOnBreak(std::move(Handler)); }
  void SetOnUSBDeviceUnplug(TSioCommUSBDeviceEvent Handler) override {
    TSioCustomComm::SetOnUSBDeviceUnplug(std::move(Handler));
  }
};

}  // namespace vantor
