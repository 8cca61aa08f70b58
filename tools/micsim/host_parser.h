// Cuts the host's byte stream into frames the way a robust device does: anything before a
// start byte is garbage, an implausible length or a wrong end byte means the start byte was
// garbage too, and an incomplete frame waits for more bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/micsim/bytes.h"

namespace vantor {

namespace micsim {

struct THostInput {
  enum TKind { hiFrame, hiGarbage };
  TKind Kind;
  TBytes Bytes;  // a whole frame, or a run of dropped bytes
};

class THostFrameParser {
 public:
  // Every request is 5 or 6 bytes; longer lengths leave room for future commands.
  static constexpr std::uint8_t kMinLength = 5;
  static constexpr std::uint8_t kMaxLength = 16;

  // The frames and dropped runs, in stream order. Bytes of an incomplete frame stay.
  std::vector<THostInput> Feed(const std::uint8_t* Data, std::size_t Size);
  std::size_t Pending() const { return FBuffer.size(); }
  void Reset() { FBuffer.clear(); }

 private:
  TBytes FBuffer;  // never more than kMaxLength - 1 bytes between calls
};

}  // namespace micsim

}  // namespace vantor
