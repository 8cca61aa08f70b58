#include "controller/version_text.h"

namespace vantor {

std::string VersionText(std::uint8_t Tenths) {
  // Integers only: a locale's decimal separator must not leak in.
  return std::to_string(Tenths / 10) + "." + std::to_string(Tenths % 10);
}

}  // namespace vantor
