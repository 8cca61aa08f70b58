// Bindable events: empty until bound, called with the object that raises them.
#pragma once

#include <functional>

namespace vantor {

class TObject;

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Binds an object's method as an event handler: Method(this, &TForm1::ButtonClick).
template <class T, class R, class... A>
std::function<R(A...)> Method(T* Object, R (T::*Handler)(A...)) {
  return [Object, Handler](A... Args) -> R { return (Object->*Handler)(Args...); };
}

// Calls an event only when it is bound.
template <class E, class... A>
void Fire(const E& Event, A&&... Args) {
  if (Event)
    Event(std::forward<A>(Args)...);
}

}  // namespace vantor
