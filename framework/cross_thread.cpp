#include "framework/cross_thread.h"

#include "framework/object.h"

namespace {
const char* const EndedText = "The application has ended";
}

void TCrossThreadCalls::CallAndWait(std::function<void()> Call, const std::function<void()>& Wake) {
  TRequest Request;
  Request.Call = std::move(Call);
  {
    std::lock_guard<std::mutex> Guard(FLock);
    if (FClosed)
      throw Exception(EndedText);
    FPending.push_back(&Request);
  }
  Wake();
  std::unique_lock<std::mutex> Guard(FLock);
  FDone.wait(Guard, [&] { return Request.Done; });
  if (Request.Failure)
    std::rethrow_exception(Request.Failure);
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
      Request->Failure = Failure;
      Request->Done = true;
    }
    FDone.notify_all();
    Ran = true;
  }
  return Ran;
}

void TCrossThreadCalls::Close() {
  {
    std::lock_guard<std::mutex> Guard(FLock);
    FClosed = true;
    for (TRequest* Request : FPending) {
      Request->Failure = std::make_exception_ptr(Exception(EndedText));
      Request->Done = true;
    }
    FPending.clear();
  }
  FDone.notify_all();
}
