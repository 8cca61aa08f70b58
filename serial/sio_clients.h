// Clients of the component (dispatchers that pass events and received bytes to a user
// object), the display hook, and the thread behind WaitChar.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "framework/component.h"
#include "framework/thread.h"
#include "serial/sio_events.h"

namespace vantor {

class TSioCustomComm;

// What a client's user receives. Held by the dispatcher as a counted reference.
class ISioCommUser {
 public:
  virtual ~ISioCommUser() = default;
  virtual void EventsReceived(int Events) = 0;
  virtual void DataReceived(PSioData Data, int Count) = 0;
};

class TSioDispatcher : public TObject {
 public:
  // Does not insert itself anywhere.
  explicit TSioDispatcher(std::shared_ptr<ISioCommUser> AOwner);
  // Leaves the component it is inserted in first.
  ~TSioDispatcher() override;
  TSioDispatcher(const TSioDispatcher&) = delete;
  TSioDispatcher& operator=(const TSioDispatcher&) = delete;

  bool Active() const { return FActive; }
  void SetActive(bool Value) { FActive = Value; }
  TSioCustomComm* Comm() const { return FComm; }
  void SetComm(TSioCustomComm* Value) { FComm = Value; }
  ISioCommUser& Owner() const { return *FOwner; }

  // Forwarded to Comm; without one they do nothing and give 0 or false.
  void PurgeRead();
  void PurgeWrite();
  void PurgeReadWrite();
  int WriteBuf(const void* Buf, int Count);
  bool WriteText(const std::string& s);
  bool WriteChar(char Ch);
  void SetDTRState(bool Value);

 private:
  bool FActive = true;
  TSioCustomComm* FComm = nullptr;
  std::shared_ptr<ISioCommUser> FOwner;
};

// A control that shows the port's state; refreshed at every dispatch.
class TSioDisplay : public TComponent {
 public:
  using TComponent::TComponent;
  virtual void UpdateDisplay(TSioCustomComm* Comm);
};

// Shared by WaitChar and its waiting thread: the stop request, and the end that WaitChar
// waits for with a time limit.
struct TSioWaitState {
  std::atomic<bool> Done{false};
  std::mutex Lock;
  std::condition_variable EndedChanged;
  bool Ended = false;

  // Waits until the thread has ended, at most TimeoutMs (negative: no limit).
  bool WaitEnded(int TimeoutMs);
  void MarkEnded();
};

// Owned by the component, which frees it once it has ended (at the next WaitChar or in
// its destructor), so that no thread outlives the component or the application.
class TWaitThread : public TThread {
 public:
  TWaitThread(TSioCustomComm* AComm, std::shared_ptr<TSioWaitState> State);

  TSioCustomComm* Comm() const { return FComm; }
  bool Done() const { return FState->Done.load(); }
  void SetDone(bool Value) { FState->Done.store(Value); }

 protected:
  void Execute() override;

 private:
  TSioCustomComm* FComm;
  std::shared_ptr<TSioWaitState> FState;
};

}  // namespace vantor
