// Discovery's probe on Linux: the serial component's exclusive open (OpenExclusiveTty), held
// as a probe handle: a port that another process, or this one, holds is refused.
#pragma once

#include <memory>
#include <string>

#include "discovery/port_source.h"

namespace vantor {

// Null when the port cannot be opened exclusively now. Freeing the handle clears the
// exclusive flag again before closing, so the probe leaves the port as it found it.
std::unique_ptr<TProbeHandle> ProbeExclusive(const std::string& Path);

}  // namespace vantor
