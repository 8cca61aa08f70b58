// The port report's facts from the running Linux system.
#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

#include "discovery/posix/port_facts.h"
#include "discovery/posix/sysfs_port_source.h"
#include "discovery/posix/udev_handles.h"
#include "base/system_error.h"
#include "base/utf.h"
#include "serial/posix/exclusive_open.h"

namespace vantor {

namespace {

constexpr unsigned kPtySlaveMajorFirst = 136, kPtySlaveMajorLast = 143;

std::string FirstLine(const std::string& File) {
  std::ifstream In(File);
  std::string Line;
  std::getline(In, Line);
  return Line;
}

// The value of "Key:\t..." in a /proc fdinfo file, or -1.
long FdInfoValue(const std::string& File, const std::string& Key) {
  std::ifstream In(File);
  for (std::string Line; std::getline(In, Line);) {
    if (Line.rfind(Key + ":", 0) == 0)
      return std::strtol(Line.c_str() + Key.size() + 1, nullptr, 10);
  }
  return -1;
}

bool IsNumber(const char* Text) {
  if (*Text == '\0')
    return false;
  for (; *Text != '\0'; ++Text) {
    if (*Text < '0' || *Text > '9')
      return false;
  }
  return true;
}

struct TDirCloser {
  void operator()(DIR* Dir) const { ::closedir(Dir); }
};
using TDirPtr = std::unique_ptr<DIR, TDirCloser>;

class TSystemPortFacts : public TPortFacts {
 public:
  TSystemPortFacts() : FUdev(udev_new()) {}

  std::vector<TPresentTty> PresentPorts() override {
    std::vector<TPresentTty> Ports;
    TSysfsPortSource Source("/sys", "/dev");
    TPresentPort Port;
    while (Source.Next(Port)) {
      if (Port.PortName)
        Ports.push_back({ToUtf8(*Port.PortName), ToUtf8(Port.FriendlyName.value_or(u""))});
    }
    return Ports;
  }

  std::optional<TNodeFacts> Node(const std::string& Port) override {
    struct stat Info {};
    if (::stat(Port.c_str(), &Info) != 0)
      return std::nullopt;
    const unsigned Major = major(Info.st_rdev);
    return TNodeFacts{
        S_ISCHR(Info.st_mode), static_cast<std::uint64_t>(Info.st_rdev),
        static_cast<unsigned>(Info.st_gid), static_cast<unsigned>(Info.st_mode),
        S_ISCHR(Info.st_mode) && Major >= kPtySlaveMajorFirst && Major <= kPtySlaveMajorLast};
  }

  int ProbeExclusive(const std::string& Port) override {
    ScanProcesses();  // before any probe, so that no probe's own descriptor is seen
    int Error = 0;
    OpenExclusiveTty(Port, Error);  // closed again at once, its flag cleared
    return Error;
  }

  THolderScan Holders(const TNodeFacts& Node) override {
    ScanProcesses();
    THolderScan Scan;
    Scan.SomeUnreadable = FSomeUnreadable;
    const auto Found = FOpenBy.find(Node.Rdev);
    if (Found == FOpenBy.end())
      return Scan;
    const std::set<int> FarEnd = PtyFarEnd(Node);
    for (const int Pid : Found->second) {
      if (FarEnd.count(Pid) == 0)
        Scan.Holders.push_back({Pid, FNames[Pid]});
      else
        Scan.FarEndHasItOpen = true;
    }
    return Scan;
  }

  std::string StableName(const std::string& Port) override {
    const auto Target = Node(Port);
    const std::string Folder = "/dev/serial/by-id";
    TDirPtr Dir(::opendir(Folder.c_str()));
    if (!Target || !Dir)
      return std::string();
    while (const dirent* Entry = ::readdir(Dir.get())) {
      if (Entry->d_name[0] == '.')
        continue;
      std::string Link = Folder + "/" + Entry->d_name;
      const auto Linked = Node(Link);
      if (Linked && Linked->CharDevice && Linked->Rdev == Target->Rdev)
        return Link;
    }
    return std::string();
  }

  std::string UsbId(const TNodeFacts& Node) override {
    const TUdevDevicePtr Device = UdevDevice(Node);
    const std::string Vendor = Property(Device.get(), "ID_VENDOR_ID");
    const std::string Model = Property(Device.get(), "ID_MODEL_ID");
    if (Vendor.size() != 4 || Model.size() != 4)
      return std::string();
    return Vendor + ":" + Model;
  }

  std::string UserName() override {
    const passwd* Entry = ::getpwuid(::geteuid());
    return Entry ? Entry->pw_name : std::to_string(::geteuid());
  }

  std::string GroupName(unsigned Gid) override {
    const group* Entry = ::getgrgid(static_cast<gid_t>(Gid));
    return Entry ? Entry->gr_name : std::to_string(Gid);
  }

  bool ProcessInGroup(unsigned Gid) override {
    if (::getegid() == Gid)
      return true;
    const int Count = ::getgroups(0, nullptr);
    std::vector<gid_t> Groups(static_cast<std::size_t>(Count > 0 ? Count : 0));
    const int Got = ::getgroups(Count, Groups.data());
    for (int I = 0; I < Got; ++I) {
      if (Groups[static_cast<std::size_t>(I)] == Gid)
        return true;
    }
    return false;
  }

