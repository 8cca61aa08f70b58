#include "tools/micsim/options.h"

#include <gtest/gtest.h>

namespace vantor {

namespace {

using micsim::ParseOptions;

TEST(Options, ReadsEveryOption) {
  const auto Parsed = ParseOptions({"--link",
                                    "/tmp/mic",
                                    "--state=/tmp/s",
                                    "--log",
                                    "l.txt",
                                    "--version",
                                    "17",
                                    "--stray",
                                    "2",
                                    "--split",
                                    "--merge",
                                    "--delay",
                                    "30",
                                    "--silent",
                                    "--answer-after",
                                    "3",
                                    "--bad-end",
                                    "--garbage-burst",
                                    "5",
                                    "--hangup-after",
                                    "4",
                                    "--reopen",
                                    "--seed",
                                    "4294967295",
                                    "--ignore-writes"});
  ASSERT_EQ(Parsed.Error, "");
  const auto& O = Parsed.Options;
  EXPECT_EQ(O.Link, "/tmp/mic");
  EXPECT_EQ(O.State, "/tmp/s");
  EXPECT_EQ(O.Log, "l.txt");
  EXPECT_EQ(O.Version, 17);
  EXPECT_EQ(O.Faults.Stray, 2u);
  EXPECT_TRUE(O.Faults.Split);
  EXPECT_TRUE(O.Merge);
  EXPECT_EQ(O.DelayMs, 30u);
  EXPECT_TRUE(O.Silent);
  EXPECT_TRUE(O.IgnoreWrites);
  EXPECT_EQ(O.AnswerAfter, 3u);
  EXPECT_TRUE(O.Faults.BadEnd);
  EXPECT_EQ(O.Faults.GarbageBurst, 5u);
  EXPECT_EQ(O.HangupAfter, 4u);
  EXPECT_TRUE(O.Reopen);
  EXPECT_EQ(O.Seed, 4294967295u);
}

TEST(Options, RefusesBadCommandLines) {
  const std::vector<std::vector<std::string>> Cases = {
      {"--version", "256"}, {"--version"}, {"--delay", "-1"},
      {"--stray", "x"},     {"--split=1"}, {"--link", ""},
      {"--frobnicate"},     {"--reopen"},  {"--seed", "4294967296"},
  };
  for (const auto& Args : Cases) {
    EXPECT_NE(ParseOptions(Args).Error, "") << Args[0];
  }
}

TEST(Options, HelpNamesEveryOption) {
  const std::string Help = micsim::HelpText();
  for (const char* Name :
       {"--link", "--state", "--version", "--log", "--stray", "--split", "--merge", "--delay",
        "--silent", "--answer-after", "--bad-end", "--garbage-burst", "--hangup-after", "--reopen",
        "--seed", "--ignore-writes", "--help"}) {
    EXPECT_NE(Help.find(Name), std::string::npos) << Name;
  }
}

}  // namespace

}  // namespace vantor
