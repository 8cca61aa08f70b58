// Windows of the backend's own classes: one static window procedure attaches the C++ object
// at WM_NCCREATE and forwards every later message to its HandleMessage; what it does not
// handle falls through to DefWindowProcW.
#pragma once

#include <windows.h>

namespace vantor {

class TWindowProcTarget {
 public:
  virtual ~TWindowProcTarget() = default;
  // Handled is false on entry; a handler that leaves it false gets the default handling.
  virtual LRESULT HandleMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam,
                                bool& Handled) = 0;
};

// Registers (once) a class with the shared procedure and makes a window for Target.
HWND CreateTargetWindow(TWindowProcTarget& Target, const wchar_t* ClassName, DWORD ExStyle,
                        DWORD Style, int X, int Y, int Width, int Height, HWND Parent,
                        HMENU Menu = nullptr);
// Stops forwarding messages of Window to its object (before the object goes).
void DetachTargetWindow(HWND Window);

HINSTANCE ModuleInstance();

}  // namespace vantor
