// The real component over the platform's backend, in the headless application, set up as
// the window's Comport1 (115200 8N1, DTR and RTS on, break, error, received bytes, sent).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "forwarding_backend.h"
#include "framework/headless/headless.h"
#include "framework/thread.h"
#include "serial/sio_comm.h"

namespace vantor {

class CommOverPort : public ::testing::Test {
 protected:
  CommOverPort() : App(MakeHeadlessApplication()) {}

  void MakeComm(const std::string& DeviceName, bool Pause = true) {
    std::unique_ptr<TSioPortBackend> Backend;
    if (Pause) {
      Backend = MakePlatformPortBackend();
    } else {
      Backend = std::make_unique<TNoPauseBackend>();
    }
    Comm = std::make_unique<TSioComm>(nullptr, std::move(Backend));
    Comm->SetName("Comport1");
    Comm->SetDeviceName(DeviceName);
    Comm->SetBaudrate(br115200);
    Comm->FlowControl().SetControlDtr(dtrEnabled);
    Comm->FlowControl().SetControlRts(rtsEnabled);
    Comm->SetMonitorEvents({ceBreak, ceError, ceRxChar, ceTxEmpty});
    // Received bytes are read on the main thread, as the window's handler reads them.
    Comm->SetOnRxChar([this](TObject*, int Count) {
      OnMainThread = OnMainThread && TThread::IsMainThread();
      std::string Bytes(static_cast<std::size_t>(Count), '\0');
      Bytes.resize(static_cast<std::size_t>(Comm->ReadBuf(Bytes.data(), Count)));
      Received += Bytes;
      if (AfterRead) {
        AfterRead();
      }
    });
    Comm->SetOnClose([this](TObject*) { ++Closes; });
    Comm->SetOnError([this](TObject*, int Errors) {
      LineErrors |= Errors;
      if (CloseOnError) {
        Comm->Close();
      }
    });
  }

  void TearDown() override {
    if (Comm) {
      Comm->SetOnRxChar(nullptr);
      Comm->SetOnClose(nullptr);
      Comm->SetOnError(nullptr);
      Comm.reset();
    }
  }

  void Write(const std::string& Bytes) {
    ASSERT_EQ(Comm->WriteBuf(Bytes.data(), static_cast<int>(Bytes.size())),
              static_cast<int>(Bytes.size()));
  }
  // Generous, so that a fault fails the test instead of hanging it.
  bool PumpUntil(const std::function<bool()>& Done, int Milliseconds = 10000) {
    return App.Backend->PumpUntil(Done, std::chrono::milliseconds(Milliseconds));
  }
  bool ReceivedAtLeast(std::size_t Count) {
    return PumpUntil([&] { return Received.size() >= Count; });
  }

  THeadlessApp App;
  std::unique_ptr<TSioComm> Comm;
  std::string Received;
  bool OnMainThread = true;
  bool CloseOnError = true;
  int Closes = 0;
  int LineErrors = 0;
  std::function<void()> AfterRead;
};

}  // namespace vantor
