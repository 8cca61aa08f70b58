#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include "framework/thread_native.h"

namespace vantor {

namespace {

class TPosixThread : public TNativeThread {
 public:
  TPosixThread() : FTid(::gettid()) {}

  // Linux gives each thread its own nice value; a higher priority is a lower nice value.
  // Raising it needs a privilege the program does not have: EPERM is ignored.
  void SetPriority(int PlatformPriority) override {
    const int Nice = std::clamp(-PlatformPriority, -20, 19);
    (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(FTid), Nice);
  }

 private:
  pid_t FTid;
};

}  // namespace

std::unique_ptr<TNativeThread> CurrentNativeThread() {
  return std::make_unique<TPosixThread>();
}

}  // namespace vantor
