// How the Linux program shows a failure while there is no application to show it in its
// failure box: on standard error, after the program's name, as a command does.
#pragma once

#include <string>

namespace vantor {

extern const char* const kLinuxProgramName;  // "vantor-mic-settings"

void ShowFailureOnStandardError(const std::string& Text);

}  // namespace vantor
