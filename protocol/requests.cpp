#include "protocol/requests.h"

#include "protocol/frames.h"
#include "serial/serial_port.h"

namespace vantor {

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
