#include <cstring>

#include "base/system_error.h"

namespace vantor {

std::string SystemErrorText(std::uint32_t Code) {
  char Text[256] = {};
  // The GNU strerror_r: it returns the text, which need not be in the buffer.
  return ::strerror_r(static_cast<int>(Code), Text, sizeof Text);
}

}  // namespace vantor
