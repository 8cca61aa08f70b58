// What the component's two port threads share: the dispatch of a notice (on the main
// thread through Synchronize, or on the thread itself), and what Close needs to know to
// decide whether it may wait for the thread.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "framework/thread.h"

namespace vantor {

class TSioPortThread : public TThread {
 public:
  TSioPortThread() = default;

  bool Sync() const { return FSync; }
  void SetSync(bool Value) { FSync = Value; }

  // Asks the thread to end; it touches the port no more once it has seen the request.
  virtual void StopThread() = 0;

  // True while a notice of this thread runs on the main thread through Synchronize: the
  // thread is then blocked until that notice returns, so the main thread must not wait
  // for it from inside the notice.
  bool InNotice() const { return FInNotice.load(); }
  bool IsCurrentThread() const { return FThreadId.load() == std::this_thread::get_id(); }

 protected:
  void MarkThreadStarted() { FThreadId.store(std::this_thread::get_id()); }
  // Runs Notice on the main thread when Sync, else here; a failure comes back here.
  void RunNotice(const std::function<void()>& Notice);

 private:
  bool FSync = true;
  std::atomic<bool> FInNotice{false};
  std::atomic<std::thread::id> FThreadId{};
};

}  // namespace vantor
