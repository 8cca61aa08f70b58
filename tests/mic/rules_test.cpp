// The key table, setting names, and the one rule set on the resulting four settings.
#include "mic/rules.h"

#include <gtest/gtest.h>

#include <utility>

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

TSettingsPlan Plan(const TMicSettings& On, const std::vector<std::pair<int, std::string>>& Named) {
  TNamedValues Values;
  for (const auto& [Index, Text] : Named)
    Values[static_cast<std::size_t>(Index - 1)] = Text;
  return PlanSettings(On, Values);
}

TRefusal Named(int Setting, std::string Reason) {
  return {Setting, true, 0, std::move(Reason)};
}

TRefusal Held(int Setting, std::string Reason, int Other = 0) {
  return {Setting, false, Other, std::move(Reason)};
}

TEST(KeyNames, F1ToF12AndOffInAnyCaseNothingElse) {
  EXPECT_EQ(ParseKeyName("F1"), F1);
  EXPECT_EQ(ParseKeyName("f12"), 69);
  EXPECT_EQ(ParseKeyName("OFF"), Off);
  for (const char* Bad : {"F0", "F13", "F01", "Shift+F2", "F", "", "1", "F1 ", "on", "F99"})
    EXPECT_FALSE(ParseKeyName(Bad)) << Bad;
  EXPECT_EQ(KeyName(F1), "F1");
  EXPECT_EQ(KeyName(69), "F12");
  EXPECT_EQ(KeyName(70), "unknown(70)");  // one past F12
  EXPECT_EQ(KeyName(57), "unknown(57)");  // one before F1
  EXPECT_EQ(KeyName(Off), "off");
  EXPECT_EQ(KeyName(10), "unknown(10)");
  EXPECT_EQ(ValueName(kMute, 7), "on");
  EXPECT_EQ(SettingsText(Device(F8, Off, F2, 1)), "centre F8, left off, right F2, mute on");
  // Every name the table gives reads back as its code.
  for (int Code = 0; Code < 256; ++Code) {
    const std::string Name = KeyName(static_cast<std::uint8_t>(Code));
    if (Name.rfind("unknown", 0) != 0) {
      EXPECT_EQ(ParseKeyName(Name), Code) << Name;
    }
  }
}

TEST(SettingNames, AreCaseInsensitiveAndOnlyTheFour) {
  EXPECT_EQ(ParseSettingName("Left"), kLeft);
  EXPECT_EQ(ParseSettingName("Center"), kCentre);
  EXPECT_EQ(ParseSettingName("MUTE"), kMute);
  EXPECT_EQ(ParseSettingName("centre"), kCentre);
  EXPECT_FALSE(ParseSettingName("top"));
  EXPECT_FALSE(ParseSettingName(""));
}

TEST(SettingValues, ReadEveryWordForAValueAndNothingElse) {
  std::string Reason;
  for (const char* On : {"on", "ON", "true", "True"})
    EXPECT_EQ(ReadSettingValue(kMute, On, Reason), 1) << On;
  for (const char* Word : {"off", "Off", "false", "FALSE"})
    EXPECT_EQ(ReadSettingValue(kMute, Word, Reason), 0) << Word;
  for (const char* Bad : {"yes", "1", "", "onn"}) {
    EXPECT_FALSE(ReadSettingValue(kMute, Bad, Reason)) << Bad;
    EXPECT_EQ(Reason, "mute is on or off");
  }
  // Off names a value even for the centre button: refusing it is the rules' job.
  EXPECT_EQ(ReadSettingValue(kCentre, "off", Reason), Off);
  EXPECT_FALSE(ReadSettingValue(kCentre, "F13", Reason));
  EXPECT_EQ(Reason, "only F1 to F12 can be set");
  EXPECT_FALSE(ReadSettingValue(kRight, "true", Reason));
  EXPECT_EQ(Reason, "only F1 to F12 or off can be set");
}

TEST(Differences, CompareKeysExactlyAndMuteAsOnOrOff) {
  EXPECT_TRUE(SettingDifferences(Device(F8, Off, F2, 7), Device(F8, Off, F2, 1)).empty());
  EXPECT_EQ(SettingDifferences(Device(F8, F1, F2, 0), Device(F8, Off, F2, 1)),
            (std::vector<int>{kLeft, kMute}));
}

