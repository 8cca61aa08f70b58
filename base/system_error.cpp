#include "base/system_error.h"

namespace vantor {

std::string TrimSystemText(const std::string& Text) {
  std::size_t End = Text.size();
  while (End > 0) {
    const auto Ch = static_cast<unsigned char>(Text[End - 1]);
    if (Ch > ' ' && Ch != '.')
      break;
    --End;
  }
  return Text.substr(0, End);
}

}  // namespace vantor
