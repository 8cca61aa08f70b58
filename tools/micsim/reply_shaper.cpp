#include "tools/micsim/reply_shaper.h"

namespace vantor {

namespace micsim {

std::uint8_t TReplyShaper::AnyByte() {
  return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(FRandom));
}

std::vector<TOutPiece> TReplyShaper::Shape(TBytes Reply) {
  if (FFaults.BadEnd && !Reply.empty())
    Reply.back() = 0x00;

  TBytes Bytes;
  if (FFaults.GarbageBurst > 0 &&
      std::uniform_int_distribution<unsigned>(1, kBurstOneIn)(FRandom) == 1) {
    for (unsigned I = 0; I < FFaults.GarbageBurst; ++I)
      Bytes.push_back(AnyByte());
  }
  for (unsigned I = 0; I < FFaults.Stray; ++I) {
    std::uint8_t Stray = AnyByte();
    while (Stray == kStart)
      Stray = AnyByte();
    Bytes.push_back(Stray);
  }
  Bytes.insert(Bytes.end(), Reply.begin(), Reply.end());

  if (!FFaults.Split)
    return {TOutPiece{std::move(Bytes), 0, false}};

  std::vector<TOutPiece> Pieces;
  std::size_t At = 0;
  while (At < Bytes.size()) {
    const std::size_t Left = Bytes.size() - At;
    const std::size_t Size = std::uniform_int_distribution<std::size_t>(1, Left)(FRandom);
    const unsigned Gap =
        Pieces.empty() ? 0 : std::uniform_int_distribution<unsigned>(1, kMaxSplitGapMs)(FRandom);
    const auto Begin = Bytes.begin() + static_cast<std::ptrdiff_t>(At);
    Pieces.push_back({TBytes(Begin, Begin + static_cast<std::ptrdiff_t>(Size)), Gap, true});
    At += Size;
  }
  return Pieces;
}

}  // namespace micsim

}  // namespace vantor
