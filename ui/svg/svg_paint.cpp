#include "ui/svg/svg_paint.h"

#include <algorithm>
#include <cmath>

namespace vantor {

double SvgLinearParameter(const TSvgGradient& G, double U, double V) {
  const double Dx = G.X2 - G.X1, Dy = G.Y2 - G.Y1;
  const double Len2 = Dx * Dx + Dy * Dy;
  if (Len2 <= 0)
    return 1;  // a zero-length vector paints the last stop
  return std::clamp(((U - G.X1) * Dx + (V - G.Y1) * Dy) / Len2, 0.0, 1.0);
}

// The point lies on the circle of parameter t that the focal point F and the outer circle
// (C, R) span: P = F + t (Q - F) with Q on the outer circle along the ray from F through P.
double SvgRadialParameter(const TSvgGradient& G, double U, double V) {
  const double R = G.R;
  if (R <= 0)
    return 1;
  double Fx = G.Fx, Fy = G.Fy;
  // A focal point outside the circle is moved onto it (just inside, to keep the cone).
  const double Ex0 = Fx - G.Cx, Ey0 = Fy - G.Cy;
  const double FocalDistance = std::hypot(Ex0, Ey0);
  if (FocalDistance > R * 0.999) {
    const double K = R * 0.999 / FocalDistance;
    Fx = G.Cx + Ex0 * K;
    Fy = G.Cy + Ey0 * K;
  }
  const double Dx = U - Fx, Dy = V - Fy;
  const double Dd = Dx * Dx + Dy * Dy;
  if (Dd <= 0)
    return 0;
  const double Ex = Fx - G.Cx, Ey = Fy - G.Cy;
  const double Ed = Ex * Dx + Ey * Dy;
  const double Ee = Ex * Ex + Ey * Ey - R * R;  // negative: F is inside the circle
  // |E + s D| = R for the s > 0 at which the ray meets the circle; t = 1 / s.
  const double S = (-Ed + std::sqrt(std::max(0.0, Ed * Ed - Dd * Ee))) / Dd;
  if (S <= 0)
    return 1;
  return std::clamp(1 / S, 0.0, 1.0);
}

TSvgRgba SvgStopColor(const TSvgGradient& G, double T) {
  const auto Rgba = [](const TSvgStop& S) {
    return TSvgRgba{S.Color.R / 255.0, S.Color.G / 255.0, S.Color.B / 255.0, S.Opacity};
  };
  if (G.Stops.empty())
    return {};
  if (T <= G.Stops.front().Offset)
    return Rgba(G.Stops.front());
  for (std::size_t I = 1; I < G.Stops.size(); ++I) {
    const TSvgStop& B = G.Stops[I];
    if (T > B.Offset)
      continue;
    const TSvgStop& A = G.Stops[I - 1];
    const double Span = B.Offset - A.Offset;
    const double K = Span > 0 ? (T - A.Offset) / Span : 1;
    const TSvgRgba Ca = Rgba(A), Cb = Rgba(B);
    return {Ca.R + (Cb.R - Ca.R) * K, Ca.G + (Cb.G - Ca.G) * K, Ca.B + (Cb.B - Ca.B) * K,
            Ca.A + (Cb.A - Ca.A) * K};
  }
  return Rgba(G.Stops.back());
}

TSvgRgba SvgGradientColor(const TSvgGradient& G, const TSvgBox& Box, double X, double Y) {
  double U = X, V = Y;
  if (!G.UserSpace) {
    if (Box.Width <= 0 || Box.Height <= 0)
      return {};  // no box: the gradient paints nothing
    U = (X - Box.X) / Box.Width;
    V = (Y - Box.Y) / Box.Height;
  }
  const double T = G.Kind == TSvgGradientKind::Linear ? SvgLinearParameter(G, U, V)
                                                      : SvgRadialParameter(G, U, V);
  return SvgStopColor(G, T);
}

}  // namespace vantor
