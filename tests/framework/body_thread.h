// A thread that runs a body given by the test, with the protected parts tests call from it.
#pragma once

#include <functional>
#include <utility>

#include "framework/thread.h"

namespace vantor {

class TBodyThread : public TThread {
 public:
  explicit TBodyThread(std::function<void(TBodyThread&)> Body) : FBody(std::move(Body)) {}
  ~TBodyThread() override { TerminateAndWait(); }
  TBodyThread(const TBodyThread&) = delete;
  TBodyThread& operator=(const TBodyThread&) = delete;

  using TThread::Synchronize;
  void SetReturnValue(int Value) { ReturnValue = Value; }

 protected:
  void Execute() override { FBody(*this); }

 private:
  std::function<void(TBodyThread&)> FBody;
};

}  // namespace vantor
