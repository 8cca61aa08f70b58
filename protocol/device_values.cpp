#include "protocol/device_values.h"

namespace vantor {

int KeyToDeviceCode(std::uint16_t Value) {
  const int Code = Value - kVirtualKeyF1 + kDeviceKeyF1;
  return IsFunctionKeyCode(Code) ? Code : kDeviceKeyNone;
}

std::uint16_t DeviceCodeToKey(int Code) {
  if (!IsFunctionKeyCode(Code))
    return kKeyNone;
  return static_cast<std::uint16_t>(Code - kDeviceKeyF1 + kVirtualKeyF1);
}

std::string VersionText(std::uint8_t Tenths) {
  // Integers only: a locale's decimal separator must not leak in.
  return std::to_string(Tenths / 10) + "." + std::to_string(Tenths % 10);
}

}  // namespace vantor
