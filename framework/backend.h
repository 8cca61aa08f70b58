// What the portable framework asks of a backend: Win32, Qt (the Linux window), the console's
// (a real loop without windows, for the command line) or the headless one of the tests.
// Only the framework and its backends include this file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantor {

class TApplication;
class TControl;
class TForm;

// A control's platform side; the portable control calls it when its state changes. Every
// operation has a harmless default so that a peer implements only what its kind needs.
class TControlPeer {
 public:
  virtual ~TControlPeer() = default;
  virtual void StateChanged() {}  // caption, check, enabled, visible, bounds
  virtual void Focus() {}
  // Status bar: the text of one panel changed; its hint (tooltip) changed.
  virtual void PanelChanged(int /*Index*/) {}
  virtual void PanelHintChanged(int /*Index*/) {}
  // Hot-key control: HKM_SETHOTKEY, HKM_GETHOTKEY and HKM_SETRULES.
  virtual void SetHotKeyWord(std::uint16_t /*Word*/) {}
  virtual std::uint16_t HotKeyWord() const { return 0; }
  virtual void SetHotKeyRules(std::uint8_t /*InvalidKeys*/, std::uint8_t /*Modifiers*/) {}
};

// The windows of a backend that has them (Win32, Qt, headless).
class TWindowBackend {
 public:
  virtual ~TWindowBackend() = default;

  // Creates the platform window of a form and of all its controls (giving each its peer),
  // and shows it; the main form honours the platform's start-up show command.
  virtual void ShowForm(TForm& Form) = 0;
  virtual void CloseForm(TForm& Form) = 0;
};

// The loop every backend runs: the main thread's messages, its wake-up and its timers, and
// the word to the user.
class TBackend {
 public:
  virtual ~TBackend() = default;

  // Called once by the application's constructor, and by its destructor with null before
  // the backend is freed (the backend must then stop calling into the application).
  virtual void Attach(TApplication* App) = 0;
  virtual std::string ExeName() const = 0;

  // The message loop: runs until App.Terminated(); ProcessMessages handles what waits now.
  // Both serve the application's cross-thread calls (TApplication::ServeCrossThreadCalls).
  virtual void RunLoop() = 0;
  virtual void ProcessMessages() = 0;
  // Any thread: work for the main thread was queued, or a thread ended. Latched: a wake
  // that comes before WaitForWake makes it return at once.
  virtual void WakeMainThread() = 0;
  // Main thread: blocks until woken, serving meanwhile only what other threads send to the
  // application's windows (never posted input or timers). TThread::WaitFor uses it.
  virtual void WaitForWake() = 0;

  // Timers: Start returns an id; the backend calls Tick on the main thread each period.
  // StopTimer may be called from inside that timer's own Tick.
  virtual int StartTimer(unsigned IntervalMs, std::function<void()> Tick) = 0;
  virtual void StopTimer(int Id) = 0;

  // A message for the user, returning once it has been seen: a modal box where there are
  // windows, a line on standard error where there are none, so that the application's
  // failure report reaches the user everywhere.
  enum class TBoxKind { Error, Notice, Failure };
  virtual void MessageBox(TBoxKind Kind, const std::string& Caption, const std::string& Text,
                          const std::string& Button) = 0;

  // The windows; null for a program without any (the command line's).
  virtual TWindowBackend* Windows() = 0;
};

// For a backend's form window: gives each control of Form that has no peer yet the one
// MakePeer makes (none: the control is left out), hands hot-key fields their rules and
// value once they have a peer, and returns the focusable controls in tab order.
using TPeerMaker = std::function<std::unique_ptr<TControlPeer>(TControl& Control)>;
std::vector<TControl*> AttachControlPeers(TForm& Form, const TPeerMaker& MakePeer);

}  // namespace vantor
