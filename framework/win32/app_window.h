// The application's own window: top-level (so that broadcasts such as WM_DEVICECHANGE reach
// it; message-only windows get none), never shown, without a taskbar button. Every message
// but the backend's own goes through the application's hook list.
#pragma once

#include "base/win32/handles.h"
#include "framework/win32/window_class.h"

namespace vantor {

class TWin32Backend;

class TAppWindow : public TWindowProcTarget {
 public:
  explicit TAppWindow(TWin32Backend& Backend);
  ~TAppWindow() override;
  TAppWindow(const TAppWindow&) = delete;
  TAppWindow& operator=(const TAppWindow&) = delete;

  HWND Handle() const { return FHandle.Get(); }
  LRESULT HandleMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam,
                        bool& Handled) override;

 private:
  TWin32Backend& FBackend;
  TWindowHandle FHandle;
};

}  // namespace vantor
