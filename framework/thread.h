// Threads that can have calls run on the main thread (Synchronize) and be waited for on
// the main thread while such calls, and messages sent to the application's windows, go on
// being served.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <utility>

#include "framework/object.h"

namespace vantor {

enum TThreadPriority : std::uint8_t {
  tpIdle,
  tpLowest,
  tpLower,
  tpNormal,
  tpHigher,
  tpHighest,
  tpTimeCritical
};

// The platform priority of each value: -15, -2, -1, 0, 1, 2, 15.
int PlatformThreadPriority(TThreadPriority Priority);

class TThread : public TObject {
 public:
  // Every thread is made suspended: C++ cannot run a derived class's Execute from the base
  // constructor (the derived part is not built yet), so there is no "create running"
  // choice to offer. Execute begins at Start(); TThread::Create<T>(...) builds and starts.
  TThread();
  // Destroying a started thread that has not finished terminates it and waits for it. The
  // base destructor runs after a derived class's members are gone: a derived class whose
  // Execute may still be running calls TerminateAndWait() in its own destructor.
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Start();  // starts Execute on a new thread; does nothing on a started thread

  template <class T, class... Args>
  static std::unique_ptr<T> Create(Args&&... ConstructorArgs) {
    auto Thread = std::make_unique<T>(std::forward<Args>(ConstructorArgs)...);
    Thread->Start();
    return Thread;
  }
  void Terminate();  // sets Terminated; Execute is expected to look at it
  // Terminate, then WaitFor, when the thread was started and has not finished.
  void TerminateAndWait();
  bool Terminated() const { return FTerminated.load(); }
  bool Finished() const { return FFinished.load(); }
  bool Started() const { return FStarted; }

  // Waits until Execute has returned and gives ReturnValue. On the main thread the wait
  // keeps running queued Synchronize calls and messages sent to the application's windows.
  // Callable any number of times, also after the end. Raises Exception for a thread that
  // was never started, for a free-on-end thread and when a thread waits for itself.
  int WaitFor();

  TThreadPriority Priority() const { return FPriority; }
  void SetPriority(TThreadPriority Value);

  // A free-on-end thread deletes itself when Execute has returned; nobody may hold it then.
  bool FreeOnTerminate() const { return FFreeOnTerminate; }
  void SetFreeOnTerminate(bool Value) { FFreeOnTerminate = Value; }

  // A failure that escaped Execute, kept rather than lost (null when none).
  std::exception_ptr FatalException() const { return FFatalException; }

  // Runs Method on the main thread and blocks until it has run; runs it at once when
  // called on the main thread. A failure raised by Method is re-raised in the caller.
  // Without an application object, or once it has ended, it raises Exception.
  static void Synchronize(TThread* AThread, const std::function<void()>& Method);
  static bool IsMainThread();
  // Runs every queued Synchronize call; the message loops call it. True if any ran.
  static bool CheckSynchronize();

  struct TPlatformThread;  // the native thread and its end signal

 protected:
  virtual void Execute() = 0;
  void Synchronize(const std::function<void()>& Method) { Synchronize(this, Method); }
  int ReturnValue = 0;

 private:
  static void ThreadProc(TThread* Self);

  std::unique_ptr<TPlatformThread> FPlatform;
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  bool FStarted = false;
  bool FFreeOnTerminate = false;
  TThreadPriority FPriority = tpNormal;
  std::exception_ptr FFatalException;
};

}  // namespace vantor
