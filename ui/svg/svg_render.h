// Draws a parsed SVG document into a 32-bit picture: 0xAARRGGBB per pixel, rows top to
// bottom, straight (not premultiplied) alpha, the layout TBitmap32 uses.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ui/svg/svg_document.h"

namespace vantor {

struct TSvgImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;
};

struct TSvgRenderOptions {
  // Output size in pixels; 0 takes the document's width or height. The view box is
  // stretched onto it.
  int Width = 0;
  int Height = 0;
  // Opaque background colour 0xRRGGBB below the picture; none leaves it transparent.
  std::optional<std::uint32_t> Background;
};

// Pictures larger than this on a side are not drawn (an empty image comes back).
constexpr int kSvgMaxImageSide = 4096;

TSvgImage RenderSvg(const TSvgDocument& Doc, const TSvgRenderOptions& Options = {});

}  // namespace vantor
