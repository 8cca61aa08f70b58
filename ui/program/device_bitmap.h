// The device picture, drawn once from its SVG document into the bitmap the image shows.
#pragma once

#include "framework/controls.h"

namespace vantor {

TBitmap32 RenderDevicePicture();

}  // namespace vantor
