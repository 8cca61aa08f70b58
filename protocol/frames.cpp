#include "protocol/frames.h"

#include "serial/serial_port.h"

namespace vantor {

TShortFrame HandshakeFrame() {
  return {kFrameStart, 5, cmdHandshake, 0, kFrameEnd};
}

TShortFrame ReadSettingFrame(std::uint8_t Index) {
  return {kFrameStart, 5, cmdReadSetting, Index, kFrameEnd};
}

TLongFrame WriteSettingFrame(std::uint8_t Index, std::uint8_t Value) {
  return {kFrameStart, 6, cmdWriteSetting, Index, Value, kFrameEnd};
}

TShortFrame ReadVersionFrame() {
  return {kFrameStart, 5, cmdReadVersion, 0, kFrameEnd};
}

namespace {

template <std::size_t N>
void Send(ISerialPort& Port, const std::array<std::uint8_t, N>& Frame) {
  try {
    Port.WriteBuf(Frame.data(), static_cast<int>(Frame.size()));
  } catch (...) {
    // Any failure ends the conversation on this port; the close notification says so.
    Port.Close();
  }
}

}  // namespace

void SendHandshake(ISerialPort& Port) {
  Send(Port, HandshakeFrame());
}
void RequestSetting(ISerialPort& Port, std::uint8_t Index) {
  Send(Port, ReadSettingFrame(Index));
}
void WriteSetting(ISerialPort& Port, std::uint8_t Index, std::uint8_t Value) {
  Send(Port, WriteSettingFrame(Index, Value));
}
void RequestVersion(ISerialPort& Port) {
  Send(Port, ReadVersionFrame());
}

}  // namespace vantor
