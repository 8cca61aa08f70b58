// broadcast-device.exe arrival|removal NAME
//
// Tells every top-level window that the port NAME arrived or was removed, as Windows does
// when a serial device is plugged in or pulled: WM_DEVICECHANGE with a DEV_BROADCAST_PORT_W.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "base/device_change.h"
#include "base/utf.h"

namespace vantor {

int Main(int argc, wchar_t** argv) {
  if (argc != 3 ||
      (std::wcscmp(argv[1], L"arrival") != 0 && std::wcscmp(argv[1], L"removal") != 0)) {
    std::fputs("usage: broadcast-device.exe arrival|removal NAME\n", stderr);
    return 2;
  }
  const WPARAM Event =
      std::wcscmp(argv[1], L"arrival") == 0 ? kDbtDeviceArrival : kDbtDeviceRemoveComplete;
  const TPortBroadcast Record(Narrow(argv[2]));
  DWORD_PTR Result = 0;
  if (!SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, Event,
                           reinterpret_cast<LPARAM>(Record.Header()), SMTO_ABORTIFHUNG, 2000,
                           &Result)) {
    std::fprintf(stderr, "broadcast-device: SendMessageTimeoutW failed (error %lu)\n",
                 GetLastError());
    return 1;
  }
  return 0;
}

}  // namespace vantor

int wmain(int argc, wchar_t** argv) {
  return vantor::Main(argc, argv);
}
