#include "protocol/reassembly.h"

#include "protocol/frames.h"

namespace vantor {

void ScanReceiveBuffer(TByteBuffer& Buffer, const TReplyHandler& HandleReply) {
  while (!Buffer.empty()) {
    if (Buffer.front() != kFrameStart) {
      Buffer.erase(Buffer.begin());
      continue;
    }
    if (Buffer.size() < 2)
      return;
    const std::uint8_t Length = Buffer[1];
    if (Buffer.size() < Length)
      return;
    const bool Consumed = HandleReply(TByteBuffer(Buffer), Length);
    // A zero length byte would remove nothing: count such a frame as not consumed.
    const std::size_t Drop = (Consumed && Length > 0) ? Length : 1;
    Buffer.erase(Buffer.begin(), Buffer.begin() + static_cast<std::ptrdiff_t>(Drop));
  }
}

}  // namespace vantor
