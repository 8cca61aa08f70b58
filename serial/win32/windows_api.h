// <windows.h> without the one macro that would rename a backend operation.
#pragma once

#include <windows.h>

#undef GetDefaultCommConfig  // the Unicode variant is called by its own name
