// The text of a port entry: the port name, two blanks, the reduced friendly name.
#pragma once

#include <string>
#include <string_view>

namespace vantor {

std::u16string_view CutAtNul(std::u16string_view Text);

// Cut at the first NUL, then exactly seven characters deleted from the first "(COM" on (or
// up to the end when fewer remain). The fixed count is deliberate: "(COM3)" goes whole,
// "(COM12)" too, "(COM123)" leaves its ")", and text after "(COM3)" loses one character.
std::u16string ReduceFriendlyName(std::u16string_view FriendlyName);

// Both texts are cut at their first NUL; the entry is UTF-8.
std::string MakePortEntry(std::u16string_view PortName, std::u16string_view FriendlyName);

}  // namespace vantor
