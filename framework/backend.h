// What the portable framework asks of a platform backend (Win32, or headless for tests).
// Only the framework and its backends include this file.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class TApplication;
class TControl;
class TForm;
class TThread;
struct TMessage;

// A control's platform side; the portable control calls it when its state changes.
class TControlPeer {
 public:
  virtual ~TControlPeer() = default;
  virtual void StateChanged() {}  // caption, text, check, enabled, visible, bounds, panels
};

class TBackend {
 public:
  virtual ~TBackend() = default;

  virtual void Attach(TApplication& App) = 0;
  virtual std::string ExeName() const = 0;

  // The message loop: runs until App.Terminated(); ProcessMessages handles what waits now.
  virtual void RunLoop() = 0;
  virtual void ProcessMessages() = 0;
  // A Synchronize call (or a cross-thread message) was queued: wake the main thread.
  virtual void WakeMainThread() = 0;

  // Timers: Start returns an id; the backend calls Tick on the main thread each period.
  virtual int StartTimer(unsigned IntervalMs, std::function<void()> Tick) = 0;
  virtual void StopTimer(int Id) = 0;

  // Creates the platform window of a form and of all its controls, and shows it.
  virtual void ShowForm(TForm& Form) = 0;
  virtual void CloseForm(TForm& Form) = 0;

  // Modal message box; returns when it is closed.
  enum class TBoxKind { Error, Notice, Failure };
  virtual void MessageBox(TBoxKind Kind, const std::string& Caption, const std::string& Text,
                          const std::string& Button) = 0;
};
