#include "protocol/key_codes.h"

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

}  // namespace vantor
