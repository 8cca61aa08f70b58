// What port discovery asks of a platform: the present port devices in the platform's own
// order, each with its friendly name and port name, and an exclusive open-and-close of a
// port. Everything else (filter, entry text, order, null result) is portable logic.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// Texts are UTF-16, as Windows stores them, so that the entry rules count characters the
// way they do there; both texts may hold embedded NULs (the logic cuts at the first one).
struct TPresentPort {
  std::optional<std::u16string> FriendlyName;  // none: the device has no readable one
  std::optional<std::u16string> PortName;      // none: it could not be read
};

// Held while a probed port is open; freeing it closes the port.
class TProbeHandle {
 public:
  virtual ~TProbeHandle() = default;
};

class TPortSource {
 public:
  virtual ~TPortSource() = default;
  // Every serial port name of the platform begins with this (case-sensitively).
  virtual std::u16string_view SerialPrefix() const = 0;
  // The next present device; false when there are no more.
  virtual bool Next(TPresentPort& Port) = 0;
  // Opens the port exclusively for reading and writing; null when that fails.
  virtual std::unique_ptr<TProbeHandle> Probe(const std::u16string& PortName) = 0;
};

}  // namespace vantor
