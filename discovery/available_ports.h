// The serial ports that are present and could be opened right now, as port entries:
// the port name, two blanks, and the shortened friendly name ("COM3  USB Serial Device ").
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vantor {

using TPortEntryList = std::vector<std::string>;

// A fresh list in the platform's enumeration order, owned by the caller; null when no port
// qualifies or the enumeration cannot start (never an empty list).
std::unique_ptr<TPortEntryList> GetAvailableComPorts();

}  // namespace vantor
