// Run by run_discovery_win32_tests.sh: WineRegisteredPorts after it has registered the
// devices below, WineNoPorts after it has removed them again.
//
//   COM3    "USB Serial Device (COM3)"     pty
//   COM12   "USB Serial Device (COM12)"    pty, PortName stored without its NUL
//   COM123  "USB Serial Device (COM123)"   pty
//   COM4    "Gadget (COM4) rev B"          pty
//   COM5    no friendly name               pty
//   LPT1    "Printer Port (LPT1)"          -
//   com5    "Lower Case (COM5)"            pty (com5 is COM5's link)
//   COM7    "USB Serial Device (COM7)"     no dosdevices link: the probe fails
#include <gtest/gtest.h>

#include "discovery/available_ports.h"

namespace vantor {

namespace {

TEST(WineRegisteredPorts, ListsTheFreeComPortsWithFriendlyNamesInEnumerationOrder) {
  const auto Entries = GetAvailableComPorts();
  ASSERT_NE(Entries, nullptr);
  EXPECT_EQ(*Entries, (TPortEntryList{"COM3  USB Serial Device ", "COM12  USB Serial Device ",
                                      "COM123  USB Serial Device )", "COM4  Gadget rev B"}));
}

TEST(WineRegisteredPorts, EveryCallEnumeratesAfresh) {
  const auto First = GetAvailableComPorts();
  const auto Second = GetAvailableComPorts();
  ASSERT_NE(First, nullptr);
  ASSERT_NE(Second, nullptr);
  EXPECT_EQ(*First, *Second);
}

TEST(WineNoPorts, IsNullNotAnEmptyList) {
  EXPECT_EQ(GetAvailableComPorts(), nullptr);
}

}  // namespace

}  // namespace vantor
