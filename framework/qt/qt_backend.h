// The Qt backend (private to the framework): the message loop on Qt's event loop, timers,
// the wake-up of the main thread, forms and message boxes.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>

#include "framework/backend.h"
#include "framework/cross_thread.h"
#include "framework/qt/qt_application.h"

class QApplication;
class QEventLoop;

namespace vantor {

class TObject;

class TQtBackend : public TBackend, public TWindowBackend {
 public:
  TQtBackend(int& Argc, char** Argv, const TQtApplicationOptions& Options);
  ~TQtBackend() override;
  TQtBackend(const TQtBackend&) = delete;
  TQtBackend& operator=(const TQtBackend&) = delete;

  void Attach(TApplication* App) override { FApp = App; }
  std::string ExeName() const override;
  void RunLoop() override;
  void ProcessMessages() override;
  void WakeMainThread() override;
  void WaitForWake() override;
  int StartTimer(unsigned IntervalMs, std::function<void()> Tick) override;
  void StopTimer(int Id) override;
  void MessageBox(TBoxKind Kind, const std::string& Caption, const std::string& Text,
                  const std::string& Button) override;
  TWindowBackend* Windows() override { return this; }

  void ShowForm(TForm& Form) override;
  void CloseForm(TForm& Form) override;

 private:
  class TEventTarget;
  void Woken();
  void TimerFired(int QtTimerId);

  TApplication* FApp = nullptr;
  std::unique_ptr<QApplication> FOwnQtApp;  // null when the QApplication was made elsewhere
  std::unique_ptr<TEventTarget> FTarget;    // receives the timer and wake events
  QEventLoop* FLoop = nullptr;              // RunLoop's, while it runs

  // The latched wake-up: WaitForWake sleeps on it without touching Qt's queue, so that
  // input and timers wait; the posted event wakes Qt's loop (one in the queue at a time).
  TWakeSignal FWake;
  std::atomic<bool> FWakePosted{false};

  struct TTimerEntry {
    int QtId;
    std::function<void()> Tick;
  };
  std::map<int, TTimerEntry> FTimers;  // by the framework's id, never reused
  std::map<int, int> FIdsByQtId;
  int FLastTimerId = 0;
};

// Runs Call and hands a failure to the application's failure box: nothing may be thrown
// through Qt's event loop, so every way from Qt into the framework goes through here.
void GuardedCall(TObject* Sender, const std::function<void()>& Call);

}  // namespace vantor
