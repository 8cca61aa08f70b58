#include "framework/timer_queue.h"

namespace vantor {

int TTimerQueue::Start(unsigned IntervalMs, TTime Now, std::function<void()> Tick) {
  const int Id = ++FLastId;
  FTimers[Id] = TEntry{IntervalMs, Now + IntervalMs, ++FLastStart, std::move(Tick)};
  return Id;
}

void TTimerQueue::Stop(int Id) {
  FTimers.erase(Id);
}

std::map<int, TTimerQueue::TEntry>::const_iterator TTimerQueue::Earliest() const {
  auto Best = FTimers.end();
  for (auto It = FTimers.begin(); It != FTimers.end(); ++It) {
    if (Best == FTimers.end() || It->second.Due < Best->second.Due ||
        (It->second.Due == Best->second.Due && It->second.Start < Best->second.Start)) {
      Best = It;
    }
  }
  return Best;
}

std::optional<TTimerQueue::TTime> TTimerQueue::NextDue() const {
  const auto Next = Earliest();
  if (Next == FTimers.end())
    return std::nullopt;
  return Next->second.Due;
}

bool TTimerQueue::FireNext(TTime Now) {
  const auto Next = Earliest();
  if (Next == FTimers.end() || Next->second.Due > Now)
    return false;
  TEntry& Entry = FTimers.at(Next->first);
  Entry.Due += Entry.Interval;
  if (Entry.Due <= Now)
    Entry.Due = Now + Entry.Interval;
  const std::function<void()> Tick = Entry.Tick;
  Tick();
  return true;
}

}  // namespace vantor
