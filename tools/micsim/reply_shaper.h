// How a reply leaves the device when fault options are on: stray bytes in front of it,
// now and then a burst of noise, a wrong end byte, or the reply cut into pieces.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "tools/micsim/bytes.h"

namespace vantor {

namespace micsim {

struct TFaults {
  unsigned Stray = 0;         // non-AA bytes before each reply
  unsigned GarbageBurst = 0;  // size of the occasional burst of any bytes, AA included
  bool BadEnd = false;        // end byte 00 instead of BB
  bool Split = false;         // each reply written in random pieces
};

struct TOutPiece {
  TBytes Bytes;
  unsigned GapMs = 0;  // least time since the previous write
  bool Alone = false;  // written in its own write, never joined with neighbours
};

class TReplyShaper {
 public:
  static constexpr unsigned kBurstOneIn = 4;  // about one reply in four gets a burst
  static constexpr unsigned kMaxSplitGapMs = 4;

  TReplyShaper(TFaults Faults, std::uint32_t Seed) : FFaults(Faults), FRandom(Seed) {}

  // The pieces to write for one reply, in order; together they hold every byte.
  std::vector<TOutPiece> Shape(TBytes Reply);

 private:
  std::uint8_t AnyByte();

  TFaults FFaults;
  std::mt19937 FRandom;
};

}  // namespace micsim

}  // namespace vantor
