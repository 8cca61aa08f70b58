// Byte runs and their hex form, as the simulator logs them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

namespace micsim {

using TBytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kStart = 0xAA;
constexpr std::uint8_t kEnd = 0xBB;

// "AA 05 01 00 BB"
std::string Hex(const TBytes& Bytes);

}  // namespace micsim

}  // namespace vantor
