// Calls that other threads hand to the main thread and wait for: Synchronize and messages
// sent to the application window. Private to the framework; the application owns one.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

class TCrossThreadCalls {
 public:
  // Any thread but the main one: queues Call, runs Wake, blocks until the main thread has
  // run it, and re-raises what Call raised. Raises Exception once the queue is closed.
  void CallAndWait(std::function<void()> Call, const std::function<void()>& Wake);
  // Main thread: runs the calls queued now, oldest first. True if any ran.
  bool RunPending();
  // Refuses every waiting and every later call, so that no caller blocks for ever.
  void Close();

 private:
  struct TRequest {
    std::function<void()> Call;
    std::exception_ptr Failure;
    bool Done = false;
  };

  std::mutex FLock;
  std::condition_variable FDone;
  std::deque<TRequest*> FPending;
  bool FClosed = false;
};
