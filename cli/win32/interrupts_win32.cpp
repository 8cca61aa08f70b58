// Ctrl-C and Ctrl-Break on Windows: the console runs the handler on a thread of its own,
// which notes the interrupt and wakes the console loop.
#include <windows.h>

#include <atomic>
#include <csignal>

#include "cli/platform.h"
#include "framework/application.h"

namespace vantor {

namespace {

std::atomic<int> GSignal{0};

BOOL WINAPI NoteInterrupt(DWORD Event) {
  if (Event != CTRL_C_EVENT && Event != CTRL_BREAK_EVENT)
    return FALSE;  // closing the console or logging off: the system ends the process
  int Expected = 0;
  GSignal.compare_exchange_strong(Expected, SIGINT);
  if (TApplication* App = Application())
    App->WakeMainThread();
  return TRUE;
}

}  // namespace

struct TInterruptWatch::TImpl {};

TInterruptWatch::TInterruptWatch() : F(std::make_unique<TImpl>()) {
  SetConsoleCtrlHandler(NoteInterrupt, TRUE);
}

TInterruptWatch::~TInterruptWatch() {
  SetConsoleCtrlHandler(NoteInterrupt, FALSE);
}

int InterruptSignal() {
  return GSignal.load();
}

std::string InterruptName(int Signal) {
  return Signal == SIGINT ? "Ctrl-C" : "signal " + std::to_string(Signal);
}

}  // namespace vantor
