// Key names, the command line's settings, and the rules on the resulting four settings.
#include "cli/mic_settings.h"

#include <gtest/gtest.h>

namespace vantor {

namespace {

TMicSettings Device(std::uint8_t Centre, std::uint8_t Left, std::uint8_t Right,
                    std::uint8_t Mute = 0) {
  TMicSettings Settings;
  Settings[kCentre] = Centre;
  Settings[kLeft] = Left;
  Settings[kRight] = Right;
  Settings[kMute] = Mute;
  return Settings;
}

constexpr std::uint8_t F1 = 58, F2 = 59, F3 = 60, F8 = 65, Off = 255;

TPlannedSettings Plan(const TMicSettings& On, const std::vector<std::string>& Words) {
  const TParsedAssignments Parsed = ParseAssignments(Words);
  EXPECT_EQ(Parsed.Error, "");
  return PlanSettings(On, Parsed.Assignments);
}

TEST(KeyNames, F1ToF12AndOffInAnyCaseNothingElse) {
  EXPECT_EQ(ParseKeyName("F1"), F1);
  EXPECT_EQ(ParseKeyName("f12"), 69);
  EXPECT_EQ(ParseKeyName("OFF"), Off);
  for (const char* Bad : {"F0", "F13", "F01", "Shift+F2", "F", "", "1", "F1 ", "on"})
    EXPECT_FALSE(ParseKeyName(Bad)) << Bad;
  EXPECT_EQ(KeyName(F1), "F1");
  EXPECT_EQ(KeyName(69), "F12");
  EXPECT_EQ(KeyName(Off), "off");
  EXPECT_EQ(KeyName(10), "unknown(10)");
  EXPECT_EQ(ValueName(kMute, 7), "on");
  EXPECT_EQ(SettingsText(Device(F8, Off, F2, 1)), "centre F8, left off, right F2, mute on");
}

TEST(Assignments, NamesAreCaseInsensitiveAndEachSettingOnce) {
  const TParsedAssignments Good = ParseAssignments({"Left=F3", "MUTE=on"});
  ASSERT_EQ(Good.Error, "");
  ASSERT_EQ(Good.Assignments.size(), 2u);
  EXPECT_EQ(Good.Assignments[0].Index, kLeft);
  EXPECT_EQ(Good.Assignments[0].Value, "F3");
  for (const std::vector<std::string>& Bad : std::vector<std::vector<std::string>>{
           {"top=F1"}, {"left"}, {"=F1"}, {"left=F3", "left=F4"}}) {
    EXPECT_NE(ParseAssignments(Bad).Error, "") << Bad.back();
  }
}

TEST(Rules, AreCheckedOnTheResultSoASwapIsAllowed) {
  const TPlannedSettings Swap = Plan(Device(F8, F2, F3), {"left=F3", "right=F2"});
  EXPECT_TRUE(Swap.Refusals.empty());
  EXPECT_EQ(Swap.Settings, Device(F8, F3, F2));
  // Not named: kept, mute included (the window would have written it as off).
  const TPlannedSettings Kept = Plan(Device(F8, Off, F2, 1), {"left=f1"});
  EXPECT_TRUE(Kept.Refusals.empty());
  EXPECT_EQ(Kept.Settings, Device(F8, F1, F2, 1));
  EXPECT_EQ(Plan(Device(F8, Off, Off, 1), {"mute=OFF"}).Settings, Device(F8, Off, Off, 0));
  EXPECT_EQ(Plan(Device(F8, F1, Off), {"left=off"}).Settings, Device(F8, Off, Off));
}

TEST(Rules, EachRefusalNamesTheSettingAndWhy) {
  struct Case {
    TMicSettings On;
    std::vector<std::string> Words;
    std::vector<std::string> Refusals;
  };
  const Case Cases[] = {
      {Device(F8, Off, F2), {"left=F2"}, {"left=F2: F2 is already set for right"}},
      {Device(F8, Off, Off), {"left=F8"}, {"left=F8: F8 is already set for centre"}},
      {Device(F8, Off, Off),
       {"centre=F1", "left=F1", "right=F1"},
       {"left=F1: F1 is already set for centre", "right=F1: F1 is already set for centre"}},
      {Device(F8, Off, Off),
       {"centre=off"},
       {"centre=off: the centre button cannot be switched off"}},
      {Device(F8, Off, Off), {"left=F13"}, {"left=F13: only F1 to F12 or off can be set"}},
      {Device(F8, Off, Off),
       {"right=shift+F2"},
       {"right=shift+F2: only F1 to F12 or off can be set"}},
      {Device(F8, Off, Off), {"mute=maybe"}, {"mute=maybe: mute is on or off"}},
      // What the microphone holds and the command does not name must keep the rules too.
      {Device(10, Off, Off),
       {"left=F1"},
       {"centre: the microphone holds unknown(10), but only F1 to F12 is allowed: name a "
        "value for it (centre=KEY)"}},
      {Device(Off, Off, Off),
       {"mute=on"},
       {"centre: the microphone holds off, but only F1 to F12 is allowed: name a value for it "
        "(centre=KEY)"}},
      {Device(F8, F2, F2),
       {"mute=on"},
       {"left and right both hold F2 on the microphone: name a new key for one of them"}},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(Plan(C.On, C.Words).Refusals, C.Refusals) << C.Words.front();
  }
  // Naming the invalid or duplicate setting clears it.
  EXPECT_TRUE(Plan(Device(10, Off, Off), {"centre=F1"}).Refusals.empty());
  EXPECT_TRUE(Plan(Device(F8, F2, F2), {"right=F3"}).Refusals.empty());
}

}  // namespace

}  // namespace vantor
