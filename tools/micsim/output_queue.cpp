#include "tools/micsim/output_queue.h"

#include <algorithm>

namespace vantor {

namespace micsim {

void TOutputQueue::Push(TClock::time_point Due, TBytes Bytes, bool Alone, TClock::duration Gap) {
  if (!FPieces.empty())
    Due = std::max(Due, FPieces.back().Due + Gap);
  FPieces.push_back({Due, std::move(Bytes), Alone, Gap});
}

std::optional<TClock::time_point> TOutputQueue::NextDue() const {
  if (FPieces.empty())
    return std::nullopt;
  return FPieces.front().Due;
}

std::optional<TClock::time_point> TOutputQueue::LastDue() const {
  if (FPieces.empty())
    return std::nullopt;
  return FPieces.back().Due;
}

std::vector<TBytes> TOutputQueue::TakeDue(TClock::time_point Now) {
  std::vector<TBytes> Writes;
  bool Joinable = false;  // the last write may take more bytes
  while (!FPieces.empty() && FPieces.front().Due <= Now) {
    TPiece Piece = std::move(FPieces.front());
    FPieces.pop_front();
    if (Joinable && !Piece.Alone) {
      Writes.back().insert(Writes.back().end(), Piece.Bytes.begin(), Piece.Bytes.end());
    } else {
      Writes.push_back(std::move(Piece.Bytes));
    }
    Joinable = !Piece.Alone;
    // The next piece's gap runs from this write, however late it is.
    if (!FPieces.empty() && FPieces.front().Gap > TClock::duration::zero()) {
      FPieces.front().Due = std::max(FPieces.front().Due, Now + FPieces.front().Gap);
    }
  }
  return Writes;
}

}  // namespace micsim

}  // namespace vantor
