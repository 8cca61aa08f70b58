// The Windows hot-key control's own behaviour, for the backends that play it instead of
// wrapping it (headless for the tests, Qt on Linux): the word a key press leaves in the
// control, and the text the control shows for a word.
#pragma once

#include <cstdint>
#include <string>

#include "framework/controls.h"

namespace vantor {

// Virtual-key codes the rules name.
constexpr std::uint8_t kVkBack = 0x08, kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12,
                       kVkSpace = 0x20, kVkDelete = 0x2E, kVkF1 = 0x70, kVkF24 = 0x87;

// Keys the control marks with the extended-key flag (arrows, Insert, Delete, Home, End,
// Page Up and Down, the Windows and menu keys, keypad divide, Num Lock).
bool IsExtendedKey(std::uint8_t VirtualKey);

// The control's word after the user pressed VirtualKey with Held (Shift, Ctrl, Alt):
// a modifier key on its own gives the modifiers with no key; Backspace, Delete or Space
// alone clear it; a combination in InvalidKeys is replaced by Replacement; extended keys
// carry the extended flag.
std::uint16_t TypedHotKeyWord(std::uint8_t VirtualKey, THKModifiers Held,
                              THKInvalidKeys InvalidKeys, THKModifiers Replacement);

// What the control shows for a word: "None" for 0, else the modifiers and the key name
// ("Ctrl + Shift + F5"); nothing for a key without a name, such as 252.
std::string HotKeyWordText(std::uint16_t Word);

}  // namespace vantor
