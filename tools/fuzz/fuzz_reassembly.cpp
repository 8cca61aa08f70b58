// Fuzz target: received bytes cut into pieces, scanned off the receive buffer and read as
// replies. Aborts on a stall, on a scan that leaves a stray byte at the head, or when a
// reply depends on bytes outside its frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "protocol/frames.h"
#include "protocol/reassembly.h"
#include "protocol/reply.h"

namespace vantor {

namespace {

bool SameReply(const TDeviceReply& A, const TDeviceReply& B) {
  return A.Kind == B.Kind && A.Status == B.Status && A.Index == B.Index && A.Value == B.Value &&
         A.Version == B.Version;
}

void Check(bool Condition) {
  if (!Condition)
    std::abort();
}

}  // namespace

int FuzzReassembly(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0)
    return 0;
  // The first byte says how many of the next bytes give piece sizes (1 to 8 of them).
  const std::size_t SizeCount = std::min<std::size_t>(Data[0] % 8 + 1, Size - 1);
  const std::uint8_t* Sizes = Data + 1;
  const std::uint8_t* Stream = Data + 1 + SizeCount;
  const std::size_t StreamSize = Size - 1 - SizeCount;

  TByteBuffer Buffer;
  std::size_t At = 0;
  std::size_t Piece = 0;
  while (At < StreamSize) {
    const std::size_t N =
        SizeCount == 0
            ? StreamSize
            : std::min<std::size_t>(Sizes[Piece++ % SizeCount] % 32 + 1, StreamSize - At);
    Buffer.insert(Buffer.end(), Stream + At, Stream + At + N);
    At += N;

    std::size_t SizeAtLastCall = Buffer.size() + 1;
    ScanReceiveBuffer(Buffer, [&](const TByteBuffer& Bytes, std::uint8_t Length) {
      // Every pass must have removed at least one byte since the previous call.
      Check(Buffer.size() < SizeAtLastCall);
      SizeAtLastCall = Buffer.size();
      Check(Bytes == Buffer && !Bytes.empty() && Bytes[0] == kFrameStart);
      Check(Bytes.size() >= Length);
      const TDeviceReply Reply = ReadReply(Bytes, Length);
      // A copy of exactly the frame gives the same reply: nothing behind it was read.
      const TByteBuffer Frame(Bytes.begin(), Bytes.begin() + Length);
      Check(SameReply(Reply, ReadReply(Frame, Length)));
      switch (Reply.Kind) {
        case TDeviceReply::rkIgnored:
          return (Length & 1) != 0;
        case TDeviceReply::rkSetting:
          return Reply.Value != 0xFF;
        default:
          return true;
      }
    });
    // A scan ends only empty or at an incomplete frame that begins with the start byte.
    if (!Buffer.empty()) {
      Check(Buffer[0] == kFrameStart);
      Check(Buffer.size() < 2 || Buffer.size() < Buffer[1]);
    }
  }
  return 0;
}

}  // namespace vantor

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  return vantor::FuzzReassembly(Data, Size);
}
