// The read and write paths, the port status query and the purges.
#include <mutex>

#include "serial/sio_comm.h"
#include "serial/sio_errors.h"
#include "serial/sio_write_thread.h"

namespace vantor {

void TSioCustomComm::GetComStat(TSioPortStatus& Status) {
  std::lock_guard<TSioCriticalSection> Global(*FGlobalSection);
  Status = TSioPortStatus{};
  if (!Active())
    return;
  if (!FBackend->ClearCommError(Handle(), Status)) {
    Status = TSioPortStatus{};
    RaiseCommError(SioMsg::kStatistics);
  }
}

int TSioCustomComm::ReadBuf(void* Buf, int Count) {
  if (!Active() || Count <= 0)
    return 0;
  std::lock_guard<TSioCriticalSection> Global(*FGlobalSection);
  if (!Active())
    return 0;
  std::uint32_t Transferred = 0;
  FEvent->ResetEvent();
  if (!FBackend->Read(Handle(), Buf, static_cast<std::uint32_t>(Count), *FEvent,
                      static_cast<std::uint32_t>(FBuffers->ReadTimeout()), Transferred)) {
    RaiseCommError(SioMsg::kReadError);
    return 0;
  }
  return static_cast<int>(std::min<std::uint32_t>(Transferred, static_cast<std::uint32_t>(Count)));
}

int TSioCustomComm::WriteBuf(const void* Buf, int Count) {
  if (!Active())
    return 0;
  if (Count <= 0)
    return 0;
  if (!FDirectWrite) {
    const std::shared_ptr<TSioCommWriteThread> Thread = FWriteThread;
    // None while Close stops the threads (a handler running inside its wait): the port is
    // as good as closed, and Close would discard the bytes.
    if (!Thread)
      return 0;
    if (Thread->WriteData(Buf, Count, static_cast<std::uint32_t>(FBuffers->WriteTimeout())))
      return Count;
    RaiseRuleError(SioMsg::kOutputFull);
    return 0;
  }
  std::lock_guard<TSioCriticalSection> Write(*FWriteSection);
  if (!Active())
    return 0;
  std::uint32_t Transferred = 0;
  FEvent->ResetEvent();
  if (!FBackend->Write(Handle(), Buf, static_cast<std::uint32_t>(Count), *FEvent,
                       static_cast<std::uint32_t>(FBuffers->WriteTimeout()), Transferred)) {
    RaiseCommError(SioMsg::kWriteError);
    return 0;
  }
  return static_cast<int>(Transferred);
}

bool TSioCustomComm::WriteText(const std::string& s) {
  if (s.empty())
    return true;
  return WriteBuf(s.data(), static_cast<int>(s.size())) == static_cast<int>(s.size());
}

bool TSioCustomComm::WriteChar(char Ch) {
  return WriteBuf(&Ch, 1) == 1;
}

std::string TSioCustomComm::ReadText() {
  const int Waiting = ReadBufUsed();
  if (Waiting <= 0)
    return {};
  std::string Text(static_cast<std::size_t>(Waiting), '\0');
  ReadBuf(Text.data(), Waiting);
  return Text;
}

bool TSioCustomComm::ReadChar(char& Ch) {
  return ReadBuf(&Ch, 1) == 1;
}

bool TSioCustomComm::ReadCharWait(char& Ch, int TimeOut) {
  WaitChar(TimeOut);
  return ReadChar(Ch);
}

int TSioCustomComm::ReadBufUsed() {
  TSioPortStatus Status;
  GetComStat(Status);
  return static_cast<int>(Status.InQueue);
}

int TSioCustomComm::ReadBufFree() {
  if (!Active())
    return 0;
  return FBuffers->ReadSize() - ReadBufUsed();
}

int TSioCustomComm::UARTReadBufUsed() {
  return ReadBufUsed();
}

int TSioCustomComm::UARTWriteBufUsed() {
  TSioPortStatus Status;
  GetComStat(Status);
  return static_cast<int>(Status.OutQueue);
}

int TSioCustomComm::WriteBufUsed() {
  if (!Active())
    return 0;
  if (FDirectWrite)
    return UARTWriteBufUsed();
  std::lock_guard<TSioCriticalSection> Write(*FWriteSection);
  return FWriteThread ? FWriteThread->Buffer().Size() : 0;
}

int TSioCustomComm::WriteBufFree() {
  if (!Active())
    return 0;
  if (FDirectWrite)
    return FBuffers->WriteSize() - UARTWriteBufUsed();
  std::lock_guard<TSioCriticalSection> Write(*FWriteSection);
  // The capacity the buffer was made with: WriteSize may have been changed since.
  return FWriteThread ? FWriteThread->Buffer().Capacity() - FWriteThread->Buffer().Size() : 0;
}

void TSioCustomComm::PurgeRead() {
  PurgeBuffers(kPurgeRxAbort | kPurgeRxClear);
}

void TSioCustomComm::PurgeWrite() {
  PurgeBuffers(kPurgeTxAbort | kPurgeTxClear);
}

void TSioCustomComm::PurgeReadWrite() {
  PurgeBuffers(kPurgeTxAbort | kPurgeRxAbort | kPurgeTxClear | kPurgeRxClear);
}

void TSioCustomComm::PurgeBuffers(std::uint32_t Flags) {
  if (!Active())
    return;
  std::lock_guard<TSioCriticalSection> Global(*FGlobalSection);
  // The thread empties its buffer itself when it acknowledges; the purge only waits.
  if (const std::shared_ptr<TSioCommWriteThread> Thread = FWriteThread;
      Flags != (kPurgeRxAbort | kPurgeRxClear) && Thread) {
    Thread->PurgeWrite();
  }
  CheckCommResult(FBackend->PurgeComm(Handle(), Flags), SioMsg::kClearBuffers);
}

}  // namespace vantor
