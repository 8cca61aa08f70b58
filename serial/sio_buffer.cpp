#include "serial/sio_buffer.h"

#include <algorithm>
#include <cstring>

namespace vantor {

TSioCommBuffer::TSioCommBuffer(std::int32_t BufSize)
    : FData(std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(std::max(BufSize, 1)))),
      FCapacity(std::max(BufSize, 0)) {}

void TSioCommBuffer::Write(const void* Buf, std::int32_t Count) {
  if (Count <= 0)
    return;
  const std::int32_t Held = Size();
  std::memcpy(FData.get() + Held, Buf, static_cast<std::size_t>(Count));
  FSize.store(Held + Count, std::memory_order_release);
}

void TSioCommBuffer::Peek(void* Buf, std::int32_t Count) const {
  Count = std::clamp(Count, 0, Size());
  if (Count > 0)
    std::memcpy(Buf, FData.get(), static_cast<std::size_t>(Count));
}

void TSioCommBuffer::Read(void* Buf, std::int32_t Count) {
  Peek(Buf, Count);
  Remove(Count);
}

void TSioCommBuffer::Remove(std::int32_t Count) {
  const std::int32_t Held = Size();
  Count = std::clamp(Count, 0, Held);
  std::memmove(FData.get(), FData.get() + Count, static_cast<std::size_t>(Held - Count));
  FSize.store(Held - Count, std::memory_order_release);
}

}  // namespace vantor
