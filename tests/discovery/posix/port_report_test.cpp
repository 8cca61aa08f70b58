// The Linux port report over fabricated system facts, and its words.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <map>
#include <set>

#include "discovery/posix/port_facts.h"

namespace vantor {

namespace {

struct TFakePort {
  TNodeFacts Node;
  int ProbeError = 0;
  THolderScan Holders;
  std::string StableName;
  bool Watched = true;  // by ModemManager, when it runs
};

class TFakeFacts : public TPortFacts {
 public:
  std::vector<TPresentTty> Present;
  std::map<std::string, TFakePort> Ports;
  std::set<unsigned> ProcessGroups, ListedGroups;
  bool ModemManager = false;
  int HolderScans = 0;

  TFakePort& Add(const std::string& Name, std::uint64_t Rdev, bool IsPresent = true) {
    if (IsPresent)
      Present.push_back({Name, "Vantor Microphone"});
    TFakePort& Port = Ports[Name];
    Port.Node = TNodeFacts{true, Rdev, 20, S_IFCHR | 0660};
    return Port;
  }

  std::vector<TPresentTty> PresentPorts() override { return Present; }
  std::optional<TNodeFacts> Node(const std::string& Port) override {
    const auto It = Ports.find(Port);
    if (It == Ports.end())
      return std::nullopt;
    return It->second.Node;
  }
  int ProbeExclusive(const std::string& Port) override { return Ports.at(Port).ProbeError; }
  THolderScan Holders(const TNodeFacts& Node) override {
    ++HolderScans;
    for (const auto& [Name, Port] : Ports) {
      if (Port.Node.Rdev == Node.Rdev)
        return Port.Holders;
    }
    return {};
  }
  std::string StableName(const std::string& Port) override { return Ports.at(Port).StableName; }
  std::string UsbId(const TNodeFacts&) override { return "1209:c0de"; }
  std::string UserName() override { return "ana"; }
  std::string GroupName(unsigned Gid) override { return Gid == 20 ? "dialout" : "?"; }
  bool ProcessInGroup(unsigned Gid) override { return ProcessGroups.count(Gid) != 0; }
  bool UserListedInGroup(unsigned Gid) override { return ListedGroups.count(Gid) != 0; }
  bool ModemManagerRunning() override { return ModemManager; }
  bool ModemManagerWatches(const TNodeFacts& Node) override {
    for (const auto& [Name, Port] : Ports) {
      if (Port.Node.Rdev == Node.Rdev)
        return Port.Watched;
    }
    return false;
  }
  std::string ErrorText(int Code) override { return "text of " + std::to_string(Code); }
};

TEST(PortReport, FreeBusyAndAbsentPortsAndTheHoldersThatTookNoLock) {
  TFakeFacts Facts;
  Facts.Add("/dev/ttyACM0", 1).StableName = "/dev/serial/by-id/usb-Vantor_Mic-if00";
  // A terminal program has it open without a lock: the probe succeeds all the same.
  Facts.Add("/dev/ttyACM1", 2).Holders.Holders = {{4711, "minicom"}};
  Facts.Add("/dev/ttyUSB0", 3).ProbeError = EBUSY;
  Facts.Ports["/dev/ttyUSB0"].Holders = {{{12, "vantor-mic"}, {13, "screen"}}, false};

  const TPortReport Report = BuildPortReport(Facts, {"/dev/ttyACM7"}, true);
  ASSERT_EQ(Report.size(), 4u);
  EXPECT_EQ(Report[0].State, TPortFailure::pfNone);
  EXPECT_EQ(Report[0].StableName, "/dev/serial/by-id/usb-Vantor_Mic-if00");
  EXPECT_TRUE(Report[0].Present);
  EXPECT_TRUE(Report[0].UsbSerial);
  EXPECT_TRUE(PortRemedies(Report[0]).empty());

  EXPECT_EQ(Report[1].State, TPortFailure::pfBusy);
  EXPECT_EQ(DescribePortState(Report[1]), "busy: held by minicom (pid 4711)");
  EXPECT_NE(PortRemedies(Report[1]).at(0).find("kill 4711"), std::string::npos);

  EXPECT_EQ(DescribePortState(Report[2]), "busy: held by vantor-mic (pid 12) and screen (pid 13)");

  EXPECT_EQ(Report[3].Name, "/dev/ttyACM7");
  EXPECT_FALSE(Report[3].Present);
  EXPECT_EQ(Report[3].State, TPortFailure::pfNotFound);
  EXPECT_EQ(PortStateName(Report[3].State), "absent");
}

TEST(PortReport, ALockedPortWithNoVisibleHolderPointsAtFuser) {
  TFakeFacts Facts;
  TFakePort& Port = Facts.Add("/dev/ttyACM0", 1);
  Port.ProbeError = EBUSY;
  Port.Holders.SomeUnreadable = true;  // another user's processes cannot be looked into
  const TPortReportEntry Entry = BuildPortReport(Facts, {}, true).at(0);
  EXPECT_TRUE(Entry.HolderHidden);
  EXPECT_EQ(DescribePortState(Entry),
            "busy: held by a process of another user, which this user cannot see");
  EXPECT_NE(PortRemedies(Entry).at(0).find("sudo fuser /dev/ttyACM0"), std::string::npos);
}

TEST(PortReport, ABusyPortThatNoProcessHoldsSaysSoAndHowToReleaseTheHold) {
  struct Case {
    bool Pty, FarEndHasItOpen;
    std::string Description, Remedy;
  };
  const Case Cases[] = {
      {false, false, "busy, no holder: ", "Unplug the microphone and plug it in again"},
      {true, false, "busy, no holder: ", "restart the program that holds its other end"},
      // The far end holds the port itself: alive, so the usual words.
      {true, true, "busy: another program has it open (text of 16, error 16)", "Close the program"},
  };
  for (const Case& C : Cases) {
    TFakeFacts Facts;
    TFakePort& Port = Facts.Add("/dev/pts/4", 1);
    Port.Node.PseudoTerminal = C.Pty;
    Port.ProbeError = EBUSY;
    Port.Holders.FarEndHasItOpen = C.FarEndHasItOpen;
    const TPortReportEntry Entry = BuildPortReport(Facts, {}, true).at(0);
    EXPECT_EQ(Entry.State, TPortFailure::pfBusy);
    EXPECT_EQ(Entry.HolderGone, !C.FarEndHasItOpen);
    EXPECT_EQ(DescribePortState(Entry).rfind(C.Description, 0), 0u) << DescribePortState(Entry);
    EXPECT_NE(PortRemedies(Entry).at(0).find(C.Remedy), std::string::npos) << C.Remedy;
  }
}

TEST(PortReport, ADeniedPortSaysWhereTheUserStandsWithTheGroup) {
  struct Case {
    bool Listed, InProcess;
    TGroupMembership Membership;
    std::string Remedy;
  };
  const Case Cases[] = {
      {false, false, TGroupMembership::gmNotMember, "sudo usermod -aG dialout ana"},
      {true, false, TGroupMembership::gmNotLoggedIn, "Log out and in again"},
      {true, true, TGroupMembership::gmMember, "udev rules"},
  };
  for (const Case& C : Cases) {
    TFakeFacts Facts;
    Facts.Add("/dev/ttyACM0", 1).ProbeError = EACCES;
    if (C.Listed)
      Facts.ListedGroups.insert(20);
    if (C.InProcess)
      Facts.ProcessGroups.insert(20);
    const TPortReportEntry Entry = BuildPortReport(Facts, {}, true).at(0);
    EXPECT_EQ(Entry.State, TPortFailure::pfDenied);
    EXPECT_EQ(Entry.Group, "dialout");
    EXPECT_EQ(Entry.Mode, "crw-rw----");
    EXPECT_EQ(Entry.Membership, C.Membership);
    EXPECT_NE(PortRemedies(Entry).at(0).find(C.Remedy), std::string::npos) << C.Remedy;
  }
}

TEST(PortReport, ModemManagerIsNamedOnlyWhenRunningAndWatchingTheDevice) {
  TFakeFacts Facts;
  Facts.Add("/dev/ttyACM0", 1);
  Facts.Add("/dev/ttyACM1", 2).Watched = false;  // marked ID_MM_DEVICE_IGNORE
  EXPECT_FALSE(BuildPortReport(Facts, {}, true).at(0).ModemManager);

  Facts.ModemManager = true;
  const TPortReport Report = BuildPortReport(Facts, {}, true);
  EXPECT_TRUE(Report[0].ModemManager);
  EXPECT_FALSE(Report[1].ModemManager);
  const std::string Rule = PortRemedies(Report[0]).at(0);
  EXPECT_NE(Rule.find("ATTRS{idVendor}==\"1209\", ATTRS{idProduct}==\"c0de\""), std::string::npos);
  EXPECT_NE(Rule.find("ID_MM_DEVICE_IGNORE"), std::string::npos);
}

TEST(PortReport, NamedPortsAreNotRepeatedAndOtherFailuresKeepTheSystemText) {
  TFakeFacts Facts;
  Facts.Add("/dev/ttyACM0", 1);
  Facts.Add("/dev/serial/by-id/usb-Vantor", 1, false);  // the same device by another name
  Facts.Add("/dev/ttyS0", 9, false).ProbeError = EIO;
  Facts.Ports["/tmp/file"].Node = TNodeFacts{false, 0, 0, S_IFREG | 0644};
  const TPortReport Report = BuildPortReport(
      Facts, {"/dev/serial/by-id/usb-Vantor", "/dev/ttyS0", "/dev/ttyS0", "/tmp/file"}, true);
  ASSERT_EQ(Report.size(), 3u);
  EXPECT_EQ(Report[1].State, TPortFailure::pfOther);
  EXPECT_FALSE(Report[1].UsbSerial);
  EXPECT_EQ(DescribePortState(Report[1]), "cannot be opened (text of 5, error 5)");
  EXPECT_EQ(Report[2].State, TPortFailure::pfNotSerial);
  EXPECT_EQ(PortStateName(Report[2].State), "not-serial");
  EXPECT_EQ(DescribePortState(Report[2]),
            "not a serial port: a file, a folder or a device of another kind");
  ASSERT_EQ(PortRemedies(Report[2]).size(), 1u);
  EXPECT_NE(PortRemedies(Report[2])[0].find("Name the microphone's serial port"),
            std::string::npos);
  EXPECT_EQ(Report[2].ErrorCode, ENOTTY);

  // Without the present ports, only the named one is examined.
  const TPortReport Named = BuildPortReport(Facts, {"/dev/ttyS0"}, false);
  ASSERT_EQ(Named.size(), 1u);
  EXPECT_EQ(Named[0].Name, "/dev/ttyS0");
}

TEST(ProcessNames, ACutNameIsCompletedFromTheProgramsPath) {
  EXPECT_EQ(FullProcessName("vantor-mic-sett", "/usr/bin/vantor-mic-settings"),
            "vantor-mic-settings");
  EXPECT_EQ(FullProcessName("vantor-mic-sett", "vantor-mic-settings"), "vantor-mic-settings");
  EXPECT_EQ(FullProcessName("minicom", "/usr/bin/minicom"), "minicom");
  // Not cut, or a path that does not continue the name: the kernel's name stands.
  EXPECT_EQ(FullProcessName("python3", "/usr/bin/python3.11"), "python3");
  EXPECT_EQ(FullProcessName("kworker/0:1-eve", ""), "kworker/0:1-eve");
  EXPECT_EQ(FullProcessName("abcdefghijklmno", "/opt/other-name"), "abcdefghijklmno");
}

}  // namespace

}  // namespace vantor
