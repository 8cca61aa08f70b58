// The device picture: its SVG document, compiled into the program, and the bitmap the
// window's image shows, drawn from it once.
#pragma once

#include <string_view>

#include "framework/controls.h"

namespace vantor {

// The document's bytes (generated from ui/picture/device.svg by the build).
std::string_view DevicePictureSvg();

// One SVG unit per pixel at Scale 1, over the window's white background; Scale is a
// display's device-pixel ratio (the Linux window draws the picture sharp on a scaled one).
TBitmap32 RenderDevicePicture(double Scale = 1.0);

}  // namespace vantor
