// The window's candidate ports on Linux: the ports discovery lists, or the ports named on
// the command line, each probed the way discovery probes (an exclusive open, closed at
// once), in the order named; a named port that cannot be opened now is left out of that
// round and probed again at the next rescan.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "discovery/available_ports.h"

namespace vantor {

// Null when none of the named ports can be opened now (never an empty list).
std::unique_ptr<TPortEntryList> ListNamedPorts(const std::vector<std::string>& Paths);

// Discovery's list when Paths is empty, else ListNamedPorts.
std::unique_ptr<TPortEntryList> ListCandidatePorts(const std::vector<std::string>& Paths);

}  // namespace vantor
