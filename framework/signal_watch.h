// Signals that end a program on Linux (SIGINT, SIGTERM, SIGHUP: Ctrl-C, kill, a closed
// terminal, logging out), turned into a call on the main thread. The handler only notes
// the signal and writes a byte to a pipe (both async-signal-safe); a watcher thread hands
// the call to the main thread, which serves it in its loop. On Windows the console's
// Ctrl-C and Ctrl-Break take the same way. For as long as one exists.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vantor {

class TSignalWatch {
 public:
  // OnSignal runs on the main thread, once per signal that came.
  explicit TSignalWatch(std::function<void(int Signal)> OnSignal);
  ~TSignalWatch();
  TSignalWatch(const TSignalWatch&) = delete;
  TSignalWatch& operator=(const TSignalWatch&) = delete;

  // "SIGINT", "SIGTERM", "SIGHUP" (Windows: "Ctrl-C").
  static std::string Name(int Signal);

  struct TImpl;

 private:
  std::unique_ptr<TImpl> F;
};

}  // namespace vantor
