#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/micsim/output_queue.h"
#include "tools/micsim/reply_shaper.h"

namespace vantor {

namespace {

using micsim::TBytes;
using micsim::TClock;
using micsim::TFaults;
using micsim::TOutputQueue;
using micsim::TReplyShaper;
using std::chrono::milliseconds;

const TBytes kReply = {0xAA, 6, 2, 1, 0x41, 0xBB};

TBytes Joined(const std::vector<micsim::TOutPiece>& Pieces) {
  TBytes All;
  for (const auto& Piece : Pieces)
    All.insert(All.end(), Piece.Bytes.begin(), Piece.Bytes.end());
  return All;
}

TBytes Tail(const TBytes& Bytes, std::size_t Count) {
  return TBytes(Bytes.end() - static_cast<std::ptrdiff_t>(Count), Bytes.end());
}

TEST(ReplyShaper, WithoutFaultsAReplyLeavesWhole) {
  TReplyShaper Shaper(TFaults{}, 1);
  const auto Pieces = Shaper.Shape(kReply);
  ASSERT_EQ(Pieces.size(), 1u);
  EXPECT_EQ(Pieces[0].Bytes, kReply);
  EXPECT_FALSE(Pieces[0].Alone);
}

TEST(ReplyShaper, FaultsKeepTheReplyAtTheEnd) {
  struct TCase {
    const char* Name;
    TFaults Faults;
    TBytes Reply;
  };
  const TBytes BadEnd = {0xAA, 6, 2, 1, 0x41, 0x00};
  const std::vector<TCase> Cases = {
      {"stray", {3, 0, false, false}, kReply},          {"split", {0, 0, false, true}, kReply},
      {"stray and split", {5, 0, false, true}, kReply}, {"bad end", {0, 0, true, false}, BadEnd},
      {"everything", {2, 7, true, true}, BadEnd},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TReplyShaper Shaper(Case.Faults, 99);
    for (int Round = 0; Round < 200; ++Round) {
      const auto Pieces = Shaper.Shape(kReply);
      const TBytes All = Joined(Pieces);
      ASSERT_EQ(Tail(All, Case.Reply.size()), Case.Reply);
      const std::size_t Extra = All.size() - Case.Reply.size();
      const std::size_t Stray = Case.Faults.Stray;
      ASSERT_TRUE(Extra == Stray || Extra == Stray + Case.Faults.GarbageBurst) << Extra;
      // Stray bytes are never a start byte; bursts may hold anything.
      for (std::size_t I = Extra - Stray; I < Extra; ++I)
        ASSERT_NE(All[I], 0xAA);
      for (std::size_t I = 0; I < Pieces.size(); ++I) {
        ASSERT_FALSE(Pieces[I].Bytes.empty());
        ASSERT_EQ(Pieces[I].Alone, Case.Faults.Split);
        if (I > 0) {
          ASSERT_GE(Pieces[I].GapMs, 1u);
        }
      }
    }
  }
}

TEST(ReplyShaper, BurstsComeNowAndThen) {
  TReplyShaper Shaper(TFaults{0, 4, false, false}, 7);
  int Bursts = 0;
  for (int Round = 0; Round < 400; ++Round) {
    if (Joined(Shaper.Shape(kReply)).size() > kReply.size())
      ++Bursts;
  }
  EXPECT_GT(Bursts, 0);
  EXPECT_LT(Bursts, 400);
}

TEST(ReplyShaper, TheSeedDecides) {
  const TFaults Faults{3, 5, false, true};
  TReplyShaper A(Faults, 5), B(Faults, 5);
  for (int Round = 0; Round < 20; ++Round) {
    EXPECT_EQ(Joined(A.Shape(kReply)), Joined(B.Shape(kReply)));
  }
}

TEST(OutputQueue, RepliesDueTogetherLeaveInOneWrite) {
  TOutputQueue Queue;
  const auto T0 = TClock::time_point{} + milliseconds(1000);
  Queue.Push(T0, {1, 2}, false);
  Queue.Push(T0, {3}, false);
  Queue.Push(T0 + milliseconds(5), {4}, false);
  EXPECT_TRUE(Queue.TakeDue(T0 - milliseconds(1)).empty());
  EXPECT_THAT(Queue.TakeDue(T0), ::testing::ElementsAre(TBytes{1, 2, 3}));
  EXPECT_EQ(Queue.NextDue(), T0 + milliseconds(5));
  EXPECT_THAT(Queue.TakeDue(T0 + milliseconds(9)), ::testing::ElementsAre(TBytes{4}));
  EXPECT_TRUE(Queue.Empty());
}

TEST(OutputQueue, PiecesThatGoAloneKeepTheirGapsEvenWhenLate) {
  TOutputQueue Queue;
  const auto T0 = TClock::time_point{} + milliseconds(1000);
  Queue.Push(T0, {1}, true);
  Queue.Push(T0, {2}, true, milliseconds(3));
  Queue.Push(T0, {3}, true, milliseconds(2));
  // Taken late, the first piece leaves and the second still waits its gap after it.
  const auto Late = T0 + milliseconds(50);
  EXPECT_THAT(Queue.TakeDue(Late), ::testing::ElementsAre(TBytes{1}));
  EXPECT_EQ(Queue.NextDue(), Late + milliseconds(3));
  EXPECT_THAT(Queue.TakeDue(Late + milliseconds(3)), ::testing::ElementsAre(TBytes{2}));
  EXPECT_THAT(Queue.TakeDue(Late + milliseconds(5)), ::testing::ElementsAre(TBytes{3}));
}

TEST(OutputQueue, ALaterPieceNeverOvertakes) {
  TOutputQueue Queue;
  const auto T0 = TClock::time_point{} + milliseconds(1000);
  Queue.Push(T0 + milliseconds(100), {1}, false);
  Queue.Push(T0, {2}, false);  // due earlier, but pushed later
  EXPECT_TRUE(Queue.TakeDue(T0 + milliseconds(50)).empty());
  EXPECT_THAT(Queue.TakeDue(T0 + milliseconds(100)), ::testing::ElementsAre(TBytes{1, 2}));
}

}  // namespace

}  // namespace vantor
