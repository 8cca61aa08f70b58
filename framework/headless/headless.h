// The in-memory backend: everything above the framework runs in-process, deterministically,
// with timers on a virtual clock that the test advances. Used by the test suites.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/backend.h"
#include "framework/controls.h"

namespace vantor {

enum class TMessageBoxKind { mbError, mbNotice, mbFailure };

struct TMessageBoxRecord {
  TMessageBoxKind Kind;
  std::string Caption;
  std::string Text;
  std::string Button;
  bool ErrorIcon;
};

class THeadlessBackend;

// Makes the headless application (it becomes Application()) and hands back its backend.
struct THeadlessApp {
  std::unique_ptr<TApplication> App;
  THeadlessBackend* Backend;
};
THeadlessApp MakeHeadlessApplication(const std::string& ExeName = "/opt/vantor/TestProgram.exe");

// The test's handle on the headless platform.
class THeadlessBackend : public TBackend, public TWindowBackend {
 public:
  // Virtual clock in milliseconds since the application was made.
  virtual std::uint64_t Now() const = 0;
  // Moves the clock forward, firing every due timer tick in time order (ticks due at the
  // same moment fire in the order the timers were started). Synchronize calls and sent
  // messages waiting at each step are served too.
  virtual void Advance(std::chrono::milliseconds Step) = 0;

  // Serves Synchronize calls and sent messages in real time until Done() holds or the real
  // time-out passes; returns Done(). Blocks (no busy loop) while nothing is queued.
  virtual bool PumpUntil(const std::function<bool()>& Done,
                         std::chrono::milliseconds RealTimeout) = 0;

  // The user types a key into a function-key field (the field must be enabled and visible,
  // and its form shown; otherwise nothing happens): the control's rules (InvalidKeys,
  // Modifiers) are applied as the Windows control applies them, then the change is
  // reported (OnChange). A modifier key alone (VK_SHIFT, VK_CONTROL, VK_MENU) gives the
  // modifiers with no key; Backspace, Delete or Space without modifiers clear the field;
  // extended keys (arrows, Insert, Delete, Home, End, Page Up/Down) carry the extended flag.
  virtual void TypeKey(THotKey& Field, std::uint8_t VirtualKey, THKModifiers Held) = 0;
  // A user's click on an enabled, visible control.
  virtual void Click(TCheckBox& Box) = 0;
  virtual void Click(TButton& Button) = 0;
  // Tab / Shift+Tab on the main form.
  virtual void PressTab(bool Forward) = 0;

  // Every message box opened so far, in order.
  virtual const std::vector<TMessageBoxRecord>& MessageBoxes() const = 0;
  virtual void ClearMessageBoxes() = 0;
  // Runs while a box is open (the box is modal: the test may advance time or deliver
  // messages from here); the box closes when it returns.
  std::function<void(const TMessageBoxRecord&)> OnMessageBox;

  // A message to the application's window, as the platform would deliver it (on the main
  // thread; returns whether the hooks handled it).
  virtual bool DeliverMessage(TMessage& Message) = 0;

  // What the platform shows and did, for the tests to look at.
  // The text the hot-key control shows: "" for 252 (and any key with no name), "None" for
  // 0, else modifier names and the key name ("Shift + F5").
  virtual std::string HotKeyText(const THotKey& Field) const = 0;
  // How often a status bar panel has been redrawn because its text changed.
  virtual int PanelRedraws(const TStatusBar& Bar, int Index) const = 0;
  // Timers running now.
  virtual int RunningTimers() const = 0;
  // Whether the form's window is shown.
  virtual bool FormVisible(const TForm& Form) const = 0;
};

}  // namespace vantor
