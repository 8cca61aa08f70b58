// The program's icon: its SVG document (ui/resources/icon.svg), compiled in, and the
// images the Linux window shows, drawn from it at the sizes of the Windows icon.
#pragma once

#include <string_view>
#include <vector>

#include "framework/controls.h"

namespace vantor {

// The document's bytes (generated from ui/resources/icon.svg by the build).
std::string_view AppIconSvg();

// The icon at 16, 32, 48, 64 and 128 pixels, as in the Windows icon file.
std::vector<TBitmap32> RenderAppIcon();

}  // namespace vantor
