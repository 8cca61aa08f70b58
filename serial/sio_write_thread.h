// The write thread: sends the bytes queued by WriteBuf with the backend's abandonable
// write, and reports an emptied buffer (TxEmpty) and refused writes (Err) to the component.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "framework/object.h"
#include "serial/port_backend.h"
#include "serial/sio_port_thread.h"
#include "serial/sync_objects.h"

namespace vantor {

// The write thread's byte queue: a block of fixed capacity, bytes always at its start.
// It takes no lock (the component's write section guards it) and does not check the
// capacity on Write: whoever appends keeps within Capacity().
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

class TSioCustomComm;

class TSioCommWriteThread : public TSioPortThread {
 public:
  // Capacity: the buffer size, fixed for the thread's life. Port and Backend are those of
  // the open port; the thread never touches them after its stop request.
  TSioCommWriteThread(TSioCustomComm* AOwner, TSioHandle Port, TSioPortBackend& Backend,
                      TSioCriticalSection& WriteSection, std::int32_t Capacity);
  ~TSioCommWriteThread() override;

  TSioCommBuffer& Buffer() { return FBuffer; }

  // On the writer's thread: queues Count bytes, waiting up to TimeoutMs for room.
  bool WriteData(const void* Buf, std::int32_t Count, std::uint32_t TimeoutMs);
  // Asks the thread to drop its pending write and empty its buffer, and waits up to 2 s for
  // it to have done so; false (buffer untouched) when it did not answer in time.
  bool PurgeWrite();
  void StopThread() override;

 protected:
  void Execute() override;

 private:
  void WritePass();
  // FWriteEvent with the write section held; FWriteSet mirrors it, so that a writer
  // appending while the thread is still busy makes no system call to set it again.
  void SetWriteEvent();
  void ResetWriteEvent();
  void Completion(std::uint32_t Written);
  // Sent: bytes an abandoned write had sent already.
  void AcknowledgeFlush(std::uint32_t Sent = 0);
  void NotifyTxEmpty();
  void NotifyWriteError();

  TSioCommBuffer FBuffer;
  TSioWaitEvent FWriteEvent;
  TSioWaitEvent FCloseEvent;
  TSioWaitEvent FFlushEvent;
  TSioWaitEvent FFlushDoneEvent;
  TSioWaitEvent FOverlappedEvent;
  // Set after any of close, flush and write: the one event the idle thread sleeps on, as
  // the portable event wrapper waits for one event at a time.
  TSioWaitEvent FSignalEvent;
  TSioCustomComm* FOwner;
  TSioHandle FPort;
  TSioPortBackend& FBackend;
  TSioCriticalSection& FWriteSection;  // the component's: guards FBuffer and FWriteSet
  bool FWriteSet = false;
};

}  // namespace vantor
