#include "discovery/win32/setupapi_source.h"

#include "discovery/available_ports.h"

#include <cstring>
#include <vector>

namespace vantor {

namespace {

template <class TFunction>
bool Bind(HMODULE Library, const char* Name, TFunction& Function) {
  // Through void (*)(), which matches every function type, so no cast warning fires.
  Function =
      reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(::GetProcAddress(Library, Name)));
  return Function != nullptr;
}

// The sizes Windows reports are in bytes: an odd trailing byte is dropped, and nothing
// beyond the bytes actually read is looked at (the value need not end in a NUL).
std::u16string FromBytes(const std::vector<BYTE>& Buffer, DWORD BytesRead) {
  const std::size_t Bytes = BytesRead < Buffer.size() ? BytesRead : Buffer.size();
  std::u16string Text(Bytes / sizeof(char16_t), u'\0');
  if (!Text.empty())
    std::memcpy(Text.data(), Buffer.data(), Text.size() * sizeof(char16_t));
  return Text;
}

class TProbeFile : public TProbeHandle {
 public:
  explicit TProbeFile(HANDLE File) : FFile(File) {}

 private:
  TFileHandle FFile;
};

}  // namespace

std::unique_ptr<TSetupApiPortSource> TSetupApiPortSource::Open() {
  std::unique_ptr<TSetupApiPortSource> Source(new TSetupApiPortSource);
  Source->FLibrary.Reset(::LoadLibraryW(L"SetupApi.dll"));
  if (!Source->FLibrary)
    return nullptr;
  const HMODULE Library = Source->FLibrary.Get();
  TSetupApi& Api = Source->FApi;
  if (!Bind(Library, "SetupDiClassGuidsFromNameW", Api.ClassGuidsFromName) ||
      !Bind(Library, "SetupDiGetClassDevsW", Api.GetClassDevs) ||
      !Bind(Library, "SetupDiEnumDeviceInfo", Api.EnumDeviceInfo) ||
      !Bind(Library, "SetupDiGetDeviceRegistryPropertyW", Api.GetDeviceRegistryProperty) ||
      !Bind(Library, "SetupDiOpenDevRegKey", Api.OpenDevRegKey) ||
      !Bind(Library, "SetupDiDestroyDeviceInfoList", Api.DestroyDeviceInfoList)) {
    return nullptr;
  }
  // Room for exactly one class: a name with several counts as a failure.
  GUID Class{};
  DWORD Required = 0;
  if (!Api.ClassGuidsFromName(L"Ports", &Class, 1, &Required) || Required == 0)
    return nullptr;
  const HDEVINFO Set = Api.GetClassDevs(&Class, nullptr, nullptr, DIGCF_PRESENT);
  Source->FSet.Reset(Set, TDevInfoTraits{Api.DestroyDeviceInfoList});
  if (!Source->FSet)
    return nullptr;
  return Source;
}

bool TSetupApiPortSource::Next(TPresentPort& Port) {
  FKey.Reset();  // the previous device's key
  SP_DEVINFO_DATA Device;
  std::memset(&Device, 0, sizeof Device);
  Device.cbSize = sizeof Device;
  if (!FApi.EnumDeviceInfo(FSet.Get(), FIndex, &Device))
    return false;  // normally: the end
  ++FIndex;
  Port = {};
  Port.FriendlyName = ReadFriendlyName(Device);
  // Without a friendly name the device is skipped, so its key is never opened.
  if (Port.FriendlyName)
    Port.PortName = ReadPortName(Device);
  return true;
}

std::optional<std::u16string> TSetupApiPortSource::ReadFriendlyName(SP_DEVINFO_DATA& Device) {
  DWORD Size = 0;
  FApi.GetDeviceRegistryProperty(FSet.Get(), &Device, SPDRP_FRIENDLYNAME, nullptr, nullptr, 0,
                                 &Size);  // learns the size; fails by design
  std::vector<BYTE> Buffer(Size);
  DWORD Read = 0;
  if (!FApi.GetDeviceRegistryProperty(FSet.Get(), &Device, SPDRP_FRIENDLYNAME, nullptr,
                                      Buffer.data(), Size, &Read)) {
    return std::nullopt;
  }
  return FromBytes(Buffer, Read);
}

std::optional<std::u16string> TSetupApiPortSource::ReadPortName(SP_DEVINFO_DATA& Device) {
  FKey.Reset(FApi.OpenDevRegKey(FSet.Get(), &Device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ));
  if (!FKey)
    return std::nullopt;
  DWORD LongestData = 0;
  if (::RegQueryInfoKeyW(FKey.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &LongestData, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // Sized from the longest value so that the name is read whole, whatever its length.
  std::vector<BYTE> Buffer(LongestData);
  DWORD Read = LongestData;
  if (::RegQueryValueExW(FKey.Get(), L"PortName", nullptr, nullptr, Buffer.data(), &Read) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return FromBytes(Buffer, Read);
}

std::unique_ptr<TProbeHandle> TSetupApiPortSource::Probe(const std::u16string& PortName) {
  // The "\\.\" prefix reaches ports above COM9 too.
  const std::wstring Path = L"\\\\.\\" + std::wstring(PortName.begin(), PortName.end());
  const HANDLE File = ::CreateFileW(Path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE)
    return nullptr;
  return std::make_unique<TProbeFile>(File);
}

std::unique_ptr<TPortEntryList> GetAvailableComPorts() {
  std::unique_ptr<TSetupApiPortSource> Source;
  try {
    Source = TSetupApiPortSource::Open();
  } catch (...) {
    return nullptr;  // Source's parts are released as the failure unwinds
  }
  if (!Source)
    return nullptr;
  return ListAvailablePorts(*Source);
}

}  // namespace vantor
