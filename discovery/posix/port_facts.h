// What the Linux port report asks of the system: device nodes, an exclusive probe, the
// processes that have a device open, groups and users, udev's view. The report's logic
// (BuildPortReport) sits above it, so the tests fabricate every fact it decides on.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "discovery/port_report.h"

namespace vantor {

struct TPresentTty {
  std::string Name;         // "/dev/ttyACM0"
  std::string Description;  // vendor and model, or empty
};

struct TNodeFacts {
  bool CharDevice = false;
  std::uint64_t Rdev = 0;  // the device number, which every name of the node shares
  unsigned Gid = 0;
  unsigned Mode = 0;            // st_mode
  bool PseudoTerminal = false;  // a pty's slave end
};

struct THolderScan {
  std::vector<TPortHolder> Holders;  // by pid, this process included
  bool SomeUnreadable = false;       // processes whose open files this user cannot read
  bool FarEndHasItOpen = false;      // the pty's far end (left out of Holders) has it open too
};

class TPortFacts {
 public:
  virtual ~TPortFacts() = default;

  // The serial ports present, in discovery's order.
  virtual std::vector<TPresentTty> PresentPorts() = 0;
  // The node behind a name (symbolic links followed); none when it does not exist.
  virtual std::optional<TNodeFacts> Node(const std::string& Port) = 0;
  // The open the serial component makes (OpenExclusiveTty), closed again at once: 0, or the
  // errno of the failure (EBUSY when another holder has it locked or exclusive).
  virtual int ProbeExclusive(const std::string& Port) = 0;
  // The processes (this one included) that have the device open. The program at the far
  // end of a pseudo-terminal (it holds the master) is not counted: it plays the device, it
  // does not compete for the port.
  virtual THolderScan Holders(const TNodeFacts& Node) = 0;
  virtual std::string StableName(const std::string& Port) = 0;  // /dev/serial/by-id/...
  virtual std::string UsbId(const TNodeFacts& Node) = 0;        // "vvvv:pppp" or empty

  virtual std::string UserName() = 0;
  virtual std::string GroupName(unsigned Gid) = 0;
  virtual bool ProcessInGroup(unsigned Gid) = 0;     // this login's groups
  virtual bool UserListedInGroup(unsigned Gid) = 0;  // the group database's view of the user

  virtual bool ModemManagerRunning() = 0;
  // Whether ModemManager would look at the device: a real device udev knows, not marked
  // ID_MM_DEVICE_IGNORE.
  virtual bool ModemManagerWatches(const TNodeFacts& Node) = 0;

  virtual std::string ErrorText(int Code) = 0;
};

// A process's name as a person knows it: the kernel keeps only the first 15 bytes of it
// (Comm, /proc/PID/comm), so a name cut there is completed from the program's path
// (Argv0, the first word of /proc/PID/cmdline) when that path's last part begins with it.
std::string FullProcessName(const std::string& Comm, const std::string& Argv0);

// The real system: /sys, /dev, /proc, the user and group databases, udev.
std::unique_ptr<TPortFacts> MakeSystemPortFacts();

// The report's logic over the facts (MakePortReport on Linux is this over the system).
TPortReport BuildPortReport(TPortFacts& Facts, const std::vector<std::string>& NamedPorts,
                            bool IncludePresent);

}  // namespace vantor
