#include "serial/win32/win32_text.h"

#include "serial/win32/windows_api.h"

namespace vantor {

std::wstring Utf8ToWide(const std::string& Text) {
  if (Text.empty()) {
    return {};
  }
  const int Size = static_cast<int>(Text.size());
  const int Length = ::MultiByteToWideChar(CP_UTF8, 0, Text.data(), Size, nullptr, 0);
  std::wstring Wide(static_cast<std::size_t>(Length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, Text.data(), Size, Wide.data(), Length);
  return Wide;
}

std::string WideToUtf8(const wchar_t* Text, int Length) {
  if (Length <= 0) {
    return {};
  }
  const int Size = ::WideCharToMultiByte(CP_UTF8, 0, Text, Length, nullptr, 0, nullptr, nullptr);
  std::string Narrow(static_cast<std::size_t>(Size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, Text, Length, Narrow.data(), Size, nullptr, nullptr);
  return Narrow;
}

}  // namespace vantor
