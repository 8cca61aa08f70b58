#include "framework/headless/headless_peer.h"

namespace vantor {

namespace {

constexpr std::uint8_t VkBack = 0x08, VkShift = 0x10, VkControl = 0x11, VkMenu = 0x12,
                       VkSpace = 0x20, VkDelete = 0x2E, VkF1 = 0x70, VkF24 = 0x87;

constexpr THKModifiers Shift = HKModifierBit(hkShift), Ctrl = HKModifierBit(hkCtrl),
                       Alt = HKModifierBit(hkAlt), Ext = HKModifierBit(hkExt);

bool IsExtended(std::uint8_t Vk) {
  return (Vk >= 0x21 && Vk <= 0x28) || Vk == 0x2D || Vk == 0x2E || (Vk >= 0x5B && Vk <= 0x5D) ||
         Vk == 0x6F || Vk == 0x90;
}

// The control's combination flag (HKCOMB_*) for a modifier set.
THKInvalidKey Combination(THKModifiers Held) {
  const bool S = Held & Shift, C = Held & Ctrl, A = Held & Alt;
  if (S && C && A)
    return hcShiftCtrlAlt;
  if (C && A)
    return hcCtrlAlt;
  if (S && A)
    return hcShiftAlt;
  if (S && C)
    return hcShiftCtrl;
  if (A)
    return hcAlt;
  if (C)
    return hcCtrl;
  if (S)
    return hcShift;
  return hcNone;
}

std::string KeyName(std::uint8_t Vk) {
  if (Vk >= VkF1 && Vk <= VkF24) {
    // Appended rather than "F" + number: GCC 12 at -O3 sees a false overlap (-Wrestrict)
    // in the inlined concatenation of a literal and a temporary.
    std::string Name = "F";
    Name += std::to_string(Vk - VkF1 + 1);
    return Name;
  }
  if ((Vk >= '0' && Vk <= '9') || (Vk >= 'A' && Vk <= 'Z'))
    return std::string(1, char(Vk));
  switch (Vk) {
    case 0x25:
      return "Left";
    case 0x26:
      return "Up";
    case 0x27:
      return "Right";
    case 0x28:
      return "Down";
    case VkSpace:
      return "Space";
    default:
      return "";  // 252 and other unnamed keys show nothing
  }
}

}  // namespace

std::uint16_t THeadlessPeer::TypedWord(std::uint8_t VirtualKey, THKModifiers Held) const {
  Held &= Shift | Ctrl | Alt;
  // A modifier key on its own: the control shows the modifiers and waits for a key.
  if (VirtualKey == VkShift || VirtualKey == VkControl || VirtualKey == VkMenu) {
    if (VirtualKey == VkShift)
      Held |= Shift;
    if (VirtualKey == VkControl)
      Held |= Ctrl;
    if (VirtualKey == VkMenu)
      Held |= Alt;
    return static_cast<std::uint16_t>(Held << 8);
  }
  if (Held == 0 && (VirtualKey == VkBack || VirtualKey == VkDelete || VirtualKey == VkSpace)) {
    return 0;
  }
  THKModifiers Result = Held;
  if (InvalidKeys & HKInvalidBit(Combination(Held)))
    Result = Modifiers & (Shift | Ctrl | Alt);
  if (IsExtended(VirtualKey))
    Result |= Ext;
  return static_cast<std::uint16_t>(VirtualKey | (Result << 8));
}

std::string THeadlessPeer::Text() const {
  if (Word == 0)
    return "None";
  const auto Held = static_cast<THKModifiers>(Word >> 8);
  std::string Result;
  if (Held & Ctrl)
    Result += "Ctrl + ";
  if (Held & Shift)
    Result += "Shift + ";
  if (Held & Alt)
    Result += "Alt + ";
  const std::string Key = KeyName(static_cast<std::uint8_t>(Word & 0xFF));
  return Result += Key;
}

}  // namespace vantor
