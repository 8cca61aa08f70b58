// A udev event of the tty subsystem, and the device-change message it becomes: the
// record Windows broadcasts for a port (DEV_BROADCAST_PORT_W), built in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vantor {

struct TTtyEvent {
  std::string Action;   // "add", "remove", "change", ...
  std::string SysName;  // "ttyACM0"
  std::string DevPath;  // "/devices/pci0000:00/.../tty/ttyACM0", below the sysfs root
};

constexpr std::uintptr_t kDbtDeviceArrival = 0x8000;
constexpr std::uintptr_t kDbtDeviceRemoveComplete = 0x8004;
constexpr std::uint32_t kDbtDevtypPort = 3;

struct TPortNotice {
  std::uintptr_t Event;  // kDbtDeviceArrival or kDbtDeviceRemoveComplete
  std::string Name;      // spelled as port discovery spells it: "<DevRoot>/<tty>"
  bool operator==(const TPortNotice&) const = default;
};

// Arrival and removal of ttys with a device behind them become notices; everything else
// (other actions, the virtual ttys: consoles and ptys) is none. A removed device has left
// sysfs already, so the rule reads the event alone: a tty under /devices/virtual has no
// device behind it.
std::optional<TPortNotice> TranslateTtyEvent(const TTtyEvent& Event, const std::string& DevRoot);

// The DEV_BROADCAST_HDR fields, as the hooks read them.
struct TDevBroadcastHdr {
  std::uint32_t dbch_size;
  std::uint32_t dbch_devicetype;
  std::uint32_t dbch_reserved;
};

// A DEV_BROADCAST_PORT_W: the header, then dbcp_name, NUL-terminated UTF-16.
class TPortBroadcast {
 public:
  explicit TPortBroadcast(const std::string& Name);
  const TDevBroadcastHdr* Header() const;
  const char16_t* Name() const;

 private:
  std::unique_ptr<std::uint32_t[]> FStorage;  // 32-bit words keep the header aligned
};

}  // namespace vantor
