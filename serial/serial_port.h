// The part of the serial port component that the rest of the program relies on: the
// window's Comport1 is reached only through this contract. TSioComm fulfils it; the
// controller's tests use a scripted stand-in.
#pragma once

#include <string>

#include "serial/sio_events.h"

namespace vantor {

class ISerialPort {
 public:
  virtual ~ISerialPort() = default;

  // Only while closed; writing it while open raises ESioCommError "Can't perform this
  // operation while port is open" and changes nothing.
  virtual std::string DeviceName() const = 0;
  virtual void SetDeviceName(const std::string& Value) = 0;

  // Opens the named port exclusively. Returns with the port open and OnOpen already fired
  // (inside Open), or raises ESioCommError with the port closed and nothing fired.
  virtual void Open() = 0;
  // Open port: stops the threads, closes the port, fires OnClose once, pauses 300 ms.
  // Closed port: nothing at all. May be called from inside any notification handler.
  virtual void Close() = 0;
  virtual bool Active() const = 0;

  // Copies at most Count of the bytes already received into Buf; never waits. 0 when
  // closed; raises ESioCommError "Read error (%d), %s" when the platform refuses.
  virtual int ReadBuf(void* Buf, int Count) = 0;
  // Queues Count bytes and returns Count at once; bytes of successive calls leave in call
  // order. 0 when closed; raises ESioCommError "Output buffer is full. Please check comm
  // status." when the queue has no room within the write time-out.
  virtual int WriteBuf(const void* Buf, int Count) = 0;

  // Notifications, all run on the main thread with the component as Sender.
  virtual void SetOnOpen(TNotifyEvent Handler) = 0;
  virtual void SetOnClose(TNotifyEvent Handler) = 0;
  virtual void SetOnRxChar(TSioCommRxCharEvent Handler) = 0;  // Count >= 1 bytes waiting
  virtual void SetOnError(TSioCommErrorEvent Handler) = 0;    // error flags, never 0
  virtual void SetOnBreak(TNotifyEvent Handler) = 0;
  // A serial or parallel port device was removed, whether or not it is this port.
  virtual void SetOnUSBDeviceUnplug(TSioCommUSBDeviceEvent Handler) = 0;
};

}  // namespace vantor
