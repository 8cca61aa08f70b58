#include "framework/win32/app_window.h"

#include "framework/application.h"
#include "base/utf.h"
#include "framework/win32/win32_backend.h"

namespace vantor {

TAppWindow::TAppWindow(TWin32Backend& Backend) : FBackend(Backend) {
  FHandle.Reset(CreateTargetWindow(*this, L"TApplicationWindow", WS_EX_TOOLWINDOW,
                                   WS_POPUP | WS_CLIPSIBLINGS, 0, 0, 0, 0, nullptr));
}

TAppWindow::~TAppWindow() {
  DetachTargetWindow(FHandle.Get());
}

LRESULT TAppWindow::HandleMessage(HWND /*Window*/, UINT Msg, WPARAM WParam, LPARAM LParam,
                                  bool& Handled) {
  // The backend's own plumbing first: no hook may swallow it.
  if (Msg == WM_FRAMEWORK_WAKE) {
    Handled = true;
    FBackend.Woken();
    return 0;
  }
  if (Msg == WM_TIMER) {
    Handled = true;
    FBackend.TimerTicked(WParam);
    return 0;
  }
  TApplication* App = FBackend.App();
  if (!App)
    return 0;
  TMessage Message{Msg, static_cast<std::uintptr_t>(WParam), static_cast<std::intptr_t>(LParam), 0};
  if (App->DispatchToHooks(Message)) {
    Handled = true;
    return Message.Result;
  }
  return 0;
}

}  // namespace vantor
