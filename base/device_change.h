// The device-change message Windows broadcasts when a port device comes or goes
// (WM_DEVICECHANGE with a DEV_BROADCAST_PORT_W record), in the Windows layout and values.
// Built by the Linux device monitor and the Wine test helpers, read by the serial
// component's hook: one definition for both sides.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

constexpr std::uint32_t kWmDeviceChange = 0x0219;
constexpr std::uintptr_t kDbtDeviceArrival = 0x8000;
constexpr std::uintptr_t kDbtDeviceRemoveComplete = 0x8004;
constexpr std::uint32_t kDbtDevtypPort = 3;

// DEV_BROADCAST_HDR; a port record's name (dbcp_name) follows it.
struct TDevBroadcastHdr {
  std::uint32_t dbch_size;
  std::uint32_t dbch_devicetype;
  std::uint32_t dbch_reserved;
};
static_assert(sizeof(TDevBroadcastHdr) == 12);

// A DEV_BROADCAST_PORT_W built in memory: the header, then the name as NUL-terminated UTF-16.
class TPortBroadcast {
 public:
  explicit TPortBroadcast(std::string_view Name);
  const TDevBroadcastHdr* Header() const;
  std::size_t Size() const { return Header()->dbch_size; }
  const char16_t* Name() const;

 private:
  std::unique_ptr<std::uint32_t[]> FStorage;  // 32-bit words keep the header aligned
};

// The port name of the record at Record (which need not be aligned), or none when it is not
// a port record. The name is read up to its NUL and never past the size the record gives,
// so a name without its NUL is not read beyond the record; a record that gives no size is
// read up to the NUL, as Windows' own readers do.
std::optional<std::string> ReadPortBroadcastName(const void* Record);

}  // namespace vantor
