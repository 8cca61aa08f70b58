// Where the device monitor gets tty events: the udev monitor in the product, a queue in
// the tests. The monitor's thread waits for the descriptor, then takes what is there.
#pragma once

#include <optional>

#include "discovery/posix/tty_event.h"

namespace vantor {

class TTtyEventSource {
 public:
  virtual ~TTtyEventSource() = default;
  // Readable (POLLIN) while an event waits.
  virtual int Fd() const = 0;
  // One waiting event; none when what was read was not a usable event.
  virtual std::optional<TTtyEvent> Receive() = 0;
};

}  // namespace vantor
