// Broken documents draw what can be read and never crash or read past their input.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/ui/pixel.h"
#include "ui/picture/device_picture.h"
#include "ui/svg/svg_parser.h"
#include "ui/svg/svg_render.h"

namespace vantor {

namespace {

// Renders from a heap copy of exactly the given bytes, so that a read past the end is
// caught by the sanitizers.
TSvgImage RenderExactly(std::string_view Text) {
  auto Copy = std::make_unique<char[]>(Text.size() + 1);
  std::copy(Text.begin(), Text.end(), Copy.get());
  return RenderSvg(ParseSvg(std::string_view(Copy.get(), Text.size())));
}

TEST(SvgMalformed, EveryTruncationOfThePictureRendersWhatWasRead) {
  const std::string_view Svg = DevicePictureSvg();
  std::size_t LastShapes = 0;
  for (std::size_t N = 0; N <= Svg.size(); ++N) {
    const TSvgDocument D = ParseSvg(Svg.substr(0, N));
    EXPECT_GE(D.Shapes.size(), LastShapes) << N;  // more text never loses shapes
    LastShapes = D.Shapes.size();
    if (N % 29 != 0 && N != Svg.size())
      continue;  // drawing each one adds little
    const TSvgImage I = RenderSvg(D);
    if (D.HasRoot) {
      EXPECT_EQ(I.Pixels.size(), 250u * 166u) << N;
    }
  }
  EXPECT_EQ(LastShapes, 57u);
}

TEST(SvgMalformed, UnknownGradientIdPaintsNothing) {
  const TSvgImage I = RenderExactly(
      "<svg width='4' height='4'><rect width='4' height='4' fill='url(#nowhere)'/></svg>");
  ASSERT_EQ(I.Width, 4);
  EXPECT_EQ(PixelAt(I, 2, 2), 0u);
}

TEST(SvgMalformed, ZeroAndNegativeSizesAreNotDrawn) {
  const TSvgDocument D = ParseSvg(
      "<svg width='8' height='8'><circle cx='4' cy='4' r='0'/><ellipse cx='4' cy='4' rx='3'/>"
      "<rect width='-3' height='4'/><rect width='4' height='0'/><circle r='-1'/></svg>");
  EXPECT_TRUE(D.Shapes.empty());
  const TSvgImage I = RenderSvg(D);
  EXPECT_EQ(PixelAt(I, 4, 4), 0u);
}

TEST(SvgMalformed, GradientWithoutStopsOrWithZeroRadius) {
  const TSvgImage I = RenderExactly(
      "<svg width='4' height='4'><defs><radialGradient id='a'/>"
      "<radialGradient id='b' r='0'><stop offset='0' stop-color='#ff0000'/>"
      "<stop offset='1' stop-color='#00ff00'/></radialGradient>"
      "<linearGradient id='c' x1='0' x2='0'><stop stop-color='#0000ff'/></linearGradient></defs>"
      "<rect width='1' height='4' fill='url(#a)'/><rect x='1' width='1' height='4' "
      "fill='url(#b)'/><rect x='2' width='1' height='4' fill='url(#c)'/></svg>");
  EXPECT_EQ(PixelAt(I, 0, 1), 0u);           // no stops: nothing
  EXPECT_EQ(PixelAt(I, 1, 1), 0xFF00FF00u);  // zero radius: the last stop
  EXPECT_EQ(PixelAt(I, 2, 1), 0xFF0000FFu);  // zero-length vector: the last stop
}

TEST(SvgMalformed, GarbageAndBrokenMarkupNeverCrash) {
  // Longer than a line, so kept out of the array, where split literals read as a lost comma.
  const char* const NestedGradients =
      "<svg width='10' height='10'><stop offset='1'/><radialGradient id='x'><radialGradient "
      "id='x'></svg>";
  const char* const HugeStroke =
      "<svg width='9' height='9'><ellipse cx='4' cy='4' rx='1e6' ry='1e-6' stroke='#000' "
      "stroke-width='1e6'/></svg>";
  const char* Cases[] = {
      "",
      "<",
      "<svg",
      "<svg width=",
      "<svg width='10",
      "<svg width='10' height='10'><rect width='5' height='5' fill='#",
      "<svg width='10' height='10'><rect width=5 height=5/></svg>",
      "<svg width='10' height='10'><!-- never closed",
      "<svg width='10' height='10'><![CDATA[",
      "<svg width='10' height='10'></g></defs></svg></svg><rect width='3' height='3'/>",
      NestedGradients,
      "<svg width='1e9' height='1e9'><rect width='1e9' height='1e9'/></svg>",
      "<svg width='-5' height='nan'><circle r='inf'/></svg>",
      "<svg viewBox='0 0 0 0' width='3' height='3'><circle cx='1' cy='1' r='1'/></svg>",
      "\xEF\xBB\xBF<svg width='2' height='2'><rect width='2' height='2' fill='#fff'/></svg>",
      HugeStroke,
      "<?xml <svg width='2' height='2'>",
      "<svg width='3' height='3'><rect width='3' height='3' style=';;:;fill:'/></svg>",
  };
  for (const char* Text : Cases) {
    SCOPED_TRACE(Text);
    const TSvgImage I = RenderExactly(Text);
    EXPECT_EQ(I.Pixels.size(), static_cast<std::size_t>(I.Width) * I.Height);
  }
}

TEST(SvgMalformed, OversizedPicturesAreRefusedNotAllocated) {
  EXPECT_TRUE(RenderExactly("<svg width='100000' height='2'/>").Pixels.empty());
  TSvgRenderOptions O;
  O.Width = kSvgMaxImageSide + 1;
  O.Height = 1;
  EXPECT_TRUE(RenderSvg(ParseSvg("<svg width='1' height='1'/>"), O).Pixels.empty());
}

TEST(SvgMalformed, DeepNestingIsHandled) {
  std::string Deep = "<svg width='2' height='2'>";
  for (int I = 0; I < 20000; ++I)
    Deep += "<g>";
  Deep += "<rect width='2' height='2' fill='#ffffff'/>";
  const TSvgImage I = RenderExactly(Deep);
  EXPECT_EQ(PixelAt(I, 1, 1), 0xFFFFFFFFu);
}

}  // namespace

}  // namespace vantor
