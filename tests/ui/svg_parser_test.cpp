#include "ui/svg/svg_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "ui/picture/device_picture.h"

namespace vantor {

namespace {

int Count(const TSvgDocument& D, TSvgShapeKind Kind) {
  return static_cast<int>(std::count_if(D.Shapes.begin(), D.Shapes.end(),
                                        [&](const TSvgShape& S) { return S.Kind == Kind; }));
}

TEST(DevicePictureDocument, IsUtf8WithAnXmlDeclarationAndAboutFourAndAHalfKilobytes) {
  const std::string_view Svg = DevicePictureSvg();
  EXPECT_TRUE(Svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\""));
  EXPECT_GT(Svg.size(), 4000u);
  EXPECT_LT(Svg.size(), 5000u);
  EXPECT_TRUE(std::all_of(Svg.begin(), Svg.end(),
                          [](char C) { return static_cast<unsigned char>(C) < 0x80; }));
}

TEST(DevicePictureDocument, HasTheViewBoxAndSize) {
  const TSvgDocument D = ParseSvg(DevicePictureSvg());
  ASSERT_TRUE(D.HasRoot);
  EXPECT_EQ(D.Width, 250);
  EXPECT_EQ(D.Height, 166);
  EXPECT_EQ(D.ViewX, 0);
  EXPECT_EQ(D.ViewY, 0);
  EXPECT_EQ(D.ViewWidth, 250);
  EXPECT_EQ(D.ViewHeight, 166);
}

TEST(DevicePictureDocument, HasTwoPanelRectsFortyNineHolesAndSixEllipses) {
  const TSvgDocument D = ParseSvg(DevicePictureSvg());
  EXPECT_EQ(Count(D, TSvgShapeKind::Rect), 2);
  EXPECT_EQ(Count(D, TSvgShapeKind::Circle), 49);
  EXPECT_EQ(Count(D, TSvgShapeKind::Ellipse), 6);

  const TSvgShape& Fill = D.Shapes.at(0);
  EXPECT_EQ(Fill.Kind, TSvgShapeKind::Rect);
  EXPECT_EQ(Fill.Width, 250);
  EXPECT_EQ(Fill.Height, 166);
  EXPECT_EQ(Fill.Rx, 5);
  EXPECT_EQ(Fill.Ry, 5);
  EXPECT_EQ(Fill.Fill.Kind, TSvgPaintKind::Gradient);
  EXPECT_EQ(Fill.Fill.GradientId, "panelGradient");
  EXPECT_EQ(Fill.Stroke.Kind, TSvgPaintKind::None);

  const TSvgShape& Border = D.Shapes.at(1);
  EXPECT_EQ(Border.Fill.Kind, TSvgPaintKind::None);
  EXPECT_EQ(Border.Stroke.Kind, TSvgPaintKind::Color);
  EXPECT_EQ(Border.Stroke.Color, (TSvgColor{0xa8, 0xa8, 0xa6}));
  EXPECT_EQ(Border.StrokeWidth, 1);
}

TEST(DevicePictureDocument, GrilleRowsMatchTheHoleTable) {
  const std::map<int, std::set<int>> Rows = {
      {18, {89, 105, 120, 136, 151, 166}},          {28, {81, 97, 112, 127, 143, 158, 174}},
      {38, {72, 89, 105, 120, 135, 151, 166, 182}}, {48, {81, 97, 112, 127, 143, 158, 174}},
      {58, {72, 88, 105, 120, 135, 151, 167, 182}}, {68, {80, 96, 112, 127, 143, 159, 174}},
      {79, {88, 104, 120, 135, 151, 167}}};
  std::map<int, std::set<int>> Found;
  for (const TSvgShape& S : ParseSvg(DevicePictureSvg()).Shapes) {
    if (S.Kind != TSvgShapeKind::Circle)
      continue;
    EXPECT_EQ(S.Rx, 3);
    EXPECT_EQ(S.Fill.Color, (TSvgColor{0x15, 0x11, 0x0a}));
    Found[static_cast<int>(S.Y)].insert(static_cast<int>(S.X));
  }
  EXPECT_EQ(Found, Rows);
}

TEST(DevicePictureDocument, ButtonsAreABaseUnderADomeAtThreeCentres) {
  const TSvgDocument D = ParseSvg(DevicePictureSvg());
  std::vector<const TSvgShape*> E;
  for (const TSvgShape& S : D.Shapes)
    if (S.Kind == TSvgShapeKind::Ellipse)
      E.push_back(&S);
  ASSERT_EQ(E.size(), 6u);
  const double Centres[] = {39, 125, 211};
  for (std::size_t I = 0; I < 3; ++I) {
    const TSvgShape& Base = *E[2 * I];
    const TSvgShape& Dome = *E[2 * I + 1];
    EXPECT_EQ(Base.X, Centres[I]);
    EXPECT_EQ(Base.Y, 120);
    EXPECT_EQ(Base.Rx, 24);
    EXPECT_EQ(Base.Ry, 22);
    EXPECT_EQ(Base.Fill.GradientId, "blackBaseGradient");
    EXPECT_EQ(Dome.X, Centres[I]);
    EXPECT_EQ(Dome.Y, 116);
    EXPECT_EQ(Dome.Rx, 17);
    EXPECT_EQ(Dome.Ry, 15);
    EXPECT_EQ(Dome.Fill.GradientId, "buttonRedGradient");
  }
}

void ExpectStops(const TSvgGradient& G, std::vector<std::pair<double, TSvgColor>> Stops) {
  ASSERT_EQ(G.Stops.size(), Stops.size()) << G.Id;
  for (std::size_t I = 0; I < Stops.size(); ++I) {
    EXPECT_DOUBLE_EQ(G.Stops[I].Offset, Stops[I].first) << G.Id << " stop " << I;
    EXPECT_EQ(G.Stops[I].Color, Stops[I].second) << G.Id << " stop " << I;
  }
}

TEST(DevicePictureDocument, ThreeGradientsWithTheirGeometryAndStops) {
  const TSvgDocument D = ParseSvg(DevicePictureSvg());
  ASSERT_EQ(D.Gradients.size(), 3u);
  const TSvgGradient* Panel = D.FindGradient("panelGradient");
  const TSvgGradient* Base = D.FindGradient("blackBaseGradient");
  const TSvgGradient* Red = D.FindGradient("buttonRedGradient");
  ASSERT_TRUE(Panel && Base && Red);

  EXPECT_EQ(Panel->Kind, TSvgGradientKind::Linear);
  EXPECT_FALSE(Panel->UserSpace);
  EXPECT_EQ(Panel->X1, Panel->X2);  // vertical
  EXPECT_EQ(Panel->Y1, 0);
  EXPECT_EQ(Panel->Y2, 1);
  ExpectStops(*Panel,
              {{0, {0xe2, 0xe1, 0xd9}}, {0.5, {0xe3, 0xdf, 0xd7}}, {1, {0xe5, 0xe4, 0xdb}}});

  EXPECT_EQ(Base->Kind, TSvgGradientKind::Radial);
  EXPECT_DOUBLE_EQ(Base->Cx, 0.30);
  EXPECT_DOUBLE_EQ(Base->Cy, 0.70);
  EXPECT_DOUBLE_EQ(Base->R, 0.60);
  EXPECT_DOUBLE_EQ(Base->Fx, 0.25);
  EXPECT_DOUBLE_EQ(Base->Fy, 0.75);
  ExpectStops(*Base, {{0, {0x55, 0x50, 0x48}}, {0.5, {0x25, 0x22, 0x20}}, {1, {0x0a, 0x08, 0x06}}});

  EXPECT_EQ(Red->Kind, TSvgGradientKind::Radial);
  EXPECT_DOUBLE_EQ(Red->Cx, 0.35);
  EXPECT_DOUBLE_EQ(Red->Cy, 0.70);
  EXPECT_DOUBLE_EQ(Red->R, 0.65);
  EXPECT_DOUBLE_EQ(Red->Fx, 0.30);
  EXPECT_DOUBLE_EQ(Red->Fy, 0.75);
  ExpectStops(*Red, {{0, {0xff, 0x91, 0x72}},
                     {0.25, {0xea, 0x4d, 0x2e}},
                     {0.6, {0xe9, 0x40, 0x1e}},
                     {1, {0xc4, 0x2a, 0x10}}});
}

TEST(SvgParser, InheritsFillFromAGroupAndLetsStyleOverrideAttributes) {
  const TSvgDocument D = ParseSvg(
      "<svg width='10' height='10'><g fill='#010203' stroke='#0a0b0c' stroke-width='2'>"
      "<circle cx='5' cy='5' r='1'/>"
      "<rect width='2' height='2' fill='#ffffff' style='fill:#102030;stroke:none'/></g>"
      "<circle cx='1' cy='1' r='1'/></svg>");
  ASSERT_EQ(D.Shapes.size(), 3u);
  EXPECT_EQ(D.Shapes[0].Fill.Color, (TSvgColor{1, 2, 3}));
  EXPECT_EQ(D.Shapes[0].Stroke.Color, (TSvgColor{10, 11, 12}));
  EXPECT_EQ(D.Shapes[0].StrokeWidth, 2);
  EXPECT_EQ(D.Shapes[1].Fill.Color, (TSvgColor{0x10, 0x20, 0x30}));
  EXPECT_EQ(D.Shapes[1].Stroke.Kind, TSvgPaintKind::None);
  // After the group: the initial values again (black fill, no stroke).
  EXPECT_EQ(D.Shapes[2].Fill.Color, (TSvgColor{0, 0, 0}));
  EXPECT_EQ(D.Shapes[2].Stroke.Kind, TSvgPaintKind::None);
}

TEST(SvgParser, StopColourFromStyleAndOffsetsThatNeverGoBack) {
  const TSvgDocument D = ParseSvg(
      "<svg width='1' height='1'><defs><linearGradient id='g'>"
      "<stop offset='60%' style='stop-color:#ff0000; stop-opacity:0.5'/>"
      "<stop offset='0.2' stop-color='#00ff00'/>"
      "<stop offset='150%' stop-color='#0000ff'/></linearGradient></defs></svg>");
  const TSvgGradient* G = D.FindGradient("g");
  ASSERT_TRUE(G);
  ASSERT_EQ(G->Stops.size(), 3u);
  EXPECT_EQ(G->Stops[0].Color, (TSvgColor{255, 0, 0}));
  EXPECT_DOUBLE_EQ(G->Stops[0].Opacity, 0.5);
  EXPECT_DOUBLE_EQ(G->Stops[1].Offset, 0.6);
  EXPECT_DOUBLE_EQ(G->Stops[2].Offset, 1.0);
}

TEST(SvgParser, RadialDefaultsAndFocalPointFollowingTheCentre) {
  const TSvgDocument D =
      ParseSvg("<svg width='1' height='1'><radialGradient id='r' cx='20%'/></svg>");
  const TSvgGradient* G = D.FindGradient("r");
  ASSERT_TRUE(G);
  EXPECT_DOUBLE_EQ(G->Cx, 0.2);
  EXPECT_DOUBLE_EQ(G->Fx, 0.2);
  EXPECT_DOUBLE_EQ(G->Cy, 0.5);
  EXPECT_DOUBLE_EQ(G->R, 0.5);
}

TEST(SvgParser, ShapesInDefsAndOutsideTheRootAreNotDrawn) {
  const TSvgDocument D = ParseSvg(
      "<rect width='5' height='5'/><svg width='9' height='9'><defs><rect width='1' height='1'/>"
      "</defs><rect width='2' height='2'/></svg>");
  ASSERT_EQ(D.Shapes.size(), 1u);
  EXPECT_EQ(D.Shapes[0].Width, 2);
}

TEST(SvgParser, RoundedRectRadiiStandInForEachOtherAndAreClamped) {
  const TSvgDocument D = ParseSvg(
      "<svg width='9' height='9'><rect width='10' height='4' rx='3'/>"
      "<rect width='10' height='40' ry='30'/></svg>");
  ASSERT_EQ(D.Shapes.size(), 2u);
  EXPECT_EQ(D.Shapes[0].Rx, 3);
  EXPECT_EQ(D.Shapes[0].Ry, 2);  // half the height
  EXPECT_EQ(D.Shapes[1].Rx, 5);  // half the width
  EXPECT_EQ(D.Shapes[1].Ry, 20);
}

TEST(SvgParser, SkipsCommentsDoctypeAndCdataAndDecodesEntities) {
  const TSvgDocument D = ParseSvg(
      "<?xml version='1.0'?><!DOCTYPE svg><!-- <rect width='1' height='1'/> -->"
      "<svg width='4' height='4'><![CDATA[ <circle r='9'/> ]]>"
      "<linearGradient id='a&amp;b'/><rect width='1' height='1' fill='url(#a&amp;b)'/></svg>");
  ASSERT_EQ(D.Shapes.size(), 1u);
  EXPECT_EQ(D.Shapes[0].Fill.GradientId, "a&b");
  EXPECT_TRUE(D.FindGradient("a&b"));
}

TEST(SvgParser, SizeFromTheViewBoxWhenWidthAndHeightAreMissing) {
  const TSvgDocument D = ParseSvg("<svg viewBox='0,0,32,16'/>");
  EXPECT_EQ(D.Width, 32);
  EXPECT_EQ(D.Height, 16);
}

}  // namespace

}  // namespace vantor
