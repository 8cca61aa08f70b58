// The firmware version as the window shows it.
#pragma once

#include <cstdint>
#include <string>

namespace vantor {

// Tenths with one decimal and a full stop whatever the locale: 12 -> "1.2", 255 -> "25.5".
std::string VersionText(std::uint8_t Tenths);

}  // namespace vantor
