#include <chrono>
#include <cstdio>
#include <optional>

#include "framework/console/console.h"
#include "framework/cross_thread.h"
#include "framework/object.h"
#include "framework/timer_queue.h"

namespace vantor {

namespace {

using TClock = std::chrono::steady_clock;

class TConsoleBackendImpl final : public TConsoleBackend {
 public:
  explicit TConsoleBackendImpl(std::string AExeName) : FExeName(std::move(AExeName)) {}

  void Attach(TApplication* App) override { FApp = App; }
  std::string ExeName() const override { return FExeName; }

  void RunLoop() override {
    RunUntil([this] { return !FApp || FApp->Terminated(); });
  }

  void ProcessMessages() override {
    Serve();
    FireDueTimers();
  }

  void WakeMainThread() override { FWake.Set(); }

  // No window receives messages here: what other threads send comes through the
  // application's cross-thread queue, which the caller (TThread::WaitFor) serves.
  void WaitForWake() override { FWake.Wait(); }

  int StartTimer(unsigned IntervalMs, std::function<void()> Tick) override {
    return FTimers.Start(IntervalMs, Now(), std::move(Tick));
  }
  void StopTimer(int Id) override { FTimers.Stop(Id); }

  void MessageBox(TBoxKind /*Kind*/, const std::string& Caption, const std::string& Text,
                  const std::string& /*Button*/) override {
    std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
    std::fflush(stderr);
  }

  TWindowBackend* Windows() override { return nullptr; }

  void RunUntil(const std::function<bool()>& Done) override {
    for (;;) {
      Serve();
      FireDueTimers();
      if (Done())
        return;
      Sleep();
    }
  }

 private:
  void Serve() {
    if (FApp)
      FApp->ServeCrossThreadCalls();
  }

  // Milliseconds on the steady clock since the backend was made.
  TTimerQueue::TTime Now() const {
    return static_cast<TTimerQueue::TTime>(
        std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - FStart).count());
  }

  void FireDueTimers() {
    // Only ticks due now: a tick that takes longer than its period cannot starve the
    // cross-thread calls, since they are served again before the next round.
    const TTimerQueue::TTime Due = Now();
    while (FTimers.FireNext(Due)) {
    }
  }

  // Until woken by another thread or until the next tick is due.
  void Sleep() {
    const std::optional<TTimerQueue::TTime> Next = FTimers.NextDue();
    if (!Next)
      FWake.Wait();
    else
      FWake.WaitUntil(FStart + std::chrono::milliseconds(*Next));
  }

  TApplication* FApp = nullptr;
  std::string FExeName;

  TWakeSignal FWake;

  const TClock::time_point FStart = TClock::now();
  TTimerQueue FTimers;  // main thread only
};

}  // namespace

TConsoleApp MakeConsoleApplication(const std::string& ExeName) {
  auto Backend = std::make_unique<TConsoleBackendImpl>(ExeName);
  TConsoleBackend* Handle = Backend.get();
  auto App = std::make_unique<TApplication>(std::move(Backend));
  return TConsoleApp{std::move(App), Handle};
}

}  // namespace vantor
