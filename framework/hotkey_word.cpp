#include "framework/hotkey_word.h"

namespace vantor {

namespace {

constexpr THKModifiers Shift = HKModifierBit(hkShift), Ctrl = HKModifierBit(hkCtrl),
                       Alt = HKModifierBit(hkAlt), Ext = HKModifierBit(hkExt);

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

// Appended rather than "F" + number: GCC 12 at -O3 sees a false overlap (-Wrestrict) in the
// inlined concatenation of a literal and a temporary.
std::string Numbered(const char* Prefix, int Number) {
  std::string Name = Prefix;
  Name += std::to_string(Number);
  return Name;
}

std::string KeyName(std::uint8_t Vk) {
  if (Vk >= kVkF1 && Vk <= kVkF24)
    return Numbered("F", Vk - kVkF1 + 1);
  if ((Vk >= '0' && Vk <= '9') || (Vk >= 'A' && Vk <= 'Z'))
    return std::string(1, char(Vk));
  if (Vk >= 0x60 && Vk <= 0x69)
    return Numbered("Num ", Vk - 0x60);
  switch (Vk) {
    case kVkBack:
      return "Backspace";
    case 0x09:
      return "Tab";
    case 0x0D:
      return "Enter";
    case 0x1B:
      return "Esc";
    case kVkSpace:
      return "Space";
    case 0x21:
      return "Page Up";
    case 0x22:
      return "Page Down";
    case 0x23:
      return "End";
    case 0x24:
      return "Home";
    case 0x25:
      return "Left";
    case 0x26:
      return "Up";
    case 0x27:
      return "Right";
    case 0x28:
      return "Down";
    case 0x2D:
      return "Insert";
    case kVkDelete:
      return "Delete";
    default:
      return "";  // 252 and other unnamed keys show nothing
  }
}

}  // namespace

bool IsExtendedKey(std::uint8_t Vk) {
  return (Vk >= 0x21 && Vk <= 0x28) || Vk == 0x2D || Vk == 0x2E || (Vk >= 0x5B && Vk <= 0x5D) ||
         Vk == 0x6F || Vk == 0x90;
}

std::uint16_t TypedHotKeyWord(std::uint8_t VirtualKey, THKModifiers Held,
                              THKInvalidKeys InvalidKeys, THKModifiers Replacement) {
  Held &= Shift | Ctrl | Alt;
  // A modifier key on its own: the control shows the modifiers and waits for a key.
  if (VirtualKey == kVkShift || VirtualKey == kVkControl || VirtualKey == kVkMenu) {
    if (VirtualKey == kVkShift)
      Held |= Shift;
    if (VirtualKey == kVkControl)
      Held |= Ctrl;
    if (VirtualKey == kVkMenu)
      Held |= Alt;
    return static_cast<std::uint16_t>(Held << 8);
  }
  if (Held == 0 && (VirtualKey == kVkBack || VirtualKey == kVkDelete || VirtualKey == kVkSpace))
    return 0;
  THKModifiers Result = Held;
  if (InvalidKeys & HKInvalidBit(Combination(Held)))
    Result = Replacement & (Shift | Ctrl | Alt);
  if (IsExtendedKey(VirtualKey))
    Result |= Ext;
  return static_cast<std::uint16_t>(VirtualKey | (Result << 8));
}

std::string HotKeyWordText(std::uint16_t Word) {
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
