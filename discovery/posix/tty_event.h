// A udev event of the tty subsystem, and the device-change notice it becomes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/device_change.h"

namespace vantor {

struct TTtyEvent {
  std::string Action;   // "add", "remove", "change", ...
  std::string SysName;  // "ttyACM0"
  std::string DevPath;  // "/devices/pci0000:00/.../tty/ttyACM0", below the sysfs root
};

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

}  // namespace vantor
