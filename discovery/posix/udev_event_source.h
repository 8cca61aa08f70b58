// tty events from udev's netlink monitor (after udev has processed them, so the device
// node exists on arrival).
#pragma once

#include <memory>

#include "discovery/posix/tty_event_source.h"

namespace vantor {

// Null when udev cannot be reached (no netlink, say, in a container).
std::unique_ptr<TTtyEventSource> MakeUdevTtyEventSource();

}  // namespace vantor
