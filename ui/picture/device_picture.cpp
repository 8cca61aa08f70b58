#include "ui/picture/device_picture.h"

#include "ui/svg/svg_parser.h"
#include "ui/svg/svg_render.h"

namespace vantor {

TBitmap32 RenderDevicePicture() {
  TSvgRenderOptions Options;
  Options.Background = 0xFFFFFF;
  TSvgImage Image = RenderSvg(ParseSvg(DevicePictureSvg()), Options);
  TBitmap32 Bitmap;
  Bitmap.Width = Image.Width;
  Bitmap.Height = Image.Height;
  Bitmap.Pixels = std::move(Image.Pixels);
  return Bitmap;
}

}  // namespace vantor
