// The committed icon file: the sizes and depth the program needs, drawn from icon.svg.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/ui/pixel.h"
#include "ui/iconmaker/ico_file.h"
#include "ui/svg/svg_parser.h"

namespace vantor {

namespace {

std::string ReadFile(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> Bytes(const std::string& S) {
  return {S.begin(), S.end()};
}

TEST(IcoFile, RoundTripsImagesWithTheirAlpha) {
  TSvgImage A{2, 3, {0x00000000, 0xFF112233, 0x80FF0000, 0x12345678, 0xFFFFFFFF, 0x01020304}};
  TSvgImage B{33, 1, std::vector<std::uint32_t>(33, 0xFF00FF00)};
  const auto File = BuildIco({A, B});
  const auto Dir = ReadIcoDirectory(File);
  ASSERT_EQ(Dir.size(), 2u);
  EXPECT_EQ(Dir[0].Width, 2);
  EXPECT_EQ(Dir[0].Height, 3);
  EXPECT_EQ(Dir[0].BitCount, 32);
  EXPECT_EQ(Dir[1].Width, 33);
  EXPECT_EQ(ReadIcoImage(File, Dir[0]).Pixels, A.Pixels);
  EXPECT_EQ(ReadIcoImage(File, Dir[1]).Pixels, B.Pixels);
  // Mask of 33 pixels: rows padded to 4 bytes, so 8 bytes for one row.
  EXPECT_EQ(Dir[1].Size, 40u + 33 * 4 + 8);
}

TEST(IcoFile, TransparentPixelsAreMarkedInTheMask) {
  TSvgImage I{8, 1, {0, 0xFF000000, 0, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0x10000000}};
  const auto File = BuildIco({I});
  const auto Dir = ReadIcoDirectory(File);
  ASSERT_EQ(Dir.size(), 1u);
  EXPECT_EQ(File[Dir[0].Offset + 40 + 8 * 4], 0xA0);  // pixels 0 and 2
}

TEST(IcoFile, BrokenFilesGiveNoDirectory) {
  EXPECT_TRUE(ReadIcoDirectory({}).empty());
  EXPECT_TRUE(ReadIcoDirectory({0, 0, 2, 0, 1, 0}).empty());  // a cursor file
  auto File = BuildIco({TSvgImage{1, 1, {0xFF000000}}});
  File.resize(File.size() - 1);
  EXPECT_TRUE(ReadIcoDirectory(File).empty());
}

TEST(AppIcon, CarriesFiveSizesOf32BitsWithAlpha) {
  const auto File = Bytes(ReadFile(VANTOR_SOURCE_DIR "/ui/resources/app.ico"));
  const auto Dir = ReadIcoDirectory(File);
  ASSERT_EQ(Dir.size(), 5u);
  for (std::size_t K = 0; K < Dir.size(); ++K) {
    EXPECT_EQ(Dir[K].Width, AppIconSizes()[K]);
    EXPECT_EQ(Dir[K].Height, AppIconSizes()[K]);
    EXPECT_EQ(Dir[K].BitCount, 32);
    const TSvgImage I = ReadIcoImage(File, Dir[K]);
    ASSERT_EQ(I.Width, Dir[K].Width);
    const int S = I.Width;
    EXPECT_EQ(PixelAt(I, 0, 0) >> 24, 0u) << S;             // rounded corner: transparent
    EXPECT_EQ(PixelAt(I, S / 2, S / 2) >> 24, 0xFFu) << S;  // the dome: opaque, red
    EXPECT_GT(Channel(PixelAt(I, S / 2, S / 2), 16), 0xB0) << S;
    EXPECT_LT(Channel(PixelAt(I, S / 2, S / 2), 8), 0x80) << S;
  }
}

TEST(AppIcon, IsUpToDateWithItsPicture) {
  const auto File = Bytes(ReadFile(VANTOR_SOURCE_DIR "/ui/resources/app.ico"));
  const TSvgDocument Doc = ParseSvg(ReadFile(VANTOR_SOURCE_DIR "/ui/resources/icon.svg"));
  ASSERT_TRUE(Doc.HasRoot);
  const auto Dir = ReadIcoDirectory(File);
  ASSERT_EQ(Dir.size(), AppIconSizes().size());
  for (std::size_t K = 0; K < Dir.size(); ++K) {
    TSvgRenderOptions O;
    O.Width = O.Height = AppIconSizes()[K];
    const TSvgImage Fresh = RenderSvg(Doc, O);
    const TSvgImage Stored = ReadIcoImage(File, Dir[K]);
    ASSERT_EQ(Stored.Pixels.size(), Fresh.Pixels.size());
    // A last-bit difference of the maths library is no change of the picture.
    for (std::size_t P = 0; P < Fresh.Pixels.size(); ++P)
      ASSERT_TRUE(Near(Stored.Pixels[P], Fresh.Pixels[P], 1))
          << "size " << O.Width << " pixel " << P
          << ": regenerate with the native build's target 'icon'";
  }
}

}  // namespace

}  // namespace vantor
