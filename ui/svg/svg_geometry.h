// Shapes as polygons in pixel coordinates: outlines for fills, rings for strokes.
#pragma once

#include <vector>

#include "ui/svg/svg_document.h"
#include "ui/svg/svg_raster.h"

namespace vantor {

// Maps user units to pixels: X' = (X - OffsetX) * ScaleX.
struct TSvgTransform {
  double OffsetX = 0, OffsetY = 0, ScaleX = 1, ScaleY = 1;
};

// The shape's filled area.
std::vector<TSvgContour> SvgFillOutline(const TSvgShape& Shape, const TSvgTransform& T);
// The area its stroke paints: the ring between the outline grown and shrunk by half the
// stroke width, to be filled with the even-odd rule.
std::vector<TSvgContour> SvgStrokeOutline(const TSvgShape& Shape, const TSvgTransform& T);

}  // namespace vantor
