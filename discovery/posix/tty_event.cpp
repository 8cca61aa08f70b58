#include "discovery/posix/tty_event.h"

#include <cstring>
#include <filesystem>

#include "discovery/utf.h"

namespace vantor {

std::optional<TPortNotice> TranslateTtyEvent(const TTtyEvent& Event, const std::string& DevRoot) {
  std::uintptr_t Code = 0;
  if (Event.Action == "add") {
    Code = kDbtDeviceArrival;
  } else if (Event.Action == "remove") {
    Code = kDbtDeviceRemoveComplete;
  } else {
    return std::nullopt;
  }
  if (Event.SysName.empty() || Event.SysName.find('/') != std::string::npos)
    return std::nullopt;
  if (Event.DevPath.empty() || Event.DevPath.starts_with("/devices/virtual/"))
    return std::nullopt;
  return TPortNotice{Code, (std::filesystem::path(DevRoot) / Event.SysName).string()};
}

TPortBroadcast::TPortBroadcast(const std::string& Name) {
  const std::u16string Text = ToUtf16(Name);
  const std::size_t NameBytes = (Text.size() + 1) * sizeof(char16_t);
  const std::size_t Bytes = sizeof(TDevBroadcastHdr) + NameBytes;
  FStorage = std::make_unique<std::uint32_t[]>((Bytes + 3) / 4);  // zeroed: the NUL is there
  const TDevBroadcastHdr Header{static_cast<std::uint32_t>(Bytes), kDbtDevtypPort, 0};
  auto* Raw = reinterpret_cast<unsigned char*>(FStorage.get());
  std::memcpy(Raw, &Header, sizeof Header);
  std::memcpy(Raw + sizeof Header, Text.data(), Text.size() * sizeof(char16_t));
}

const TDevBroadcastHdr* TPortBroadcast::Header() const {
  return reinterpret_cast<const TDevBroadcastHdr*>(FStorage.get());
}

const char16_t* TPortBroadcast::Name() const {
  return reinterpret_cast<const char16_t*>(reinterpret_cast<const unsigned char*>(FStorage.get()) +
                                           sizeof(TDevBroadcastHdr));
}

}  // namespace vantor
