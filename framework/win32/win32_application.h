// The Win32 platform of the framework: the entry of the program makes its application
// object here. The handle accessors serve the Windows tests and platform glue.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/application.h"
#include "framework/controls.h"

namespace vantor {

// The dialog that the message boxes are built with.
enum TBoxDialog : std::uint8_t {
  bdTaskDialog,  // a task dialog where the common controls 6 offer one, else the fallback
  bdFallback     // always the window built in code, as where task dialogs are missing
};

// What the program that starts chooses for its application object.
struct TWin32AppOptions {
  int AppIconId = 0;  // the program's icon resource, which its windows show; 0 for none
  TBoxDialog BoxDialog = bdTaskDialog;
};

// The application object on real windows (it becomes Application()).
std::unique_ptr<TApplication> MakeWin32Application(const TWin32AppOptions& Options);

// The failure box for a failure while no application object exists (before it is made):
// the system's own message box, with the application title, the error icon and OK.
void ShowFailureWithoutApplication(const std::string& Text);

// The application's hidden top-level window (the one the hooks listen on).
HWND AppWindowHandle();
// The platform window of a form or control, or null while it has none.
HWND WindowHandle(const TControl& Control);

}  // namespace vantor
