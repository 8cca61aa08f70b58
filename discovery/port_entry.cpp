#include "discovery/port_entry.h"

#include "base/utf.h"

namespace vantor {

std::u16string_view CutAtNul(std::u16string_view Text) {
  return Text.substr(0, Text.find(u'\0'));
}

std::u16string ReduceFriendlyName(std::u16string_view FriendlyName) {
  std::u16string Text(CutAtNul(FriendlyName));
  const auto At = Text.find(u"(COM");
  if (At != std::u16string::npos)
    Text.erase(At, 7);  // erase stops at the end by itself
  return Text;
}

std::string MakePortEntry(std::u16string_view PortName, std::u16string_view FriendlyName) {
  return ToUtf8(CutAtNul(PortName)) + "  " + ToUtf8(ReduceFriendlyName(FriendlyName));
}

}  // namespace vantor
