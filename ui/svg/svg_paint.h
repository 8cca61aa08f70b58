// What a paint gives at one point: a colour with opacity, from a solid colour or from a
// linear or radial gradient (pad spread, stops interpolated in sRGB).
#pragma once

#include "ui/svg/svg_document.h"

namespace vantor {

struct TSvgRgba {
  double R = 0, G = 0, B = 0, A = 0;  // 0..1, not premultiplied
};

struct TSvgBox {
  double X = 0, Y = 0, Width = 0, Height = 0;
};

// The colour of a gradient at a point in user units; Box is the shape's bounding box.
TSvgRgba SvgGradientColor(const TSvgGradient& G, const TSvgBox& Box, double X, double Y);

// The gradient parameter (0..1 after padding) at a point given in the gradient's own units.
double SvgLinearParameter(const TSvgGradient& G, double U, double V);
double SvgRadialParameter(const TSvgGradient& G, double U, double V);

TSvgRgba SvgStopColor(const TSvgGradient& G, double T);

}  // namespace vantor
