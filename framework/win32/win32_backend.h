// The Win32 backend (private to the framework): the message loop, the application's hidden
// window, timers on that window, the wake-up of the main thread, forms and message boxes.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>

#include "framework/backend.h"
#include "base/win32/handles.h"
#include "framework/win32/win32_application.h"
#include "framework/win32/accessible_names.h"

namespace vantor {

class TAppWindow;

// A private message to the hidden window: cross-thread calls are waiting.
constexpr UINT WM_FRAMEWORK_WAKE = WM_APP + 0x100;

class TWin32Backend : public TBackend, public TWindowBackend {
 public:
  explicit TWin32Backend(const TWin32AppOptions& Options);
  ~TWin32Backend() override;
  TWin32Backend(const TWin32Backend&) = delete;
  TWin32Backend& operator=(const TWin32Backend&) = delete;

  void Attach(TApplication* App) override;
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

  TApplication* App() const { return FApp; }
  HWND AppWindow() const;
  // Called by the hidden window's procedure.
  void Woken();
  void TimerTicked(UINT_PTR Id);

 private:
  void Dispatch(MSG& Message);

  TComApartment FApartment;  // first made, last gone: the windows' accessible objects need it
  TApplication* FApp = nullptr;
  std::unique_ptr<TAppWindow> FAppWindow;
  TWin32AppOptions FOptions;
  TKernelHandle FWakeEvent;
  std::atomic<bool> FWakePosted{false};
  std::map<UINT_PTR, std::function<void()>> FTimers;
  UINT_PTR FLastTimerId = 0;
};

}  // namespace vantor
