// The backend for programs without windows (the command-line tool): a real clock, timers
// that tick on the main thread, and a loop that serves the calls other threads hand to the
// main thread (Synchronize, SendAppMessage) and otherwise sleeps on a condition variable
// until it is woken or the next tick is due. Portable C++: one file for Linux and Windows.
//
// A console program has no windows (showing a form raises Exception: it would never be
// seen), and a message box is written to standard error as "Caption: Text" and returns at
// once, so that the application's failure report still reaches the user.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/application.h"
#include "framework/backend.h"

namespace vantor {

class TConsoleBackend : public TBackend {
 public:
  // Serves cross-thread calls and timer ticks on the calling (main) thread until Done()
  // holds; Done is asked before the first wait and after each round of work. Blocks
  // without polling while nothing is due.
  virtual void RunUntil(const std::function<bool()>& Done) = 0;
};

// Makes the console application (it becomes Application()) and hands back its backend.
// ExeName is the program's path as the caller knows it (argv[0]).
struct TConsoleApp {
  std::unique_ptr<TApplication> App;
  TConsoleBackend* Backend;
};
TConsoleApp MakeConsoleApplication(const std::string& ExeName);

}  // namespace vantor
