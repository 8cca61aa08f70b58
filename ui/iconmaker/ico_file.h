// Windows icon files (.ico): one 32-bit image with alpha per size, stored as a DIB with
// its transparency mask, which every Windows version reads.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/svg/svg_render.h"

namespace vantor {

// Images of at most 256 pixels a side, in the order they appear in the file.
std::vector<std::uint8_t> BuildIco(const std::vector<TSvgImage>& Images);

// The directory of an icon file, for checking one: size, bit depth and where each image
// lies. Empty when the bytes are no icon file or an entry points outside them.
struct TIcoEntry {
  int Width = 0, Height = 0, BitCount = 0;
  std::uint32_t Size = 0, Offset = 0;
};
std::vector<TIcoEntry> ReadIcoDirectory(const std::vector<std::uint8_t>& File);

// The image of one entry as 0xAARRGGBB rows top to bottom (DIB entries of 32 bits only).
TSvgImage ReadIcoImage(const std::vector<std::uint8_t>& File, const TIcoEntry& Entry);

// The sizes the program's icon carries.
inline const std::vector<int>& AppIconSizes() {
  static const std::vector<int> Sizes = {16, 32, 48, 64, 128};
  return Sizes;
}

}  // namespace vantor
