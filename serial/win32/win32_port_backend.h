// The port backend on Windows: the communications functions on a handle opened for
// overlapped input and output.
#pragma once

#include <windows.h>

#undef GetDefaultCommConfig  // a backend operation; the Unicode variant is called by name

#include "serial/port_backend.h"

namespace vantor {

class TWin32PortBackend : public TSioPortBackend {
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
};

}  // namespace vantor
