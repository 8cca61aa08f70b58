#include "protocol/device_values.h"

namespace vantor {

int KeyToDeviceCode(std::uint16_t Value) {
  if (Value >= kVirtualKeyF1 && Value <= kVirtualKeyF1 + 11)
    return Value - 54;
  return kDeviceKeyNone;
}

std::uint16_t DeviceCodeToKey(int Code) {
  if (Code >= kDeviceKeyF1 && Code <= kDeviceKeyF1 + 11)
    return static_cast<std::uint16_t>(Code + 54);
  return kKeyNone;
}

std::string VersionText(std::uint8_t Tenths) {
  // Integers only: a locale's decimal separator must not leak in.
  return std::to_string(Tenths / 10) + "." + std::to_string(Tenths % 10);
}

}  // namespace vantor
