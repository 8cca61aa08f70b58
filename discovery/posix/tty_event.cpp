#include "discovery/posix/tty_event.h"

#include <filesystem>

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

}  // namespace vantor
