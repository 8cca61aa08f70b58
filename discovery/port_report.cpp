// The report's words: the same on every platform, so both front-ends say the same thing.
#include "discovery/port_report.h"

namespace vantor {

namespace {

std::string HolderList(const std::vector<TPortHolder>& Holders) {
  std::string Text;
  for (std::size_t I = 0; I < Holders.size(); ++I) {
    if (I > 0)
      Text += I + 1 == Holders.size() ? " and " : ", ";
    Text += (Holders[I].Name.empty() ? "a process" : Holders[I].Name) + " (pid " +
            std::to_string(Holders[I].Pid) + ")";
  }
  return Text;
}

std::string WithError(const TPortReportEntry& Entry) {
  if (Entry.Error.empty())
    return std::string();
  return " (" + Entry.Error + ", error " + std::to_string(Entry.ErrorCode) + ")";
}

std::string Denied(const TPortReportEntry& Entry) {
  if (Entry.Group.empty())
    return "denied: no permission to open it" + WithError(Entry);
  const std::string User = Entry.User.empty() ? "this user" : "user " + Entry.User;
  switch (Entry.Membership) {
    case TGroupMembership::gmNotMember:
      return "denied: the device belongs to group " + Entry.Group + ", and " + User +
             " is not in it";
    case TGroupMembership::gmNotLoggedIn:
      return "denied: " + User + " was added to group " + Entry.Group +
             " after this login began, so this session is not yet in it";
    case TGroupMembership::gmMember:
      break;
  }
  return "denied: " + User + " is in group " + Entry.Group +
         ", but the device gives the group no access (" + Entry.Mode + ")";
}

}  // namespace

std::string PortStateName(TPortFailure State) {
  switch (State) {
    case TPortFailure::pfNone:
      return "free";
    case TPortFailure::pfBusy:
      return "busy";
    case TPortFailure::pfDenied:
      return "denied";
    case TPortFailure::pfNotFound:
    case TPortFailure::pfRemoved:
      return "absent";
    case TPortFailure::pfNotSerial:
      return "not-serial";
    case TPortFailure::pfOther:
      break;
  }
  return "error";
}

std::string DescribePortState(const TPortReportEntry& Entry) {
  switch (Entry.State) {
    case TPortFailure::pfNone:
      return "free";
    case TPortFailure::pfBusy:
      if (!Entry.Holders.empty())
        return "busy: held by " + HolderList(Entry.Holders);
      if (Entry.HolderGone)
        return "busy, no holder: a program that ended left the port held exclusively, while "
               "something else keeps the device open";
      if (Entry.HolderHidden)
        return "busy: held by a process of another user, which this user cannot see";
      return "busy: another program has it open" + WithError(Entry);
    case TPortFailure::pfDenied:
      return Denied(Entry);
    case TPortFailure::pfNotFound:
    case TPortFailure::pfRemoved:
      return "absent: no such device";
    case TPortFailure::pfNotSerial:
      return "not a serial port: a file, a folder or a device of another kind";
    case TPortFailure::pfOther:
      break;
  }
  return "cannot be opened" + WithError(Entry);
}

std::vector<std::string> PortRemedies(const TPortReportEntry& Entry) {
  std::vector<std::string> Remedies;
  switch (Entry.State) {
    case TPortFailure::pfNone:
      break;
    case TPortFailure::pfBusy:
      if (!Entry.Holders.empty()) {
        Remedies.push_back("Stop the program that holds the port: close " +
                           HolderList(Entry.Holders) + ", or end it with kill " +
                           std::to_string(Entry.Holders.front().Pid) + ".");
      } else if (Entry.HolderGone) {
        // The kernel drops the hold only when the last user of the device lets go.
        Remedies.push_back(
            Entry.PseudoTerminal
                ? "The hold lasts as long as the pseudo-terminal's other end is open: restart "
                  "the program that holds its other end."
                : "Unplug the microphone and plug it in again: that releases the hold.");
      } else if (Entry.HolderHidden) {
        Remedies.push_back("`sudo fuser " + Entry.Name +
                           "` names the process that holds the port; stop it.");
      } else {
        Remedies.push_back("Close the program that uses the port, then try again.");
      }
      break;
    case TPortFailure::pfDenied:
      if (Entry.Group.empty()) {
        Remedies.push_back("Ask the administrator for access to " + Entry.Name + ".");
      } else if (Entry.Membership == TGroupMembership::gmNotMember) {
        Remedies.push_back("Join the group: sudo usermod -aG " + Entry.Group + " " +
                           (Entry.User.empty() ? "$USER" : Entry.User) +
                           ", then log out and in again.");
      } else if (Entry.Membership == TGroupMembership::gmNotLoggedIn) {
        Remedies.push_back("Log out and in again (or start a shell with `newgrp " + Entry.Group +
                           "`), so that this session is in group " + Entry.Group + ".");
      } else {
        Remedies.push_back(
            "The device node gives its group no access: ask the administrator "
            "to check the udev rules for " +
            Entry.Name + ".");
      }
      break;
    case TPortFailure::pfNotFound:
    case TPortFailure::pfRemoved:
      Remedies.push_back(
          "Check the name and that the microphone is plugged in; `vantor-mic "
          "list` shows the ports present.");
      break;
    case TPortFailure::pfNotSerial:
      Remedies.push_back(
          "Name the microphone's serial port instead (such as /dev/ttyACM0 or COM3); "
          "`vantor-mic list` shows the serial ports present.");
      break;
    case TPortFailure::pfOther:
      Remedies.push_back(
          "Unplug the microphone and plug it in again; if that does not help, "
          "send this report to support.");
      break;
  }
  if (Entry.ModemManager) {
    // The rule must match this device only: by its USB ids when known, else by its name.
    const std::string Match =
        Entry.UsbId.size() == 9
            ? "ATTRS{idVendor}==\"" + Entry.UsbId.substr(0, 4) + "\", ATTRS{idProduct}==\"" +
                  Entry.UsbId.substr(5) + "\""
            : "KERNEL==\"" + Entry.Name.substr(Entry.Name.find_last_of('/') + 1) + "\"";
    Remedies.push_back(
        "ModemManager is running and may open this port and send it modem commands: tell it "
        "to leave the device alone with a udev rule, e.g. a line in "
        "/etc/udev/rules.d/99-vantor-mic.rules: " +
        Match +
        ", ENV{ID_MM_DEVICE_IGNORE}=\"1\" (then `sudo udevadm control --reload` and replug the "
        "microphone).");
  }
  return Remedies;
}

}  // namespace vantor
