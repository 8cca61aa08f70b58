// Calls that other threads hand to the main thread and wait for: Synchronize and messages
// sent to the application window. Private to the framework. The application owns it
// through a shared pointer, and every started thread keeps a copy, so that a thread ending
// after the application never touches a freed object: once closed, the queue refuses calls
// and no longer wakes anything.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace vantor {

class TCrossThreadCalls {
 public:
  // Wake is run (under the queue's lock) to wake the main thread, which is the caller.
  explicit TCrossThreadCalls(std::function<void()> Wake);

  bool IsMainThread() const { return std::this_thread::get_id() == FMainThread; }
  // Any thread but the main one: queues Call, wakes the main thread, blocks until the main
  // thread has run it, and re-raises what Call raised. Raises Exception once closed.
  void CallAndWait(std::function<void()> Call);
  // Main thread: runs the calls queued now, oldest first. True if any ran.
  bool RunPending();
  // Any thread: wakes the main thread, unless the queue is closed.
  void Wake();
  // Refuses every waiting and every later call, so that no caller blocks for ever, and
  // stops waking.
  void Close();

 private:
  struct TRequest {
    std::function<void()> Call;
    std::exception_ptr Failure;
    bool Done = false;
  };

  const std::thread::id FMainThread;
  std::mutex FLock;
  std::condition_variable FDone;
  std::deque<TRequest*> FPending;
  std::function<void()> FWake;
  bool FClosed = false;
};

// What a backend without a system queue to wait on (headless, console, and the Qt backend
// while a thread is waited for) sleeps on until another thread wakes it. A wake-up given
// while nobody waits is kept for the next wait.
class TWakeSignal {
 public:
  void Set() {
    {
      std::lock_guard<std::mutex> Guard(FLock);
      FSet = true;
    }
    FWake.notify_all();
  }
  void Wait() {
    std::unique_lock<std::mutex> Guard(FLock);
    FWake.wait(Guard, [this] { return FSet; });
    FSet = false;
  }
  // True when woken before Deadline.
  template <class TTimePoint>
  bool WaitUntil(const TTimePoint& Deadline) {
    std::unique_lock<std::mutex> Guard(FLock);
    if (!FWake.wait_until(Guard, Deadline, [this] { return FSet; }))
      return false;
    FSet = false;
    return true;
  }

 private:
  std::mutex FLock;
  std::condition_variable FWake;
  bool FSet = false;
};

}  // namespace vantor
