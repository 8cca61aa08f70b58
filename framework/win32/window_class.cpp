#include "framework/win32/window_class.h"

#include <exception>

#include "framework/application.h"

namespace vantor {

namespace {

LRESULT CALLBACK SharedWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCCREATE) {
    const auto* Create = reinterpret_cast<const CREATESTRUCTW*>(LParam);
    ::SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Create->lpCreateParams));
  }
  auto* Target = reinterpret_cast<TWindowProcTarget*>(::GetWindowLongPtrW(Window, GWLP_USERDATA));
  if (Target) {
    bool Handled = false;
    // No C++ failure may cross the system's call frames: report it here.
    try {
      const LRESULT Result = Target->HandleMessage(Window, Msg, WParam, LParam, Handled);
      if (Handled)
        return Result;
    } catch (...) {
      if (TApplication* App = Application())
        App->HandleException(nullptr);
      return 0;
    }
  }
  return ::DefWindowProcW(Window, Msg, WParam, LParam);
}

}  // namespace

HINSTANCE ModuleInstance() {
  return ::GetModuleHandleW(nullptr);
}

HWND CreateTargetWindow(TWindowProcTarget& Target, const wchar_t* ClassName, DWORD ExStyle,
                        DWORD Style, int X, int Y, int Width, int Height, HWND Parent, HMENU Menu) {
  WNDCLASSEXW Class{};
  if (!::GetClassInfoExW(ModuleInstance(), ClassName, &Class)) {
    Class.cbSize = sizeof(Class);
    Class.lpfnWndProc = &SharedWindowProc;
    Class.hInstance = ModuleInstance();
    Class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    Class.lpszClassName = ClassName;
    ::RegisterClassExW(&Class);
  }
  return ::CreateWindowExW(ExStyle, ClassName, L"", Style, X, Y, Width, Height, Parent, Menu,
                           ModuleInstance(), &Target);
}

void DetachTargetWindow(HWND Window) {
  if (Window)
    ::SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
}

}  // namespace vantor
