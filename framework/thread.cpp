#include "framework/thread.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "framework/application.h"
#include "framework/backend.h"
#include "framework/cross_thread.h"
#include "framework/thread_native.h"

namespace vantor {

struct TThread::TPlatformThread {
  std::thread Thread;
  std::mutex Lock;  // guards Native and the start hand-over
  std::condition_variable Ended;
  std::unique_ptr<TNativeThread> Native;
  // The main thread's queue, kept from Start on: it outlives the application.
  std::shared_ptr<TCrossThreadCalls> MainThread;
};

int PlatformThreadPriority(TThreadPriority Priority) {
  static constexpr int Map[] = {-15, -2, -1, 0, 1, 2, 15};
  return Priority <= tpTimeCritical ? Map[Priority] : 0;
}

TThread::TThread() : FPlatform(std::make_unique<TPlatformThread>()) {}

TThread::~TThread() {
  // A free-on-end thread is deleted by its own thread, which has detached itself.
  if (!FStarted || !FPlatform->Thread.joinable())
    return;
  if (FPlatform->Thread.get_id() == std::this_thread::get_id()) {
    FPlatform->Thread.detach();
    return;
  }
  try {
    TerminateAndWait();
  } catch (...) {  // a destructor must not throw; the join below still waits
  }
  if (FPlatform->Thread.joinable())
    FPlatform->Thread.join();
}

void TThread::Start() {
  std::lock_guard<std::mutex> Guard(FPlatform->Lock);
  if (FStarted)
    return;
  FStarted = true;
  if (TApplication* App = Application())
    FPlatform->MainThread = App->CrossThreadCalls();
  // The lock keeps the new thread from running (and maybe freeing itself) before its
  // std::thread is stored.
  FPlatform->Thread = std::thread(&TThread::ThreadProc, this);
}

void TThread::Terminate() {
  FTerminated = true;
}

void TThread::TerminateAndWait() {
  if (!FStarted || FFinished)
    return;
  Terminate();
  WaitFor();
}

void TThread::SetPriority(TThreadPriority Value) {
  std::lock_guard<std::mutex> Guard(FPlatform->Lock);
  FPriority = Value;
  if (FPlatform->Native)
    FPlatform->Native->SetPriority(PlatformThreadPriority(Value));
}

void TThread::ThreadProc(TThread* Self) {
  {
    std::lock_guard<std::mutex> Guard(Self->FPlatform->Lock);
    Self->FPlatform->Native = CurrentNativeThread();
    Self->FPlatform->Native->SetPriority(PlatformThreadPriority(Self->FPriority));
  }
  try {
    Self->Execute();
  } catch (...) {
    Self->FFatalException = std::current_exception();
  }
  const bool FreeSelf = Self->FFreeOnTerminate;
  const std::shared_ptr<TCrossThreadCalls> MainThread = Self->FPlatform->MainThread;
  {
    std::lock_guard<std::mutex> Guard(Self->FPlatform->Lock);
    Self->FFinished = true;
    Self->FPlatform->Native.reset();
    // Notified under the lock: a waiter can free the object once the lock is released.
    Self->FPlatform->Ended.notify_all();
  }
  if (FreeSelf)
    std::unique_ptr<TThread>{Self}.reset();  // a free-on-end thread owns itself
  // Woken last, so that a main thread waiting for the end sees all of it; the queue
  // does nothing if the application has ended meanwhile.
  if (MainThread)
    MainThread->Wake();
}

int TThread::WaitFor() {
  if (!FStarted)
    throw Exception("Cannot wait for a thread that was never started");
  if (FFreeOnTerminate)
    throw Exception("Cannot wait for a thread that frees itself");
  if (FPlatform->Thread.get_id() == std::this_thread::get_id()) {
    throw Exception("A thread cannot wait for itself");
  }
  TApplication* App = Application();
  if (App && App->IsMainThread()) {
    // The worker may be blocked in Synchronize, or in a message sent to the application
    // window: keep serving those, sleeping in between until something is queued or the
    // thread ends (both wake the main thread).
    while (!FFinished) {
      App->ServeCrossThreadCalls();
      if (FFinished)
        break;
      App->Backend().WaitForWake();
    }
  } else {
    std::unique_lock<std::mutex> Guard(FPlatform->Lock);
    FPlatform->Ended.wait(Guard, [this] { return FFinished.load(); });
  }
  {
    std::lock_guard<std::mutex> Guard(FPlatform->Lock);
    if (FPlatform->Thread.joinable())
      FPlatform->Thread.join();
  }
  return ReturnValue;
}

bool TThread::IsMainThread() {
  TApplication* App = Application();
  return App && App->IsMainThread();
}

void TThread::Synchronize(TThread* AThread, const std::function<void()>& Method) {
  // A started thread uses the queue it kept; it stays valid after the application ended.
  std::shared_ptr<TCrossThreadCalls> MainThread;
  if (AThread)
    MainThread = AThread->FPlatform->MainThread;
  if (!MainThread) {
    if (TApplication* App = Application())
      MainThread = App->CrossThreadCalls();
  }
  if (!MainThread)
    throw Exception("Synchronize needs the application object");
  if (MainThread->IsMainThread()) {
    Method();
    return;
  }
  MainThread->CallAndWait(Method);
}

bool TThread::CheckSynchronize() {
  TApplication* App = Application();
  return App && App->IsMainThread() && App->ServeCrossThreadCalls();
}

}  // namespace vantor
