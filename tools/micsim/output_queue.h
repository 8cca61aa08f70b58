// Bytes waiting to be written to the host, each with the earliest time it may leave.
// Pieces that are due together leave in one write unless a piece must go alone.
#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <vector>

#include "tools/micsim/bytes.h"

namespace vantor {

namespace micsim {

using TClock = std::chrono::steady_clock;

class TOutputQueue {
 public:
  // A piece never leaves before the pieces pushed ahead of it, nor before Gap has passed
  // since the write before it.
  void Push(TClock::time_point Due, TBytes Bytes, bool Alone,
            TClock::duration Gap = TClock::duration::zero());

  std::optional<TClock::time_point> NextDue() const;
  std::optional<TClock::time_point> LastDue() const;
  bool Empty() const { return FPieces.empty(); }
  void Clear() { FPieces.clear(); }

  // The writes to make at Now, in order. A piece with a gap ends the batch: it waits for
  // its gap counted from Now.
  std::vector<TBytes> TakeDue(TClock::time_point Now);

 private:
  struct TPiece {
    TClock::time_point Due;
    TBytes Bytes;
    bool Alone;
    TClock::duration Gap;
  };
  std::deque<TPiece> FPieces;
};

}  // namespace micsim

}  // namespace vantor
