#include "framework/qt/hotkey_edit.h"

#include <QKeyEvent>

#include "framework/hotkey_word.h"
#include "framework/qt/qt_conversions.h"

namespace vantor {

namespace {

constexpr std::uint8_t kNoKey = 0xFF;

bool IsModifierKey(int Key) {
  return Key == Qt::Key_Shift || Key == Qt::Key_Control || Key == Qt::Key_Alt ||
         Key == Qt::Key_AltGr || Key == Qt::Key_Meta;
}

THKModifiers HeldOf(Qt::KeyboardModifiers Modifiers) {
  THKModifiers Held = 0;
  if (Modifiers & Qt::ShiftModifier)
    Held |= HKModifierBit(hkShift);
  if (Modifiers & Qt::ControlModifier)
    Held |= HKModifierBit(hkCtrl);
  if (Modifiers & Qt::AltModifier)
    Held |= HKModifierBit(hkAlt);
  return Held;
}

// The punctuation keys of a US keyboard, each with its shifted symbol, and the symbols on
// the digit keys: what Windows calls VK_OEM_1 ... VK_OEM_7 and '0' ... '9'.
std::uint8_t SymbolKey(int Key) {
  switch (Key) {
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
      return 0xBA;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
      return 0xBB;
    case Qt::Key_Comma:
    case Qt::Key_Less:
      return 0xBC;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      return 0xBD;
    case Qt::Key_Period:
    case Qt::Key_Greater:
      return 0xBE;
    case Qt::Key_Slash:
    case Qt::Key_Question:
      return 0xBF;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
      return 0xC0;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
      return 0xDB;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
      return 0xDC;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
      return 0xDD;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
      return 0xDE;
    case Qt::Key_Exclam:
      return '1';
    case Qt::Key_At:
      return '2';
    case Qt::Key_NumberSign:
      return '3';
    case Qt::Key_Dollar:
      return '4';
    case Qt::Key_Percent:
      return '5';
    case Qt::Key_AsciiCircum:
      return '6';
    case Qt::Key_Ampersand:
      return '7';
    case Qt::Key_Asterisk:
      return '8';
    case Qt::Key_ParenLeft:
      return '9';
    case Qt::Key_ParenRight:
      return '0';
    default:
      return kNoKey;
  }
}

std::uint8_t KeypadKey(int Key) {
  if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
    return static_cast<std::uint8_t>(0x60 + (Key - Qt::Key_0));
  switch (Key) {
    case Qt::Key_Asterisk:
      return 0x6A;
    case Qt::Key_Plus:
      return 0x6B;
    case Qt::Key_Minus:
      return 0x6D;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      return 0x6E;
    case Qt::Key_Slash:
      return 0x6F;
    default:
      return kNoKey;  // Enter and the navigation keys of the keypad are looked up as usual
  }
}

}  // namespace

std::uint8_t VirtualKeyOf(int Key, Qt::KeyboardModifiers Modifiers) {
  if (IsModifierKey(Key))
    return 0;
  if (Key >= Qt::Key_F1 && Key <= Qt::Key_F24)
    return static_cast<std::uint8_t>(kVkF1 + (Key - Qt::Key_F1));
  if (Modifiers & Qt::KeypadModifier) {
    if (const std::uint8_t Code = KeypadKey(Key); Code != kNoKey)
      return Code;
  }
  if ((Key >= Qt::Key_A && Key <= Qt::Key_Z) || (Key >= Qt::Key_0 && Key <= Qt::Key_9))
    return static_cast<std::uint8_t>(Key);
  switch (Key) {
    case Qt::Key_Backspace:
      return kVkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 0x0D;
    case Qt::Key_Pause:
      return 0x13;
    case Qt::Key_CapsLock:
      return 0x14;
    case Qt::Key_Escape:
      return 0x1B;
    case Qt::Key_Space:
      return kVkSpace;
    case Qt::Key_PageUp:
      return 0x21;
    case Qt::Key_PageDown:
      return 0x22;
    case Qt::Key_End:
      return 0x23;
    case Qt::Key_Home:
      return 0x24;
    case Qt::Key_Left:
      return 0x25;
    case Qt::Key_Up:
      return 0x26;
    case Qt::Key_Right:
      return 0x27;
    case Qt::Key_Down:
      return 0x28;
    case Qt::Key_Print:
      return 0x2C;
    case Qt::Key_Insert:
      return 0x2D;
    case Qt::Key_Delete:
      return kVkDelete;
    case Qt::Key_Super_L:
      return 0x5B;
    case Qt::Key_Super_R:
      return 0x5C;
    case Qt::Key_Menu:
      return 0x5D;
    case Qt::Key_NumLock:
      return 0x90;
    case Qt::Key_ScrollLock:
      return 0x91;
    default:
      return SymbolKey(Key);
  }
}

THotKeyEdit::THotKeyEdit(QWidget* Parent) : QLineEdit(Parent) {
  // The field captures keys; it is never typed into, and no input method may take them.
  setReadOnly(true);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setContextMenuPolicy(Qt::NoContextMenu);
  setFocusPolicy(Qt::StrongFocus);
  ShowWord();
}

void THotKeyEdit::SetWord(std::uint16_t Word) {
  FWord = Word;
  ShowWord();
}

void THotKeyEdit::SetRules(THKInvalidKeys InvalidKeys, THKModifiers Replacement) {
  FInvalidKeys = InvalidKeys;
  FReplacement = Replacement;
}

void THotKeyEdit::keyPressEvent(QKeyEvent* Event) {
  Event->accept();
  // A held key repeats: that is no new choice of the user's.
  if (Event->isAutoRepeat())
    return;
  const THKModifiers Held = HeldOf(Event->modifiers());
  const std::uint8_t Key = VirtualKeyOf(Event->key(), Event->modifiers());
  if (Key == 0) {
    // A modifier on its own is shown while it is held, as Windows does, but it is no
    // key yet: the value stays and no change is reported until a key comes with it.
    THKModifiers Now = Held;
    if (Event->key() == Qt::Key_Shift)
      Now |= HKModifierBit(hkShift);
    if (Event->key() == Qt::Key_Control)
      Now |= HKModifierBit(hkCtrl);
    if (Event->key() == Qt::Key_Alt)
      Now |= HKModifierBit(hkAlt);
    ShowHeld(Now);
    return;
  }
  FWord = TypedHotKeyWord(Key, Held, FInvalidKeys, FReplacement);
  ShowWord();
  if (OnUserChange)
    OnUserChange();
}

void THotKeyEdit::keyReleaseEvent(QKeyEvent* Event) {
  Event->accept();
  if (Event->isAutoRepeat() || VirtualKeyOf(Event->key(), Event->modifiers()) != 0)
    return;
  // The modifiers still held after this release (the event's state includes the key).
  THKModifiers Held = HeldOf(Event->modifiers());
  if (Event->key() == Qt::Key_Shift)
    Held &= static_cast<THKModifiers>(~HKModifierBit(hkShift));
  if (Event->key() == Qt::Key_Control)
    Held &= static_cast<THKModifiers>(~HKModifierBit(hkCtrl));
  if (Event->key() == Qt::Key_Alt)
    Held &= static_cast<THKModifiers>(~HKModifierBit(hkAlt));
  if (Held)
    ShowHeld(Held);
  else
    ShowWord();
}

void THotKeyEdit::focusOutEvent(QFocusEvent* Event) {
  ShowWord();
  QLineEdit::focusOutEvent(Event);
}

// A click only gives the field the focus: there is no text to select or place a cursor in.
void THotKeyEdit::mousePressEvent(QMouseEvent* Event) {
  setFocus(Qt::MouseFocusReason);
  Event->accept();
}

void THotKeyEdit::mouseMoveEvent(QMouseEvent* Event) {
  Event->accept();
}

void THotKeyEdit::mouseDoubleClickEvent(QMouseEvent* Event) {
  Event->accept();
}

void THotKeyEdit::ShowWord() {
  setText(ToQString(HotKeyWordText(FWord)));
}

void THotKeyEdit::ShowHeld(THKModifiers Held) {
  setText(ToQString(HotKeyWordText(static_cast<std::uint16_t>(Held << 8))));
}

}  // namespace vantor
