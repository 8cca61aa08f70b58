// broadcast-device.exe arrival|removal NAME
//
// Tells every top-level window that the port NAME arrived or was removed, as Windows does
// when a serial device is plugged in or pulled: WM_DEVICECHANGE with a DEV_BROADCAST_PORT_W.
#include <windows.h>
#include <dbt.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

namespace vantor {

int Main(int argc, wchar_t** argv) {
  if (argc != 3 ||
      (std::wcscmp(argv[1], L"arrival") != 0 && std::wcscmp(argv[1], L"removal") != 0)) {
    std::fputs("usage: broadcast-device.exe arrival|removal NAME\n", stderr);
    return 2;
  }
  const WPARAM Event =
      std::wcscmp(argv[1], L"arrival") == 0 ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
  const std::size_t NameBytes = (std::wcslen(argv[2]) + 1) * sizeof(wchar_t);
  const std::size_t Size = offsetof(DEV_BROADCAST_PORT_W, dbcp_name) + NameBytes;
  // DWORD storage keeps the record aligned; zero-filled, so the name ends in a NUL.
  std::vector<DWORD> Storage((Size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1, 0);
  auto* Record = reinterpret_cast<DEV_BROADCAST_PORT_W*>(Storage.data());
  Record->dbcp_size = static_cast<DWORD>(Size);
  Record->dbcp_devicetype = DBT_DEVTYP_PORT;
  Record->dbcp_reserved = 0;
  std::memcpy(Record->dbcp_name, argv[2], NameBytes);
  DWORD_PTR Result = 0;
  if (!SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, Event, reinterpret_cast<LPARAM>(Record),
                           SMTO_ABORTIFHUNG, 2000, &Result)) {
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
