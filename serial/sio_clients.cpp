#include "serial/sio_clients.h"

#include <chrono>
#include <thread>

#include "serial/sio_comm.h"

namespace vantor {

TSioDispatcher::TSioDispatcher(std::shared_ptr<ISioCommUser> AOwner) : FOwner(std::move(AOwner)) {}

TSioDispatcher::~TSioDispatcher() {
  // Every occurrence: the component must not keep a pointer to a freed dispatcher.
  while (FComm)
    FComm->RemoveClient(this);
}

void TSioDispatcher::PurgeRead() {
  if (FComm)
    FComm->PurgeRead();
}

void TSioDispatcher::PurgeWrite() {
  if (FComm)
    FComm->PurgeWrite();
}

void TSioDispatcher::PurgeReadWrite() {
  if (FComm)
    FComm->PurgeReadWrite();
}

int TSioDispatcher::WriteBuf(const void* Buf, int Count) {
  return FComm ? FComm->WriteBuf(Buf, Count) : 0;
}

bool TSioDispatcher::WriteText(const std::string& s) {
  return FComm && FComm->WriteText(s);
}

bool TSioDispatcher::WriteChar(char Ch) {
  return FComm && FComm->WriteChar(Ch);
}

void TSioDispatcher::SetDTRState(bool Value) {
  if (FComm)
    FComm->SetDTR(Value);
}

void TSioDisplay::UpdateDisplay(TSioCustomComm* /*Comm*/) {}

bool TSioWaitState::WaitEnded(int TimeoutMs) {
  std::unique_lock<std::mutex> Guard(Lock);
  if (TimeoutMs < 0) {
    EndedChanged.wait(Guard, [this] { return Ended; });
    return true;
  }
  return EndedChanged.wait_for(Guard, std::chrono::milliseconds(TimeoutMs),
                               [this] { return Ended; });
}

void TSioWaitState::MarkEnded() {
  {
    std::lock_guard<std::mutex> Guard(Lock);
    Ended = true;
  }
  EndedChanged.notify_all();
}

TWaitThread::TWaitThread(TSioCustomComm* AComm, std::shared_ptr<TSioWaitState> State)
    : FComm(AComm), FState(std::move(State)) {}

void TWaitThread::Execute() {
  const std::shared_ptr<TSioWaitState> State = FState;
  try {
    while (!State->Done.load() && FComm->ReadBufUsed() <= 0)
      std::this_thread::yield();
  } catch (...) {
    // A failing status query ends the wait like a time-out.
  }
  State->MarkEnded();
}

}  // namespace vantor
