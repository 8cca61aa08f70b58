#include "protocol/frames.h"

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

}  // namespace vantor
