// The platform's own backend with one change for the tests: Sleep returns at once, so that
// the component's pause after every Close does not make a thousand cycles last minutes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "serial/port_backend.h"

namespace vantor {

class TNoPauseBackend : public TSioPortBackend {
 public:
  TNoPauseBackend() : FReal(MakePlatformPortBackend()) {}

  int PlatformId() override { return FReal->PlatformId(); }
  std::uint32_t LastError() override { return FReal->LastError(); }
  std::string SystemErrorText(std::uint32_t Code) override { return FReal->SystemErrorText(Code); }
  TPortFailure ErrorCategory(std::uint32_t Code, TPortErrorPhase Phase) override {
    return FReal->ErrorCategory(Code, Phase);
  }
  void Sleep(std::uint32_t /*Milliseconds*/) override {}
  std::uint32_t TickCount() override { return FReal->TickCount(); }
  TSioHandle OpenPort(const std::string& Path) override { return FReal->OpenPort(Path); }
  void ClosePort(TSioHandle Port) override { FReal->ClosePort(Port); }
  bool GetCommState(TSioHandle Port, TSioDCB& Dcb) override {
    return FReal->GetCommState(Port, Dcb);
  }
  bool SetCommState(TSioHandle Port, const TSioDCB& Dcb) override {
    return FReal->SetCommState(Port, Dcb);
  }
  bool SetupComm(TSioHandle Port, std::uint32_t InQueue, std::uint32_t OutQueue) override {
    return FReal->SetupComm(Port, InQueue, OutQueue);
  }
  bool SetCommTimeouts(TSioHandle Port, const TSioCommTimeouts& Timeouts) override {
    return FReal->SetCommTimeouts(Port, Timeouts);
  }
  bool SetCommMask(TSioHandle Port, std::uint32_t Mask) override {
    return FReal->SetCommMask(Port, Mask);
  }
  bool ClearCommError(TSioHandle Port, TSioPortStatus& Status) override {
    return FReal->ClearCommError(Port, Status);
  }
  bool PurgeComm(TSioHandle Port, std::uint32_t Flags) override {
    return FReal->PurgeComm(Port, Flags);
  }
  bool EscapeCommFunction(TSioHandle Port, std::uint32_t Code) override {
    return FReal->EscapeCommFunction(Port, Code);
  }
  bool GetCommModemStatus(TSioHandle Port, std::uint32_t& Status) override {
    return FReal->GetCommModemStatus(Port, Status);
  }
  bool GetCommProperties(TSioHandle Port, TSioCommProp& Properties) override {
    return FReal->GetCommProperties(Port, Properties);
  }
  bool GetDefaultCommConfig(const std::string& DeviceName, TSioDCB& Dcb) override {
    return FReal->GetDefaultCommConfig(DeviceName, Dcb);
  }
  void RegistryPortNames(std::vector<std::string>& Names) override {
    FReal->RegistryPortNames(Names);
  }
  bool Read(TSioHandle Port, void* Buf, std::uint32_t Count, TSioEvent& Completion,
            std::uint32_t TimeoutMs, std::uint32_t& Transferred) override {
    return FReal->Read(Port, Buf, Count, Completion, TimeoutMs, Transferred);
  }
  bool Write(TSioHandle Port, const void* Buf, std::uint32_t Count, TSioEvent& Completion,
             std::uint32_t TimeoutMs, std::uint32_t& Transferred) override {
    return FReal->Write(Port, Buf, Count, Completion, TimeoutMs, Transferred);
  }
  TSioWriteOutcome WriteAbandonable(TSioHandle Port, const void* Buf, std::uint32_t Count,
                                    TSioEvent& Completion, TSioEvent& Close, TSioEvent& Flush,
                                    std::uint32_t& Transferred) override {
    return FReal->WriteAbandonable(Port, Buf, Count, Completion, Close, Flush, Transferred);
  }
  TSioWaitOutcome WaitCommEvent(TSioHandle Port, std::uint32_t& EvtMask, TSioEvent& Wake,
                                TSioEvent& Stop) override {
    return FReal->WaitCommEvent(Port, EvtMask, Wake, Stop);
  }

 private:
  std::unique_ptr<TSioPortBackend> FReal;
};

}  // namespace vantor
