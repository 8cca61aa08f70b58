// UTF-8 to and from the Windows API's wide strings, through the portable conversion.
#include "base/utf.h"

namespace vantor {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t holds UTF-16 units on Windows");

std::wstring Widen(std::string_view Text) {
  const std::u16string Wide = ToUtf16(Text);
  return std::wstring(Wide.begin(), Wide.end());
}

std::string Narrow(std::wstring_view Text) {
  return ToUtf8(std::u16string(Text.begin(), Text.end()));
}

}  // namespace vantor
