#include "ui/svg/svg_raster.h"

#include <gtest/gtest.h>

#include "tests/ui/pixel.h"
#include "ui/svg/svg_parser.h"
#include "ui/svg/svg_render.h"

namespace vantor {

namespace {

TSvgContour Box(double X0, double Y0, double X1, double Y1) {
  return {{X0, Y0}, {X1, Y0}, {X1, Y1}, {X0, Y1}};
}

TEST(SvgCoverage, WholePixelsAreFullAndOutsideIsEmpty) {
  TSvgCoverage C(8, 8);
  C.Fill({Box(2, 2, 5, 4)}, TSvgFillRule::NonZero);
  EXPECT_FLOAT_EQ(C.At(2, 2), 1);
  EXPECT_FLOAT_EQ(C.At(4, 3), 1);
  EXPECT_FLOAT_EQ(C.At(5, 3), 0);
  EXPECT_FLOAT_EQ(C.At(1, 3), 0);
  EXPECT_EQ(C.FirstRow(), 2);
}

TEST(SvgCoverage, PartialPixelsGetTheirCoveredArea) {
  TSvgCoverage C(8, 8);
  C.Fill({Box(1.25, 1.5, 3.5, 3)}, TSvgFillRule::NonZero);
  EXPECT_NEAR(C.At(1, 2), 0.75, 1e-6);  // horizontal: exact
  EXPECT_NEAR(C.At(3, 2), 0.5, 1e-6);
  EXPECT_NEAR(C.At(2, 1), 0.5, 1.0 / 16);  // vertical: in sixteenths
  EXPECT_NEAR(C.At(1, 1), 0.375, 1.0 / 16);
}

TEST(SvgCoverage, DiagonalEdgeCoversHalfOfEachPixelOnIt) {
  TSvgCoverage C(4, 4);
  C.Fill({{{0, 0}, {4, 4}, {0, 4}}}, TSvgFillRule::NonZero);
  for (int I = 0; I < 4; ++I)
    EXPECT_NEAR(C.At(I, I), 0.5, 0.02) << I;
  EXPECT_FLOAT_EQ(C.At(0, 3), 1);
  EXPECT_FLOAT_EQ(C.At(3, 0), 0);
}

TEST(SvgCoverage, FillRulesDifferOnANestedContourOfTheSameDirection) {
  const std::vector<TSvgContour> Nested = {Box(0, 0, 6, 6), Box(2, 2, 4, 4)};
  TSvgCoverage C(6, 6);
  C.Fill(Nested, TSvgFillRule::NonZero);
  EXPECT_FLOAT_EQ(C.At(3, 3), 1);
  C.Fill(Nested, TSvgFillRule::EvenOdd);
  EXPECT_FLOAT_EQ(C.At(3, 3), 0);
  EXPECT_FLOAT_EQ(C.At(1, 1), 1);
}

TEST(SvgCoverage, RefillingForgetsTheEarlierShape) {
  TSvgCoverage C(6, 6);
  C.Fill({Box(0, 0, 6, 2)}, TSvgFillRule::NonZero);
  C.Fill({Box(0, 4, 6, 6)}, TSvgFillRule::NonZero);
  EXPECT_FLOAT_EQ(C.At(1, 1), 0);
  EXPECT_FLOAT_EQ(C.At(1, 5), 1);
}

TEST(SvgCoverage, ContoursFarOutsideTheMaskAreClipped) {
  TSvgCoverage C(4, 4);
  C.Fill({Box(-1e6, -1e6, 1e6, 1e6)}, TSvgFillRule::NonZero);
  EXPECT_FLOAT_EQ(C.At(0, 0), 1);
  EXPECT_FLOAT_EQ(C.At(3, 3), 1);
  C.Fill({Box(10, 10, 20, 20)}, TSvgFillRule::NonZero);
  EXPECT_LT(C.LastRow(), C.FirstRow());
}

TEST(SvgRender, CompositesStraightAlphaOverTransparency) {
  const TSvgImage I =
      RenderSvg(ParseSvg("<svg width='4' height='4'><rect width='4' height='4' fill='#ff0000' "
                         "fill-opacity='0.5'/><rect x='2' width='2' height='4' fill='#0000ff' "
                         "opacity='0.5'/></svg>"));
  ASSERT_EQ(I.Width, 4);
  // Not premultiplied: half-transparent pure red keeps its full red channel.
  EXPECT_TRUE(Near(PixelAt(I, 0, 0), 0x80FF0000, 1));
  // Blue at 50% over red at 50%: alpha 0.75, colour 2/3 blue and 1/3 red.
  EXPECT_TRUE(Near(PixelAt(I, 3, 0), 0xBF5500AA, 1));
}

TEST(SvgRender, OpaqueBackgroundUnderAnAntiAliasedEdge) {
  TSvgRenderOptions O;
  O.Background = 0xFFFFFF;
  const TSvgImage I = RenderSvg(
      ParseSvg("<svg width='4' height='1'><rect x='1.5' width='3' height='1'/></svg>"), O);
  EXPECT_EQ(PixelAt(I, 0, 0), 0xFFFFFFFFu);
  EXPECT_TRUE(Near(PixelAt(I, 1, 0), 0xFF808080, 1));
  EXPECT_EQ(PixelAt(I, 2, 0), 0xFF000000u);
}

TEST(SvgRender, StrokeIsCentredOnTheOutline) {
  const TSvgImage I = RenderSvg(
      ParseSvg("<svg width='10' height='10'><rect x='2' y='2' width='6' height='6' fill='none' "
               "stroke='#00ff00' stroke-width='2'/></svg>"));
  EXPECT_EQ(PixelAt(I, 1, 5), 0xFF00FF00u);  // outer half
  EXPECT_EQ(PixelAt(I, 2, 5), 0xFF00FF00u);  // inner half
  EXPECT_EQ(PixelAt(I, 3, 5), 0u);           // inside: no fill
  EXPECT_EQ(PixelAt(I, 0, 5), 0u);
  EXPECT_EQ(PixelAt(I, 1, 1), 0xFF00FF00u);  // a square corner stays square
}

TEST(SvgRender, ViewBoxScalesToTheRequestedSize) {
  TSvgRenderOptions O;
  O.Width = 40;
  O.Height = 40;
  const TSvgImage I =
      RenderSvg(ParseSvg("<svg width='4' height='4' viewBox='0 0 4 4'><rect x='1' y='1' width='1' "
                         "height='1' fill='#ffffff'/></svg>"),
                O);
  ASSERT_EQ(I.Width, 40);
  EXPECT_EQ(PixelAt(I, 10, 10), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(I, 19, 19), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(I, 20, 20), 0u);
  EXPECT_EQ(PixelAt(I, 9, 9), 0u);
}

TEST(SvgRender, CircleAreaMatchesItsRadius) {
  const TSvgImage I =
      RenderSvg(ParseSvg("<svg width='40' height='40'><circle cx='20' cy='20' r='10'/></svg>"));
  double Area = 0;
  for (std::uint32_t P : I.Pixels)
    Area += (P >> 24) / 255.0;
  EXPECT_NEAR(Area, 3.14159265 * 100, 1.0);
}

}  // namespace

}  // namespace vantor
