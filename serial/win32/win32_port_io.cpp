// Reading, writing and waiting for port events with overlapped I/O. No operation returns
// while the system may still write into its OVERLAPPED record, its buffer or its mask:
// a wait that ends without completion cancels the operation and waits for it to finish.
#include "serial/win32/win32_port_backend.h"

namespace vantor {

namespace {

HANDLE Native(TSioHandle Handle) {
  return reinterpret_cast<HANDLE>(Handle);
}

// Waits until the system has let go of the record and gives the bytes it moved.
// GetOverlappedResult(TRUE) is not enough: it returns as soon as the record's event is
// set, and that event may be set by someone else (a stop request sets the wake signal), so
// the system could still write into the record, the buffer or the mask afterwards.
void AwaitCompletion(OVERLAPPED& Overlapped) {
  while (!HasOverlappedIoCompleted(&Overlapped)) {
    if (::WaitForSingleObject(Overlapped.hEvent, 10) == WAIT_OBJECT_0 &&
        !HasOverlappedIoCompleted(&Overlapped)) {
      ::ResetEvent(Overlapped.hEvent);  // set from outside; the completion sets it again
    }
  }
}

DWORD AwaitRelease(HANDLE Port, OVERLAPPED& Overlapped) {
  AwaitCompletion(Overlapped);
  DWORD Moved = 0;
  if (!::GetOverlappedResult(Port, &Overlapped, &Moved, FALSE)) {
    Moved = 0;
  }
  return Moved;
}

// Cancels a pending operation and waits until it has finished; gives the bytes it had
// moved by then. Keeps the caller's last-error code.
DWORD CancelAndFinish(HANDLE Port, OVERLAPPED& Overlapped) {
  const DWORD Error = ::GetLastError();
  ::CancelIoEx(Port, &Overlapped);
  const DWORD Moved = AwaitRelease(Port, Overlapped);
  ::SetLastError(Error);
  return Moved;
}

// Ends a pending WaitCommEvent and waits until it has completed. Setting the mask again is
// the documented way to end such a wait (Wine cannot cancel one with CancelIoEx); the
// cancel covers a driver that would not complete it on a mask change.
void AbortWait(HANDLE Port, OVERLAPPED& Overlapped) {
  const DWORD Error = ::GetLastError();
  DWORD Mask = 0;
  if (::GetCommMask(Port, &Mask)) {
    ::SetCommMask(Port, Mask);
  }
  ::CancelIoEx(Port, &Overlapped);
  AwaitRelease(Port, Overlapped);
  ::SetLastError(Error);
}

// A read or a direct write: started, then waited for at most TimeoutMs.
bool Transfer(bool Reading, HANDLE Port, void* Buf, std::uint32_t Count, TSioEvent& Completion,
              std::uint32_t TimeoutMs, std::uint32_t& Transferred) {
  Transferred = 0;
  OVERLAPPED Overlapped{};
  Overlapped.hEvent = Native(Completion.Handle());
  const BOOL Done = Reading ? ::ReadFile(Port, Buf, Count, nullptr, &Overlapped)
                            : ::WriteFile(Port, Buf, Count, nullptr, &Overlapped);
  if (!Done) {
    if (::GetLastError() != ERROR_IO_PENDING) {
      return false;
    }
    if (Completion.WaitFor(TimeoutMs) != wrSignaled) {
      Transferred = CancelAndFinish(Port, Overlapped);  // bytes that did move are not lost
      return true;
    }
  }
  DWORD Moved = 0;
  if (!::GetOverlappedResult(Port, &Overlapped, &Moved, FALSE)) {
    if (::GetLastError() != ERROR_IO_INCOMPLETE) {
      return false;
    }
    Moved = CancelAndFinish(Port, Overlapped);  // signalled, yet not complete
  }
  Transferred = Moved;
  return true;
}

}  // namespace

bool TWin32PortBackend::Read(TSioHandle Port, void* Buf, std::uint32_t Count, TSioEvent& Completion,
                             std::uint32_t TimeoutMs, std::uint32_t& Transferred) {
  return Transfer(true, Native(Port), Buf, Count, Completion, TimeoutMs, Transferred);
}

bool TWin32PortBackend::Write(TSioHandle Port, const void* Buf, std::uint32_t Count,
                              TSioEvent& Completion, std::uint32_t TimeoutMs,
                              std::uint32_t& Transferred) {
  return Transfer(false, Native(Port), const_cast<void*>(Buf), Count, Completion, TimeoutMs,
                  Transferred);
}

TSioWriteOutcome TWin32PortBackend::WriteAbandonable(TSioHandle Port, const void* Buf,
                                                     std::uint32_t Count, TSioEvent& Completion,
                                                     TSioEvent& Close, TSioEvent& Flush,
                                                     std::uint32_t& Transferred) {
  Transferred = 0;
  HANDLE Line = Native(Port);
  OVERLAPPED Overlapped{};
  Overlapped.hEvent = Native(Completion.Handle());
  DWORD Moved = 0;
  if (::WriteFile(Line, Buf, Count, nullptr, &Overlapped)) {
    ::GetOverlappedResult(Line, &Overlapped, &Moved, TRUE);
    Transferred = Moved;
    return TSioWriteOutcome::Written;
  }
  if (::GetLastError() != ERROR_IO_PENDING) {
    return TSioWriteOutcome::Refused;
  }
  HANDLE Signals[3] = {Native(Close.Handle()), Native(Flush.Handle()), Overlapped.hEvent};
  switch (::WaitForMultipleObjects(3, Signals, FALSE, INFINITE)) {
    case WAIT_OBJECT_0:
      Transferred = CancelAndFinish(Line, Overlapped);
      return TSioWriteOutcome::Close;
    case WAIT_OBJECT_0 + 1:
      Transferred = CancelAndFinish(Line, Overlapped);
      return TSioWriteOutcome::Flush;
    case WAIT_OBJECT_0 + 2:
      AwaitCompletion(Overlapped);
      if (!::GetOverlappedResult(Line, &Overlapped, &Moved, FALSE)) {
        return TSioWriteOutcome::ResultFailed;
      }
      Transferred = Moved;
      return TSioWriteOutcome::Written;
    default:
      Transferred = CancelAndFinish(Line, Overlapped);
      return TSioWriteOutcome::ResultFailed;
  }
}

TSioWaitOutcome TWin32PortBackend::WaitCommEvent(TSioHandle Port, std::uint32_t& EvtMask,
                                                 TSioEvent& Wake, TSioEvent& Stop) {
  EvtMask = 0;
  // Arming the wait resets Wake; Stop is a signal of its own, so a stop requested before
  // this point is still seen.
  if (Stop.WaitFor(0) == wrSignaled) {
    return TSioWaitOutcome::Stopped;
  }
  HANDLE Line = Native(Port);
  OVERLAPPED Overlapped{};
  Overlapped.hEvent = Native(Wake.Handle());
  DWORD Mask = 0;
  if (::WaitCommEvent(Line, &Mask, &Overlapped)) {
    EvtMask = Mask;
    return TSioWaitOutcome::Events;
  }
  if (::GetLastError() != ERROR_IO_PENDING) {
    return TSioWaitOutcome::Refused;
  }
  HANDLE Signals[2] = {Native(Stop.Handle()), Overlapped.hEvent};
  switch (::WaitForMultipleObjects(2, Signals, FALSE, INFINITE)) {
    case WAIT_OBJECT_0:
      AbortWait(Line, Overlapped);
      return TSioWaitOutcome::Stopped;
    case WAIT_OBJECT_0 + 1:
      if (!HasOverlappedIoCompleted(&Overlapped)) {
        AbortWait(Line, Overlapped);  // Wake was set from outside: the mask stays 0
      }
      EvtMask = Mask;
      return TSioWaitOutcome::Events;
    default:
      AbortWait(Line, Overlapped);
      return TSioWaitOutcome::Failed;
  }
}

}  // namespace vantor