  bool UserListedInGroup(unsigned Gid) override {
    const passwd* Entry = ::getpwuid(::geteuid());
    if (!Entry)
      return false;
    const std::string Name = Entry->pw_name;
    const gid_t Primary = Entry->pw_gid;
    int Count = 64;
    std::vector<gid_t> Groups(static_cast<std::size_t>(Count));
    if (::getgrouplist(Name.c_str(), Primary, Groups.data(), &Count) < 0) {
      Groups.resize(static_cast<std::size_t>(Count));  // Count now holds the size needed
      if (::getgrouplist(Name.c_str(), Primary, Groups.data(), &Count) < 0)
        return false;
    }
    Groups.resize(static_cast<std::size_t>(Count));
    return std::find(Groups.begin(), Groups.end(), static_cast<gid_t>(Gid)) != Groups.end();
  }

  bool ModemManagerRunning() override {
    ScanProcesses();
    return FModemManager;
  }

  bool ModemManagerWatches(const TNodeFacts& Node) override {
    const TUdevDevicePtr Device = UdevDevice(Node);
    if (!Device)
      return false;  // unknown to udev (a pty): ModemManager never sees it
    const char* SysPath = udev_device_get_syspath(Device.get());
    if (SysPath && std::strstr(SysPath, "/virtual/") != nullptr)
      return false;
    return Property(Device.get(), "ID_MM_DEVICE_IGNORE") != "1" &&
           Property(Device.get(), "ID_MM_PORT_IGNORE") != "1";
  }

  std::string ErrorText(int Code) override {
    return SystemErrorText(static_cast<std::uint32_t>(Code));
  }

 private:
  static std::string Property(udev_device* Device, const char* Name) {
    const char* Value = Device ? udev_device_get_property_value(Device, Name) : nullptr;
    return Value ? Value : "";
  }

  TUdevDevicePtr UdevDevice(const TNodeFacts& Node) const {
    if (!FUdev || !Node.CharDevice)
      return nullptr;
    return TUdevDevicePtr(
        udev_device_new_from_devnum(FUdev.get(), 'c', static_cast<dev_t>(Node.Rdev)));
  }

  // One walk over /proc serves every port of the report: which processes have which
  // character devices open, which hold pty masters, and whether ModemManager runs.
  void ScanProcesses() {
    if (FScanned)
      return;
    FScanned = true;
    TDirPtr Proc(::opendir("/proc"));
    if (!Proc)
      return;
    while (const dirent* Entry = ::readdir(Proc.get())) {
      if (!IsNumber(Entry->d_name))
        continue;
      const int Pid = std::atoi(Entry->d_name);
      const std::string Dir = std::string("/proc/") + Entry->d_name;
      std::string Argv0;
      std::getline(std::ifstream(Dir + "/cmdline"), Argv0, '\0');
      const std::string Name = FullProcessName(FirstLine(Dir + "/comm"), Argv0);
      if (Name == "ModemManager")
        FModemManager = true;
      // This process too: a window that holds its own port, or a tool started on the very
      // terminal it was asked to greet, must not call that port free.
      ScanFiles(Pid, Dir, Name);
    }
  }

  void ScanFiles(int Pid, const std::string& Dir, const std::string& Name) {
    TDirPtr Fds(::opendir((Dir + "/fd").c_str()));
    if (!Fds) {
      if (errno == EACCES)
        FSomeUnreadable = true;  // another user's process
      return;
    }
    while (const dirent* Fd = ::readdir(Fds.get())) {
      if (!IsNumber(Fd->d_name))
        continue;
      const std::string Path = Dir + "/fd/" + Fd->d_name;
      struct stat Info {};
      if (::stat(Path.c_str(), &Info) != 0 || !S_ISCHR(Info.st_mode))
        continue;
      const auto Rdev = static_cast<std::uint64_t>(Info.st_rdev);
      auto& Pids = FOpenBy[Rdev];
      if (Pids.empty() || Pids.back() != Pid)
        Pids.push_back(Pid);
      FNames[Pid] = Name;
      const long PtyIndex = FdInfoValue(Dir + "/fdinfo/" + Fd->d_name, "tty-index");
      if (PtyIndex >= 0)
        FPtyMasters[Pid].insert(PtyIndex);
    }
  }

  // The processes that hold the master of the pseudo-terminal whose slave is Node.
  std::set<int> PtyFarEnd(const TNodeFacts& Node) {
    std::set<int> Pids;
    if (!Node.PseudoTerminal)
      return Pids;
    for (const auto& [Pid, Indexes] : FPtyMasters) {
      for (const long Index : Indexes) {
        const auto Slave = this->Node("/dev/pts/" + std::to_string(Index));
        if (Slave && Slave->Rdev == Node.Rdev)
          Pids.insert(Pid);
      }
    }
    return Pids;
  }

  TUdevPtr FUdev;
  bool FScanned = false;
  bool FSomeUnreadable = false;
  bool FModemManager = false;
  std::map<std::uint64_t, std::vector<int>> FOpenBy;  // device number -> pids
  std::map<int, std::string> FNames;
  std::map<int, std::set<long>> FPtyMasters;  // pid -> indexes of the ptys it is the far end of
};

}  // namespace

std::string FullProcessName(const std::string& Comm, const std::string& Argv0) {
  constexpr std::size_t kCommLength = 15;  // TASK_COMM_LEN less its terminating zero
  std::string Base = Argv0.substr(Argv0.find_last_of('/') + 1);
  if (Comm.size() == kCommLength && Base.size() > Comm.size() && Base.rfind(Comm, 0) == 0)
    return Base;
  return Comm;
}

std::unique_ptr<TPortFacts> MakeSystemPortFacts() {
  return std::make_unique<TSystemPortFacts>();
}

}  // namespace vantor
