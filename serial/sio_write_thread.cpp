#include "serial/sio_write_thread.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>

#include "serial/sio_comm.h"

namespace vantor {

// --- The queue ---

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

// --- The thread ---

namespace {

bool IsSet(TSioEvent& Event) {
  return Event.WaitFor(0) == wrSignaled;
}

}  // namespace

TSioCommWriteThread::TSioCommWriteThread(TSioCustomComm* AOwner, TSioHandle Port,
                                         TSioPortBackend& Backend,
                                         TSioCriticalSection& WriteSection, std::int32_t Capacity)
    : FBuffer(Capacity),
      FOwner(AOwner),
      FPort(Port),
      FBackend(Backend),
      FWriteSection(WriteSection) {}

TSioCommWriteThread::~TSioCommWriteThread() {
  // The base destructor would wait for a running thread with these events already gone.
  if (Started() && !Finished()) {
    StopThread();
    WaitFor();
  }
}

void TSioCommWriteThread::StopThread() {
  Terminate();
  FCloseEvent.SetEvent();
  FSignalEvent.SetEvent();
}

bool TSioCommWriteThread::WriteData(const void* Buf, std::int32_t Count, std::uint32_t TimeoutMs) {
  if (Count <= 0)
    return true;
  const std::int32_t Capacity = FBuffer.Capacity();
  bool Waited = FBuffer.Size() + static_cast<std::int64_t>(Count) > Capacity;
  const std::uint32_t Start = FBackend.TickCount();
  for (;;) {
    if (Waited) {
      // Busy poll, as a write that finds no room is expected to be rare and short.
      for (;;) {
        if (static_cast<std::uint32_t>(FBackend.TickCount() - Start) > TimeoutMs)
          return false;
        if (FBuffer.Size() + static_cast<std::int64_t>(Count) < Capacity)
          break;
        std::this_thread::yield();
      }
    }
    std::lock_guard<TSioCriticalSection> Lock(FWriteSection);
    // Another writer may have filled the room since the look without the lock.
    if (FBuffer.Size() + static_cast<std::int64_t>(Count) > Capacity) {
      Waited = true;
      continue;
    }
    FBuffer.Write(Buf, Count);
    SetWriteEvent();
    return true;
  }
}

bool TSioCommWriteThread::PurgeWrite() {
  FFlushDoneEvent.ResetEvent();
  FFlushEvent.SetEvent();
  FSignalEvent.SetEvent();
  if (FFlushDoneEvent.WaitFor(2000) == wrSignaled)
    return true;
  // Not acknowledged in time: withdraw the request, so that a late acknowledgement does not
  // drop bytes queued after this purge gave up. Under the write section, where the thread
  // acknowledges, so that the two cannot cross.
  std::lock_guard<TSioCriticalSection> Lock(FWriteSection);
  FFlushEvent.ResetEvent();
  return IsSet(FFlushDoneEvent);
}

void TSioCommWriteThread::SetWriteEvent() {
  if (FWriteSet)
    return;  // already set, and the thread looks at it again before it idles
  FWriteSet = true;
  FWriteEvent.SetEvent();
  FSignalEvent.SetEvent();
}

void TSioCommWriteThread::ResetWriteEvent() {
  FWriteSet = false;
  FWriteEvent.ResetEvent();
}

void TSioCommWriteThread::Execute() {
  MarkThreadStarted();
  while (!Terminated()) {
    if (IsSet(FCloseEvent)) {
      Terminate();
      break;
    }
    if (IsSet(FFlushEvent)) {
      AcknowledgeFlush();
      continue;
    }
    if (IsSet(FWriteEvent)) {
      WritePass();
      continue;
    }
    FSignalEvent.WaitFor(kSioInfinite);
    FSignalEvent.ResetEvent();
  }
}

void TSioCommWriteThread::AcknowledgeFlush(std::uint32_t Sent) {
  // The thread empties its own buffer: no write of it is in flight now, and the purger need
  // not hold the write section across the handshake, which this thread needs to answer.
  std::lock_guard<TSioCriticalSection> Lock(FWriteSection);
  FBuffer.Remove(static_cast<std::int32_t>(Sent));  // left before the write was abandoned
  if (!IsSet(FFlushEvent))
    return;  // withdrawn by a purge that gave up waiting
  FBuffer.Clear();
  ResetWriteEvent();
  FFlushEvent.ResetEvent();
  FFlushDoneEvent.SetEvent();
}

void TSioCommWriteThread::WritePass() {
  std::uint8_t* Data = nullptr;
  std::int32_t Count = 0;
  {
    std::lock_guard<TSioCriticalSection> Lock(FWriteSection);
    Count = FBuffer.Size();
    Data = FBuffer.DataPtr();
    if (Count == 0) {
      ResetWriteEvent();
      return;
    }
  }
  // Sent in place: WriteData only appends behind these bytes, and they leave the buffer
  // only through Completion or an acknowledged purge.
  FOverlappedEvent.ResetEvent();
  std::uint32_t Written = 0;
  switch (FBackend.WriteAbandonable(FPort, Data, static_cast<std::uint32_t>(Count),
                                    FOverlappedEvent, FCloseEvent, FFlushEvent, Written)) {
    case TSioWriteOutcome::Written:
      Completion(Written);
      break;
    case TSioWriteOutcome::Refused:
      NotifyWriteError();
      break;
    case TSioWriteOutcome::ResultFailed:
      break;  // the bytes stay queued and are written again at once
    case TSioWriteOutcome::Close:
      Terminate();
      break;
    case TSioWriteOutcome::Flush:
      AcknowledgeFlush(Written);
      break;
  }
}

void TSioCommWriteThread::Completion(std::uint32_t Written) {
  {
    std::lock_guard<TSioCriticalSection> Lock(FWriteSection);
    FBuffer.Remove(static_cast<std::int32_t>(Written));
    if (FBuffer.Size() > 0) {
      SetWriteEvent();
      return;
    }
    ResetWriteEvent();
  }
  // Outside the lock: a handler on the main thread may queue more bytes.
  NotifyTxEmpty();
}

void TSioCommWriteThread::NotifyTxEmpty() {
  if (Terminated())
    return;
  RunNotice([this] { FOwner->HandleCommEvents(static_cast<int>(kEvTxEmpty)); });
}

void TSioCommWriteThread::NotifyWriteError() {
  if (Terminated())
    return;
  RunNotice([this] { FOwner->HandleCommEvents(static_cast<int>(kEvErr)); });
}

}  // namespace vantor
