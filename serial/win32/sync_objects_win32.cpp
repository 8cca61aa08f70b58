// Events and re-entrant locks as the Win32 kernel objects they stand for.
#include <windows.h>

#include "serial/sync_objects.h"

namespace vantor {

namespace {

HANDLE Native(TSioHandle Handle) {
  return reinterpret_cast<HANDLE>(Handle);
}

}  // namespace

TSioHandleObject::~TSioHandleObject() {
  if (FHandle != kInvalidSioHandle) {
    ::CloseHandle(Native(FHandle));
  }
}

TSioEvent::TSioEvent(const void* /*EventAttributes*/, bool ManualReset, bool InitialState,
                     const char* /*Name*/)
    : FManualReset(ManualReset) {
  HANDLE Event =
      ::CreateEventW(nullptr, ManualReset ? TRUE : FALSE, InitialState ? TRUE : FALSE, nullptr);
  if (Event == nullptr) {
    FError = static_cast<std::int32_t>(::GetLastError());
    return;
  }
  FHandle = reinterpret_cast<TSioHandle>(Event);
}

TSioEventWaitResult TSioEvent::WaitFor(std::uint32_t Timeout) {
  switch (::WaitForSingleObject(Native(FHandle), Timeout)) {
    case WAIT_OBJECT_0:
      return wrSignaled;
    case WAIT_TIMEOUT:
      return wrTimeout;
    case WAIT_ABANDONED:
      return wrAbandoned;
    default:
      FError = static_cast<std::int32_t>(::GetLastError());
      return wrError;
  }
}

void TSioEvent::SetEvent() {
  ::SetEvent(Native(FHandle));
}
void TSioEvent::ResetEvent() {
  ::ResetEvent(Native(FHandle));
}

struct TSioCriticalSection::TSection {
  TSection() { ::InitializeCriticalSection(&Section); }
  ~TSection() { ::DeleteCriticalSection(&Section); }
  TSection(const TSection&) = delete;
  TSection& operator=(const TSection&) = delete;
  CRITICAL_SECTION Section;
};

TSioCriticalSection::TSioCriticalSection() : FSection(std::make_unique<TSection>()) {}
TSioCriticalSection::~TSioCriticalSection() = default;
void TSioCriticalSection::Acquire() {
  ::EnterCriticalSection(&FSection->Section);
}
void TSioCriticalSection::Release() {
  ::LeaveCriticalSection(&FSection->Section);
}

}  // namespace vantor
