// A component over the fault backend, inside the headless application.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/headless/headless.h"
#include "serial/fault/fault_port_backend.h"
#include "serial/sio_comm.h"

namespace vantor {

inline const std::string kCom5Path = "\\\\.\\COM5";

class SioTest : public ::testing::Test {
 protected:
  SioTest() : App(MakeHeadlessApplication()) {}

  // A component with the window's Comport1 settings (or the defaults), named COM5.
  TSioComm& MakeComm(bool Comport1 = true) {
    auto Backend = std::make_unique<TFaultPortBackend>();
    Fault = Backend.get();
    Fault->AddDevice(kCom5Path);
    Comm = std::make_unique<TSioComm>(nullptr, std::move(Backend));
    Comm->SetName("Comport1");
    Comm->SetDeviceName("COM5");
    if (Comport1) {
      Comm->SetBaudrate(br115200);
      Comm->FlowControl().SetControlDtr(dtrEnabled);
      Comm->FlowControl().SetControlRts(rtsEnabled);
      Comm->SetMonitorEvents({ceBreak, ceError, ceRxChar, ceTxEmpty});
    }
    return *Comm;
  }

  // Serves the main thread's queue until Done holds; generous, so a bug fails, not hangs.
  bool PumpUntil(const std::function<bool()>& Done, int Milliseconds = 5000) {
    return App.Backend->PumpUntil(Done, std::chrono::milliseconds(Milliseconds));
  }
  // Lets queued work run for a moment (for checks that something does NOT happen).
  void PumpFor(int Milliseconds) {
    App.Backend->PumpUntil([] { return false; }, std::chrono::milliseconds(Milliseconds));
  }

  // What the failure box showed so far.
  std::vector<std::string> FailureTexts() const {
    std::vector<std::string> Texts;
    for (const auto& Box : App.Backend->MessageBoxes()) {
      if (Box.Kind == TMessageBoxKind::mbFailure)
        Texts.push_back(Box.Text);
    }
    return Texts;
  }

  std::vector<std::uint8_t> Bytes(const std::string& Text) const {
    return std::vector<std::uint8_t>(Text.begin(), Text.end());
  }

  void TearDown() override {
    if (!Comm)
      return;
    // Handlers may refer to the test's locals, which are gone by now.
    Comm->SetOnOpen(nullptr);
    Comm->SetOnClose(nullptr);
    Comm->SetOnRxChar(nullptr);
    Comm->SetOnError(nullptr);
    Comm->SetOnBreak(nullptr);
    Comm->SetOnTxEmpty(nullptr);
    Comm->SetOnRxBuf(nullptr);
    Comm->SetOnErrorException(nullptr);
    Comm->SetOnUSBDeviceUnplug(nullptr);
    Comm->SetOnUSBDevicePlugin(nullptr);
    Comm->SetOnCts(nullptr);
    Comm->SetOnDsr(nullptr);
    Comm->SetOnRing(nullptr);
    Comm->SetOnRlsd(nullptr);
    Comm->SetOnRxFlag(nullptr);
    Comm->SetOnPErr(nullptr);
    Comm->SetOnRx80Full(nullptr);
    Comm->SetOnEvent1(nullptr);
    Comm->SetOnEvent2(nullptr);
    TFaultPortBackend* Backend = Fault;
    Comm.reset();
    (void)Backend;
  }

  // No call with a closed handle, and no close under a thread still using the handle.
  void ExpectNoMisuse() { EXPECT_EQ(Fault->Misuses(), 0); }

  THeadlessApp App;
  TFaultPortBackend* Fault = nullptr;  // owned by Comm
  std::unique_ptr<TSioComm> Comm;
};

// The message an operation raised, or "" when it raised nothing.
template <class F>
std::string RaisedMessage(F&& Operation) {
  try {
    Operation();
  } catch (const ESioCommError& E) {
    return E.Message();
  }
  return "";
}

// The failure an operation raised (its message empty when it raised nothing).
template <class F>
ESioCommError RaisedError(F&& Operation) {
  try {
    Operation();
  } catch (const ESioCommError& E) {
    return E;
  }
  return ESioCommError("");
}

// Makes the event thread queue a dispatch for the main thread and leaves it waiting there.
// A dispatch cannot be seen in the queue, so this waits until the thread has taken its
// events and then gives it a moment to reach the queue; callers retry if it was not long
// enough (the dispatch then simply never runs, as the stop came first).
inline void LeaveADispatchQueued(TFaultPortBackend& Fault, std::uint32_t Events) {
  while (!Fault.WaitingForEvents())
    std::this_thread::yield();
  const int Armed = Fault.CallCount("WaitCommEvent");
  Fault.InjectEvents(Events);
  while (Fault.WaitingForEvents())
    std::this_thread::yield();
  // No new wait is armed before the dispatch has run on the main thread.
  EXPECT_EQ(Fault.CallCount("WaitCommEvent"), Armed);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

}  // namespace vantor
