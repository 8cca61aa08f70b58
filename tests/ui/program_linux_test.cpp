// The Linux program's command line and its candidate ports named with --port.
#include <gtest/gtest.h>

#include "discovery/posix/exclusive_probe.h"
#include "tests/serial/platform/pty_pair.h"
#include "ui/program/candidate_ports_linux.h"
#include "ui/program/command_line_linux.h"

namespace vantor {

namespace {

TProgramCommandLine Parse(std::vector<const char*> Args, bool BeforeQt) {
  Args.insert(Args.begin(), "vantor-mic-settings");
  return ParseProgramCommandLine(static_cast<int>(Args.size()), Args.data(), BeforeQt);
}

TEST(ProgramCommandLine, BeforeQtStartsItsOwnOptionsPassAndThePortsAreKeptInOrder) {
  const auto Line = Parse(
      {"-platform", "offscreen", "--port", "/dev/rfcomm0", "-display", ":1", "--port=/tmp/ttyMIC"},
      true);
  EXPECT_FALSE(Line.Exit);
  EXPECT_EQ(Line.Ports, (std::vector<std::string>{"/dev/rfcomm0", "/tmp/ttyMIC"}));
  EXPECT_TRUE(Parse({}, false).Ports.empty());
}

TEST(ProgramCommandLine, WhatQtLeavesMustBeTheProgramsOwn) {
  const struct {
    std::vector<const char*> Args;
    const char* Said;
  } Cases[] = {
      {{"--bogus"}, "--bogus"},
      {{"-platform", "xcb"}, "-platform"},  // Qt would have taken it: a typo, say
      {{"--port"}, "--port"},
      {{"--port", "/a", "/b"}, "/b"},  // one path per --port
      {{"--port", "/dev/my port"}, "blank"},
      {{"--port", ""}, "empty"},
  };
  for (const auto& Case : Cases) {
    const auto Line = Parse(Case.Args, false);
    EXPECT_TRUE(Line.Exit) << Case.Said;
    EXPECT_EQ(Line.ExitCode, 1) << Case.Said;
    EXPECT_NE(Line.Output.find(Case.Said), std::string::npos) << Line.Output;
  }
}

TEST(ProgramCommandLine, ANonsenseOptionIsRefusedBeforeQtStarts) {
  // Qt would have to start, and without a display it aborts, before the word is refused.
  for (const std::vector<const char*>& Args : std::vector<std::vector<const char*>>{
           {"--bogus"}, {"-platform", "offscreen", "stray"}, {"-x"}}) {
    const auto Line = Parse(Args, true);
    EXPECT_TRUE(Line.Exit) << Args.back();
    EXPECT_EQ(Line.ExitCode, 1) << Args.back();
    EXPECT_NE(Line.Output.find(Args.back()), std::string::npos) << Line.Output;
  }
  EXPECT_FALSE(Parse({"-platform=offscreen", "--style", "Fusion", "-reverse"}, true).Exit);
}

TEST(ProgramCommandLine, HelpAndVersionEndTheProgramWithoutADisplay) {
  const auto Help = Parse({"-platform", "xcb", "--help"}, true);
  EXPECT_TRUE(Help.Exit);
  EXPECT_EQ(Help.ExitCode, 0);
  for (const char* Said : {"--port PATH", "rfcomm", "-platform", "-display", "--version"})
    EXPECT_NE(Help.Output.find(Said), std::string::npos) << Said;
  const auto Version = Parse({"--version"}, true);
  EXPECT_TRUE(Version.Exit);
  EXPECT_EQ(Version.ExitCode, 0);
  EXPECT_EQ(Version.Output, "vantor-mic-settings 1.0.0\n");
}

TEST(NamedPorts, AreTheOnesThatCanBeOpenedNowInTheOrderNamedAsEntriesOfTheirPath) {
  TPtyPair First, Second, Held;
  const auto Holder = ProbeExclusive(Held.SlavePath());  // another user of that port
  ASSERT_NE(Holder, nullptr);
  const auto List = ListNamedPorts(
      {Second.SlavePath(), "/dev/no-such-port", Held.SlavePath(), First.SlavePath()});
  ASSERT_NE(List, nullptr);
  // The controller opens the text before the first blank.
  EXPECT_EQ(*List, (TPortEntryList{Second.SlavePath() + "  ", First.SlavePath() + "  "}));
  // The probe left the ports as it found them: they can be opened again at once.
  EXPECT_NE(ProbeExclusive(First.SlavePath()), nullptr);
  EXPECT_EQ(ListCandidatePorts({"/dev/no-such-port", Held.SlavePath()}), nullptr);
}

}  // namespace

}  // namespace vantor
