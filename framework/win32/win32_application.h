// The Win32 platform of the framework: the entry of the program makes its application
// object here. The handle accessors serve the Windows tests and platform glue.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/application.h"
#include "framework/controls.h"

namespace vantor {

// The application object on real windows (it becomes Application()). AppIconId names the
// program's icon resource, which its windows show; 0 for none.
std::unique_ptr<TApplication> MakeWin32Application(int AppIconId);

// The application's hidden top-level window (the one the hooks listen on).
HWND AppWindowHandle();
// The platform window of a form or control, or null while it has none.
HWND WindowHandle(const TControl& Control);

}  // namespace vantor
