// Timers that tick on the main thread.
#pragma once

#include <memory>

#include "framework/component.h"
#include "framework/events.h"

namespace vantor {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  // Switching on a timer that already runs does not restart its period.
  void SetEnabled(bool Value);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned Milliseconds);  // restarts a running timer with the new period

  TNotifyEvent OnTimer;

  struct TPeer;  // the backend's timer

 private:
  void Update();
  void Tick();

  bool FEnabled = true;
  unsigned FInterval = 1000;
  std::unique_ptr<TPeer> FPeer;
};

}  // namespace vantor
