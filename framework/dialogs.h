// The program's three message boxes, modal over the main window. While one is open the
// thread's messages, timer ticks and Synchronize calls go on being served.
#pragma once

#include <string>

namespace vantor {

// Caption "Error", the error icon, the text (a line break starts a new line), one button
// "Cancel".
void ErrorBox(const std::string& Text);

// Caption = the application title, no icon, one button "OK".
void NoticeBox(const std::string& Text);

// The report of an uncaught failure: caption = application title, error icon, one "OK".
// The text is shown as given (TApplication::HandleException applies the full-stop rule).
void FailureBox(const std::string& Text);

}  // namespace vantor
