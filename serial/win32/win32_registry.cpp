// Serial port names as the registry lists them: the BIOS's serial ports first, then the
// ports the serial drivers have announced.
#include <algorithm>
#include <string>
#include <vector>

#include "serial/win32/win32_port_backend.h"
#include "base/utf.h"

namespace vantor {

namespace {

class TRegKey {
 public:
  TRegKey(HKEY Parent, const wchar_t* Path) {
    if (::RegOpenKeyExW(Parent, Path, 0, KEY_READ, &FKey) != ERROR_SUCCESS) {
      FKey = nullptr;
    }
  }
  ~TRegKey() {
    if (FKey != nullptr) {
      ::RegCloseKey(FKey);
    }
  }
  TRegKey(const TRegKey&) = delete;
  TRegKey& operator=(const TRegKey&) = delete;
  HKEY Get() const { return FKey; }

 private:
  HKEY FKey = nullptr;
};

// A REG_SZ value as UTF-8, or empty.
std::string TextValue(HKEY Key, const wchar_t* Name) {
  DWORD Type = 0, Size = 0;
  if (::RegQueryValueExW(Key, Name, nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS ||
      Type != REG_SZ || Size == 0) {
    return {};
  }
  std::wstring Value(Size / sizeof(wchar_t) + 1, L'\0');
  if (::RegQueryValueExW(Key, Name, nullptr, &Type, reinterpret_cast<BYTE*>(Value.data()), &Size) !=
      ERROR_SUCCESS) {
    return {};
  }
  Value.resize(wcsnlen(Value.c_str(), Value.size()));
  return Narrow(Value);
}

void AddNew(std::vector<std::string>& Names, const std::string& Name) {
  if (!Name.empty() && std::find(Names.begin(), Names.end(), Name) == Names.end()) {
    Names.push_back(Name);
  }
}

}  // namespace

void TWin32PortBackend::RegistryPortNames(std::vector<std::string>& Names) {
  TRegKey Bios(HKEY_LOCAL_MACHINE, L"Enum\\BIOS\\*PNP0501");
  if (Bios.Get() != nullptr) {
    wchar_t Child[256];
    for (DWORD Index = 0;; ++Index) {
      DWORD Length = 256;
      const LONG Result =
          ::RegEnumKeyExW(Bios.Get(), Index, Child, &Length, nullptr, nullptr, nullptr, nullptr);
      if (Result == ERROR_MORE_DATA) {
        continue;  // a name too long for a port entry
      }
      if (Result != ERROR_SUCCESS) {
        break;
      }
      TRegKey Entry(Bios.Get(), Child);
      if (Entry.Get() != nullptr) {
        AddNew(Names, TextValue(Entry.Get(), L"PortName"));
      }
    }
  }
  TRegKey Comm(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM");
  if (Comm.Get() == nullptr) {
    return;
  }
  wchar_t ValueName[256];
  for (DWORD Index = 0;; ++Index) {
    DWORD Length = 256, Type = 0;
    const LONG Result =
        ::RegEnumValueW(Comm.Get(), Index, ValueName, &Length, nullptr, &Type, nullptr, nullptr);
    if (Result == ERROR_MORE_DATA) {
      continue;
    }
    if (Result != ERROR_SUCCESS) {
      break;
    }
    if (Type == REG_SZ) {
      AddNew(Names, TextValue(Comm.Get(), ValueName));
    }
  }
}

}  // namespace vantor