TEST(Rules, AreCheckedOnTheResultSoASwapIsAllowed) {
  const TSettingsPlan Swap = Plan(Device(F8, F2, F3), {{kLeft, "F3"}, {kRight, "F2"}});
  EXPECT_TRUE(Swap.Refusals.empty());
  EXPECT_EQ(Swap.Settings, Device(F8, F3, F2));
  // Not named: kept, mute included (the window would have written it as off).
  const TSettingsPlan Kept = Plan(Device(F8, Off, F2, 1), {{kLeft, "f1"}});
  EXPECT_TRUE(Kept.Refusals.empty());
  EXPECT_EQ(Kept.Settings, Device(F8, F1, F2, 1));
  EXPECT_EQ(Plan(Device(F8, Off, Off, 1), {{kMute, "OFF"}}).Settings, Device(F8, Off, Off, 0));
  EXPECT_EQ(Plan(Device(F8, Off, Off, 0), {{kMute, "true"}}).Settings, Device(F8, Off, Off, 1));
  EXPECT_EQ(Plan(Device(F8, F1, Off), {{kLeft, "off"}}).Settings, Device(F8, Off, Off));
  // Two buttons off is no duplicate.
  EXPECT_TRUE(Plan(Device(F8, F1, F2), {{kLeft, "off"}, {kRight, "off"}}).Refusals.empty());
}

TEST(Rules, EachRefusalNamesTheSettingAndWhy) {
  struct Case {
    TMicSettings On;
    std::vector<std::pair<int, std::string>> Named;
    std::vector<TRefusal> Refusals;
  };
  const Case Cases[] = {
      {Device(F8, Off, F2), {{kLeft, "F2"}}, {Named(kLeft, "F2 is already set for right")}},
      {Device(F8, Off, Off), {{kLeft, "F8"}}, {Named(kLeft, "F8 is already set for centre")}},
      {Device(F8, Off, Off),
       {{kCentre, "F1"}, {kLeft, "F1"}, {kRight, "F1"}},
       {Named(kLeft, "F1 is already set for centre"),
        Named(kRight, "F1 is already set for centre")}},
      // The held duplicate's partner is the one named: it is blamed, not the held one.
      {Device(F8, Off, F2), {{kCentre, "F2"}}, {Named(kCentre, "F2 is already set for right")}},
      {Device(F8, Off, Off),
       {{kCentre, "off"}},
       {Named(kCentre, "the centre button cannot be switched off")}},
      {Device(F8, Off, Off), {{kLeft, "F13"}}, {Named(kLeft, "only F1 to F12 or off can be set")}},
      {Device(F8, Off, Off), {{kCentre, "F0"}}, {Named(kCentre, "only F1 to F12 can be set")}},
      {Device(F8, Off, Off),
       {{kRight, "shift+F2"}},
       {Named(kRight, "only F1 to F12 or off can be set")}},
      {Device(F8, Off, Off), {{kMute, "maybe"}}, {Named(kMute, "mute is on or off")}},
      // What the microphone holds and is not named must keep the rules too.
      {Device(10, Off, Off),
       {{kLeft, "F1"}},
       {Held(kCentre, "the microphone holds unknown(10), but only F1 to F12 is allowed")}},
      {Device(Off, Off, Off),
       {{kMute, "on"}},
       {Held(kCentre, "the microphone holds off, but only F1 to F12 is allowed")}},
      {Device(F8, 70, Off),
       {},
       {Held(kLeft, "the microphone holds unknown(70), but only F1 to F12 or off is allowed")}},
      {Device(F8, F2, F2),
       {{kMute, "on"}},
       {Held(kLeft, "left and right both hold F2 on the microphone", kRight)}},
      // A refused value takes no part in the duplicate rule: one refusal, not two.
      {Device(F8, Off, Off),
       {{kLeft, "F13"}, {kRight, "F8"}},
       {Named(kLeft, "only F1 to F12 or off can be set"),
        Named(kRight, "F8 is already set for centre")}},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(Plan(C.On, C.Named).Refusals, C.Refusals)
        << (C.Refusals.empty() ? "" : C.Refusals.front().Reason);
  }
  // Naming the invalid or duplicate setting clears it.
  EXPECT_TRUE(Plan(Device(10, Off, Off), {{kCentre, "F1"}}).Refusals.empty());
  EXPECT_TRUE(Plan(Device(F8, F2, F2), {{kRight, "F3"}}).Refusals.empty());
}

}  // namespace

}  // namespace vantor
