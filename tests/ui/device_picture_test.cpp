// The rendered device picture, checked at pixels whose colour follows from the document.
#include <gtest/gtest.h>

#include <memory>

#include "tests/ui/pixel.h"
#include "ui/picture/device_picture.h"
#include "ui/svg/svg_parser.h"
#include "ui/svg/svg_render.h"

namespace vantor {

namespace {

class DevicePicture : public ::testing::Test {
 protected:
  // Drawn once for the suite: each test only reads pixels.
  static void SetUpTestSuite() {
    ThePicture = std::make_unique<TSvgImage>(RenderSvg(ParseSvg(DevicePictureSvg())));
    TSvgRenderOptions White;
    White.Background = 0xFFFFFF;
    TheOnWhite = std::make_unique<TSvgImage>(RenderSvg(ParseSvg(DevicePictureSvg()), White));
    Picture = ThePicture.get();
    OnWhite = TheOnWhite.get();
  }
  static void TearDownTestSuite() {
    ThePicture.reset();
    TheOnWhite.reset();
  }
  static std::uint32_t At(int X, int Y) { return PixelAt(*Picture, X, Y); }
  static inline std::unique_ptr<TSvgImage> ThePicture, TheOnWhite;
  static inline const TSvgImage* Picture = nullptr;
  static inline const TSvgImage* OnWhite = nullptr;
};

TEST_F(DevicePicture, IsOneUnitPerPixel) {
  EXPECT_EQ(Picture->Width, 250);
  EXPECT_EQ(Picture->Height, 166);
  EXPECT_EQ(Picture->Pixels.size(), 250u * 166u);
}

TEST_F(DevicePicture, PanelGradientRunsTopToBottom) {
  EXPECT_TRUE(Near(At(125, 1), 0xFFE2E1D9, 2));
  EXPECT_TRUE(Near(At(125, 82), 0xFFE3DFD7, 2));
  EXPECT_TRUE(Near(At(125, 164), 0xFFE5E4DB, 2));
  EXPECT_TRUE(Near(At(30, 164), At(200, 164), 0));  // vertical: no change across a row
}

TEST_F(DevicePicture, GrilleHoleCentreIsTheHoleColour) {
  EXPECT_EQ(At(88, 17), 0xFF15110Au);
  EXPECT_EQ(At(89, 18), 0xFF15110Au);
  EXPECT_EQ(At(166, 78), 0xFF15110Au);  // the last row, last hole
  // Between two holes of a row the panel shows through.
  EXPECT_TRUE(Near(At(97, 17), 0xFFE2E1D9, 3));
}

TEST_F(DevicePicture, GrilleHoleEdgeIsAntiAliased) {
  // The hole at (89, 18) with radius 3: the pixel astride its right edge is a blend.
  const std::uint32_t P = At(91, 17);
  EXPECT_GT(Channel(P, 16), 0x15);
  EXPECT_LT(Channel(P, 16), 0xE2);
}

TEST_F(DevicePicture, DomeHighlightNearItsFocalPoint) {
  // Centre dome: box 108..142 x 101..131; focal point at 30 % and 75 %: (118.2, 123.5).
  EXPECT_TRUE(Near(At(118, 123), 0xFFFF9172, 6));
  // Towards the top right edge of the dome, the gradient's dark end.
  const std::uint32_t Far = At(133, 104);
  EXPECT_GT(Channel(Far, 16), 0xC0);
  EXPECT_LT(Channel(Far, 8), 0x40);
  EXPECT_TRUE(Near(At(133, 104), 0xFFD0320F, 0x18));
}

TEST_F(DevicePicture, AllThreeDomesAreDrawnAlike) {
  EXPECT_EQ(At(118 - 86, 123), At(118, 123));
  EXPECT_EQ(At(118 + 86, 123), At(118, 123));
}

TEST_F(DevicePicture, BaseHasADarkRimOutsideTheDome) {
  // Centre base: (125, 120) radii 24 x 22; at (144, 110) it is outside the dome, and the
  // gradient from the focal point (113, 131) has passed its last stop there: #0a0806.
  const std::uint32_t Rim = At(144, 110);
  EXPECT_TRUE(Near(Rim, 0xFF0A0806, 2));
  // Nearer the base's focal point, below the dome, it is lighter (t about 0.24).
  const std::uint32_t Lit = At(115, 136);
  EXPECT_TRUE(Near(Lit, 0xFF3D3934, 6));
  EXPECT_GT(Channel(Lit, 16), Channel(Rim, 16) + 0x10);
}

TEST_F(DevicePicture, StrokeBlendsIntoThePanelOnTheLeftEdge) {
  // The 1-unit stroke is centred on x = 0: half of pixel column 0 is stroke, half panel.
  EXPECT_TRUE(Near(At(0, 83), 0xFFC5C3BE, 3));
  EXPECT_TRUE(Near(At(249, 83), 0xFFC5C3BE, 3));
  EXPECT_TRUE(Near(At(125, 0), 0xFFC5C4BF, 3));
  // One pixel in, it is panel only.
  EXPECT_TRUE(Near(At(1, 83), 0xFFE3DFD7, 2));
}

TEST_F(DevicePicture, OutsideTheRoundedCornersIsTransparentOrBackground) {
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(At(249, 165), 0u);
  EXPECT_EQ(PixelAt(*OnWhite, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(*OnWhite, 249, 0), 0xFFFFFFFFu);
  // The corner pixel just inside the curve is a partial blend.
  const std::uint32_t Edge = At(1, 1);
  EXPECT_GT(Edge >> 24, 0u);
  EXPECT_LT(Edge >> 24, 0xFFu);
}

TEST_F(DevicePicture, EveryPixelInsideThePanelIsOpaque) {
  for (int Y = 6; Y < 160; ++Y)
    for (int X = 6; X < 244; ++X)
      ASSERT_EQ(At(X, Y) >> 24, 0xFFu) << X << "," << Y;
}

TEST_F(DevicePicture, OnWhiteMatchesTheTransparentRenderingInsideThePanel) {
  EXPECT_EQ(PixelAt(*OnWhite, 118, 123), At(118, 123));
  EXPECT_EQ(PixelAt(*OnWhite, 60, 60), At(60, 60));
}

}  // namespace

}  // namespace vantor
