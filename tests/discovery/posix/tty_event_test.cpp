#include "discovery/posix/tty_event.h"

#include <cstring>

#include <gtest/gtest.h>

#include "discovery/posix/sysfs_port_source.h"
#include "fake_sysfs.h"

namespace vantor {

namespace {

const std::string kAcmPath = "/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/tty/ttyACM0";

struct TTranslateCase {
  const char* What;
  TTtyEvent Event;
  std::optional<TPortNotice> Notice;
};

class Translate : public ::testing::TestWithParam<TTranslateCase> {};

TEST_P(Translate, GivesTheNoticeOfRealSerialDevicesOnly) {
  EXPECT_EQ(TranslateTtyEvent(GetParam().Event, "/dev"), GetParam().Notice) << GetParam().What;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Translate,
    ::testing::Values(
        TTranslateCase{"arrival",
                       {"add", "ttyACM0", kAcmPath},
                       TPortNotice{kDbtDeviceArrival, "/dev/ttyACM0"}},
        TTranslateCase{"removal",
                       {"remove", "ttyACM0", kAcmPath},
                       TPortNotice{kDbtDeviceRemoveComplete, "/dev/ttyACM0"}},
        TTranslateCase{"usb serial",
                       {"add", "ttyUSB3", "/devices/x/1-2:1.0/ttyUSB3/tty/ttyUSB3"},
                       TPortNotice{kDbtDeviceArrival, "/dev/ttyUSB3"}},
        TTranslateCase{"change is no arrival", {"change", "ttyACM0", kAcmPath}, std::nullopt},
        TTranslateCase{"bind is no arrival", {"bind", "ttyACM0", kAcmPath}, std::nullopt},
        TTranslateCase{
            "virtual console", {"add", "tty7", "/devices/virtual/tty/tty7"}, std::nullopt},
        TTranslateCase{
            "legacy pty", {"remove", "ttyp0", "/devices/virtual/tty/ttyp0"}, std::nullopt},
        TTranslateCase{"no device path", {"add", "ttyACM0", ""}, std::nullopt},
        TTranslateCase{"no name", {"add", "", kAcmPath}, std::nullopt},
        TTranslateCase{
            "a name that climbs out of the folder", {"add", "../etc", kAcmPath}, std::nullopt}));

TEST(Translate, SpellsTheNameExactlyAsDiscoveryDoes) {
  TFakeSysfs Tree;
  const auto Usb = Tree.AddUsbDevice("1-1", "V", "M");
  Tree.AddAcm(Usb, "ttyACM0");
  Tree.AddNode("ttyACM0");
  for (const std::string& DevRoot : {Tree.Dev().string(), Tree.Dev().string() + "/"}) {
    TSysfsPortSource Source(Tree.Sys(), DevRoot);
    TPresentPort Port;
    ASSERT_TRUE(Source.Next(Port));
    const auto Notice = TranslateTtyEvent({"remove", "ttyACM0", kAcmPath}, DevRoot);
    ASSERT_TRUE(Notice);
    EXPECT_EQ(std::u16string(Notice->Name.begin(), Notice->Name.end()), *Port.PortName);
  }
}

}  // namespace

}  // namespace vantor
