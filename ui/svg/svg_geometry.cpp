#include "ui/svg/svg_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantor {

namespace {

// Enough segments that a chord strays less than a twentieth of a pixel from the arc.
int ArcSegments(double Radius, double Sweep) {
  if (Radius <= 0.05)
    return 1;
  const double Step = 2 * std::acos(std::max(-1.0, 1 - 0.05 / Radius));
  return std::clamp(static_cast<int>(std::ceil(Sweep / Step)), 2, 256);
}

void AddArc(TSvgContour& C, double Cx, double Cy, double Rx, double Ry, double From, double Sweep) {
  if (Rx <= 0 || Ry <= 0) {
    C.push_back({Cx, Cy});
    return;
  }
  const int N = ArcSegments(std::max(Rx, Ry), Sweep);
  // Vertices slightly outside the arc, so that the polygon's area equals the curve's.
  const double Step = Sweep / N;
  const double K = std::sqrt(Step / std::sin(Step));
  for (int I = 0; I <= N; ++I) {
    const double A = From + Step * I;
    C.push_back({Cx + K * Rx * std::cos(A), Cy + K * Ry * std::sin(A)});
  }
}

// Pixel-space rounded rectangle, clockwise on screen.
TSvgContour RoundedRect(double X, double Y, double W, double H, double Rx, double Ry) {
  Rx = std::clamp(Rx, 0.0, W / 2);
  Ry = std::clamp(Ry, 0.0, H / 2);
  constexpr double Quarter = std::numbers::pi / 2;
  TSvgContour C;
  AddArc(C, X + W - Rx, Y + Ry, Rx, Ry, -Quarter, Quarter);
  AddArc(C, X + W - Rx, Y + H - Ry, Rx, Ry, 0, Quarter);
  AddArc(C, X + Rx, Y + H - Ry, Rx, Ry, Quarter, Quarter);
  AddArc(C, X + Rx, Y + Ry, Rx, Ry, 2 * Quarter, Quarter);
  return C;
}

TSvgContour Ellipse(double Cx, double Cy, double Rx, double Ry) {
  TSvgContour C;
  AddArc(C, Cx, Cy, Rx, Ry, 0, 2 * std::numbers::pi);
  C.pop_back();  // the closing point repeats the first
  return C;
}

// The shape in pixels: a rect as its box and radii, an ellipse as centre and radii.
struct TPixelShape {
  double X, Y, W, H, Rx, Ry;
};

TPixelShape ToPixels(const TSvgShape& S, const TSvgTransform& T) {
  const double Sx = std::abs(T.ScaleX), Sy = std::abs(T.ScaleY);
  return {(S.X - T.OffsetX) * T.ScaleX,
          (S.Y - T.OffsetY) * T.ScaleY,
          S.Width * Sx,
          S.Height * Sy,
          S.Rx * Sx,
          S.Ry * Sy};
}

TSvgContour Outline(const TSvgShape& Shape, const TPixelShape& P, double Grow) {
  if (Shape.Kind == TSvgShapeKind::Rect) {
    const double W = P.W + 2 * Grow, H = P.H + 2 * Grow;
    if (W <= 0 || H <= 0)
      return {};
    // Square corners stay square (a mitre join); round ones follow the offset.
    const double Rx = P.Rx > 0 ? std::max(0.0, P.Rx + Grow) : 0;
    const double Ry = P.Ry > 0 ? std::max(0.0, P.Ry + Grow) : 0;
    return RoundedRect(P.X - Grow, P.Y - Grow, W, H, Rx, Ry);
  }
  const double Rx = P.Rx + Grow, Ry = P.Ry + Grow;
  if (Rx <= 0 || Ry <= 0)
    return {};
  return Ellipse(P.X, P.Y, Rx, Ry);
}

}  // namespace

std::vector<TSvgContour> SvgFillOutline(const TSvgShape& Shape, const TSvgTransform& T) {
  TSvgContour C = Outline(Shape, ToPixels(Shape, T), 0);
  if (C.empty())
    return {};
  return {std::move(C)};
}

std::vector<TSvgContour> SvgStrokeOutline(const TSvgShape& Shape, const TSvgTransform& T) {
  const double Half = Shape.StrokeWidth * std::sqrt(std::abs(T.ScaleX * T.ScaleY)) / 2;
  if (Half <= 0)
    return {};
  const TPixelShape P = ToPixels(Shape, T);
  std::vector<TSvgContour> Ring;
  if (TSvgContour Outer = Outline(Shape, P, Half); !Outer.empty())
    Ring.push_back(std::move(Outer));
  if (TSvgContour Inner = Outline(Shape, P, -Half); !Inner.empty())
    Ring.push_back(std::move(Inner));
  return Ring;
}

}  // namespace vantor
