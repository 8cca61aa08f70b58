// The one exclusive open of a tty on Linux: the component's backend opens its port with it
// and the port report probes with it, so both refuse the same ports for the same reasons.
#pragma once

#include <string>

#include "base/posix/unique_fd.h"

namespace vantor {

// A tty opened exclusively. The flag belongs to the tty, not to this descriptor (a pty
// slave keeps it while its master lives, and later opens would fail with EBUSY), so freeing
// this clears it before closing.
class TExclusiveTty {
 public:
  TExclusiveTty() = default;
  explicit TExclusiveTty(TUniqueFd Fd) : FFd(std::move(Fd)) {}
  ~TExclusiveTty() { Reset(); }
  TExclusiveTty(TExclusiveTty&& Other) noexcept = default;
  TExclusiveTty& operator=(TExclusiveTty&& Other) noexcept {
    if (this != &Other) {
      Reset();
      FFd = std::move(Other.FFd);
    }
    return *this;
  }
  TExclusiveTty(const TExclusiveTty&) = delete;
  TExclusiveTty& operator=(const TExclusiveTty&) = delete;

  bool Valid() const { return FFd.Valid(); }
  int Get() const { return FFd.Get(); }
  // Hands the descriptor over: its new owner clears the exclusive flag before closing it.
  int Release() { return FFd.Release(); }

 private:
  void Reset();
  TUniqueFd FFd;
};

// Opens Path for reading and writing (never as the controlling terminal, never waiting for
// carrier) and holds it exclusively: first flock, then TIOCEXCL, so that a refused open
// leaves another holder's flag as it was. On failure the result is invalid and Error (and
// errno) holds why: EBUSY when another holder has the port locked or exclusive (the flag is
// asked for, as a privileged process passes the kernel's own check), ENOTTY for what is no
// terminal, else the system's errno.
TExclusiveTty OpenExclusiveTty(const std::string& Path, int& Error);

}  // namespace vantor
