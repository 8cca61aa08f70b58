#include "framework/timer.h"

#include "framework/application.h"
#include "framework/backend.h"

namespace vantor {

// The running platform timer: stopped when the peer goes, so a timer never outlives it.
struct TTimer::TPeer {
  TBackend& Backend;
  int Id;
  TPeer(TBackend& ABackend, int AId) : Backend(ABackend), Id(AId) {}
  ~TPeer() { Backend.StopTimer(Id); }
  TPeer(const TPeer&) = delete;
  TPeer& operator=(const TPeer&) = delete;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  Update();
}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled)
    return;
  FEnabled = Value;
  Update();
}

void TTimer::SetInterval(unsigned Milliseconds) {
  if (Milliseconds == FInterval)
    return;
  FInterval = Milliseconds;
  Update();
}

void TTimer::Update() {
  FPeer.reset();
  TApplication* App = Application();
  if (!FEnabled || FInterval == 0 || !App)
    return;
  FPeer = std::make_unique<TPeer>(App->Backend(),
                                  App->Backend().StartTimer(FInterval, [this] { Tick(); }));
}

void TTimer::Tick() {
  if (IsDestroying())
    return;
  // The handler may free this timer: call a copy, and touch nothing of it afterwards.
  const TNotifyEvent Handler = OnTimer;
  try {
    Fire(Handler, this);
  } catch (...) {
    if (TApplication* App = Application())
      App->HandleException(this);
  }
}

}  // namespace vantor
