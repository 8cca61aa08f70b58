// However the byte stream is cut into notifications, the same frames come out in order.
#include <gtest/gtest.h>

#include <random>

#include "protocol/frames.h"
#include "tests/protocol/scan_recorder.h"

namespace vantor {

namespace {

struct TStream {
  TByteBuffer Bytes;
  std::vector<TByteBuffer> Frames;
};

// Well-formed frames (length 5 to 12, any payload, even start bytes inside) with runs of
// stray bytes that are never a start byte between them.
TStream MakeStream(std::mt19937& Random) {
  std::uniform_int_distribution<int> FrameCount(0, 12), StrayCount(0, 4), Length(5, 12);
  std::uniform_int_distribution<int> AnyByte(0, 255), Command(0, 6);
  TStream Stream;
  const int Frames = FrameCount(Random);
  for (int F = 0; F < Frames; ++F) {
    for (int S = StrayCount(Random); S > 0; --S) {
      int Stray = AnyByte(Random);
      if (Stray == kFrameStart)
        Stray = 0x00;
      Stream.Bytes.push_back(static_cast<std::uint8_t>(Stray));
    }
    const int L = Length(Random);
    TByteBuffer Frame = {kFrameStart, static_cast<std::uint8_t>(L),
                         static_cast<std::uint8_t>(Command(Random))};
    while (static_cast<int>(Frame.size()) < L - 1) {
      Frame.push_back(static_cast<std::uint8_t>(AnyByte(Random)));
    }
    Frame.push_back(kFrameEnd);
    Stream.Bytes.insert(Stream.Bytes.end(), Frame.begin(), Frame.end());
    Stream.Frames.push_back(Frame);
  }
  return Stream;
}

std::vector<TByteBuffer> Pieces(const TByteBuffer& Bytes, std::mt19937& Random) {
  std::uniform_int_distribution<std::size_t> Size(0, 9);
  std::vector<TByteBuffer> Result;
  std::size_t At = 0;
  while (At < Bytes.size()) {
    const std::size_t N = std::min(Size(Random), Bytes.size() - At);
    Result.emplace_back(Bytes.begin() + At, Bytes.begin() + At + N);
    At += N;
  }
  return Result;
}

std::vector<TByteBuffer> FramesOf(const TScanRecorder& Scan) {
  std::vector<TByteBuffer> Result;
  for (const auto& Frame : Scan.Frames)
    Result.push_back(Frame.Bytes);
  return Result;
}

TEST(ScanReceiveBufferProperty, FramesDoNotDependOnHowTheStreamIsCut) {
  std::mt19937 Random(20240611);
  const auto AcceptFull = [](const TByteBuffer&, std::uint8_t Length) { return Length >= 5; };
  for (int Iteration = 0; Iteration < 3000; ++Iteration) {
    const TStream Stream = MakeStream(Random);

    TScanRecorder Whole;
    Whole.Accept = AcceptFull;
    Whole.Feed(Stream.Bytes);
    ASSERT_EQ(FramesOf(Whole), Stream.Frames) << "iteration " << Iteration;
    ASSERT_TRUE(Whole.Buffer.empty()) << "iteration " << Iteration;

    TScanRecorder Cut;
    Cut.Accept = AcceptFull;
    for (const auto& Piece : Pieces(Stream.Bytes, Random))
      Cut.Feed(Piece);
    ASSERT_EQ(Cut.Frames, Whole.Frames) << "iteration " << Iteration;
    ASSERT_TRUE(Cut.Buffer.empty()) << "iteration " << Iteration;
  }
}

}  // namespace

}  // namespace vantor
