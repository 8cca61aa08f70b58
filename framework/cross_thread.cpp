#include "framework/cross_thread.h"

#include "framework/object.h"

namespace vantor {

namespace {
const char* const EndedText = "The application has ended";
}

TCrossThreadCalls::TCrossThreadCalls(std::function<void()> Wake)
    : FMainThread(std::this_thread::get_id()), FWake(std::move(Wake)) {}

void TCrossThreadCalls::CallAndWait(std::function<void()> Call) {
  TRequest Request;
  Request.Call = std::move(Call);
  std::unique_lock<std::mutex> Guard(FLock);
  if (FClosed)
    throw Exception(EndedText);
  FPending.push_back(&Request);
  if (FWake)
    FWake();
  FDone.wait(Guard, [&] { return Request.Done; });
  // The failure object now belongs to this thread alone.
  std::exception_ptr Failure = std::move(Request.Failure);
  Guard.unlock();
  if (Failure)
    std::rethrow_exception(Failure);
}

bool TCrossThreadCalls::RunPending() {
  bool Ran = false;
  for (;;) {
    TRequest* Request = nullptr;
    {
      std::lock_guard<std::mutex> Guard(FLock);
      if (FPending.empty())
        break;
      Request = FPending.front();
      FPending.pop_front();
    }
    // Run outside the lock: the call may itself serve the queue (a nested loop or wait).
    std::exception_ptr Failure;
    try {
      Request->Call();
    } catch (...) {
      Failure = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> Guard(FLock);
      Request->Failure = std::move(Failure);  // handed over: nothing of it stays here
      Request->Done = true;
    }
    FDone.notify_all();
    Ran = true;
  }
  return Ran;
}

void TCrossThreadCalls::Wake() {
  std::lock_guard<std::mutex> Guard(FLock);
  if (!FClosed && FWake)
    FWake();
}

void TCrossThreadCalls::Close() {
  {
    std::lock_guard<std::mutex> Guard(FLock);
    FClosed = true;
    FWake = nullptr;
    for (TRequest* Request : FPending) {
      Request->Failure = std::make_exception_ptr(Exception(EndedText));
      Request->Done = true;
    }
    FPending.clear();
  }
  FDone.notify_all();
}

}  // namespace vantor
