// The one UTF-8 / UTF-16 conversion of the project. The program's texts are UTF-8; Windows
// keeps its texts in UTF-16. A malformed sequence becomes U+FFFD rather than failing.
#pragma once

#include <string>
#include <string_view>

namespace vantor {

std::string ToUtf8(std::u16string_view Text);
std::u16string ToUtf16(std::string_view Text);

// The same at the edge of the Windows API, whose wchar_t is a UTF-16 unit (Windows only:
// defined in base/win32/wide_text.cpp).
std::wstring Widen(std::string_view Text);
std::string Narrow(std::wstring_view Text);

}  // namespace vantor
