// The platform side of a thread (private to the framework): one file per platform
// implements it (posix/thread_posix.cpp, win32/thread_win32.cpp).
#pragma once

#include <memory>

namespace vantor {

class TNativeThread {
 public:
  virtual ~TNativeThread() = default;
  // Best effort: a priority the system refuses (no right to raise it) is left as it is.
  virtual void SetPriority(int PlatformPriority) = 0;
};

// The calling thread as the platform sees it; usable from other threads afterwards.
std::unique_ptr<TNativeThread> CurrentNativeThread();

}  // namespace vantor
