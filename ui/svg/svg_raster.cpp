#include "ui/svg/svg_raster.h"

#include <algorithm>
#include <cmath>

namespace vantor {

TSvgCoverage::TSvgCoverage(int Width, int Height)
    : FWidth(std::max(0, Width)),
      FHeight(std::max(0, Height)),
      FValues(static_cast<std::size_t>(FWidth) * FHeight, 0.0f) {}

void TSvgCoverage::Clear() {
  for (int Y = FFirstRow; Y <= FLastRow; ++Y)
    std::fill_n(FValues.begin() + static_cast<std::ptrdiff_t>(Y) * FWidth, FWidth, 0.0f);
  FFirstRow = 0;
  FLastRow = -1;
}

void TSvgCoverage::AddSpan(float* Row, double From, double To, double Weight) const {
  From = std::clamp(From, 0.0, static_cast<double>(FWidth));
  To = std::clamp(To, 0.0, static_cast<double>(FWidth));
  if (From >= To)
    return;
  const int A = static_cast<int>(From);
  const int B = static_cast<int>(To);
  if (A == B) {
    Row[A] += static_cast<float>((To - From) * Weight);
    return;
  }
  Row[A] += static_cast<float>((A + 1 - From) * Weight);
  for (int X = A + 1; X < B; ++X)
    Row[X] += static_cast<float>(Weight);
  if (B < FWidth)
    Row[B] += static_cast<float>((To - B) * Weight);
}

void TSvgCoverage::Fill(const std::vector<TSvgContour>& Contours, TSvgFillRule Rule) {
  Clear();
  FEdges.clear();
  double MinY = HUGE_VAL, MaxY = -HUGE_VAL;
  for (const auto& C : Contours) {
    for (std::size_t I = 0; I < C.size(); ++I) {
      const TSvgPoint& P = C[I];
      const TSvgPoint& Q = C[(I + 1) % C.size()];
      if (!std::isfinite(P.X) || !std::isfinite(P.Y) || !std::isfinite(Q.X) ||
          !std::isfinite(Q.Y) || P.Y == Q.Y)
        continue;  // horizontal edges never cross a scanline
      if (P.Y < Q.Y)
        FEdges.push_back({P.X, P.Y, Q.X, Q.Y, 1});
      else
        FEdges.push_back({Q.X, Q.Y, P.X, P.Y, -1});
      MinY = std::min({MinY, P.Y, Q.Y});
      MaxY = std::max({MaxY, P.Y, Q.Y});
    }
  }
  if (FEdges.empty() || FWidth == 0)
    return;
  const int First = static_cast<int>(std::max(0.0, std::floor(MinY)));
  const int Last = static_cast<int>(std::min(FHeight - 1.0, std::floor(MaxY)));
  if (First > Last)
    return;
  FFirstRow = First;
  FLastRow = Last;
  constexpr double Weight = 1.0 / kSubScanlines;
  for (int Y = First; Y <= Last; ++Y) {
    float* Row = FValues.data() + static_cast<std::ptrdiff_t>(Y) * FWidth;
    for (int S = 0; S < kSubScanlines; ++S) {
      const double Ys = Y + (S + 0.5) * Weight;
      FCrossings.clear();
      for (const TEdge& E : FEdges) {
        if (Ys < E.Y0 || Ys >= E.Y1)
          continue;
        const double X = E.X0 + (Ys - E.Y0) * (E.X1 - E.X0) / (E.Y1 - E.Y0);
        FCrossings.emplace_back(X, E.Winding);
      }
      std::sort(FCrossings.begin(), FCrossings.end());
      int Winding = 0;
      for (std::size_t I = 0; I + 1 < FCrossings.size(); ++I) {
        Winding += FCrossings[I].second;
        const bool Inside = Rule == TSvgFillRule::NonZero ? Winding != 0 : (Winding & 1) != 0;
        if (Inside)
          AddSpan(Row, FCrossings[I].first, FCrossings[I + 1].first, Weight);
      }
    }
    for (int X = 0; X < FWidth; ++X)
      Row[X] = std::min(Row[X], 1.0f);
  }
}

}  // namespace vantor
