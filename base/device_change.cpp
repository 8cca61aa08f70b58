#include "base/device_change.h"

#include <cstring>

#include "base/utf.h"

namespace vantor {

TPortBroadcast::TPortBroadcast(std::string_view Name) {
  const std::u16string Text = ToUtf16(Name);
  const std::size_t NameBytes = (Text.size() + 1) * sizeof(char16_t);
  const std::size_t Bytes = sizeof(TDevBroadcastHdr) + NameBytes;
  FStorage = std::make_unique<std::uint32_t[]>((Bytes + 3) / 4);
  const TDevBroadcastHdr Header{static_cast<std::uint32_t>(Bytes), kDbtDevtypPort, 0};
  auto* Raw = reinterpret_cast<unsigned char*>(FStorage.get());
  std::memcpy(Raw, &Header, sizeof Header);
  std::memcpy(Raw + sizeof Header, Text.c_str(), NameBytes);  // with its NUL
}

const TDevBroadcastHdr* TPortBroadcast::Header() const {
  return reinterpret_cast<const TDevBroadcastHdr*>(FStorage.get());
}

const char16_t* TPortBroadcast::Name() const {
  return reinterpret_cast<const char16_t*>(reinterpret_cast<const unsigned char*>(FStorage.get()) +
                                           sizeof(TDevBroadcastHdr));
}

std::optional<std::string> ReadPortBroadcastName(const void* Record) {
  const auto* Bytes = static_cast<const unsigned char*>(Record);
  TDevBroadcastHdr Header;
  std::memcpy(&Header, Bytes, sizeof Header);
  if (Header.dbch_devicetype != kDbtDevtypPort)
    return std::nullopt;
  const std::size_t MaxUnits = Header.dbch_size >= sizeof Header + sizeof(char16_t)
                                   ? (Header.dbch_size - sizeof Header) / sizeof(char16_t)
                                   : SIZE_MAX;
  std::u16string Name;
  for (std::size_t Index = 0; Index < MaxUnits; ++Index) {
    char16_t Unit;
    std::memcpy(&Unit, Bytes + sizeof Header + Index * sizeof Unit, sizeof Unit);
    if (Unit == 0)
      break;
    Name += Unit;
  }
  return ToUtf8(Name);
}

}  // namespace vantor
