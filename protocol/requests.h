// Sending the frames over a port, as the window does: each request in one WriteBuf.
#pragma once

#include <cstdint>

namespace vantor {

class ISerialPort;

// A failure of any kind closes the port and is swallowed: the caller learns nothing (the
// port-closed notification tells the rest).
void SendHandshake(ISerialPort& Port);
void RequestSetting(ISerialPort& Port, std::uint8_t Index);
void WriteSetting(ISerialPort& Port, std::uint8_t Index, std::uint8_t Value);
void RequestVersion(ISerialPort& Port);

}  // namespace vantor
