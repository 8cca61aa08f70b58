// The behaviour suite under Wine: the Win32 backend over a pty that the suite's wrapper maps
// as a COM port (VANTOR_TEST_COM), with the native echoing peer on its other end.
#include <cstdlib>
#include <memory>
#include <string>

#include "forwarding_backend.h"
#include "test_port.h"

namespace vantor {

namespace {

class TWin32TestPort : public TTestPort {
 public:
  std::string Name() const override { return "win32"; }
  std::string Unavailable() const override {
    return DeviceName().empty() ? "no COM port mapped to a pty (run through run-with-pty)" : "";
  }
  std::unique_ptr<TSioPortBackend> MakeBackend() override {
    return std::make_unique<TNoPauseBackend>();
  }
  std::string DeviceName() const override {
    const char* Name = std::getenv("VANTOR_TEST_COM");
    return Name == nullptr ? std::string() : std::string(Name);
  }
  std::string DevicePath() const override { return "\\\\.\\" + DeviceName(); }
  std::string MissingDeviceName() const override { return "COM49"; }
  std::string MissingDevicePath() const override { return "\\\\.\\COM49"; }
  int SettleMs() const override { return 300; }
  int OpenCloseCycles() const override { return 50; }

  std::string CannotHangUp() const override {
    return "the device's end belongs to the native peer, out of this process's reach";
  }
  std::string CannotSendLineEvents() const override {
    return "a pty carries no break or line error, and Wine takes them from driver counters "
           "that the pty shim answers with zeros";
  }
  std::string CannotBeHeldElsewhere() const override {
    return "Wine does not enforce the share mode of a COM port";
  }
};

}  // namespace

std::unique_ptr<TTestPort> MakeTestPort() {
  return std::make_unique<TWin32TestPort>();
}

}  // namespace vantor
