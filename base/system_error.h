// The system's words for an error code, the one home of strerror and FormatMessageW.
#pragma once

#include <cstdint>
#include <string>

namespace vantor {

// The text for an errno value (Linux) or a GetLastError code (Windows), in UTF-8, as the
// system gives it (Windows ends its texts with a full stop and a line break). Defined per
// platform: base/posix/system_error_text.cpp, base/win32/system_error_text.cpp.
std::string SystemErrorText(std::uint32_t Code);

// The text without its trailing blanks, control characters and periods, to stand inside a
// sentence.
std::string TrimSystemText(const std::string& Text);

}  // namespace vantor
