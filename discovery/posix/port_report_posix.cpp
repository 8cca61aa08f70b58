// The Linux port report: what each port's facts mean.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "discovery/posix/port_facts.h"

namespace vantor {

namespace {

std::string BaseName(const std::string& Path) {
  return Path.substr(Path.find_last_of('/') + 1);
}

bool LooksUsb(const std::string& Name, const std::string& StableName) {
  const std::string Base = BaseName(Name);
  return Base.starts_with("ttyACM") || Base.starts_with("ttyUSB") ||
         BaseName(StableName).starts_with("usb-");
}

std::string ModeText(unsigned Mode) {
  std::string Text = S_ISCHR(Mode) ? "c" : "-";
  const char* Letters = "rwx";
  for (int Bit = 8; Bit >= 0; --Bit)
    Text += (Mode & (1u << Bit)) != 0 ? Letters[(8 - Bit) % 3] : '-';
  return Text;
}

void ExplainDenied(TPortFacts& Facts, const TNodeFacts& Node, TPortReportEntry& Entry) {
  Entry.Group = Facts.GroupName(Node.Gid);
  Entry.User = Facts.UserName();
  Entry.Mode = ModeText(Node.Mode);
  if (Facts.ProcessInGroup(Node.Gid))
    Entry.Membership = TGroupMembership::gmMember;
  else if (Facts.UserListedInGroup(Node.Gid))
    Entry.Membership = TGroupMembership::gmNotLoggedIn;
  else
    Entry.Membership = TGroupMembership::gmNotMember;
}

void Fail(TPortFacts& Facts, int Code, TPortReportEntry& Entry) {
  Entry.ErrorCode = Code;
  Entry.Error = Facts.ErrorText(Code);
}

TPortReportEntry Examine(TPortFacts& Facts, const std::string& Name, bool Present,
                         const std::string& Description, bool ModemManagerRunning) {
  TPortReportEntry Entry;
  Entry.Name = Name;
  Entry.Present = Present;
  Entry.Description = Description;
  const std::optional<TNodeFacts> Node = Facts.Node(Name);
  if (!Node) {
    Entry.State = TPortFailure::pfNotFound;
    Fail(Facts, ENOENT, Entry);
    return Entry;
  }
  Entry.StableName = Facts.StableName(Name);
  Entry.UsbSerial = LooksUsb(Name, Entry.StableName);
  Entry.PseudoTerminal = Node->PseudoTerminal;
  if (!Node->CharDevice) {
    Entry.State = TPortFailure::pfNotSerial;
    Fail(Facts, ENOTTY, Entry);
    return Entry;
  }
  Entry.UsbId = Facts.UsbId(*Node);
  const int Error = Facts.ProbeExclusive(Name);
  Entry.State =
      Error == 0 ? TPortFailure::pfNone
                 : ClassifyPortError(static_cast<std::uint32_t>(Error), TPortErrorPhase::Opening);
  if (Error != 0)
    Fail(Facts, Error, Entry);
  switch (Entry.State) {
    case TPortFailure::pfNone: {
      // An open without a lock (a terminal program's) does not stop ours: look for it.
      THolderScan Scan = Facts.Holders(*Node);
      Entry.Holders = std::move(Scan.Holders);
      if (!Entry.Holders.empty())
        Entry.State = TPortFailure::pfBusy;
      break;
    }
    case TPortFailure::pfBusy: {
      THolderScan Scan = Facts.Holders(*Node);
      Entry.Holders = std::move(Scan.Holders);
      // Every process is seen and none has it open: the hold outlived its holder.
      Entry.HolderGone = Entry.Holders.empty() && !Scan.SomeUnreadable && !Scan.FarEndHasItOpen;
      Entry.HolderHidden = Entry.Holders.empty() && Scan.SomeUnreadable;
      break;
    }
    case TPortFailure::pfDenied:
      ExplainDenied(Facts, *Node, Entry);
      break;
    case TPortFailure::pfNotFound:
    case TPortFailure::pfRemoved:
      return Entry;  // a node left behind by a device that went
    case TPortFailure::pfNotSerial:
    case TPortFailure::pfOther:
      break;
  }
  Entry.ModemManager = ModemManagerRunning && Facts.ModemManagerWatches(*Node);
  return Entry;
}

}  // namespace

TPortReport BuildPortReport(TPortFacts& Facts, const std::vector<std::string>& NamedPorts,
                            bool IncludePresent) {
  TPortReport Report;
  const bool ModemManager = Facts.ModemManagerRunning();
  std::vector<std::uint64_t> Listed;  // device numbers, so another name of a port is no new port
  if (IncludePresent) {
    for (const TPresentTty& Tty : Facts.PresentPorts()) {
      Report.push_back(Examine(Facts, Tty.Name, true, Tty.Description, ModemManager));
      if (const auto Node = Facts.Node(Tty.Name))
        Listed.push_back(Node->Rdev);
    }
  }
  for (const std::string& Name : NamedPorts) {
    if (std::any_of(Report.begin(), Report.end(),
                    [&](const TPortReportEntry& Entry) { return Entry.Name == Name; })) {
      continue;
    }
    const auto Node = Facts.Node(Name);
    if (Node && Node->CharDevice) {
      if (std::find(Listed.begin(), Listed.end(), Node->Rdev) != Listed.end())
        continue;
      Listed.push_back(Node->Rdev);
    }
    Report.push_back(Examine(Facts, Name, false, std::string(), ModemManager));
  }
  return Report;
}

TPortReport MakePortReport(const std::vector<std::string>& NamedPorts, bool IncludePresent) {
  const std::unique_ptr<TPortFacts> Facts = MakeSystemPortFacts();
  return BuildPortReport(*Facts, NamedPorts, IncludePresent);
}

}  // namespace vantor
