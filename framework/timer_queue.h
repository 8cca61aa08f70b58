// The timers of the backends that have no system timers to lean on (console: the real
// clock; headless: the test's virtual clock). Private to the framework. Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace vantor {

class TTimerQueue {
 public:
  using TTime = std::uint64_t;  // milliseconds on the backend's clock

  // Starts a timer that is first due one period after Now; ids are never reused, so a
  // stale id finds nothing.
  int Start(unsigned IntervalMs, TTime Now, std::function<void()> Tick);
  void Stop(int Id);

  // When the next tick is due (the earliest timer; ties in the order they were started).
  std::optional<TTime> NextDue() const;
  // Runs the next tick if it is due at Now or before; false when none is. Its next period is
  // set first, and a late timer ticks once, not once per missed period, as the platforms'
  // timers do. The tick may stop, restart or free its own timer: a copy is called.
  bool FireNext(TTime Now);

  int Running() const { return static_cast<int>(FTimers.size()); }

 private:
  struct TEntry {
    TTime Interval;
    TTime Due;
    std::uint64_t Start;  // order of starting, for ticks due at the same moment
    std::function<void()> Tick;
  };
  std::map<int, TEntry>::const_iterator Earliest() const;

  std::map<int, TEntry> FTimers;
  int FLastId = 0;
  std::uint64_t FLastStart = 0;
};

}  // namespace vantor
