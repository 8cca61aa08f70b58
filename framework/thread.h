// Threads that can have calls run on the main thread (Synchronize) and be waited for on
// the main thread while such calls, and messages sent to the application's windows, go on
// being served.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

#include "framework/object.h"

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
  explicit TThread(bool CreateSuspended);
  // Destroying a started thread that has not finished terminates it and waits for it.
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Start();
  void Terminate();  // sets Terminated; Execute is expected to look at it
  bool Terminated() const { return FTerminated.load(); }
  bool Finished() const { return FFinished.load(); }
  bool Started() const { return FStarted; }

  // Waits until Execute has returned and gives ReturnValue. On the main thread the wait
  // keeps running queued Synchronize calls and messages sent to the application's windows.
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
  static void Synchronize(TThread* AThread, const std::function<void()>& Method);
  static bool IsMainThread();
  // Runs every queued Synchronize call; the message loops call it. True if any ran.
  static bool CheckSynchronize();

  struct TPlatformThread;  // the backend's native thread

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
