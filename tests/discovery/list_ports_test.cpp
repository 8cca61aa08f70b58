#include "discovery/available_ports.h"

#include <gtest/gtest.h>

#include "fake_port_source.h"

namespace vantor {

namespace {

using namespace std::string_literals;

TFakePortSource::TDevice Port(std::u16string Name, std::u16string Friendly) {
  return {std::move(Friendly), std::move(Name)};
}

struct TEntryCase {
  const char* What;
  std::u16string PortName;
  std::u16string FriendlyName;
  std::string Entry;
};

class EntryText : public ::testing::TestWithParam<TEntryCase> {};

TEST_P(EntryText, IsThePortNameTwoBlanksAndTheReducedFriendlyName) {
  const TEntryCase& Case = GetParam();
  TFakePortSource Source;
  Source.Devices = {Port(Case.PortName, Case.FriendlyName)};
  const auto Entries = ListAvailablePorts(Source);
  ASSERT_NE(Entries, nullptr) << Case.What;
  EXPECT_EQ(*Entries, TPortEntryList{Case.Entry}) << Case.What;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EntryText,
    ::testing::Values(
        TEntryCase{"one-digit suffix goes whole, the blank before it stays", u"COM3",
                   u"USB Serial Device (COM3)", "COM3  USB Serial Device "},
        TEntryCase{"two-digit suffix is exactly seven characters", u"COM12",
                   u"USB Serial Device (COM12)", "COM12  USB Serial Device "},
        TEntryCase{"three-digit suffix leaves its closing parenthesis", u"COM123",
                   u"USB Serial Device (COM123)", "COM123  USB Serial Device )"},
        TEntryCase{"text after a one-digit suffix loses one character", u"COM4",
                   u"Gadget (COM4) rev B", "COM4  Gadget rev B"},
        TEntryCase{"only the first (COM is touched", u"COM4", u"A (COM4) (COM5)", "COM4  A (COM5)"},
        TEntryCase{"no (COM: unchanged", u"COM3", u"Communications Port",
                   "COM3  Communications Port"},
        TEntryCase{"(COM in the middle, fewer than seven after it", u"COM3", u"X(COM", "COM3  X"},
        TEntryCase{"lower-case (com is not the suffix", u"COM3", u"Dev (com3)", "COM3  Dev (com3)"},
        TEntryCase{"an empty friendly name still lists", u"COM3", u"", "COM3  "},
        TEntryCase{"friendly name cut at its first NUL", u"COM3", u"Modem\0 (COM3)"s,
                   "COM3  Modem"},
        TEntryCase{"NUL before the suffix hides it", u"COM3", u"Dev\0(COM3)"s, "COM3  Dev"},
        TEntryCase{"port name cut at its first NUL", u"COM3\0junk"s, u"Dev (COM3)", "COM3  Dev "},
        TEntryCase{"port name with its terminating NUL", u"COM7\0"s, u"Dev (COM7)", "COM7  Dev "},
        TEntryCase{"non-ASCII friendly name comes out as UTF-8", u"COM3", u"G\u00e9r\u00e4t (COM3)",
                   "COM3  G\xc3\xa9r\xc3\xa4t "},
        TEntryCase{"characters, not bytes, are deleted", u"COM3", u"A (COM3)\u00e9\u00e9Z",
                   "COM3  A \xc3\xa9Z"}));

TEST(ListAvailablePorts, DropsNamesThatDoNotBeginWithCapitalCom) {
  TFakePortSource Source;
  Source.Devices = {Port(u"LPT1", u"Printer Port (LPT1)"), Port(u"com5", u"Lower (COM5)"),
                    Port(u"XCOM3", u"Odd (COM3)"),         Port(u" COM6", u"Blank (COM6)"),
                    Port(u"Com8", u"Mixed (COM8)"),        Port(u"COM9", u"Kept (COM9)")};
  const auto Entries = ListAvailablePorts(Source);
  ASSERT_NE(Entries, nullptr);
  EXPECT_EQ(*Entries, TPortEntryList{"COM9  Kept "});
  EXPECT_EQ(Source.Probed, std::vector<std::u16string>{u"COM9"}) << "dropped names are not probed";
}

TEST(ListAvailablePorts, SkipsDevicesWithoutFriendlyNameOrPortName) {
  TFakePortSource Source;
  Source.Devices = {
      {std::nullopt, u"COM1"}, {u"No port name", std::nullopt}, Port(u"COM2", u"Two (COM2)")};
  const auto Entries = ListAvailablePorts(Source);
  ASSERT_NE(Entries, nullptr);
  EXPECT_EQ(*Entries, TPortEntryList{"COM2  Two "});
  EXPECT_EQ(Source.Probed, std::vector<std::u16string>{u"COM2"});
}

TEST(ListAvailablePorts, SkipsPortsThatCannotBeOpenedAndKeepsGoing) {
  TFakePortSource Source;
  Source.Devices = {Port(u"COM1", u"One (COM1)"), Port(u"COM2", u"Two (COM2)"),
                    Port(u"COM3", u"Three (COM3)")};
  Source.Refused = {u"COM2"};
  const auto Entries = ListAvailablePorts(Source);
  ASSERT_NE(Entries, nullptr);
  EXPECT_EQ(*Entries, (TPortEntryList{"COM1  One ", "COM3  Three "}));
  EXPECT_EQ(Source.OpenProbes, 0) << "every probe is closed again";
}

TEST(ListAvailablePorts, KeepsTheEnumerationOrderAndDuplicates) {
  TFakePortSource Source;
  Source.Devices = {Port(u"COM12", u"B (COM12)"), Port(u"COM2", u"A (COM2)"),
                    Port(u"COM12", u"B (COM12)")};
  const auto Entries = ListAvailablePorts(Source);
  ASSERT_NE(Entries, nullptr);
  EXPECT_EQ(*Entries, (TPortEntryList{"COM12  B ", "COM2  A ", "COM12  B "}));
}

TEST(ListAvailablePorts, ProbesThePortNameCutAtItsNul) {
  TFakePortSource Source;
  Source.Devices = {Port(u"COM3\0COM4"s, u"Dev (COM3)")};
  ListAvailablePorts(Source);
  EXPECT_EQ(Source.Probed, std::vector<std::u16string>{u"COM3"});
}

TEST(ListAvailablePorts, IsNullWhenNothingQualifies) {
  const std::vector<std::vector<TFakePortSource::TDevice>> Cases = {
      {},
      {Port(u"LPT1", u"Printer Port (LPT1)")},
      {{std::nullopt, u"COM1"}},
      {Port(u"COM2", u"Held (COM2)")},
  };
  for (const auto& Devices : Cases) {
    TFakePortSource Source;
    Source.Devices = Devices;
    Source.Refused = {u"COM2"};
    EXPECT_EQ(ListAvailablePorts(Source), nullptr) << Devices.size() << " device(s)";
  }
}

TEST(ListAvailablePorts, AFailureMidwayReturnsWhatWasGathered) {
  TFakePortSource Source;
  Source.Devices = {Port(u"COM1", u"One (COM1)"), Port(u"COM2", u"Two (COM2)"),
                    Port(u"COM3", u"Three (COM3)")};
  Source.ThrowAt = 2;
  const auto Entries = ListAvailablePorts(Source);
  ASSERT_NE(Entries, nullptr);
  EXPECT_EQ(*Entries, (TPortEntryList{"COM1  One ", "COM2  Two "}));
  EXPECT_EQ(Source.OpenProbes, 0);
}

TEST(ListAvailablePorts, AFailureBeforeAnyEntryIsNullNotAnEmptyList) {
  TFakePortSource Source;
  Source.Devices = {Port(u"COM1", u"One (COM1)")};
  Source.ThrowAt = 0;
  EXPECT_EQ(ListAvailablePorts(Source), nullptr);
}

TEST(ListAvailablePorts, UsesTheSourcesPrefix) {
  TFakePortSource Source;
  Source.Prefix = u"/dev/";
  Source.Devices = {Port(u"/dev/ttyACM0", u"Vantor Microphone"), Port(u"/devx/ttyS0", u"X"),
                    Port(u"COM3", u"Dev (COM3)")};
  const auto Entries = ListAvailablePorts(Source);
  ASSERT_NE(Entries, nullptr);
  EXPECT_EQ(*Entries, TPortEntryList{"/dev/ttyACM0  Vantor Microphone"});
}

TEST(ReduceFriendlyName, DeletesAtTheFirstOccurrenceOnly) {
  EXPECT_EQ(ReduceFriendlyName(u"(COM1)(COM2)"), u"COM2)");
  EXPECT_EQ(ReduceFriendlyName(u"(COM"), u"");
  EXPECT_EQ(ReduceFriendlyName(u"((COM1)"), u"(");
}

}  // namespace

}  // namespace vantor
