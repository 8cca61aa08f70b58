// UTF-8 and UTF-16 conversions; a malformed sequence becomes U+FFFD rather than failing.
#pragma once

#include <string>
#include <string_view>

namespace vantor {

std::string ToUtf8(std::u16string_view Text);
std::u16string ToUtf16(std::string_view Text);

}  // namespace vantor
