// The function-key field on Qt: a key-capture line edit that holds the Windows hot-key
// control's word (virtual-key code in the low byte; Shift 0x01, Ctrl 0x02, Alt 0x04,
// extended key 0x08 in the high byte) and plays that control's rules for the keys the user
// presses (framework/hotkey_word.h).
#pragma once

#include <QLineEdit>

#include <cstdint>
#include <functional>

#include "framework/controls.h"

class QKeyEvent;

namespace vantor {

// The Windows virtual-key code of a Qt key: F1-F24 are 0x70-0x87, letters and digits their
// character codes, the keypad digits 0x60-0x69, the editing and navigation keys and the
// punctuation keys of a US keyboard their Windows codes (a shifted symbol gives the code
// of its key). Every other key gives 0xFF, which names no key. 0 for the modifier keys.
std::uint8_t VirtualKeyOf(int QtKey, Qt::KeyboardModifiers Modifiers);

class THotKeyEdit : public QLineEdit {
 public:
  explicit THotKeyEdit(QWidget* Parent);

  std::uint16_t Word() const { return FWord; }
  void SetWord(std::uint16_t Word);  // from code: no change report
  void SetRules(THKInvalidKeys InvalidKeys, THKModifiers Replacement);

  // Raised after a key the user pressed changed the word, and only then.
  std::function<void()> OnUserChange;

 protected:
  void keyPressEvent(QKeyEvent* Event) override;
  void keyReleaseEvent(QKeyEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;

 private:
  void ShowWord();
  void ShowHeld(THKModifiers Held);

  std::uint16_t FWord = 0;
  THKInvalidKeys FInvalidKeys = 0;
  THKModifiers FReplacement = 0;
};

}  // namespace vantor
