// Feeds pieces into the receive buffer the way the bytes-received handler does, and keeps
// every frame handed over.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "protocol/reassembly.h"

namespace vantor {

struct THandedFrame {
  TByteBuffer Bytes;  // the first Length bytes of the copy handed over
  std::uint8_t Length;
  bool operator==(const THandedFrame&) const = default;
};

class TScanRecorder {
 public:
  // Decides what each frame returns to the scan; accepts everything by default.
  std::function<bool(const TByteBuffer& Frame, std::uint8_t Length)> Accept =
      [](const TByteBuffer&, std::uint8_t) { return true; };

  TByteBuffer Buffer;
  std::vector<THandedFrame> Frames;

  void Feed(const TByteBuffer& Piece) {
    Buffer.insert(Buffer.end(), Piece.begin(), Piece.end());
    ScanReceiveBuffer(Buffer, [this](const TByteBuffer& Bytes, std::uint8_t Length) {
      const auto End = Bytes.begin() + std::min<std::size_t>(Length, Bytes.size());
      Frames.push_back({TByteBuffer(Bytes.begin(), End), Length});
      return Accept(Frames.back().Bytes, Length);
    });
  }
};

}  // namespace vantor
