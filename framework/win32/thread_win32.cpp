#include <windows.h>

#include "framework/thread_native.h"

namespace vantor {

namespace {

class TWin32Thread : public TNativeThread {
 public:
  TWin32Thread() {
    // GetCurrentThread is a pseudo handle valid only on this thread: make a real one.
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &FHandle,
                      THREAD_SET_INFORMATION | THREAD_QUERY_INFORMATION, FALSE, 0);
  }
  ~TWin32Thread() override {
    if (FHandle)
      ::CloseHandle(FHandle);
  }
  TWin32Thread(const TWin32Thread&) = delete;
  TWin32Thread& operator=(const TWin32Thread&) = delete;

  void SetPriority(int PlatformPriority) override {
    if (FHandle)
      ::SetThreadPriority(FHandle, PlatformPriority);
  }

 private:
  HANDLE FHandle = nullptr;
};

}  // namespace

std::unique_ptr<TNativeThread> CurrentNativeThread() {
  return std::make_unique<TWin32Thread>();
}

}  // namespace vantor
