// The parsed form of an SVG document, reduced to what the device picture uses: basic
// shapes with a solid or gradient fill and a solid stroke.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

struct TSvgColor {
  std::uint8_t R = 0, G = 0, B = 0;
  bool operator==(const TSvgColor&) const = default;
};

struct TSvgStop {
  double Offset = 0;  // 0..1, never below the previous stop's offset
  TSvgColor Color;
  double Opacity = 1;
};

enum class TSvgGradientKind { Linear, Radial };

struct TSvgGradient {
  std::string Id;
  TSvgGradientKind Kind = TSvgGradientKind::Linear;
  bool UserSpace = false;  // gradientUnits="userSpaceOnUse"; otherwise the bounding box
  // Linear: the gradient vector. Radial: centre, radius and focal point. In bounding-box
  // units (fractions) unless UserSpace.
  double X1 = 0, Y1 = 0, X2 = 1, Y2 = 0;
  double Cx = 0.5, Cy = 0.5, R = 0.5, Fx = 0.5, Fy = 0.5;
  std::vector<TSvgStop> Stops;
};

enum class TSvgPaintKind { None, Color, Gradient };

struct TSvgPaint {
  TSvgPaintKind Kind = TSvgPaintKind::None;
  TSvgColor Color;
  std::string GradientId;  // url(#id)
};

enum class TSvgShapeKind { Rect, Circle, Ellipse };

struct TSvgShape {
  TSvgShapeKind Kind = TSvgShapeKind::Rect;
  // Rect: X, Y, Width, Height, Rx, Ry. Circle and ellipse: centre X, Y and radii Rx, Ry.
  double X = 0, Y = 0, Width = 0, Height = 0, Rx = 0, Ry = 0;
  TSvgPaint Fill;
  TSvgPaint Stroke;
  double StrokeWidth = 1;
  double FillOpacity = 1;
  double StrokeOpacity = 1;
  double Opacity = 1;
};

struct TSvgDocument {
  bool HasRoot = false;  // an <svg> element was found
  double Width = 0, Height = 0;
  double ViewX = 0, ViewY = 0, ViewWidth = 0, ViewHeight = 0;  // 0 size: no view box
  std::vector<TSvgGradient> Gradients;
  std::vector<TSvgShape> Shapes;  // in document (painting) order

  const TSvgGradient* FindGradient(const std::string& Id) const {
    for (const auto& G : Gradients)
      if (G.Id == Id)
        return &G;
    return nullptr;
  }
};

}  // namespace vantor
