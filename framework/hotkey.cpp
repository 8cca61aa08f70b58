#include "framework/backend.h"
#include "framework/controls.h"

namespace vantor {

namespace {
constexpr TShortCut ModifierBits = scShift | scCtrl | scAlt;
constexpr THKModifiers WordModifierMask = 0x0F;  // Shift, Ctrl, Alt, extended key
}  // namespace

TShortCut THotKey::HotKey() {
  if (const TControlPeer* Control = Peer()) {
    const std::uint16_t Word = Control->HotKeyWord();
    FHotKey = Word & 0xFF;
    FHotKeyModifiers = static_cast<THKModifiers>((Word >> 8) & WordModifierMask);
  }
  TShortCut Value = FHotKey & 0xFF;
  if (FHotKeyModifiers & HKModifierBit(hkShift))
    Value |= scShift;
  if (FHotKeyModifiers & HKModifierBit(hkCtrl))
    Value |= scCtrl;
  if (FHotKeyModifiers & HKModifierBit(hkAlt))
    Value |= scAlt;
  return Value;
}

void THotKey::SetHotKey(TShortCut Value) {
  FHotKey = static_cast<TShortCut>(Value & ~ModifierBits);
  FHotKeyModifiers = 0;
  if (Value & scShift)
    FHotKeyModifiers |= HKModifierBit(hkShift);
  if (Value & scCtrl)
    FHotKeyModifiers |= HKModifierBit(hkCtrl);
  if (Value & scAlt)
    FHotKeyModifiers |= HKModifierBit(hkAlt);
  if (TControlPeer* Control = Peer())
    Control->SetHotKeyWord(ControlWord());
}

std::uint16_t THotKey::ControlWord() const {
  return static_cast<std::uint16_t>((FHotKey & 0xFF) | (FHotKeyModifiers << 8));
}

void THotKey::SetInvalidKeys(THKInvalidKeys Value) {
  if (Value == FInvalidKeys)
    return;
  FInvalidKeys = Value;
  ResendRules();
}

void THotKey::SetModifiers(THKModifiers Value) {
  if (Value == FModifiers)
    return;
  FModifiers = Value;
  ResendRules();
}

void THotKey::ResendRules() {
  TControlPeer* Control = Peer();
  if (!Control)
    return;
  (void)HotKey();  // keep what the user entered: the rules resend the current value
  Control->SetHotKeyRules(FInvalidKeys, FModifiers);
  Control->SetHotKeyWord(ControlWord());
}

void THotKey::SendRulesAndValue() {
  TControlPeer* Control = Peer();
  if (!Control)
    return;
  Control->SetHotKeyRules(FInvalidKeys, FModifiers);
  Control->SetHotKeyWord(ControlWord());
}

void THotKey::ControlChanged() {
  const TNotifyEvent Handler = OnChange;
  Fire(Handler, this);
}

}  // namespace vantor
