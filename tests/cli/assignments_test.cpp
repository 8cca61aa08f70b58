// The command line's "name=value" words, and the rule set's refusals in its words.
#include "cli/assignments.h"

#include <gtest/gtest.h>

namespace vantor {

namespace {

TMicSettings Device(std::uint8_t Centre, std::uint8_t Left, std::uint8_t Right) {
  TMicSettings Settings;
  Settings[kCentre] = Centre;
  Settings[kLeft] = Left;
  Settings[kRight] = Right;
  return Settings;
}

constexpr std::uint8_t F2 = 59, F8 = 65, Off = 255;

std::vector<std::string> Refusals(const TMicSettings& On, const std::vector<std::string>& Words) {
  const TParsedAssignments Parsed = ParseAssignments(Words);
  EXPECT_EQ(Parsed.Error, "");
  return PlanSettings(On, Parsed.Assignments).Refusals;
}

TEST(Assignments, NamesAreCaseInsensitiveAndEachSettingOnce) {
  const TParsedAssignments Good = ParseAssignments({"Left=F3", "MUTE=on"});
  ASSERT_EQ(Good.Error, "");
  ASSERT_EQ(Good.Assignments.size(), 2u);
  EXPECT_EQ(Good.Assignments[0].Index, kLeft);
  EXPECT_EQ(Good.Assignments[0].Value, "F3");
  EXPECT_EQ(Good.Assignments[0].Text, "Left=F3");
  EXPECT_EQ(ParseAssignments({"center=F1"}).Assignments.at(0).Index, kCentre);
  for (const std::vector<std::string>& Bad : std::vector<std::vector<std::string>>{
           {"top=F1"}, {"left"}, {"=F1"}, {"left=F3", "left=F4"}, {"centre=F8", "center=F9"}}) {
    EXPECT_NE(ParseAssignments(Bad).Error, "") << Bad.back();
  }
  // A word that names no value is the command line's error, before any port is opened;
  // centre=off names one, which the rules then refuse.
  EXPECT_EQ(ParseAssignments({"left=F13"}).Error, "left=F13: only F1 to F12 or off can be set");
  EXPECT_EQ(ParseAssignments({"mute=yes"}).Error, "mute=yes: mute is on or off");
  EXPECT_EQ(ParseAssignments({"centre=off", "mute=true"}).Error, "");
}

TEST(Assignments, RefusalsNameTheWordOrTheHeldSettingAndWhatToDo) {
  EXPECT_EQ(Refusals(Device(F8, Off, F2), {"left=F2"}),
            std::vector<std::string>{"left=F2: F2 is already set for right"});
  EXPECT_EQ(Refusals(Device(F8, Off, Off), {"centre=off"}),
            std::vector<std::string>{"centre=off: the centre button cannot be switched off"});
  EXPECT_EQ(Refusals(Device(10, Off, Off), {"left=F1"}),
            std::vector<std::string>{"centre: the microphone holds unknown(10), but only F1 to "
                                     "F12 is allowed: name a value for it (centre=KEY)"});
  EXPECT_EQ(Refusals(Device(F8, F2, F2), {"mute=on"}),
            std::vector<std::string>{
                "left and right both hold F2 on the microphone: name a new key for one of them"});
}

}  // namespace

}  // namespace vantor
