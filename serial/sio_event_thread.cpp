#include "serial/sio_event_thread.h"

#include "serial/sio_comm.h"

namespace vantor {

TSioCommEventThread::TSioCommEventThread(TSioCustomComm* AOwner, TSioHandle Port,
                                         TSioPortBackend& Backend)
    : FOwner(AOwner), FPort(Port), FBackend(Backend) {}

TSioCommEventThread::~TSioCommEventThread() {
  if (Started() && !Finished()) {
    StopThread();
    WaitFor();
  }
}

void TSioCommEventThread::StopThread() {
  Terminate();
  FStopEvent.SetEvent();
  FEvent.SetEvent();
}

void TSioCommEventThread::Execute() {
  MarkThreadStarted();
  // After a dispatch the port may already be closed (Close from inside a handler): the
  // loop looks at Terminated before it arms the next wait.
  while (!Terminated()) {
    FEvtMask = 0;
    switch (FBackend.WaitCommEvent(FPort, FEvtMask, FEvent, FStopEvent)) {
      case TSioWaitOutcome::Events:
        Dispatch();
        break;
      case TSioWaitOutcome::Refused:
        // No event will come: sleep until stopped rather than spin.
        FStopEvent.WaitFor(kSioInfinite);
        break;
      case TSioWaitOutcome::Stopped:
      case TSioWaitOutcome::Failed:
        break;
    }
  }
}

void TSioCommEventThread::Dispatch() {
  if (Terminated())
    return;
  const std::uint32_t Events = FEvtMask;
  RunNotice([this, Events] { FOwner->ProcessEvents(Events); });
  FEvent.ResetEvent();
}

}  // namespace vantor
