// Reads an SVG document of the subset the device picture uses. Never fails: whatever it
// cannot read is left out, and a document without an <svg> root has HasRoot false.
#pragma once

#include <string_view>

#include "ui/svg/svg_document.h"

namespace vantor {

TSvgDocument ParseSvg(std::string_view Text);

}  // namespace vantor
