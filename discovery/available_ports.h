// The serial ports that are present and could be opened right now, as port entries:
// the port name, two blanks, and the shortened friendly name ("COM3  USB Serial Device ").
// The logic is portable, over a platform's port source (discovery/port_source.h).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/port_source.h"

namespace vantor {

using TPortEntryList = std::vector<std::string>;

// A fresh list in the platform's enumeration order, owned by the caller; null when no port
// qualifies or the enumeration cannot start (never an empty list).
std::unique_ptr<TPortEntryList> GetAvailableComPorts();

// The portable half of GetAvailableComPorts. Walks the source to its end: a device
// qualifies when it has a friendly name and a port name that, cut at its first NUL, begins with the
// source's serial prefix (on Windows "COM", compared case-sensitively, so "LPT1", "com5" and
// "XCOM3" are dropped) and that the source can open exclusively at that moment. Null when nothing
// qualifies. A failure raised midway is dropped and what was gathered so far is returned (null if
// nothing).
std::unique_ptr<TPortEntryList> ListAvailablePorts(TPortSource& Source);

// The text of a port entry.
std::u16string_view CutAtNul(std::u16string_view Text);

// Cut at the first NUL, then exactly seven characters deleted from the first "(COM" on (or
// up to the end when fewer remain). The fixed count is deliberate: "(COM3)" goes whole,
// "(COM12)" too, "(COM123)" leaves its ")", and text after "(COM3)" loses one character.
std::u16string ReduceFriendlyName(std::u16string_view FriendlyName);

// Both texts are cut at their first NUL; the entry is UTF-8.
std::string MakePortEntry(std::u16string_view PortName, std::u16string_view FriendlyName);

}  // namespace vantor
