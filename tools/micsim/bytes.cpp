#include "tools/micsim/bytes.h"

namespace vantor {

namespace micsim {

std::string Hex(const TBytes& Bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string Text;
  Text.reserve(Bytes.size() * 3);
  for (const std::uint8_t Byte : Bytes) {
    if (!Text.empty())
      Text += ' ';
    Text += kDigits[Byte >> 4];
    Text += kDigits[Byte & 0x0F];
  }
  return Text;
}

}  // namespace micsim

}  // namespace vantor
