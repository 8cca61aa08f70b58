// The simulator's main loop: read what the host sends, answer as the device, shape and
// time the replies, and pull the cable when asked to.
#pragma once

#include <optional>

#include "tools/micsim/device.h"
#include "tools/micsim/host_parser.h"
#include "tools/micsim/log.h"
#include "tools/micsim/options.h"
#include "tools/micsim/output_queue.h"
#include "tools/micsim/pty.h"
#include "tools/micsim/reply_shaper.h"
#include "tools/micsim/signals.h"

namespace vantor {

namespace micsim {

class TSimulator {
 public:
  TSimulator(const TOptions& Options, TLog& Log, TMicDevice& Device);

  // Runs until a signal arrives or, without --reopen, the port is hung up. Returns the
  // exit code.
  int Run(TSignals& Signals);

 private:
  static constexpr int kHostGonePollMs = 250;
  static constexpr int kMergeHoldMs = 20;

  void OpenPort();
  void HangUp();
  void ReadHost(TClock::time_point Now);
  void Answer(const TBytes& Frame, TClock::time_point Now);
  void Schedule(const TBytes& Reply, TClock::time_point Now);
  void WriteDue(TClock::time_point Now);
  void WriteHost(const TBytes& Bytes);
  int TimeoutMs(TClock::time_point Now) const;

  const TOptions& FOptions;
  TLog& FLog;
  TMicDevice& FDevice;
  THostFrameParser FParser;
  TReplyShaper FShaper;
  TOutputQueue FQueue;
  std::optional<TPty> FPty;
  std::optional<TPortLink> FLink;
  unsigned FFramesOnPort = 0;
  bool FHangUp = false;
  bool FHostGone = false;  // the master reported a hang-up: look again later, do not spin
};

}  // namespace micsim

}  // namespace vantor
