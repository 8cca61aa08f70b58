// SIGINT, SIGTERM and SIGHUP as a readable descriptor, so that the main loop's poll sees
// them between two steps and never in the middle of a write.
#pragma once

#include "tools/micsim/pty.h"

namespace vantor {

namespace micsim {

class TSignals {
 public:
  TSignals();  // blocks the signals for the process; throws std::system_error
  int Fd() const { return FFd.Get(); }
  int Take();  // the number of the signal that arrived

 private:
  TFd FFd;
};

}  // namespace micsim

}  // namespace vantor
