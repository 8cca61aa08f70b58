// The Windows port source: the present devices of the "Ports" setup class, through the
// Setup API bound from SetupApi.dll at run time, and the registry of each device.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <memory>

#include "discovery/port_source.h"
#include "base/win32/handles.h"

namespace vantor {

struct TSetupApi {
  decltype(&::SetupDiClassGuidsFromNameW) ClassGuidsFromName = nullptr;
  decltype(&::SetupDiGetClassDevsW) GetClassDevs = nullptr;
  decltype(&::SetupDiEnumDeviceInfo) EnumDeviceInfo = nullptr;
  decltype(&::SetupDiGetDeviceRegistryPropertyW) GetDeviceRegistryProperty = nullptr;
  decltype(&::SetupDiOpenDevRegKey) OpenDevRegKey = nullptr;
  decltype(&::SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList = nullptr;
};

// The set is freed through the function bound from the library.
struct TDevInfoTraits {
  using Type = HDEVINFO;
  static bool Valid(HDEVINFO Set) { return Set != INVALID_HANDLE_VALUE; }
  void Free(HDEVINFO Set) const { Destroy(Set); }
  decltype(&::SetupDiDestroyDeviceInfoList) Destroy = nullptr;
};

class TSetupApiPortSource : public TPortSource {
 public:
  // Null when the Setup API cannot be bound, the class is not found (or is not exactly
  // one), or the device set cannot be built; everything obtained is released then.
  static std::unique_ptr<TSetupApiPortSource> Open();

  std::u16string_view SerialPrefix() const override { return u"COM"; }
  bool Next(TPresentPort& Port) override;
  std::unique_ptr<TProbeHandle> Probe(const std::u16string& PortName) override;

 private:
  TSetupApiPortSource() = default;
  std::optional<std::u16string> ReadFriendlyName(SP_DEVINFO_DATA& Device);
  std::optional<std::u16string> ReadPortName(SP_DEVINFO_DATA& Device);

  // Released in reverse: the open device key, the set, then the library.
  TModuleHandle FLibrary;
  TSetupApi FApi;
  TUniqueHandle<TDevInfoTraits> FSet;
  DWORD FIndex = 0;
  TKeyHandle FKey;  // the current device's key, kept until the next device or the end
};

}  // namespace vantor
