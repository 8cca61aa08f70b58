#include "tools/micsim/host_parser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "tools/micsim/device.h"

namespace vantor {

namespace {

using micsim::TBytes;
using micsim::THostFrameParser;
using micsim::THostInput;

// "F:" for a frame, "G:" for dropped bytes, in stream order.
std::vector<std::string> Feed(THostFrameParser& Parser, const std::vector<TBytes>& Pieces) {
  std::vector<std::string> Out;
  for (const auto& Piece : Pieces) {
    for (const auto& Input : Parser.Feed(Piece.data(), Piece.size())) {
      Out.push_back((Input.Kind == THostInput::hiFrame ? "F:" : "G:") + micsim::Hex(Input.Bytes));
    }
  }
  return Out;
}

struct TParseCase {
  const char* Name;
  std::vector<TBytes> Pieces;
  std::vector<std::string> Out;
  std::size_t Pending;
};

TEST(HostFrameParser, CutsFramesAndResynchronisesOnGarbage) {
  const std::vector<TParseCase> Cases = {
      {"one request", {{0xAA, 5, 1, 0, 0xBB}}, {"F:AA 05 01 00 BB"}, 0},
      {"several requests in one read",
       {{0xAA, 5, 4, 0, 0xBB, 0xAA, 6, 3, 1, 0x41, 0xBB}},
       {"F:AA 05 04 00 BB", "F:AA 06 03 01 41 BB"},
       0},
      {"a request over three reads", {{0xAA}, {5, 2}, {3, 0xBB}}, {"F:AA 05 02 03 BB"}, 0},
      {"an incomplete request waits", {{0xAA, 6, 3, 1}}, {}, 4},
      {"a start byte alone waits", {{0x01, 0xAA}}, {"G:01"}, 1},
      {"garbage before a request",
       {{0x00, 0x17, 0xAA, 5, 1, 0, 0xBB}},
       {"G:00 17", "F:AA 05 01 00 BB"},
       0},
      {"length below 5", {{0xAA, 4, 0xAA, 5, 1, 0, 0xBB}}, {"G:AA 04", "F:AA 05 01 00 BB"}, 0},
      {"length 0", {{0xAA, 0, 0xAA, 5, 1, 0, 0xBB}}, {"G:AA 00", "F:AA 05 01 00 BB"}, 0},
      {"length above 16", {{0xAA, 17, 0xAA, 5, 1, 0, 0xBB}}, {"G:AA 11", "F:AA 05 01 00 BB"}, 0},
      {"start byte as a length", {{0xAA, 0xAA, 5, 1, 0, 0xBB}}, {"G:AA", "F:AA 05 01 00 BB"}, 0},
      {"a wrong end byte: the request inside is found",
       {{0xAA, 6, 0xAA, 5, 2, 1, 0xBB}},
       {"G:AA 06", "F:AA 05 02 01 BB"},
       0},
      {"a wrong end byte on its own", {{0xAA, 5, 1, 0, 0x00}}, {"G:AA 05 01 00 00"}, 0},
      {"the longest frame",
       {TBytes{0xAA, 16, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xBB}},
       {"F:AA 10 09 00 00 00 00 00 00 00 00 00 00 00 00 BB"},
       0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    THostFrameParser Parser;
    EXPECT_THAT(Feed(Parser, Case.Pieces), ::testing::ElementsAreArray(Case.Out));
    EXPECT_EQ(Parser.Pending(), Case.Pending);
  }
}

TEST(HostFrameParser, RandomInputNeverCrashesNorPilesUp) {
  std::mt19937 Random(4242);
  std::uniform_int_distribution<int> AnyByte(0, 255), PieceSize(1, 64);
  THostFrameParser Parser;
  micsim::TMicDevice Device(micsim::TSettings{}, 12, 1);
  std::size_t Fed = 0;
  while (Fed < 100000) {
    TBytes Piece(static_cast<std::size_t>(PieceSize(Random)));
    for (auto& Byte : Piece) {
      // Bias towards the bytes that matter so that frames actually form now and then.
      const int Pick = AnyByte(Random);
      Byte = static_cast<std::uint8_t>(Pick < 40   ? 0xAA
                                       : Pick < 70 ? 0xBB
                                       : Pick < 90 ? 5
                                                   : AnyByte(Random));
    }
    Fed += Piece.size();
    for (const auto& Input : Parser.Feed(Piece.data(), Piece.size())) {
      ASSERT_FALSE(Input.Bytes.empty());
      if (Input.Kind != THostInput::hiFrame)
        continue;
      ASSERT_GE(Input.Bytes.size(), 5u);
      ASSERT_LE(Input.Bytes.size(), 16u);
      ASSERT_EQ(Input.Bytes.front(), 0xAA);
      ASSERT_EQ(Input.Bytes[1], Input.Bytes.size());
      ASSERT_EQ(Input.Bytes.back(), 0xBB);
      const auto Answer = Device.Handle(Input.Bytes);
      if (Answer.Reply) {
        ASSERT_EQ(Answer.Reply->back(), 0xBB);
      }
    }
    ASSERT_LT(Parser.Pending(), 16u);
  }
}

}  // namespace

}  // namespace vantor
