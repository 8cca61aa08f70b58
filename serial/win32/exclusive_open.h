// The one exclusive open of a COM port on Windows: the component's backend opens its port
// with it and the port report probes with it, so both refuse the same ports alike.
#pragma once

#include <windows.h>

#include <string>

#include "base/win32/handles.h"

namespace vantor {

// Opens a device path ("\\.\COM3") for reading and writing, unshared, for overlapped I/O.
// On failure the handle is invalid and Error holds GetLastError's code.
TFileHandle OpenPortExclusive(const std::string& Path, DWORD& Error);

}  // namespace vantor
