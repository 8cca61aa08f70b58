// Thin wrappers of the platform's event objects and re-entrant locks, used by the serial
// port component and its threads. On Win32 an event is a CreateEventW handle; on POSIX an
// eventfd, so that it can be polled together with a port.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/object.h"

namespace vantor {

using TSioHandle = std::uintptr_t;
constexpr TSioHandle kInvalidSioHandle = ~static_cast<TSioHandle>(0);
constexpr std::uint32_t kSioInfinite = 0xFFFFFFFF;

enum TSioEventWaitResult : std::uint8_t { wrSignaled, wrTimeout, wrAbandoned, wrError };

class TSioHandleObject : public TObject {
 public:
  TSioHandleObject() = default;
  ~TSioHandleObject() override;  // closes the handle
  TSioHandleObject(const TSioHandleObject&) = delete;
  TSioHandleObject& operator=(const TSioHandleObject&) = delete;

  TSioHandle Handle() const { return FHandle; }
  std::int32_t Error() const { return FError; }

 protected:
  TSioHandle FHandle = kInvalidSioHandle;
  std::int32_t FError = 0;
};

class TSioEvent : public TSioHandleObject {
 public:
  // EventAttributes and Name are accepted for the platform's sake; only unnamed events
  // with default security are made.
  TSioEvent(const void* EventAttributes, bool ManualReset, bool InitialState, const char* Name);

  // Signalled gives wrSignaled, the time limit wrTimeout, an abandoned wait wrAbandoned;
  // a failed wait stores the platform's error code in Error() and gives wrError.
  TSioEventWaitResult WaitFor(std::uint32_t Timeout);
  void SetEvent();
  void ResetEvent();

 private:
  // POSIX resets by hand what it must; a Win32 event object keeps this itself.
  [[maybe_unused]] bool FManualReset;
};

// An unnamed event that stays signalled until reset and starts non-signalled.
class TSioWaitEvent : public TSioEvent {
 public:
  TSioWaitEvent() : TSioEvent(nullptr, true, false, nullptr) {}
};

// A lock that the thread holding it may take again.
class TSioCriticalSection : public TObject {
 public:
  TSioCriticalSection();
  ~TSioCriticalSection() override;
  TSioCriticalSection(const TSioCriticalSection&) = delete;
  TSioCriticalSection& operator=(const TSioCriticalSection&) = delete;

  void Acquire();
  void Release();
  void Enter() { Acquire(); }
  void Leave() { Release(); }
  // Standard Lockable spelling, so that std::lock_guard / std::unique_lock work.
  void lock() { Acquire(); }
  void unlock() { Release(); }

 private:
  struct TSection;  // the platform's critical section
  std::unique_ptr<TSection> FSection;
};

}  // namespace vantor
