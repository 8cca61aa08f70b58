#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>

#include "framework/console/console.h"
#include "framework/cross_thread.h"
#include "framework/object.h"

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
    const int Id = ++FLastTimerId;
    const auto Interval = std::chrono::milliseconds(IntervalMs);
    FTimers[Id] = TTimerEntry{Interval, TClock::now() + Interval, ++FLastStart, std::move(Tick)};
    return Id;
  }
  void StopTimer(int Id) override { FTimers.erase(Id); }

  void ShowForm(TForm& /*Form*/) override {
    throw Exception("A console program cannot show a window");
  }
  void CloseForm(TForm& /*Form*/) override {}

  void MessageBox(TBoxKind /*Kind*/, const std::string& Caption, const std::string& Text,
                  const std::string& /*Button*/) override {
    std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
    std::fflush(stderr);
  }

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
  struct TTimerEntry {
    std::chrono::milliseconds Interval;
    TClock::time_point Due;
    std::uint64_t Start;  // order of starting: ties fire in this order
    std::function<void()> Tick;
  };

  void Serve() {
    if (FApp)
      FApp->ServeCrossThreadCalls();
  }

  // The earliest due timer, or end.
  std::map<int, TTimerEntry>::iterator Earliest() {
    auto Best = FTimers.end();
    for (auto It = FTimers.begin(); It != FTimers.end(); ++It) {
      if (Best == FTimers.end() || It->second.Due < Best->second.Due ||
          (It->second.Due == Best->second.Due && It->second.Start < Best->second.Start)) {
        Best = It;
      }
    }
    return Best;
  }

  void FireDueTimers() {
    // Only ticks due now: a tick that takes longer than its period cannot starve the
    // cross-thread calls, since they are served again before the next round.
    const TClock::time_point Now = TClock::now();
    for (;;) {
      const auto Due = Earliest();
      if (Due == FTimers.end() || Due->second.Due > Now)
        return;
      TTimerEntry& Entry = Due->second;
      // Like the platform's timers, a late timer ticks once, not once per missed period.
      Entry.Due += Entry.Interval;
      if (Entry.Due <= Now)
        Entry.Due = Now + Entry.Interval;
      // The tick may stop, restart or free its own timer: call a copy.
      const std::function<void()> Tick = Entry.Tick;
      Tick();
    }
  }

  // Until woken by another thread or until the next tick is due.
  void Sleep() {
    const auto Next = Earliest();
    if (Next == FTimers.end())
      FWake.Wait();
    else
      FWake.WaitUntil(Next->second.Due);
  }

  TApplication* FApp = nullptr;
  std::string FExeName;

  TWakeSignal FWake;

  int FLastTimerId = 0;
  std::uint64_t FLastStart = 0;
  std::map<int, TTimerEntry> FTimers;  // main thread only
};

}  // namespace

TConsoleApp MakeConsoleApplication(const std::string& ExeName) {
  auto Backend = std::make_unique<TConsoleBackendImpl>(ExeName);
  TConsoleBackend* Handle = Backend.get();
  auto App = std::make_unique<TApplication>(std::move(Backend));
  return TConsoleApp{std::move(App), Handle};
}

}  // namespace vantor
