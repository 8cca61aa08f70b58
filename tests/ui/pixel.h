// Pixel helpers for the picture tests: channels of 0xAARRGGBB and a colour distance.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/svg/svg_render.h"

namespace vantor {

inline std::uint32_t PixelAt(const TSvgImage& I, int X, int Y) {
  return I.Pixels.at(static_cast<std::size_t>(Y) * I.Width + X);
}

inline int Channel(std::uint32_t P, int Shift) {
  return static_cast<int>((P >> Shift) & 0xFF);
}

inline std::string Hex(std::uint32_t P) {
  char Buf[16];
  std::snprintf(Buf, sizeof Buf, "%08X", static_cast<unsigned>(P));
  return Buf;
}

// Every channel, alpha included, within Tolerance of the expected 0xAARRGGBB.
inline ::testing::AssertionResult Near(std::uint32_t Actual, std::uint32_t Expected,
                                       int Tolerance) {
  for (int Shift : {24, 16, 8, 0}) {
    if (std::abs(Channel(Actual, Shift) - Channel(Expected, Shift)) > Tolerance)
      return ::testing::AssertionFailure()
             << "pixel " << Hex(Actual) << ", expected " << Hex(Expected) << " +-" << Tolerance;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace vantor
