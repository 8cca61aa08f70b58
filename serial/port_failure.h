// Why a port could not be used, in one vocabulary for every platform: the port report,
// the component's failures and the command line all speak it. Each platform maps its own
// codes in one function (ClassifyPortError); callers compare these, never codes. The
// messages the component raises are chosen by its own rules, not from this.
#pragma once

#include <cstdint>

namespace vantor {

enum class TPortFailure : std::uint8_t {
  pfNone,       // nothing stands in the way: the port could be opened
  pfNotFound,   // no such device
  pfBusy,       // held by another program (or by a hold nobody released)
  pfDenied,     // the user may not open it
  pfRemoved,    // the device went away while the port was open
  pfNotSerial,  // the name leads to something that is no serial port
  pfOther,      // anything else: the system's code and text say what
};

// Where a failure happened: opening, where a code may say that the device does not exist
// or is held, or on a port already open, where the same code may mean that it went away.
enum class TPortErrorPhase : std::uint8_t { Opening, Open };

// What a code of this platform (errno, or GetLastError on Windows) means. Defined per
// platform beside the exclusive open (serial/posix, serial/win32).
TPortFailure ClassifyPortError(std::uint32_t Code, TPortErrorPhase Phase);

}  // namespace vantor
