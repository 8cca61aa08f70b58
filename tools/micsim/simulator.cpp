#include "tools/micsim/simulator.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "tools/micsim/state_file.h"
#include "base/system_error.h"

namespace vantor {

namespace micsim {

namespace {

std::string Errno(const std::string& What) {
  return What + ": " + SystemErrorText(static_cast<std::uint32_t>(errno));
}

}  // namespace

TSimulator::TSimulator(const TOptions& Options, TLog& Log, TMicDevice& Device)
    : FOptions(Options), FLog(Log), FDevice(Device), FShaper(Options.Faults, Options.Seed) {}

int TSimulator::Run(TSignals& Signals) {
  OpenPort();
  for (;;) {
    pollfd Fds[2] = {{Signals.Fd(), POLLIN, 0}, {FHostGone ? -1 : FPty->Master.Get(), POLLIN, 0}};
    const int Ready = poll(Fds, 2, TimeoutMs(TClock::now()));
    if (Ready < 0 && errno != EINTR) {
      FLog.Line(Errno("poll"));
      return 1;
    }
    if (Fds[0].revents & POLLIN) {
      FLog.Line("signal " + std::to_string(Signals.Take()) + ": stopping");
      return 0;
    }
    if (FHostGone) {
      FHostGone = false;  // look at the port again on the next round
    } else if (Fds[1].revents & POLLIN) {
      ReadHost(TClock::now());
    } else if (Fds[1].revents & (POLLHUP | POLLERR)) {
      FHostGone = true;
    }
    if (FHangUp) {
      HangUp();
      if (!FOptions.Reopen)
        return 0;
      OpenPort();
      continue;
    }
    WriteDue(TClock::now());
  }
}

void TSimulator::OpenPort() {
  FPty = OpenPty();
  FParser.Reset();
  FQueue.Clear();
  FFramesOnPort = 0;
  FHangUp = false;
  FHostGone = false;
  std::string Where = "port " + FPty->Path;
  if (!FOptions.Link.empty()) {
    if (!FLink)
      FLink.emplace(FOptions.Link);
    FLink->PointAt(FPty->Path);
    Where += ", link " + FOptions.Link;
  }
  std::printf("micsim: port %s\n", FPty->Path.c_str());
  std::fflush(stdout);
  FLog.Line(Where);
}

void TSimulator::HangUp() {
  FLog.Line("hang-up: port " + FPty->Path + " closed after " + std::to_string(FFramesOnPort) +
            " frames" + (FQueue.Empty() ? "" : ", pending replies dropped"));
  FQueue.Clear();
  FPty.reset();
}

void TSimulator::ReadHost(TClock::time_point Now) {
  std::uint8_t Buffer[4096];
  const ssize_t N = read(FPty->Master.Get(), Buffer, sizeof Buffer);
  if (N < 0) {
    if (errno == EAGAIN || errno == EINTR)
      return;
    if (errno != EIO)
      FLog.Line(Errno("read"));
    FHostGone = true;
    return;
  }
  if (N == 0) {
    FHostGone = true;
    return;
  }
  for (const THostInput& Input : FParser.Feed(Buffer, static_cast<std::size_t>(N))) {
    if (Input.Kind == THostInput::hiGarbage) {
      FLog.Line("rx " + Hex(Input.Bytes) + " garbage, dropped");
      continue;
    }
    ++FFramesOnPort;
    if (FOptions.HangupAfter > 0 && FFramesOnPort >= FOptions.HangupAfter) {
      FLog.Line("rx " + Hex(Input.Bytes) + " frame " + std::to_string(FFramesOnPort) +
                ": pulling the cable");
      FHangUp = true;
      return;
    }
    Answer(Input.Bytes, Now);
  }
}

void TSimulator::Answer(const TBytes& Frame, TClock::time_point Now) {
  const TDeviceAnswer Result = FDevice.Handle(Frame);
  FLog.Line("rx " + Hex(Frame) + " " + Result.Note);
  if (Result.Stored && !FOptions.State.empty()) {
    const std::string Problem = SaveState(FOptions.State, FDevice.Settings());
    if (!Problem.empty())
      FLog.Line("state not saved: " + Problem);
  }
  if (!Result.Reply)
    return;
  if (FOptions.Silent) {
    FLog.Line("silent: no reply");
    return;
  }
  Schedule(*Result.Reply, Now);
}

void TSimulator::Schedule(const TBytes& Reply, TClock::time_point Now) {
  auto Due = Now + std::chrono::milliseconds(FOptions.DelayMs);
  if (FOptions.Merge) {
    if (FQueue.Empty()) {
      Due += std::chrono::milliseconds(kMergeHoldMs);
    } else {
      Due = std::max(Due, *FQueue.LastDue());
    }
  }
  for (TOutPiece& Piece : FShaper.Shape(Reply)) {
    FQueue.Push(Due, std::move(Piece.Bytes), Piece.Alone, std::chrono::milliseconds(Piece.GapMs));
  }
}

void TSimulator::WriteDue(TClock::time_point Now) {
  for (const TBytes& Bytes : FQueue.TakeDue(Now))
    WriteHost(Bytes);
}

void TSimulator::WriteHost(const TBytes& Bytes) {
  std::size_t Done = 0;
  while (Done < Bytes.size()) {
    const ssize_t N = write(FPty->Master.Get(), Bytes.data() + Done, Bytes.size() - Done);
    if (N < 0 && errno == EINTR)
      continue;
    if (N <= 0) {
      // A host that does not read fills the pty; like a device's full buffer, drop the rest.
      FLog.Line(Errno("tx dropped " + std::to_string(Bytes.size() - Done) + " bytes"));
      break;
    }
    Done += static_cast<std::size_t>(N);
  }
  if (Done > 0)
    FLog.Line("tx " +
              Hex(TBytes(Bytes.begin(), Bytes.begin() + static_cast<std::ptrdiff_t>(Done))));
}

int TSimulator::TimeoutMs(TClock::time_point Now) const {
  if (FHostGone)
    return kHostGonePollMs;
  const auto Due = FQueue.NextDue();
  if (!Due)
    return -1;
  if (*Due <= Now)
    return 0;
  // Round up, so that a pending reply is never polled for again before it is due.
  const auto Wait = std::chrono::ceil<std::chrono::milliseconds>(*Due - Now).count();
  return static_cast<int>(std::min<long long>(Wait, 60000));
}

}  // namespace micsim

}  // namespace vantor
