// Anti-aliased polygon coverage: closed contours in pixel coordinates become a coverage
// value (0..1) per pixel. Each pixel row is sampled on 16 sub-scanlines; along a
// sub-scanline the covered length of every pixel is exact, so edges are smooth both ways.
#pragma once

#include <vector>

namespace vantor {

struct TSvgPoint {
  double X = 0, Y = 0;
};
using TSvgContour = std::vector<TSvgPoint>;  // closed: the last point joins the first

enum class TSvgFillRule { NonZero, EvenOdd };

class TSvgCoverage {
 public:
  TSvgCoverage(int Width, int Height);

  // Replaces the mask with the coverage of the contours; rows outside [FirstRow, LastRow]
  // are left at zero.
  void Fill(const std::vector<TSvgContour>& Contours, TSvgFillRule Rule);

  int Width() const { return FWidth; }
  int FirstRow() const { return FFirstRow; }
  int LastRow() const { return FLastRow; }  // below FirstRow when nothing is covered
  float At(int X, int Y) const { return FValues[static_cast<std::size_t>(Y) * FWidth + X]; }

  static constexpr int kSubScanlines = 16;

 private:
  struct TEdge {
    double X0, Y0, X1, Y1;  // Y0 < Y1
    int Winding;            // +1 downwards in the contour's direction, -1 upwards
  };
  void Clear();
  void AddSpan(float* Row, double From, double To, double Weight) const;

  int FWidth, FHeight;
  int FFirstRow = 0, FLastRow = -1;
  std::vector<float> FValues;
  std::vector<TEdge> FEdges;
  std::vector<std::pair<double, int>> FCrossings;
};

}  // namespace vantor
