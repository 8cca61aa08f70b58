// The one conversion between the framework's UTF-8 strings and the API's UTF-16.
#pragma once

#include <string>

namespace vantor {

std::wstring Widen(const std::string& Text);
std::string Narrow(const std::wstring& Text);

}  // namespace vantor
