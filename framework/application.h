// The application object: message loop, uncaught-failure report, the application title,
// and the ordered list of hooks on the application's own (hidden, top-level) window.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/component.h"

namespace vantor {

class TForm;
class TBackend;
class TCrossThreadCalls;

// A window message as the hooks see it.
struct TMessage {
  std::uint32_t Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
};

// A hook returns true when it has handled the message; later hooks then do not see it.
using TWindowHook = std::function<bool(TMessage& Message)>;

class TApplication : public TComponent {
 public:
  // The backend is the platform's (Win32, Qt), the console's (a loop without windows) or
  // the in-memory one used by tests (headless).
  explicit TApplication(std::unique_ptr<TBackend> Backend);
  ~TApplication() override;

  // The executable's file name without its folder, cut at its first full stop, with every
  // character after the first in lower case.
  std::string Title() const;
  std::string ExeName() const;  // full path of the running executable

  // Creates a form owned by the application (the first one is the main form), then runs
  // its creation handler (TForm::DoCreate).
  template <class T, class... Args>
  T* CreateForm(Args&&... ConstructorArgs) {
    T* Form = MakeOwned<T>(std::forward<Args>(ConstructorArgs)...);
    if (!FMainForm)
      FMainForm = Form;
    AfterFormCreated(*Form);
    return Form;
  }
  TForm* MainForm() const { return FMainForm; }

  // Shows the main form with the platform's start-up show command and dispatches messages
  // until Terminate, or until the main form is closed.
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Handles every message (and Synchronize call) waiting now, then returns.
  void ProcessMessages();

  // Reports the failure being handled (call inside a catch block) in the failure box:
  // its message, with a full stop added when the last character's code is above '.'.
  void HandleException(TObject* Sender);
  void ShowException(const std::exception& E);

  // Hooks on the application's own window: every message first gets Result 0, then the
  // hooks run in the order they were added; the first that returns true ends the handling.
  // A failure raised in a hook goes to HandleException and ends the handling too. Hooks
  // may be added and removed while a message is dispatched: a removed hook is not called
  // again, an added one sees the next message.
  void HookMainWindow(const void* Owner, TWindowHook Hook);
  void UnhookMainWindow(const void* Owner);  // removes every hook of that owner
  // Runs a message through the hooks on the main thread; returns whether the handling
  // ended in them (a hook returned true or failed), so the window's own handling is due
  // only on false.
  bool DispatchToHooks(TMessage& Message);
  // Sends a message to the application window from any thread and waits until the main
  // thread has handled it (served by the message loop and by TThread::WaitFor).
  void SendAppMessage(TMessage& Message);

  TBackend& Backend() const { return *FBackend; }

  // The thread that made the application object.
  bool IsMainThread() const { return std::this_thread::get_id() == FMainThreadId; }
  // Any thread but the main one: runs Call on the main thread and waits for it; re-raises
  // its failure. Raises Exception once the application has ended. (Synchronize uses it.)
  void CallOnMainThread(std::function<void()> Call);
  // Main thread: runs the calls other threads are waiting for. True if any ran. Every
  // message loop of the backends and TThread::WaitFor call it.
  bool ServeCrossThreadCalls();
  // Any thread: wakes the main thread's loop or wait (nothing once the application ends).
  void WakeMainThread();
  // The queue behind CallOnMainThread; threads keep it so as to outlive the application.
  std::shared_ptr<TCrossThreadCalls> CrossThreadCalls() const { return FCalls; }
  // A form was closed by the user or by Close(): the main form ends the application.
  void FormClosed(TForm& Form);

 private:
  void AfterFormCreated(TForm& Form);

  std::unique_ptr<TBackend> FBackend;
  std::shared_ptr<TCrossThreadCalls> FCalls;
  std::thread::id FMainThreadId;
  TForm* FMainForm = nullptr;
  std::atomic<bool> FTerminated{false};
  struct THookEntry {
    const void* Owner;
    TWindowHook Hook;
    bool Removed = false;
  };
  std::vector<std::shared_ptr<THookEntry>> FHooks;
};

// The program's one application object (null before it is made and after it is freed).
TApplication* Application();

// The application title for an executable's path (TApplication::Title), for a failure
// shown before the application object exists.
std::string ApplicationTitle(const std::string& ExeName);
// The failure box's text for the failure being handled (call inside a catch block): its
// message, with a full stop added when the last character's code is above '.'.
std::string CurrentFailureText();

}  // namespace vantor
