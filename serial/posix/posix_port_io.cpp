// Reading, writing and waiting for port events on Linux, with poll() on the port (or on its
// edge-triggered epoll set) and on the eventfds of the component's signals.
#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <utility>

#include "serial/posix/posix_port_backend.h"

namespace vantor {

namespace {

int Fd(TSioHandle Port) {
  return static_cast<int>(Port);
}

bool Signalled(short Events) {
  return (Events & POLLIN) != 0;
}

class TDeadline {
 public:
  explicit TDeadline(std::uint32_t TimeoutMs)
      : FInfinite(TimeoutMs == kSioInfinite),
        FEnd(std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs)) {}
  // Milliseconds left for poll(): -1 for no limit, 0 once it has passed.
  int Left() const {
    if (FInfinite) {
      return -1;
    }
    auto Ms = std::chrono::ceil<std::chrono::milliseconds>(FEnd - std::chrono::steady_clock::now())
                  .count();
    return Ms <= 0 ? 0 : (Ms > INT_MAX ? INT_MAX : static_cast<int>(Ms));
  }

 private:
  bool FInfinite;
  std::chrono::steady_clock::time_point FEnd;
};

}  // namespace

bool TPosixPortBackend::Read(TSioHandle Port, void* Buf, std::uint32_t Count,
                             TSioEvent& /*Completion*/, std::uint32_t /*TimeoutMs*/,
                             std::uint32_t& Transferred) {
  Transferred = 0;
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  if (Count == 0) {
    return true;
  }
  for (;;) {
    const ssize_t Got = ::read(Fd(Port), Buf, Count);
    if (Got >= 0) {
      Transferred = static_cast<std::uint32_t>(Got);
      std::lock_guard Guard(State->Lock);
      State->RxReported = State->RxReported > Transferred ? State->RxReported - Transferred : 0;
      return true;
    }
    if (errno == EINTR) {
      continue;
    }
    if (errno == EAGAIN) {
      return true;  // nothing has arrived
    }
    if (errno == EIO) {
      std::lock_guard Guard(State->Lock);
      NoteHangUp(*State);
      return true;  // the line is gone: nothing more will arrive
    }
    return false;
  }
}

TPosixPortBackend::TWriteStep TPosixPortBackend::WriteWhatFits(int Port, TPosixPortState& State,
                                                               const unsigned char* Bytes,
                                                               std::uint32_t Count,
                                                               std::uint32_t& Transferred) {
  while (Transferred < Count) {
    const std::uint32_t Asked = Count - Transferred;
    const ssize_t Put = ::write(Port, Bytes + Transferred, Asked);
    if (Put > 0) {
      Transferred += static_cast<std::uint32_t>(Put);
      if (static_cast<std::uint32_t>(Put) < Asked) {
        // A short write: the driver took all the room it had, so trying again at once
        // would only give EAGAIN.
        return TWriteStep::Full;
      }
      continue;
    }
    if (Put < 0 && errno == EINTR) {
      continue;
    }
    if (Put == 0 || errno == EAGAIN) {
      return TWriteStep::Full;
    }
    const int Error = errno;
    if (Error == EIO) {
      std::lock_guard Guard(State.Lock);
      NoteHangUp(State);
    }
    errno = Error;
    return TWriteStep::Failed;
  }
  return TWriteStep::Done;
}

bool TPosixPortBackend::Write(TSioHandle Port, const void* Buf, std::uint32_t Count,
                              TSioEvent& /*Completion*/, std::uint32_t TimeoutMs,
                              std::uint32_t& Transferred) {
  Transferred = 0;
  auto State = Find(Port);
  if (!State) {
    return false;
  }
  const TDeadline Deadline(TimeoutMs);
  const auto* Bytes = static_cast<const unsigned char*>(Buf);
  for (;;) {
    const TWriteStep Step = WriteWhatFits(Fd(Port), *State, Bytes, Count, Transferred);
    if (Step == TWriteStep::Done) {
      return true;
    }
    if (Step == TWriteStep::Failed) {
      return Transferred > 0;  // what left before the failure counts as written
    }
    pollfd Poll{Fd(Port), POLLOUT, 0};
    const int Ready = ::poll(&Poll, 1, Deadline.Left());
    if (Ready == 0) {
      return true;  // time is up: the rest stays unwritten
    }
    if (Ready < 0 && errno != EINTR) {
      return Transferred > 0;
    }
  }
}

