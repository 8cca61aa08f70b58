// The event thread: waits for the port's events and has each batch dispatched by the
// component, on the main thread when Sync is set.
#pragma once

#include <cstdint>

#include "serial/port_backend.h"
#include "serial/sio_port_thread.h"
#include "serial/sync_objects.h"

namespace vantor {

class TSioCustomComm;

class TSioCommEventThread : public TSioPortThread {
 public:
  TSioCommEventThread(TSioCustomComm* AOwner, TSioHandle Port, TSioPortBackend& Backend);
  ~TSioCommEventThread() override;

  // Sets Terminated, then the stop and wake signals: a stop that lands between the last
  // look at Terminated and the arming of the next wait still ends that wait.
  void StopThread() override;

 protected:
  void Execute() override;

 private:
  void Dispatch();

  std::uint32_t FEvtMask = 0;
  TSioWaitEvent FEvent;      // wake signal of the pending port wait
  TSioWaitEvent FStopEvent;  // stop signal, waited for together with the port wait
  TSioCustomComm* FOwner;
  TSioHandle FPort;
  TSioPortBackend& FBackend;
};

}  // namespace vantor
