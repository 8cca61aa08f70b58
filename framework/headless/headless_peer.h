// The headless backend's peer: remembers what the framework told the "platform control",
// and plays the Windows hot-key control's rules for typed keys.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "framework/backend.h"
#include "framework/controls.h"
#include "framework/hotkey_word.h"

namespace vantor {

class THeadlessPeer : public TControlPeer {
 public:
  void StateChanged() override { ++StateChanges; }
  void PanelChanged(int Index) override { ++PanelRedraws[Index]; }
  void SetHotKeyWord(std::uint16_t Value) override { Word = Value; }
  std::uint16_t HotKeyWord() const override { return Word; }
  void SetHotKeyRules(std::uint8_t AInvalidKeys, std::uint8_t AModifiers) override {
    InvalidKeys = AInvalidKeys;
    Modifiers = AModifiers;
  }

  // The word the control holds after the user pressed VirtualKey with Held modifiers.
  std::uint16_t TypedWord(std::uint8_t VirtualKey, THKModifiers Held) const {
    return TypedHotKeyWord(VirtualKey, Held, InvalidKeys, Modifiers);
  }
  // The control's text for its word.
  std::string Text() const { return HotKeyWordText(Word); }

  int StateChanges = 0;
  std::map<int, int> PanelRedraws;
  std::uint16_t Word = 0;
  std::uint8_t InvalidKeys = 0;
  std::uint8_t Modifiers = 0;
};

}  // namespace vantor
