// The write thread's byte queue: a block of fixed capacity, bytes always at its start.
// It takes no lock (the component's write section guards it) and does not check the
// capacity on Write: whoever appends keeps within Capacity().
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "framework/object.h"

namespace vantor {

class TSioCommBuffer : public TObject {
 public:
  explicit TSioCommBuffer(std::int32_t BufSize);

  std::uint8_t* DataPtr() { return FData.get(); }
  // Read without the lock by a writer polling for room, hence atomic.
  std::int32_t Size() const { return FSize.load(std::memory_order_acquire); }
  std::int32_t Capacity() const { return FCapacity; }

  void Clear() { FSize.store(0, std::memory_order_release); }
  void Write(const void* Buf, std::int32_t Count);
  void Peek(void* Buf, std::int32_t Count) const;
  void Read(void* Buf, std::int32_t Count);
  void Remove(std::int32_t Count);

 private:
  std::unique_ptr<std::uint8_t[]> FData;
  std::atomic<std::int32_t> FSize{0};
  std::int32_t FCapacity;
};

}  // namespace vantor
