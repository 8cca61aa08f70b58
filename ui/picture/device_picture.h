// The device picture's SVG document, compiled into the program (the same bytes as the
// RCDATA resource the Windows program carries).
#pragma once

#include <string_view>

namespace vantor {

std::string_view DevicePictureSvg();

}  // namespace vantor
