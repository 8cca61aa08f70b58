#include "tests/cli/program_run.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace vantor {

namespace {

constexpr auto kLongestRun = std::chrono::seconds(30);

}  // namespace

TProgramRun RunProgramInterrupted(const std::vector<std::string>& Args, const std::string& Input,
                                  const std::string& Cue, int Signal);

TProgramRun RunProgram(const std::vector<std::string>& Args, const std::string& Input) {
  return RunProgramInterrupted(Args, Input, "", 0);
}

TProgramRun RunProgramInterrupted(const std::vector<std::string>& Args, const std::string& Cue,
                                  int Signal) {
  return RunProgramInterrupted(Args, "", Cue, Signal);
}

TProgramRun RunProgramInterrupted(const std::vector<std::string>& Args, const std::string& Input,
                                  const std::string& Cue, int Signal) {
  TProgramRun Run;
  int In[2], Out[2], Err[2];
  if (pipe(In) != 0 || pipe(Out) != 0 || pipe(Err) != 0)
    return Run;
  std::vector<std::string> Copy = Args;
  std::vector<char*> Argv;
  Argv.reserve(Copy.size() + 1);
  for (std::string& Arg : Copy)
    Argv.push_back(Arg.data());
  Argv.push_back(nullptr);
  const pid_t Pid = fork();
  if (Pid == 0) {
    dup2(In[0], STDIN_FILENO);
    dup2(Out[1], STDOUT_FILENO);
    dup2(Err[1], STDERR_FILENO);
    for (const int Fd : {In[0], In[1], Out[0], Out[1], Err[0], Err[1]})
      close(Fd);
    execvp(Argv[0], Argv.data());
    _exit(127);
  }
  close(In[0]);
  close(Out[1]);
  close(Err[1]);
  // Input is small (a backup file at most): the pipe takes it whole, or the program has
  // stopped reading, which the write's failure shows without blocking for long.
  signal(SIGPIPE, SIG_IGN);
  if (!Input.empty() && write(In[1], Input.data(), Input.size()) < 0) {
  }
  close(In[1]);

  const auto End = std::chrono::steady_clock::now() + kLongestRun;
  pollfd Fds[2] = {{Out[0], POLLIN, 0}, {Err[0], POLLIN, 0}};
  std::string* Into[2] = {&Run.Out, &Run.Err};
  int Open = 2;
  while (Open > 0) {
    const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          End - std::chrono::steady_clock::now())
                          .count();
    if (Left <= 0 || poll(Fds, 2, static_cast<int>(Left)) == 0) {
      kill(Pid, SIGKILL);
      break;
    }
    for (int I = 0; I < 2; ++I) {
      if (Fds[I].fd < 0 || Fds[I].revents == 0)
        continue;
      char Buffer[4096];
      const ssize_t N = read(Fds[I].fd, Buffer, sizeof Buffer);
      if (N > 0) {
        Into[I]->append(Buffer, static_cast<std::size_t>(N));
        if (Signal != 0 && Run.Err.find(Cue) != std::string::npos) {
          kill(Pid, Signal);
          Signal = 0;
        }
      } else if (N == 0 || errno != EINTR) {
        close(Fds[I].fd);
        Fds[I].fd = -1;
        --Open;
      }
    }
  }
  for (const pollfd& Fd : Fds) {
    if (Fd.fd >= 0)
      close(Fd.fd);
  }
  int Status = 0;
  waitpid(Pid, &Status, 0);
  Run.Status = WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status);
  return Run;
}

}  // namespace vantor
