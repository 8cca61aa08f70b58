// The real simulator on a real pseudo-terminal, talked to the way the host does.
#include <signal.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "protocol/reassembly.h"
#include "protocol/reply.h"
#include "tests/micsim/micsim_process.h"
#include "tests/micsim/temp_dir.h"

namespace vantor {

namespace {

using micsim::TBytes;

const TBytes kHandshake = {0xAA, 5, 1, 0, 0xBB};
const TBytes kStatus1 = {0xAA, 5, 1, 1, 0xBB};

TBytes ReadSetting(std::uint8_t Index) {
  return {0xAA, 5, 2, Index, 0xBB};
}
TBytes SettingReply(std::uint8_t Index, std::uint8_t Value) {
  return {0xAA, 6, 2, Index, Value, 0xBB};
}
TBytes Concat(std::initializer_list<TBytes> Parts) {
  TBytes All;
  for (const auto& Part : Parts)
    All.insert(All.end(), Part.begin(), Part.end());
  return All;
}

std::string ReadFile(const std::string& Path) {
  std::ifstream File(Path);
  std::ostringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

class MicsimProcess : public ::testing::Test {
 protected:
  void TearDown() override {
    if (HasFailure())
      std::cerr << "--- micsim's log:\n" << ReadFile(Dir / "micsim.log");
  }
  std::unique_ptr<TMicsimProcess> Start(std::vector<std::string> Args) {
    Args.insert(Args.end(), {"--log", Dir / "micsim.log"});
    return std::make_unique<TMicsimProcess>(Args, Dir / "stderr.log");
  }

  TTempDir Dir;
};

TEST_F(MicsimProcess, HoldsAConversationAndKeepsItsMemory) {
  const std::string State = Dir / "mic.state";
  {
    auto Sim = Start({"--state", State, "--version", "17"});
    const std::string PortPath = Sim->NextPort();
    ASSERT_FALSE(PortPath.empty());
    THostPort Port(PortPath);
    ASSERT_TRUE(Port.IsOpen());

    Port.Write(Concat({kHandshake,
                       {0xAA, 5, 4, 0, 0xBB},
                       ReadSetting(1),
                       ReadSetting(2),
                       ReadSetting(3),
                       ReadSetting(4)}));
    const TBytes Expected = Concat({kStatus1,
                                    {0xAA, 5, 4, 17, 0xBB},
                                    SettingReply(1, 65),
                                    SettingReply(2, 255),
                                    SettingReply(3, 255),
                                    SettingReply(4, 0)});
    EXPECT_EQ(Port.Read(Expected.size()), Expected);

    // Garbage in front, a write, then its read-back: the write has no reply of its own.
    Port.Write(Concat({{0x00, 0x17, 0xAA, 0x03}, {0xAA, 6, 3, 2, 62, 0xBB}, ReadSetting(2)}));
    EXPECT_EQ(Port.Read(6), SettingReply(2, 62));
    // The write was saved before the read-back was answered.
    EXPECT_NE(ReadFile(State).find("button2=62\n"), std::string::npos) << ReadFile(State);

    Sim->Signal(SIGTERM);
    EXPECT_EQ(Sim->WaitExit(), 0);
  }
  const std::string Log = ReadFile(Dir / "micsim.log");
  EXPECT_NE(Log.find("rx AA 05 01 00 BB handshake"), std::string::npos);
  EXPECT_NE(Log.find("tx AA 05 01 01 BB"), std::string::npos);
  EXPECT_NE(Log.find("starting from the defaults"), std::string::npos);

  // A new run starts from what the last one stored.
  auto Sim = Start({"--state", State});
  THostPort Port(Sim->NextPort());
  Port.Write(Concat({ReadSetting(1), ReadSetting(2)}));
  EXPECT_EQ(Port.Read(12), Concat({SettingReply(1, 65), SettingReply(2, 62)}));
}

TEST_F(MicsimProcess, UnansweredRequestsStayUnanswered) {
  // Requests are answered in order, so a reply to a later read proves that nothing came
  // for the earlier ones.
  struct TCase {
    std::vector<std::string> Args;
    TBytes Sent;
    TBytes Expected;
  };
  const std::vector<TCase> Cases = {
      {{"--answer-after", "3"},
       Concat({kHandshake, kHandshake, ReadSetting(1), kHandshake}),
       Concat({SettingReply(1, 65), kStatus1})},
      {{}, Concat({ReadSetting(0), {0xAA, 5, 9, 0, 0xBB}, ReadSetting(3)}), SettingReply(3, 255)},
      {{"--bad-end"}, ReadSetting(1), {0xAA, 6, 2, 1, 65, 0x00}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Args.empty() ? "no options" : Case.Args[0]);
    auto Sim = Start(Case.Args);
    THostPort Port(Sim->NextPort());
    ASSERT_TRUE(Port.IsOpen());
    Port.Write(Case.Sent);
    EXPECT_EQ(Port.Read(Case.Expected.size()), Case.Expected);
  }
}

TEST_F(MicsimProcess, FaultyRepliesStillReassembleOnTheHost) {
  auto Sim = Start({"--stray", "3", "--split", "--merge", "--delay", "5", "--seed", "11"});
  THostPort Port(Sim->NextPort());
  ASSERT_TRUE(Port.IsOpen());
  Port.Write(Concat({kHandshake, ReadSetting(1), ReadSetting(2), ReadSetting(3), ReadSetting(4)}));

  TByteBuffer Buffer;
  std::vector<TDeviceReply> Replies;
  while (Replies.size() < 5) {
    const TBytes Piece = Port.Read(1);
    ASSERT_EQ(Piece.size(), 1u) << "after " << Replies.size() << " replies";
    Buffer.insert(Buffer.end(), Piece.begin(), Piece.end());
    ScanReceiveBuffer(Buffer, [&](const TByteBuffer& Bytes, std::uint8_t Length) {
      const TDeviceReply Reply = ReadReply(Bytes, Length);
      if (Reply.Kind == TDeviceReply::rkIgnored)
        return false;
      Replies.push_back(Reply);
      return true;
    });
  }
  EXPECT_EQ(Replies[0].Kind, TDeviceReply::rkHandshake);
  EXPECT_EQ(Replies[0].Status, 1);
  for (std::uint8_t Index = 1; Index <= 4; ++Index) {
    EXPECT_EQ(Replies[Index].Kind, TDeviceReply::rkSetting);
    EXPECT_EQ(Replies[Index].Index, Index);
  }
}

TEST_F(MicsimProcess, OutlivesAHostThatClosesThePort) {
  auto Sim = Start({});
  const std::string PortPath = Sim->NextPort();
  for (int Round = 0; Round < 3; ++Round) {
    SCOPED_TRACE("round " + std::to_string(Round));
    THostPort Port(PortPath);
    ASSERT_TRUE(Port.IsOpen());
    Port.Write(kHandshake);
    EXPECT_EQ(Port.Read(5), kStatus1);
  }
  {
    // A host that leaves without reading its reply.
    THostPort Port(PortPath);
    Port.Write(ReadSetting(2));
    ASSERT_TRUE(Port.WaitReadable());
  }
  // The pty keeps that reply for the next host, ahead of the answer to its own request.
  THostPort Port(PortPath);
  Port.Write(kHandshake);
  EXPECT_EQ(Port.Read(11), Concat({SettingReply(2, 255), kStatus1}));
}

TEST_F(MicsimProcess, HangsUpAfterNFrames) {
  auto Sim = Start({"--hangup-after", "2"});
  THostPort Port(Sim->NextPort());
  ASSERT_TRUE(Port.IsOpen());
  Port.Write(kHandshake);
  EXPECT_EQ(Port.Read(5), kStatus1);
  Port.Write(ReadSetting(1));
  EXPECT_TRUE(Port.WaitHangUp());
  EXPECT_EQ(Sim->WaitExit(), 0);
}

TEST_F(MicsimProcess, ReopensAFreshPortBehindTheSameLink) {
  const std::string Link = Dir / "ttyMIC";
  std::filesystem::create_symlink("/nonexistent/stale", Link);
  auto Sim = Start({"--hangup-after", "1", "--reopen", "--link", Link});
  const std::string First = Sim->NextPort();
  ASSERT_FALSE(First.empty());
  EXPECT_EQ(std::filesystem::read_symlink(Link), First);
  {
    THostPort Port(Link);
    ASSERT_TRUE(Port.IsOpen());
    Port.Write(kHandshake);
    EXPECT_TRUE(Port.WaitHangUp());
    const std::string Second = Sim->NextPort();
    ASSERT_FALSE(Second.empty());
    EXPECT_EQ(std::filesystem::read_symlink(Link), Second);
  }
  Sim->Signal(SIGINT);
  EXPECT_EQ(Sim->WaitExit(), 0);
  EXPECT_FALSE(std::filesystem::is_symlink(Link));
}

}  // namespace

}  // namespace vantor
