// The exclusive open the serial component makes (TIOCEXCL and flock), used as a probe: a
// port that another process, or this one, holds is refused.
#pragma once

#include <memory>
#include <string>

#include "discovery/port_source.h"

namespace vantor {

// Null when the port cannot be opened exclusively now; Error (when given) then holds the
// errno of the failure, EBUSY when another holder has the port exclusive or locked.
// Freeing the handle clears the exclusive flag again before closing, so the probe leaves
// the port as it found it.
std::unique_ptr<TProbeHandle> ProbeExclusive(const std::string& Path, int* Error = nullptr);

}  // namespace vantor
