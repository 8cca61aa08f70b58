// The real simulator as a child process, and the host's end of its port.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "tools/micsim/bytes.h"

namespace vantor {

// Every wait is bounded by this, so a broken simulator fails a test instead of hanging it.
constexpr int kWaitMs = 10000;

class TMicsimProcess {
 public:
  TMicsimProcess(const std::vector<std::string>& Args, const std::string& StderrPath);
  TMicsimProcess(const TMicsimProcess&) = delete;
  TMicsimProcess& operator=(const TMicsimProcess&) = delete;
  ~TMicsimProcess();  // kills the simulator if it is still running

  // The path of the next "micsim: port PATH" line on its stdout; empty if none came.
  std::string NextPort();
  void Signal(int Number);
  // The exit status once it has ended by itself; empty if it is still running after the
  // bounded wait.
  std::optional<int> WaitExit();

 private:
  pid_t FPid = -1;
  int FStdout = -1;
  std::string FPending;
};

class THostPort {
 public:
  explicit THostPort(const std::string& Path);  // opens the slave raw, like the host
  THostPort(const THostPort&) = delete;
  THostPort& operator=(const THostPort&) = delete;
  ~THostPort();

  bool IsOpen() const { return FFd >= 0; }
  void Write(const micsim::TBytes& Bytes);
  // Reads until Count bytes have arrived, the port hangs up or the bounded wait ends.
  micsim::TBytes Read(std::size_t Count);
  // Waits for bytes to read, without reading them.
  bool WaitReadable();
  // Reads whatever arrives until the port reports a hang-up (true) or the wait ends.
  bool WaitHangUp();

 private:
  int FFd = -1;
};

}  // namespace vantor
