#include "ui/picture/app_icon.h"

#include "ui/iconmaker/ico_file.h"
#include "ui/svg/svg_parser.h"
#include "ui/svg/svg_render.h"

namespace vantor {

std::vector<TBitmap32> RenderAppIcon() {
  const TSvgDocument Doc = ParseSvg(AppIconSvg());
  std::vector<TBitmap32> Images;
  for (const int Size : AppIconSizes()) {
    TSvgRenderOptions Options;
    Options.Width = Options.Height = Size;
    TSvgImage Image = RenderSvg(Doc, Options);
    Images.push_back(TBitmap32{Image.Width, Image.Height, std::move(Image.Pixels)});
  }
  return Images;
}

}  // namespace vantor
