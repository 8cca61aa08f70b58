// A stand-in for the port that records every WriteBuf call and can be told to fail them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "serial/serial_port.h"

namespace vantor {

class TRecordingPort : public ISerialPort {
 public:
  std::vector<std::vector<std::uint8_t>> Writes;  // one entry per WriteBuf on the open port
  std::vector<int> Counts;                        // the count argument of each of them
  int CloseCalls = 0;
  std::function<void()> FailWrite;  // when set, WriteBuf runs it instead of writing

  std::string DeviceName() const override { return FDeviceName; }
  void SetDeviceName(const std::string& Value) override { FDeviceName = Value; }
  void Open() override { FActive = true; }
  void Close() override {
    ++CloseCalls;
    FActive = false;
  }
  bool Active() const override { return FActive; }
  int ReadBuf(void*, int) override { return 0; }
  int WriteBuf(const void* Buf, int Count) override {
    if (!FActive)
      return 0;  // a closed port writes nothing and raises nothing
    if (FailWrite)
      FailWrite();
    const auto* Bytes = static_cast<const std::uint8_t*>(Buf);
    Writes.emplace_back(Bytes, Bytes + Count);
    Counts.push_back(Count);
    return Count;
  }
  void SetOnOpen(TNotifyEvent) override {}
  void SetOnClose(TNotifyEvent) override {}
  void SetOnRxChar(TSioCommRxCharEvent) override {}
  void SetOnError(TSioCommErrorEvent) override {}
  void SetOnBreak(TNotifyEvent) override {}
  void SetOnUSBDeviceUnplug(TSioCommUSBDeviceEvent) override {}

 private:
  std::string FDeviceName;
  bool FActive = true;
};

}  // namespace vantor
