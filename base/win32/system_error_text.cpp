#include <windows.h>

#include "base/system_error.h"
#include "base/utf.h"

namespace vantor {

std::string SystemErrorText(std::uint32_t Code) {
  wchar_t* Text = nullptr;
  const DWORD Length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, Code, 0, reinterpret_cast<wchar_t*>(&Text), 0, nullptr);
  if (Text == nullptr)
    return std::string();
  std::string Utf8 = Narrow(std::wstring_view(Text, Length));
  ::LocalFree(Text);
  return Utf8;
}

}  // namespace vantor
