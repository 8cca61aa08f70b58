#include "serial/sio_port_thread.h"

namespace vantor {

namespace {

class TNoticeScope {
 public:
  explicit TNoticeScope(std::atomic<bool>& Flag) : FFlag(Flag) { FFlag.store(true); }
  ~TNoticeScope() { FFlag.store(false); }
  TNoticeScope(const TNoticeScope&) = delete;
  TNoticeScope& operator=(const TNoticeScope&) = delete;

 private:
  std::atomic<bool>& FFlag;
};

}  // namespace

void TSioPortThread::RunNotice(const std::function<void()>& Notice) {
  if (!FSync) {
    Notice();
    return;
  }
  Synchronize([this, &Notice] {
    TNoticeScope Scope(FInNotice);
    Notice();
  });
}

}  // namespace vantor
