// The portable half of GetAvailableComPorts, over a platform's port source.
#pragma once

#include "discovery/available_ports.h"
#include "discovery/port_source.h"

namespace vantor {

// Walks the source to its end: a device qualifies when it has a friendly name and a port
// name that, cut at its first NUL, begins with the source's serial prefix (on Windows
// "COM", compared case-sensitively, so "LPT1", "com5" and "XCOM3" are dropped) and that
// the source can open exclusively at that moment. Null when nothing qualifies. A failure
// raised midway is dropped and what was gathered so far is returned (null if nothing).
std::unique_ptr<TPortEntryList> ListAvailablePorts(TPortSource& Source);

}  // namespace vantor
