#include "tools/micsim/host_parser.h"

namespace vantor {

namespace micsim {

namespace {

void AddGarbage(std::vector<THostInput>& Out, std::uint8_t Byte) {
  if (Out.empty() || Out.back().Kind != THostInput::hiGarbage) {
    Out.push_back({THostInput::hiGarbage, {}});
  }
  Out.back().Bytes.push_back(Byte);
}

}  // namespace

std::vector<THostInput> THostFrameParser::Feed(const std::uint8_t* Data, std::size_t Size) {
  FBuffer.insert(FBuffer.end(), Data, Data + Size);
  std::vector<THostInput> Out;
  std::size_t At = 0;  // bytes before At are consumed
  while (At < FBuffer.size()) {
    if (FBuffer[At] != kStart) {
      AddGarbage(Out, FBuffer[At++]);
      continue;
    }
    if (FBuffer.size() - At < 2)
      break;
    const std::uint8_t Length = FBuffer[At + 1];
    if (Length < kMinLength || Length > kMaxLength) {
      AddGarbage(Out, FBuffer[At++]);
      continue;
    }
    if (FBuffer.size() - At < Length)
      break;
    if (FBuffer[At + Length - 1] != kEnd) {
      AddGarbage(Out, FBuffer[At++]);
      continue;
    }
    const auto Begin = FBuffer.begin() + static_cast<std::ptrdiff_t>(At);
    Out.push_back({THostInput::hiFrame, TBytes(Begin, Begin + Length)});
    At += Length;
  }
  FBuffer.erase(FBuffer.begin(), FBuffer.begin() + static_cast<std::ptrdiff_t>(At));
  return Out;
}

}  // namespace micsim

}  // namespace vantor