// Bytes already accepted by the kernel when Close or Flush ends the write count as written:
// they have left the component's buffer (which Close discards and a flush purges anyway).
TSioWriteOutcome TPosixPortBackend::WriteAbandonable(TSioHandle Port, const void* Buf,
                                                     std::uint32_t Count, TSioEvent& /*Completion*/,
                                                     TSioEvent& Close, TSioEvent& Flush,
                                                     std::uint32_t& Transferred) {
  Transferred = 0;
  auto State = Find(Port);
  if (!State) {
    return TSioWriteOutcome::Refused;
  }
  const auto* Bytes = static_cast<const unsigned char*>(Buf);
  bool Pending = false;
  for (;;) {
    const TWriteStep Step = WriteWhatFits(Fd(Port), *State, Bytes, Count, Transferred);
    if (Step == TWriteStep::Done) {
      return TSioWriteOutcome::Written;
    }
    if (Step == TWriteStep::Failed) {
      if (Transferred > 0) {
        return TSioWriteOutcome::Written;  // the failure shows again at the next write
      }
      return Pending ? TSioWriteOutcome::ResultFailed : TSioWriteOutcome::Refused;
    }
    // The output queue is full: wait for room, or for Close or Flush (first in this order).
    Pending = true;
    pollfd Polls[3] = {
        {Fd(Close.Handle()), POLLIN, 0}, {Fd(Flush.Handle()), POLLIN, 0}, {Fd(Port), POLLOUT, 0}};
    if (::poll(Polls, 3, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return Transferred > 0 ? TSioWriteOutcome::Written : TSioWriteOutcome::ResultFailed;
    }
    if (Signalled(Polls[0].revents)) {
      return TSioWriteOutcome::Close;
    }
    if (Signalled(Polls[1].revents)) {
      return TSioWriteOutcome::Flush;
    }
    // Room, or a hang-up, which the next write() reports.
  }
}

std::uint32_t TPosixPortBackend::TakeEvents(int Port, TPosixPortState& State) {
  TakeLineCounts(Port, State);
  // A break or a line error alone, before its byte: the dispatch of EV_RXCHAR asks for the
  // input count, which clears the error flags that the line check would look for.
  const std::uint32_t Line = std::exchange(State.LineEvents, 0) & State.EventMask;
  if (Line != 0 || (State.EventMask & kEvRxChar) == 0) {
    return Line;
  }
  int Waiting = 0;
  if (::ioctl(Port, FIONREAD, &Waiting) != 0) {
    NoteHangUp(State);
    return 0;
  }
  // Windows reports EV_RXCHAR for new bytes only, not for those left unread.
  const auto Unread = static_cast<std::uint32_t>(Waiting);
  State.RxReported = std::min(State.RxReported, Unread);
  if (Unread <= State.RxReported) {
    return 0;
  }
  State.RxReported = Unread;
  return kEvRxChar;
}

// Reports the events of the port's mask as Windows does: EV_BREAK and EV_ERR when the
// driver's counts have grown, EV_RXCHAR when bytes have arrived that no earlier EV_RXCHAR
// announced, and a hang-up once, as EV_ERR (its CE_MODE flag goes to the next
// ClearCommError); after that the line has nothing more to say and the wait ends only by
// Stop (or Wake). The counts are read whenever the line wakes the wait, without polling: a
// break or a line error comes with a byte. Modem-line changes are not reported here.
TSioWaitOutcome TPosixPortBackend::WaitCommEvent(TSioHandle Port, std::uint32_t& EvtMask,
                                                 TSioEvent& Wake, TSioEvent& Stop) {
  EvtMask = 0;
  auto State = Find(Port);
  if (!State) {
    return TSioWaitOutcome::Refused;
  }
  for (;;) {
    if (Stop.WaitFor(0) == wrSignaled) {
      return TSioWaitOutcome::Stopped;  // also when set before the call
    }
    nfds_t Count = 3;
    {
      std::lock_guard Guard(State->Lock);
      if (State->EventMask == 0) {
        errno = EINVAL;  // nothing to wait for, as Windows refuses it
        return TSioWaitOutcome::Refused;
      }
      if (!State->HungUp) {
        EvtMask = TakeEvents(Fd(Port), *State);
        if (EvtMask != 0) {
          return TSioWaitOutcome::Events;
        }
      }
      if (State->HungUp) {
        Count = 2;  // a dead line: only the component's own signals end the wait
        if (!std::exchange(State->HangUpReported, true) && (State->EventMask & kEvErr) != 0) {
          EvtMask = kEvErr;
          return TSioWaitOutcome::Events;
        }
      }
    }
    pollfd Polls[3] = {{Fd(Stop.Handle()), POLLIN, 0},
                       {Fd(Wake.Handle()), POLLIN, 0},
                       {State->Readiness.Get(), POLLIN, 0}};
    if (::poll(Polls, Count, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return TSioWaitOutcome::Failed;
    }
    if (Signalled(Polls[0].revents)) {
      return TSioWaitOutcome::Stopped;
    }
    if (Signalled(Polls[1].revents)) {
      return TSioWaitOutcome::Events;  // woken from outside: no event, as on Windows
    }
    // Take the news, so that the set is quiet until the line has more.
    epoll_event News{};
    if (Count == 3 && ::epoll_wait(State->Readiness.Get(), &News, 1, 0) == 1 &&
        (News.events & (EPOLLHUP | EPOLLERR)) != 0) {
      std::lock_guard Guard(State->Lock);
      NoteHangUp(*State);
    }
  }
}

}  // namespace vantor
