// The program's message boxes on Windows: a task dialog with one custom button where the
// common controls 6 offer it, else a small window built here with the same caption, icon,
// text and button. Both are modal over Owner and centred on the work area of its monitor;
// the thread's messages (timers, cross-thread calls) go on being dispatched meanwhile.
#pragma once

#include <windows.h>

#include <string>

namespace vantor {

void ShowMessageBox(HWND Owner, bool ErrorIcon, const std::string& Caption, const std::string& Text,
                    const std::string& Button);

// The two ways, on their own (the Windows tests check each).
bool ShowTaskDialogBox(HWND Owner, bool ErrorIcon, const std::string& Caption,
                       const std::string& Text, const std::string& Button);  // false: none
void ShowFallbackBox(HWND Owner, bool ErrorIcon, const std::string& Caption,
                     const std::string& Text, const std::string& Button);

// The id of the box's one button.
constexpr int BoxButtonId = 100;

}  // namespace vantor
