// A stand-in for Comport1 that a test plays the device and the platform through: it records
// every frame written, refuses chosen names at Open, serves injected bytes to ReadBuf (or
// fails it), and raises the component's notifications on demand. Owned by the form, as the
// real component is.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "framework/component.h"
#include "serial/serial_port.h"

namespace vantor {

using TBytes = std::vector<std::uint8_t>;

class TScriptedPort : public TComponent, public ISerialPort {
 public:
  explicit TScriptedPort(TComponent* AOwner) : TComponent(AOwner) {}

  struct TWrite {
    std::string Device;  // the device name the port was open on
    TBytes Bytes;
  };

  // Script.
  std::set<std::string> Refused;             // device names whose Open fails
  std::optional<ESioCommError> ReadFailure;  // raised by ReadBuf while set

  // Record.
  std::vector<TWrite> Writes;          // every WriteBuf on an open port
  std::vector<std::string> Opened;     // every successful Open, by device name
  std::vector<std::string> OpenTries;  // every Open call, by device name
  int CloseNotices = 0;                // OnClose fired

  std::vector<TBytes> Frames() const {
    std::vector<TBytes> Result;
    for (const TWrite& W : Writes)
      Result.push_back(W.Bytes);
    return Result;
  }
  std::vector<TBytes> FramesTo(const std::string& Device) const {
    std::vector<TBytes> Result;
    for (const TWrite& W : Writes) {
      if (W.Device == Device)
        Result.push_back(W.Bytes);
    }
    return Result;
  }

  // The device side: bytes arrive and the component announces them (Count defaults to
  // all that are waiting).
  void Receive(const TBytes& Bytes, std::optional<int> Count = std::nullopt) {
    FInput.insert(FInput.end(), Bytes.begin(), Bytes.end());
    Announce(Count.value_or(static_cast<int>(FInput.size())));
  }
  void Announce(int Count) {
    if (FOnRxChar)
      FOnRxChar(this, Count);
  }
  void RaiseError(int Errors) {
    if (FOnError)
      FOnError(this, Errors);
  }
  void RaiseBreak() {
    if (FOnBreak)
      FOnBreak(this);
  }
  void Unplug(const std::string& Name) {
    if (FOnUnplug)
      FOnUnplug(this, Name);
  }
  std::size_t Waiting() const { return FInput.size(); }

  // ISerialPort
  std::string DeviceName() const override { return FDeviceName; }
  void SetDeviceName(const std::string& Value) override {
    if (FActive)
      throw ESioCommError("Can't perform this operation while port is open");
    FDeviceName = Value;
  }
  void Open() override {
    OpenTries.push_back(FDeviceName);
    if (FActive)
      return;
    if (Refused.count(FDeviceName)) {
      throw ESioCommError("Specified device not found (\\\\.\\" + FDeviceName + ").");
    }
    FActive = true;
    FInput.clear();
    Opened.push_back(FDeviceName);
    if (FOnOpen)
      FOnOpen(this);
  }
  void Close() override {
    if (!FActive)
      return;
    FActive = false;
    FInput.clear();
    ++CloseNotices;
    if (FOnClose)
      FOnClose(this);
  }
  bool Active() const override { return FActive; }
  int ReadBuf(void* Buf, int Count) override {
    if (!FActive)
      return 0;
    if (ReadFailure)
      throw *ReadFailure;
    const std::size_t N = std::min(FInput.size(), static_cast<std::size_t>(Count));
    std::copy(FInput.begin(), FInput.begin() + static_cast<std::ptrdiff_t>(N),
              static_cast<std::uint8_t*>(Buf));
    FInput.erase(FInput.begin(), FInput.begin() + static_cast<std::ptrdiff_t>(N));
    return static_cast<int>(N);
  }
  int WriteBuf(const void* Buf, int Count) override {
    if (!FActive)
      return 0;
    const auto* Bytes = static_cast<const std::uint8_t*>(Buf);
    Writes.push_back({FDeviceName, TBytes(Bytes, Bytes + Count)});
    return Count;
  }
  void SetOnOpen(TNotifyEvent Handler) override { FOnOpen = std::move(Handler); }
  void SetOnClose(TNotifyEvent Handler) override { FOnClose = std::move(Handler); }
  void SetOnRxChar(TSioCommRxCharEvent Handler) override { FOnRxChar = std::move(Handler); }
  void SetOnError(TSioCommErrorEvent Handler) override { FOnError = std::move(Handler); }
  void SetOnBreak(TNotifyEvent Handler) override { FOnBreak = std::move(Handler); }
  void SetOnUSBDeviceUnplug(TSioCommUSBDeviceEvent Handler) override {
    FOnUnplug = std::move(Handler);
  }

 private:
  std::string FDeviceName = "COM%d";
  bool FActive = false;
  TBytes FInput;
  TNotifyEvent FOnOpen, FOnClose, FOnBreak;
  TSioCommRxCharEvent FOnRxChar;
  TSioCommErrorEvent FOnError;
  TSioCommUSBDeviceEvent FOnUnplug;
};

}  // namespace vantor
