#include "discovery/posix/sysfs_port_source.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include "discovery/available_ports.h"
#include "discovery/posix/sysfs_ttys.h"
#include "base/posix/unique_fd.h"
#include "fake_sysfs.h"

namespace vantor {

namespace {

namespace fs = std::filesystem;

TPortEntryList List(const TFakeSysfs& Tree) {
  TSysfsPortSource Source(Tree.Sys(), Tree.Dev());
  auto Entries = ListAvailablePorts(Source);
  return Entries ? *Entries : TPortEntryList{};
}

std::string Node(const TFakeSysfs& Tree, const std::string& Tty) {
  return (Tree.Dev() / Tty).string();
}

class SysfsSource : public ::testing::Test {
 protected:
  TFakeSysfs Tree;
};

TEST_F(SysfsSource, ListsRealSerialPortsOnlyInNameOrder) {
  const auto Mic = Tree.AddUsbDevice("1-1", "Vantor", "Table-Top Microphone");
  Tree.AddAcm(Mic, "ttyACM0");
  const auto Ftdi = Tree.AddUsbDevice("1-2", "FTDI", "FT232R USB UART");
  Tree.AddUsbSerial(Ftdi, "ttyUSB0");
  Tree.AddUart("ttyS0", "4");
  Tree.AddUart("ttyS1", "0");  // placeholder
  Tree.AddVirtual("tty1");
  Tree.AddVirtual("ptyp0");
  Tree.AddVirtual("ttyp0");
  for (const char* Tty : {"ttyACM0", "ttyUSB0", "ttyS0", "ttyS1", "tty1", "ptyp0", "ttyp0"}) {
    Tree.AddNode(Tty);  // every node opens: only sysfs decides
  }
  EXPECT_EQ(List(Tree), (TPortEntryList{Node(Tree, "ttyACM0") + "  Vantor Table-Top Microphone",
                                        Node(Tree, "ttyS0") + "  ",
                                        Node(Tree, "ttyUSB0") + "  FTDI FT232R USB UART"}));
}

TEST_F(SysfsSource, OrdersNumbersAsNumbers) {
  for (const char* Tty : {"ttyACM10", "ttyACM2", "ttyACM1"}) {
    Tree.AddAcm(Tree.AddUsbDevice(std::string("1-") + (Tty + 6), "V", "M"), Tty);
    Tree.AddNode(Tty);
  }
  EXPECT_EQ(List(Tree),
            (TPortEntryList{Node(Tree, "ttyACM1") + "  V M", Node(Tree, "ttyACM2") + "  V M",
                            Node(Tree, "ttyACM10") + "  V M"}));
}

TEST_F(SysfsSource, FriendlyNameFromWhicheverStringTheDeviceHas) {
  Tree.AddAcm(Tree.AddUsbDevice("1-1", "", "Only Product"), "ttyACM0");
  Tree.AddAcm(Tree.AddUsbDevice("1-2", "Only Maker", ""), "ttyACM1");
  Tree.AddAcm(Tree.AddUsbDevice("1-3", "", ""), "ttyACM2");
  Tree.AddAcm(Tree.AddUsbDevice("1-4", "Gadget (COM4) rev", "B"), "ttyACM3");
  for (const char* Tty : {"ttyACM0", "ttyACM1", "ttyACM2", "ttyACM3"})
    Tree.AddNode(Tty);
  EXPECT_EQ(List(Tree),
            (TPortEntryList{Node(Tree, "ttyACM0") + "  Only Product",
                            Node(Tree, "ttyACM1") + "  Only Maker", Node(Tree, "ttyACM2") + "  ",
                            Node(Tree, "ttyACM3") + "  Gadget rev B"}));
}

TEST_F(SysfsSource, SkipsPortsWhoseNodeIsMissing) {
  Tree.AddAcm(Tree.AddUsbDevice("1-1", "V", "M"), "ttyACM0");
  Tree.AddAcm(Tree.AddUsbDevice("1-2", "V", "M"), "ttyACM1");
  Tree.AddNode("ttyACM1");
  EXPECT_EQ(List(Tree), TPortEntryList{Node(Tree, "ttyACM1") + "  V M"});
}

TEST_F(SysfsSource, IsNullWithNothingToList) {
  Tree.AddVirtual("tty1");
  Tree.AddNode("tty1");
  TSysfsPortSource Source(Tree.Sys(), Tree.Dev());
  EXPECT_EQ(ListAvailablePorts(Source), nullptr);
  TSysfsPortSource Missing(Tree.Sys() / "absent", Tree.Dev());
  EXPECT_EQ(ListAvailablePorts(Missing), nullptr);
}

class HeldPort : public SysfsSource {
 protected:
  void SetUp() override {
    Tree.AddAcm(Tree.AddUsbDevice("1-1", "V", "Free"), "ttyACM0");
    Tree.AddAcm(Tree.AddUsbDevice("1-2", "V", "Held"), "ttyACM1");
    Tree.AddNode("ttyACM0");
    Tree.AddNode("ttyACM1");
  }
  TUniqueFd OpenNode(const std::string& Tty) {
    TUniqueFd Fd(::open(Node(Tree, Tty).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    EXPECT_TRUE(Fd) << Tty;
    return Fd;
  }
};

TEST_F(HeldPort, LockedThroughAnotherOpenIsNotListed) {
  const TUniqueFd Holder = OpenNode("ttyACM1");
  ASSERT_EQ(::flock(Holder.Get(), LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(List(Tree), TPortEntryList{Node(Tree, "ttyACM0") + "  V Free"});
}

TEST_F(HeldPort, MadeExclusiveByAnotherHolderIsNotListed) {
  // Whether the open fails (unprivileged) or the flag is seen (privileged), it is held.
  const TUniqueFd Holder = OpenNode("ttyACM1");
  ASSERT_EQ(::ioctl(Holder.Get(), TIOCEXCL), 0);
  EXPECT_EQ(List(Tree), TPortEntryList{Node(Tree, "ttyACM0") + "  V Free"});
}

TEST_F(HeldPort, IsListedAgainOnceReleased) {
  {
    const TUniqueFd Holder = OpenNode("ttyACM1");
    ASSERT_EQ(::flock(Holder.Get(), LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(List(Tree).size(), 1u);
  }
  EXPECT_EQ(List(Tree).size(), 2u);
}

TEST_F(HeldPort, TheProbeLeavesNeitherLockNorExclusiveFlag) {
  ASSERT_EQ(List(Tree).size(), 2u);
  const TUniqueFd After = OpenNode("ttyACM0");
  int Exclusive = -1;
  ASSERT_EQ(::ioctl(After.Get(), TIOCGEXCL, &Exclusive), 0);
  EXPECT_EQ(Exclusive, 0);
  EXPECT_EQ(::flock(After.Get(), LOCK_EX | LOCK_NB), 0);
}

TEST_F(HeldPort, TheProbeLeavesAnotherHoldersExclusiveFlagAlone) {
  const TUniqueFd Holder = OpenNode("ttyACM1");
  ASSERT_EQ(::ioctl(Holder.Get(), TIOCEXCL), 0);
  List(Tree);
  int Exclusive = 0;
  ASSERT_EQ(::ioctl(Holder.Get(), TIOCGEXCL, &Exclusive), 0);
  EXPECT_NE(Exclusive, 0);
}

TEST(NaturalLess, ComparesDigitRunsByValue) {
  struct TCase {
    const char* A;
    const char* B;
    bool Less;
  };
  const TCase Cases[] = {{"ttyACM2", "ttyACM10", true}, {"ttyACM10", "ttyACM2", false},
                         {"ttyACM0", "ttyS0", true},    {"ttyS0", "ttyUSB0", true},
                         {"ttyS", "ttyS0", true},       {"ttyS1", "ttyS1", false},
                         {"ttyUSB9", "ttyUSB10", true}, {"a10b", "a10c", true}};
  for (const TCase& Case : Cases) {
    EXPECT_EQ(NaturalLess(Case.A, Case.B), Case.Less) << Case.A << " < " << Case.B;
  }
}

TEST(RealSystem, GetAvailableComPortsListsOnlyDevicePaths) {
  // Whatever this machine has: entries, if any, name a node under /dev.
  if (const auto Entries = GetAvailableComPorts()) {
    ASSERT_FALSE(Entries->empty());
    for (const std::string& Entry : *Entries)
      EXPECT_EQ(Entry.rfind("/dev/tty", 0), 0u) << Entry;
  }
}

}  // namespace

}  // namespace vantor
