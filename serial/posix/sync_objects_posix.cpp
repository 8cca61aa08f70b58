// Events as eventfds, so that a backend can poll one together with its port; a manual-reset
// event is signalled while the counter is non-zero, an auto-reset one is consumed by a wait.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <mutex>

#include "serial/sync_objects.h"

namespace vantor {

namespace {

int Fd(TSioHandle Handle) {
  return static_cast<int>(Handle);
}

// Milliseconds left before Deadline, for poll(): -1 waits without a limit.
int PollTimeout(bool Infinite, std::chrono::steady_clock::time_point Deadline) {
  if (Infinite) {
    return -1;
  }
  auto Left =
      std::chrono::ceil<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now());
  if (Left.count() <= 0) {
    return 0;
  }
  return Left.count() > INT_MAX ? INT_MAX : static_cast<int>(Left.count());
}

}  // namespace

TSioHandleObject::~TSioHandleObject() {
  if (FHandle != kInvalidSioHandle) {
    ::close(Fd(FHandle));
  }
}

TSioEvent::TSioEvent(const void* /*EventAttributes*/, bool ManualReset, bool InitialState,
                     const char* /*Name*/)
    : FManualReset(ManualReset) {
  int Handle = ::eventfd(InitialState ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (Handle < 0) {
    FError = errno;
    return;
  }
  FHandle = static_cast<TSioHandle>(Handle);
}

TSioEventWaitResult TSioEvent::WaitFor(std::uint32_t Timeout) {
  if (FHandle == kInvalidSioHandle) {
    FError = EBADF;
    return wrError;
  }
  const bool Infinite = Timeout == kSioInfinite;
  const auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Timeout);
  for (;;) {
    pollfd Poll{Fd(FHandle), POLLIN, 0};
    int Ready = ::poll(&Poll, 1, PollTimeout(Infinite, Deadline));
    if (Ready < 0) {
      if (errno == EINTR) {
        continue;
      }
      FError = errno;
      return wrError;
    }
    if (Ready == 0) {
      return wrTimeout;
    }
    if ((Poll.revents & POLLIN) == 0) {
      FError = EBADF;
      return wrError;
    }
    if (FManualReset) {
      return wrSignaled;  // the counter stays non-zero until ResetEvent drains it
    }
    eventfd_t Value = 0;
    if (::eventfd_read(Fd(FHandle), &Value) == 0) {
      return wrSignaled;
    }
    if (errno != EAGAIN) {
      FError = errno;
      return wrError;
    }
    // Another waiter consumed it first: wait again for the time that is left.
  }
}

void TSioEvent::SetEvent() {
  if (FHandle != kInvalidSioHandle) {
    ::eventfd_write(Fd(FHandle), 1);
  }
}

void TSioEvent::ResetEvent() {
  if (FHandle != kInvalidSioHandle) {
    eventfd_t Value = 0;
    ::eventfd_read(Fd(FHandle), &Value);  // EAGAIN: already reset
  }
}

struct TSioCriticalSection::TSection {
  std::recursive_mutex Mutex;
};

TSioCriticalSection::TSioCriticalSection() : FSection(std::make_unique<TSection>()) {}
TSioCriticalSection::~TSioCriticalSection() = default;
void TSioCriticalSection::Acquire() {
  FSection->Mutex.lock();
}
void TSioCriticalSection::Release() {
  FSection->Mutex.unlock();
}

}  // namespace vantor
