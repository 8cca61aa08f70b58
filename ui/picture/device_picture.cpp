#include "ui/picture/device_picture.h"

#include <cmath>

#include "ui/svg/svg_parser.h"
#include "ui/svg/svg_render.h"

namespace vantor {

TBitmap32 RenderDevicePicture(double Scale) {
  const TSvgDocument Doc = ParseSvg(DevicePictureSvg());
  TSvgRenderOptions Options;
  Options.Background = 0xFFFFFF;
  if (Scale != 1.0) {
    // The whole picture scaled: the view box is stretched onto the larger size.
    Options.Width = static_cast<int>(std::lround(Doc.Width * Scale));
    Options.Height = static_cast<int>(std::lround(Doc.Height * Scale));
  }
  TSvgImage Image = RenderSvg(Doc, Options);
  TBitmap32 Bitmap;
  Bitmap.Width = Image.Width;
  Bitmap.Height = Image.Height;
  Bitmap.Pixels = std::move(Image.Pixels);
  return Bitmap;
}

}  // namespace vantor
