#include <windows.h>

#include <atomic>
#include <csignal>

#include "framework/application.h"
#include "framework/signal_watch.h"

namespace vantor {

namespace {

std::function<void(int)>* GOnSignal = nullptr;  // the watch's own, while it exists

BOOL WINAPI NoteInterrupt(DWORD Event) {
  if (Event != CTRL_C_EVENT && Event != CTRL_BREAK_EVENT)
    return FALSE;  // closing the console or logging off: the system ends the process
  // The console runs this on a thread of its own: the call goes to the main thread.
  if (TApplication* App = Application(); App && GOnSignal) {
    try {
      App->CallOnMainThread([] { (*GOnSignal)(SIGINT); });
    } catch (...) {
      return FALSE;  // the application has ended
    }
  }
  return TRUE;
}

}  // namespace

struct TSignalWatch::TImpl {
  std::function<void(int)> OnSignal;
};

TSignalWatch::TSignalWatch(std::function<void(int Signal)> OnSignal)
    : F(std::make_unique<TImpl>(TImpl{std::move(OnSignal)})) {
  GOnSignal = &F->OnSignal;
  SetConsoleCtrlHandler(NoteInterrupt, TRUE);
}

TSignalWatch::~TSignalWatch() {
  SetConsoleCtrlHandler(NoteInterrupt, FALSE);
  GOnSignal = nullptr;
}

std::string TSignalWatch::Name(int Signal) {
  return Signal == SIGINT ? "Ctrl-C" : "signal " + std::to_string(Signal);
}

}  // namespace vantor
