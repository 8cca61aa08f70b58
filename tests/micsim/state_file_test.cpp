#include "tools/micsim/state_file.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/micsim/temp_dir.h"

namespace vantor {

namespace {

using micsim::TSettings;

std::string ReadFile(const std::string& Path) {
  std::ifstream File(Path);
  std::ostringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

void WriteFile(const std::string& Path, const std::string& Text) {
  std::ofstream(Path) << Text;
}

std::size_t EntriesIn(const std::filesystem::path& Folder) {
  std::size_t Count = 0;
  for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator(Folder))
    ++Count;
  return Count;
}

TSettings Sample() {
  TSettings Settings;
  Settings[1] = 58;
  Settings[2] = 69;
  Settings[3] = 255;
  Settings[4] = 1;
  return Settings;
}

TEST(StateFile, SavedSettingsLoadBack) {
  TTempDir Dir;
  const std::string Path = Dir / "mic.state";
  ASSERT_EQ(micsim::SaveState(Path, Sample()), "");
  EXPECT_EQ(ReadFile(Path), "button1=58\nbutton2=69\nbutton3=255\nmute=1\n");
  const auto Loaded = micsim::LoadState(Path);
  ASSERT_TRUE(Loaded.Settings) << Loaded.Problem;
  EXPECT_EQ(*Loaded.Settings, Sample());
  // Saving again replaces the file and leaves no temporary behind.
  ASSERT_EQ(micsim::SaveState(Path, TSettings{}), "");
  EXPECT_EQ(micsim::LoadState(Path).Settings, TSettings{});
  EXPECT_EQ(EntriesIn(Dir.Path()), 1u);
}

TEST(StateFile, ParsesOnlyCompleteFiles) {
  const std::vector<std::pair<std::string, bool>> Cases = {
      {"button1=58\nbutton2=69\nbutton3=255\nmute=1\n", true},
      {"# kept by micsim\n\n mute = 1 \nbutton3=255\r\nbutton2=69\nbutton1=58", true},
      {"", false},
      {"button1=58\nbutton2=69\nbutton3=255\n", false},                      // a setting missing
      {"button1=58\nbutton1=58\nbutton2=69\nbutton3=255\nmute=1\n", false},  // repeated
      {"button1=58\nbutton2=69\nbutton3=256\nmute=1\n", false},              // out of range
      {"button1=58\nbutton2=-1\nbutton3=255\nmute=1\n", false},
      {"button1=\nbutton2=69\nbutton3=255\nmute=1\n", false},
      {"button1=5x\nbutton2=69\nbutton3=255\nmute=1\n", false},
      {"button1=58\nbutton2=69\nbutton3=255\nmute=1\nvolume=3\n", false},  // unknown name
      {"button1 58\nbutton2=69\nbutton3=255\nmute=1\n", false},
      {"\x01\x02\xff", false},
  };
  for (const auto& [Text, Good] : Cases) {
    SCOPED_TRACE(Text);
    const auto Parsed = micsim::ParseState(Text);
    EXPECT_EQ(Parsed.has_value(), Good);
    if (Good && Parsed) {
      EXPECT_EQ(*Parsed, Sample());
    }
  }
}

TEST(StateFile, AMissingOrBrokenFileSaysWhy) {
  TTempDir Dir;
  const auto Missing = micsim::LoadState(Dir / "none.state");
  EXPECT_FALSE(Missing.Settings);
  EXPECT_NE(Missing.Problem.find("none.state"), std::string::npos);
  WriteFile(Dir / "half.state", "button1=58\nbutt");
  const auto Half = micsim::LoadState(Dir / "half.state");
  EXPECT_FALSE(Half.Settings);
  EXPECT_FALSE(Half.Problem.empty());
}

TEST(StateFile, AFailedSaveLeavesTheOldFileIntact) {
  if (geteuid() == 0)
    GTEST_SKIP() << "permissions do not bind root; see the size-limit case";
  TTempDir Dir;
  const std::string Path = Dir / "mic.state";
  ASSERT_EQ(micsim::SaveState(Path, Sample()), "");
  const std::string Before = ReadFile(Path);
  chmod(Dir.Path().c_str(), 0555);
  const std::string Problem = micsim::SaveState(Path, TSettings{});
  chmod(Dir.Path().c_str(), 0755);
  EXPECT_FALSE(Problem.empty());
  EXPECT_EQ(ReadFile(Path), Before);
  EXPECT_EQ(EntriesIn(Dir.Path()), 1u);
}

// A write that fails half-way (the file size limit stands in for a full disk) must not
// touch the old file. Runs in a child so that the limit does not outlive the case.
TEST(StateFile, AWriteFailingHalfWayLeavesTheOldFileIntact) {
  TTempDir Dir;
  const std::string Path = Dir / "mic.state";
  ASSERT_EQ(micsim::SaveState(Path, Sample()), "");
  const std::string Before = ReadFile(Path);
  const pid_t Child = fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit Limit{8, 8};
    setrlimit(RLIMIT_FSIZE, &Limit);
    _exit(micsim::SaveState(Path, TSettings{}).empty() ? 1 : 0);
  }
  int Status = 0;
  ASSERT_EQ(waitpid(Child, &Status, 0), Child);
  ASSERT_TRUE(WIFEXITED(Status));
  EXPECT_EQ(WEXITSTATUS(Status), 0) << "the save should have failed";
  EXPECT_EQ(ReadFile(Path), Before);
  EXPECT_EQ(EntriesIn(Dir.Path()), 1u);
}

TEST(StateFile, SavingIntoAMissingFolderFails) {
  TTempDir Dir;
  EXPECT_FALSE(micsim::SaveState(Dir / "no/such/folder/mic.state", Sample()).empty());
}

}  // namespace

}  // namespace vantor
