#include "ui/svg/svg_paint.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantor {

namespace {

TSvgGradient Radial(double Cx, double Cy, double R, double Fx, double Fy) {
  TSvgGradient G;
  G.Kind = TSvgGradientKind::Radial;
  G.Cx = Cx;
  G.Cy = Cy;
  G.R = R;
  G.Fx = Fx;
  G.Fy = Fy;
  G.Stops = {{0, {0, 0, 0}, 1}, {1, {255, 255, 255}, 1}};
  return G;
}

TEST(SvgRadialGradient, ConcentricParameterIsTheDistanceOverTheRadius) {
  const TSvgGradient G = Radial(0.5, 0.5, 0.5, 0.5, 0.5);
  EXPECT_DOUBLE_EQ(SvgRadialParameter(G, 0.5, 0.5), 0);
  EXPECT_NEAR(SvgRadialParameter(G, 0.75, 0.5), 0.5, 1e-12);
  EXPECT_NEAR(SvgRadialParameter(G, 0.5, 0.0), 1, 1e-12);
  EXPECT_DOUBLE_EQ(SvgRadialParameter(G, 2, 2), 1);  // pad beyond the circle
}

TEST(SvgRadialGradient, FocalPointIsZeroAndTheCircleIsOne) {
  const TSvgGradient G = Radial(0.35, 0.7, 0.65, 0.3, 0.75);
  EXPECT_DOUBLE_EQ(SvgRadialParameter(G, 0.3, 0.75), 0);
  for (double A = 0; A < 6.28; A += 0.5) {
    const double U = 0.35 + 0.65 * std::cos(A), V = 0.7 + 0.65 * std::sin(A);
    EXPECT_NEAR(SvgRadialParameter(G, U, V), 1, 1e-9) << A;
  }
  // Half-way from the focal point to the circle, along any ray, is one half.
  const double Qu = 0.35 + 0.65, Qv = 0.7;
  EXPECT_NEAR(SvgRadialParameter(G, (0.3 + Qu) / 2, (0.75 + Qv) / 2), 0.5, 1e-9);
}

TEST(SvgRadialGradient, OffCentreFocusMakesTheNearSideSteeper) {
  const TSvgGradient G = Radial(0.5, 0.5, 0.5, 0.3, 0.5);
  // Same distance from the focal point, towards the near and the far edge.
  EXPECT_GT(SvgRadialParameter(G, 0.2, 0.5), SvgRadialParameter(G, 0.4, 0.5));
}

TEST(SvgRadialGradient, FocalPointOutsideTheCircleIsPulledOntoIt) {
  const TSvgGradient G = Radial(0.5, 0.5, 0.25, 2.0, 0.5);
  const double T = SvgRadialParameter(G, 0.5, 0.5);
  EXPECT_TRUE(std::isfinite(T));
  EXPECT_GE(T, 0);
  EXPECT_LE(T, 1);
}

TEST(SvgLinearGradient, ProjectsOntoTheVectorAndPads) {
  TSvgGradient G;
  G.X1 = 0;
  G.Y1 = 0;
  G.X2 = 0;
  G.Y2 = 1;
  EXPECT_DOUBLE_EQ(SvgLinearParameter(G, 0.9, 0.25), 0.25);
  EXPECT_DOUBLE_EQ(SvgLinearParameter(G, 0, -3), 0);
  EXPECT_DOUBLE_EQ(SvgLinearParameter(G, 0, 3), 1);
}

TEST(SvgGradientStops, InterpolatesBetweenNeighboursAndHoldsTheEnds) {
  TSvgGradient G;
  G.Stops = {{0.2, {100, 0, 0}, 1}, {0.6, {200, 40, 0}, 0.5}, {0.6, {0, 0, 255}, 1}};
  EXPECT_NEAR(SvgStopColor(G, 0).R * 255, 100, 1e-9);
  EXPECT_NEAR(SvgStopColor(G, 0.4).R * 255, 150, 1e-9);
  EXPECT_NEAR(SvgStopColor(G, 0.4).G * 255, 20, 1e-9);
  EXPECT_NEAR(SvgStopColor(G, 0.4).A, 0.75, 1e-9);
  EXPECT_NEAR(SvgStopColor(G, 0.61).B * 255, 255, 1e-9);  // a hard step at equal offsets
  EXPECT_NEAR(SvgStopColor(G, 1).B * 255, 255, 1e-9);
}

TEST(SvgGradientColor, BoundingBoxUnitsFollowTheShape) {
  TSvgGradient G;
  G.X2 = 1;
  G.Stops = {{0, {0, 0, 0}, 1}, {1, {255, 255, 255}, 1}};
  const TSvgBox Box{100, 10, 50, 20};
  EXPECT_NEAR(SvgGradientColor(G, Box, 125, 15).R, 0.5, 1e-9);
  EXPECT_NEAR(SvgGradientColor(G, Box, 100, 15).R, 0, 1e-9);
  EXPECT_EQ(SvgGradientColor(G, TSvgBox{0, 0, 0, 5}, 0, 0).A, 0);  // empty box: nothing
}

}  // namespace

}  // namespace vantor
