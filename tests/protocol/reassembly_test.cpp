#include "protocol/reassembly.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/protocol/scan_recorder.h"

namespace vantor {

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

bool AcceptAll(const TByteBuffer&, std::uint8_t) {
  return true;
}
bool RejectAll(const TByteBuffer&, std::uint8_t) {
  return false;
}
// A handler that only takes frames whose last byte is the end byte.
bool AcceptWellEnded(const TByteBuffer& Frame, std::uint8_t Length) {
  return Length >= 1 && Frame[Length - 1] == 0xBB;
}

struct TScanCase {
  const char* Name;
  std::vector<TByteBuffer> Pieces;  // one per bytes-received notification
  bool (*Accept)(const TByteBuffer&, std::uint8_t);
  std::vector<std::size_t> FramesAfterEachPiece;
  std::vector<THandedFrame> Frames;
  TByteBuffer Left;
};

TEST(ScanReceiveBuffer, CutsFramesOffTheHead) {
  const std::vector<TScanCase> Cases = {
      {"stray bytes before a frame",
       {{0x00, 0x17, 0xAA, 0x05, 0x04, 0x0C, 0xBB}},
       AcceptAll,
       {1},
       {{{0xAA, 0x05, 0x04, 0x0C, 0xBB}, 5}},
       {}},
      {"a frame over two notifications",
       {{0xAA}, {0x05, 0x01, 0x01, 0xBB}},
       AcceptAll,
       {0, 1},
       {{{0xAA, 0x05, 0x01, 0x01, 0xBB}, 5}},
       {}},
      {"two frames in one notification, in order",
       {{0xAA, 0x06, 0x02, 0x01, 0x3A, 0xBB, 0xAA, 0x06, 0x02, 0x02, 0xFF, 0xBB}},
       AcceptAll,
       {2},
       {{{0xAA, 0x06, 0x02, 0x01, 0x3A, 0xBB}, 6}, {{0xAA, 0x06, 0x02, 0x02, 0xFF, 0xBB}, 6}},
       {}},
      {"a start byte alone waits", {{0xAA}}, AcceptAll, {0}, {}, {0xAA}},
      {"a partial frame waits", {{0xAA, 0x06, 0x02}}, AcceptAll, {0}, {}, {0xAA, 0x06, 0x02}},
      {"a partial frame completed byte by byte",
       {{0x11, 0xAA, 0x06}, {0x02}, {0x04}, {0x00}, {0xBB, 0x22}},
       AcceptAll,
       {0, 0, 0, 0, 1},
       {{{0xAA, 0x06, 0x02, 0x04, 0x00, 0xBB}, 6}},
       {}},
      {"an empty notification still scans what is buffered",
       {{0xAA, 0x05, 0x01}, {}, {0x01, 0xBB}, {}},
       AcceptAll,
       {0, 0, 1, 1},
       {{{0xAA, 0x05, 0x01, 0x01, 0xBB}, 5}},
       {}},
      {"length byte 0 drops only the start byte although accepted",
       {{0xAA, 0x00, 0xAA, 0x05, 0x01, 0x01, 0xBB}},
       AcceptAll,
       {2},
       {{{}, 0}, {{0xAA, 0x05, 0x01, 0x01, 0xBB}, 5}},
       {}},
      {"length byte 1 never stalls",
       {{0xAA, 0x01, 0xAA, 0x01}},
       AcceptAll,
       {2},
       {{{0xAA}, 1}, {{0xAA}, 1}},
       {}},
      {"length byte 1 refused never stalls", {{0xAA, 0x01}}, RejectAll, {1}, {{{0xAA}, 1}}, {}},
      {"a refused frame drops only its start byte and the scan resumes behind it",
       {{0xAA, 0x06, 0xAA, 0x05, 0x01, 0x01, 0xBB}},
       AcceptWellEnded,
       {2},
       {{{0xAA, 0x06, 0xAA, 0x05, 0x01, 0x01}, 6}, {{0xAA, 0x05, 0x01, 0x01, 0xBB}, 5}},
       {}},
      {"a refused frame whose bytes hold no start byte is dropped byte by byte",
       {{0xAA, 0x05, 0x01, 0x01, 0xBB, 0x33}},
       RejectAll,
       {1},
       {{{0xAA, 0x05, 0x01, 0x01, 0xBB}, 5}},
       {}},
      {"bytes left over wait at the head for the next piece",
       {{0xAA, 0x05, 0x04, 0x0C, 0xBB, 0xAA, 0x06}, {0x02, 0x03, 0x3B, 0xBB}},
       AcceptAll,
       {1, 2},
       {{{0xAA, 0x05, 0x04, 0x0C, 0xBB}, 5}, {{0xAA, 0x06, 0x02, 0x03, 0x3B, 0xBB}, 6}},
       {}},
      {"only stray bytes", {{0x01, 0x02, 0xBB, 0xFF}}, AcceptAll, {0}, {}, {}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TScanRecorder Scan;
    Scan.Accept = Case.Accept;
    std::vector<std::size_t> Counts;
    for (const auto& Piece : Case.Pieces) {
      Scan.Feed(Piece);
      Counts.push_back(Scan.Frames.size());
    }
    EXPECT_THAT(Counts, ElementsAreArray(Case.FramesAfterEachPiece));
    EXPECT_THAT(Scan.Frames, ElementsAreArray(Case.Frames));
    EXPECT_THAT(Scan.Buffer, ElementsAreArray(Case.Left));
  }
}

TEST(ScanReceiveBuffer, HandsOverACopyOfEveryBufferedByte) {
  TByteBuffer Buffer = {0xAA, 0x05, 0x01, 0x01, 0xBB, 0xAA, 0x06};
  std::vector<TByteBuffer> Copies;
  ScanReceiveBuffer(Buffer, [&](const TByteBuffer& Bytes, std::uint8_t) {
    Copies.push_back(Bytes);
    return true;
  });
  ASSERT_EQ(Copies.size(), 1u);
  EXPECT_THAT(Copies[0], ElementsAre(0xAA, 0x05, 0x01, 0x01, 0xBB, 0xAA, 0x06));
  EXPECT_THAT(Buffer, ElementsAre(0xAA, 0x06));
}

TEST(ScanReceiveBuffer, AHandlerFailurePropagatesAndLeavesTheBufferAsItWas) {
  TByteBuffer Buffer = {0x00, 0xAA, 0x05, 0x01, 0x01, 0xBB, 0xAA, 0x05, 0x04, 0x0C, 0xBB};
  int Calls = 0;
  const auto FailOnSecond = [&](const TByteBuffer&, std::uint8_t) {
    if (++Calls == 2)
      throw std::runtime_error("handler failed");
    return true;
  };
  EXPECT_THROW(ScanReceiveBuffer(Buffer, FailOnSecond), std::runtime_error);
  // The stray byte and the first frame were already gone when the second frame failed.
  EXPECT_THAT(Buffer, ElementsAre(0xAA, 0x05, 0x04, 0x0C, 0xBB));

  // The next notification scans the same frame again.
  Calls = 0;
  ScanReceiveBuffer(Buffer, FailOnSecond);
  EXPECT_THAT(Buffer, IsEmpty());
}

}  // namespace

}  // namespace vantor
