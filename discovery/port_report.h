// The port report: every serial port present and every port the user names, with its
// state and, when it cannot be used, what stands in the way and how to clear it. The
// command-line tool prints it (list, diagnose) and consults it before greeting a port; the
// Linux window uses it for its notice about USB serial ports the user may not open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "serial/port_failure.h"

namespace vantor {

// Where the user stands with the device node's group (Linux; denied ports only).
enum class TGroupMembership : std::uint8_t {
  gmNotMember,    // the group database does not list the user in the group
  gmNotLoggedIn,  // it does, but this login began before that: log out and in again
  gmMember,       // this login is in the group; the node's mode gives the group no access
};

struct TPortHolder {
  int Pid = 0;
  std::string Name;  // the process's command name
};

struct TPortReportEntry {
  // As the user and the serial component name it: "/dev/ttyACM0", or "COM3" on Windows.
  std::string Name;
  // Linux: the /dev/serial/by-id link that leads to it, stable across replugging; or empty.
  std::string StableName;
  // What the device calls itself (vendor and model, or the friendly name); may be empty.
  std::string Description;
  bool Present = false;    // listed by the platform; false: only named by the user
  bool UsbSerial = false;  // a USB serial port (Linux: ttyACM*, ttyUSB*; Windows: unknown)
  // What stands in the way of opening it: pfNone when the exclusive open succeeded and no
  // other program has it open (the port is free).
  TPortFailure State = TPortFailure::pfNotFound;

  // pfBusy: the holders this user can see, and whether a holder is hidden from this user
  // (the port is locked but no visible process has it: another user's process).
  std::vector<TPortHolder> Holders;
  bool HolderHidden = false;
  // pfBusy (Linux): nothing holds it, yet it is held exclusively: a program ended without
  // giving up its hold while something else keeps the device open.
  bool HolderGone = false;
  // A pseudo-terminal: the program at its other end plays the device (Linux).
  bool PseudoTerminal = false;

  // pfDenied (Linux): the device node's group, the user and where the user stands.
  std::string Group;
  std::string User;
  TGroupMembership Membership = TGroupMembership::gmNotMember;
  std::string Mode;  // the node's permissions, "crw-rw----"

  // The system's code and text of the failed open (0 and empty when it opened).
  int ErrorCode = 0;
  std::string Error;

  // Linux: ModemManager is running and the device is not marked for it to ignore, so it
  // may open the port itself and send it modem commands.
  bool ModemManager = false;
  std::string UsbId;  // "vvvv:pppp" when known, for the udev rule that tells it to stop

  bool operator==(const TPortReportEntry&) const = default;
};

using TPortReport = std::vector<TPortReportEntry>;

// The ports present (when IncludePresent), in the platform's order, then each named port
// that is not one of them, in the order named. Every port is probed with an exclusive open
// that is closed again at once; nothing is written to any port.
TPortReport MakePortReport(const std::vector<std::string>& NamedPorts, bool IncludePresent);

// "free", "busy", "denied", "absent" (not found, or removed), "error" (no serial port, or
// any other failure).
std::string PortStateName(TPortFailure State);
// One line on the state, for people: "busy: held by minicom (pid 4711)".
std::string DescribePortState(const TPortReportEntry& Entry);
// What the user can do about each problem of the entry, one sentence each (none when free
// and nothing is in the way).
std::vector<std::string> PortRemedies(const TPortReportEntry& Entry);

}  // namespace vantor
