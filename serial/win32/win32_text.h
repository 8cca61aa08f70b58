// UTF-8 and UTF-16 conversions at the edge of the Windows API.
#pragma once

#include <string>

namespace vantor {

std::wstring Utf8ToWide(const std::string& Text);
std::string WideToUtf8(const wchar_t* Text, int Length);

}  // namespace vantor
