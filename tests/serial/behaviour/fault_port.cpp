// The behaviour suite over the fault backend: an in-memory device that echoes, whose faults
// are injected (a hang-up is the error flag a vanished device leaves, as on Linux).
#include <memory>
#include <string>

#include "serial/fault/fault_port_backend.h"
#include "test_port.h"

namespace vantor {

namespace {

const std::string kPath = "\\\\.\\COM5";

class TFaultTestPort : public TTestPort {
 public:
  std::string Name() const override { return "fault"; }
  std::unique_ptr<TSioPortBackend> MakeBackend() override {
    auto Backend = std::make_unique<TFaultPortBackend>();
    Backend->AddDevice(kPath);
    Backend->SetEcho(true);
    FLast = Backend.get();
    return Backend;
  }
  std::string DeviceName() const override { return "COM5"; }
  std::string DevicePath() const override { return kPath; }
  std::string MissingDeviceName() const override { return "COM7"; }
  std::string MissingDevicePath() const override { return "\\\\.\\COM7"; }
  int SettleMs() const override { return 50; }
  int OpenCloseCycles() const override { return 1000; }

  // The device of the component made last (which owns its backend).
  void HangUp() override { FLast->InjectErrors(kCeMode); }
  void SendBreak() override { FLast->InjectBreak(); }
  void SendFramingError() override { FLast->InjectErrors(kCeFrame); }
  void HoldElsewhere() override { FLast->HoldDevice(kPath, kErrorAccessDenied); }
  void ReleaseElsewhere() override { FLast->ReleaseDevice(kPath); }

 private:
  TFaultPortBackend* FLast = nullptr;
};

}  // namespace

std::unique_ptr<TTestPort> MakeTestPort() {
  return std::make_unique<TFaultTestPort>();
}

}  // namespace vantor
