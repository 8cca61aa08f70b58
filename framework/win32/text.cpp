#include "framework/win32/text.h"

#include <windows.h>

namespace vantor {

std::wstring Widen(const std::string& Text) {
  if (Text.empty())
    return std::wstring();
  const int Size = static_cast<int>(Text.size());
  const int Length = ::MultiByteToWideChar(CP_UTF8, 0, Text.data(), Size, nullptr, 0);
  std::wstring Result(static_cast<std::size_t>(Length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, Text.data(), Size, Result.data(), Length);
  return Result;
}

std::string Narrow(const std::wstring& Text) {
  if (Text.empty())
    return std::string();
  const int Size = static_cast<int>(Text.size());
  const int Length =
      ::WideCharToMultiByte(CP_UTF8, 0, Text.data(), Size, nullptr, 0, nullptr, nullptr);
  std::string Result(static_cast<std::size_t>(Length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, Text.data(), Size, Result.data(), Length, nullptr, nullptr);
  return Result;
}

}  // namespace vantor
