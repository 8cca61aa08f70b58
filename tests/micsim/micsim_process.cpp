#include "tests/micsim/micsim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace vantor {

namespace {

int RemainingMs(std::chrono::steady_clock::time_point End) {
  const auto Left =
      std::chrono::duration_cast<std::chrono::milliseconds>(End - std::chrono::steady_clock::now());
  return Left.count() > 0 ? static_cast<int>(Left.count()) : 0;
}

std::chrono::steady_clock::time_point Deadline() {
  return std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
}

}  // namespace

TMicsimProcess::TMicsimProcess(const std::vector<std::string>& Args,
                               const std::string& StderrPath) {
  int Pipe[2];
  if (pipe(Pipe) != 0)
    return;
  std::vector<std::string> Argv = {MICSIM_PATH};
  Argv.insert(Argv.end(), Args.begin(), Args.end());
  std::vector<char*> Pointers;
  Pointers.reserve(Argv.size() + 1);
  for (auto& Arg : Argv)
    Pointers.push_back(Arg.data());
  Pointers.push_back(nullptr);
  FPid = fork();
  if (FPid == 0) {
    dup2(Pipe[1], STDOUT_FILENO);
    const int Err = open(StderrPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (Err >= 0)
      dup2(Err, STDERR_FILENO);
    close(Pipe[0]);
    execv(Pointers[0], Pointers.data());
    _exit(127);
  }
  close(Pipe[1]);
  FStdout = Pipe[0];
}

TMicsimProcess::~TMicsimProcess() {
  if (FPid > 0) {
    kill(FPid, SIGKILL);
    waitpid(FPid, nullptr, 0);
  }
  if (FStdout >= 0)
    close(FStdout);
}

std::string TMicsimProcess::NextPort() {
  const std::string Prefix = "micsim: port ";
  const auto End = Deadline();
  for (;;) {
    const auto NewLine = FPending.find('\n');
    if (NewLine != std::string::npos) {
      const std::string Line = FPending.substr(0, NewLine);
      FPending.erase(0, NewLine + 1);
      if (Line.rfind(Prefix, 0) == 0)
        return Line.substr(Prefix.size());
      continue;
    }
    pollfd Fd{FStdout, POLLIN, 0};
    if (poll(&Fd, 1, RemainingMs(End)) <= 0)
      return "";
    char Buffer[256];
    const ssize_t N = read(FStdout, Buffer, sizeof Buffer);
    if (N <= 0)
      return "";
    FPending.append(Buffer, static_cast<std::size_t>(N));
  }
}

void TMicsimProcess::Signal(int Number) {
  if (FPid > 0)
    kill(FPid, Number);
}

std::optional<int> TMicsimProcess::WaitExit() {
  const auto End = Deadline();
  while (FPid > 0) {
    int Status = 0;
    const pid_t Done = waitpid(FPid, &Status, WNOHANG);
    if (Done == FPid) {
      FPid = -1;
      return WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status);
    }
    if (RemainingMs(End) == 0)
      return std::nullopt;
    poll(nullptr, 0, 10);  // no child-exit descriptor to wait on: look again shortly
  }
  return std::nullopt;
}

THostPort::THostPort(const std::string& Path) {
  FFd = open(Path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (FFd < 0)
    return;
  termios Settings{};
  tcgetattr(FFd, &Settings);
  cfmakeraw(&Settings);
  cfsetspeed(&Settings, B115200);
  tcsetattr(FFd, TCSANOW, &Settings);
}

THostPort::~THostPort() {
  if (FFd >= 0)
    close(FFd);
}

void THostPort::Write(const micsim::TBytes& Bytes) {
  std::size_t Done = 0;
  while (Done < Bytes.size()) {
    const ssize_t N = write(FFd, Bytes.data() + Done, Bytes.size() - Done);
    if (N < 0 && errno == EINTR)
      continue;
    if (N <= 0)
      return;
    Done += static_cast<std::size_t>(N);
  }
}

micsim::TBytes THostPort::Read(std::size_t Count) {
  micsim::TBytes Bytes;
  const auto End = Deadline();
  while (Bytes.size() < Count) {
    pollfd Fd{FFd, POLLIN, 0};
    if (poll(&Fd, 1, RemainingMs(End)) <= 0)
      break;
    std::uint8_t Buffer[256];
    const ssize_t N = read(FFd, Buffer, std::min(sizeof Buffer, Count - Bytes.size()));
    if (N <= 0)
      break;
    Bytes.insert(Bytes.end(), Buffer, Buffer + N);
  }
  return Bytes;
}

bool THostPort::WaitReadable() {
  pollfd Fd{FFd, POLLIN, 0};
  return poll(&Fd, 1, kWaitMs) == 1 && (Fd.revents & POLLIN);
}

bool THostPort::WaitHangUp() {
  const auto End = Deadline();
  for (;;) {
    pollfd Fd{FFd, POLLIN, 0};
    if (poll(&Fd, 1, RemainingMs(End)) <= 0)
      return false;
    if (Fd.revents & (POLLHUP | POLLERR))
      return true;
    std::uint8_t Buffer[256];
    const ssize_t N = read(FFd, Buffer, sizeof Buffer);
    if (N == 0 || (N < 0 && errno == EIO))
      return true;
  }
}

}  // namespace vantor
