// register-port.exe --port NAME [--friendly TEXT | --no-friendly] [--unterminated]
// register-port.exe --remove-all
//
// Makes a root-enumerated device of the "Ports" setup class in the current Wine prefix
// (ROOT\PORTS\nnnn, numbered by Setup API), with a friendly name and a device key holding
// "PortName", so that port discovery finds it. --unterminated stores the name without its
// terminating NUL, as a careless driver may. Every device made here carries a marker
// hardware id; --remove-all removes exactly those.
#include <windows.h>
#include <setupapi.h>

#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>

namespace vantor {

namespace {

constexpr wchar_t kMarker[] = L"VANTOR_TEST_PORT\0";  // a REG_MULTI_SZ of one string

struct TDevInfoSet {
  HDEVINFO Set;
  explicit TDevInfoSet(HDEVINFO S) : Set(S) {}
  TDevInfoSet(const TDevInfoSet&) = delete;
  TDevInfoSet& operator=(const TDevInfoSet&) = delete;
  ~TDevInfoSet() {
    if (Set != INVALID_HANDLE_VALUE)
      SetupDiDestroyDeviceInfoList(Set);
  }
};

struct TKey {
  HKEY Key;
  explicit TKey(HKEY K) : Key(K) {}
  TKey(const TKey&) = delete;
  TKey& operator=(const TKey&) = delete;
  ~TKey() {
    if (Key != reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE))
      RegCloseKey(Key);
  }
};

int Fail(const char* What) {
  std::fprintf(stderr, "register-port: %s failed (error %lu)\n", What, GetLastError());
  return 1;
}

bool PortsClass(GUID& Class) {
  DWORD Required = 0;
  return SetupDiClassGuidsFromNameW(L"Ports", &Class, 1, &Required) && Required == 1;
}

bool SetString(HDEVINFO Set, SP_DEVINFO_DATA& Device, DWORD Property, const wchar_t* Text,
               DWORD Bytes) {
  return SetupDiSetDeviceRegistryPropertyW(Set, &Device, Property,
                                           reinterpret_cast<const BYTE*>(Text), Bytes);
}

int Register(const std::wstring& Port, const std::optional<std::wstring>& Friendly,
             bool Unterminated) {
  GUID Class;
  if (!PortsClass(Class))
    return Fail("SetupDiClassGuidsFromNameW");
  TDevInfoSet Set(SetupDiCreateDeviceInfoList(&Class, nullptr));
  if (Set.Set == INVALID_HANDLE_VALUE)
    return Fail("SetupDiCreateDeviceInfoList");
  SP_DEVINFO_DATA Device{};
  Device.cbSize = sizeof Device;
  if (!SetupDiCreateDeviceInfoW(Set.Set, L"PORTS", &Class, nullptr, nullptr, DICD_GENERATE_ID,
                                &Device)) {
    return Fail("SetupDiCreateDeviceInfoW");
  }
  if (!SetupDiRegisterDeviceInfo(Set.Set, &Device, 0, nullptr, nullptr, nullptr)) {
    return Fail("SetupDiRegisterDeviceInfo");
  }
  if (!SetString(Set.Set, Device, SPDRP_HARDWAREID, kMarker, sizeof kMarker)) {
    return Fail("SPDRP_HARDWAREID");
  }
  if (Friendly && !SetString(Set.Set, Device, SPDRP_FRIENDLYNAME, Friendly->c_str(),
                             static_cast<DWORD>((Friendly->size() + 1) * sizeof(wchar_t)))) {
    return Fail("SPDRP_FRIENDLYNAME");
  }
  TKey Key(
      SetupDiCreateDevRegKeyW(Set.Set, &Device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr));
  if (Key.Key == reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE)) {
    return Fail("SetupDiCreateDevRegKeyW");
  }
  if (RegSetValueExW(Key.Key, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(Port.c_str()),
                     static_cast<DWORD>((Port.size() + (Unterminated ? 0 : 1)) *
                                        sizeof(wchar_t))) != ERROR_SUCCESS) {
    return Fail("RegSetValueExW(PortName)");
  }
  wchar_t Id[256] = {};
  if (SetupDiGetDeviceInstanceIdW(Set.Set, &Device, Id, 256, nullptr)) {
    std::wprintf(L"%ls\n", Id);
  }
  return 0;
}

bool IsOurs(HDEVINFO Set, SP_DEVINFO_DATA& Device) {
  wchar_t Ids[128] = {};
  return SetupDiGetDeviceRegistryPropertyW(Set, &Device, SPDRP_HARDWAREID, nullptr,
                                           reinterpret_cast<BYTE*>(Ids), sizeof Ids - 2, nullptr) &&
         std::wcscmp(Ids, kMarker) == 0;
}

int RemoveAll() {
  GUID Class;
  if (!PortsClass(Class))
    return Fail("SetupDiClassGuidsFromNameW");
  // Present or not: a device whose registration half failed is removed too.
  TDevInfoSet Set(SetupDiGetClassDevsW(&Class, nullptr, nullptr, 0));
  if (Set.Set == INVALID_HANDLE_VALUE)
    return Fail("SetupDiGetClassDevsW");
  int Removed = 0;
  SP_DEVINFO_DATA Device{};
  Device.cbSize = sizeof Device;
  for (DWORD Index = 0; SetupDiEnumDeviceInfo(Set.Set, Index, &Device); ++Index) {
    if (!IsOurs(Set.Set, Device))
      continue;
    if (!SetupDiCallClassInstaller(DIF_REMOVE, Set.Set, &Device) &&
        !SetupDiRemoveDevice(Set.Set, &Device)) {
      return Fail("SetupDiRemoveDevice");
    }
    ++Removed;
  }
  std::wprintf(L"removed %d\n", Removed);
  return 0;
}

int Usage() {
  std::fputs(
      "usage: register-port.exe --port NAME [--friendly TEXT | --no-friendly] [--unterminated]\n"
      "       register-port.exe --remove-all\n",
      stderr);
  return 2;
}

}  // namespace

int Main(int argc, wchar_t** argv) {
  std::optional<std::wstring> Port;
  std::optional<std::wstring> Friendly;
  bool NoFriendly = false;
  bool Unterminated = false;
  for (int I = 1; I < argc; ++I) {
    const std::wstring Arg = argv[I];
    if (Arg == L"--remove-all" && argc == 2)
      return RemoveAll();
    if (Arg == L"--port" && I + 1 < argc) {
      Port = argv[++I];
    } else if (Arg == L"--friendly" && I + 1 < argc) {
      Friendly = argv[++I];
    } else if (Arg == L"--no-friendly") {
      NoFriendly = true;
    } else if (Arg == L"--unterminated") {
      Unterminated = true;
    } else {
      return Usage();
    }
  }
  if (!Port || (NoFriendly && Friendly))
    return Usage();
  if (!Friendly && !NoFriendly)
    Friendly = L"USB Serial Device (" + *Port + L")";
  return Register(*Port, NoFriendly ? std::nullopt : Friendly, Unterminated);
}

}  // namespace vantor

int wmain(int argc, wchar_t** argv) {
  return vantor::Main(argc, argv);
}
