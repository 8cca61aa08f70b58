// Cutting whole frames off the head of the receive buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace vantor {

using TByteBuffer = std::vector<std::uint8_t>;

// Given a copy of the buffered bytes and the frame's length byte L (the frame is the first
// L bytes); true drops the whole frame, false only its start byte.
using TReplyHandler = std::function<bool(const TByteBuffer& Bytes, std::uint8_t Length)>;

// Drops bytes before a start byte, hands every complete frame to HandleReply, and stops
// at an incomplete one. Every pass removes at least one byte, so it always ends. A failure
// raised by HandleReply leaves the buffer as it was at that moment and propagates.
void ScanReceiveBuffer(TByteBuffer& Buffer, const TReplyHandler& HandleReply);

}  // namespace vantor
