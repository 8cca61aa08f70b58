// One kind of port that the component's behaviour suite runs over: the fault backend, a pty
// with the POSIX backend, or, under Wine, a pty mapped as a COM port with the Win32 backend.
// The device at the other end sends back every byte it receives (the Wine suite's native
// peer can do no more), so the scenarios are written in those terms. Each binary of the suite
// links the scenarios with one port's file, which defines MakeTestPort.
#pragma once

#include <memory>
#include <string>

#include "serial/port_backend.h"

namespace vantor {

class TTestPort {
 public:
  virtual ~TTestPort() = default;

  virtual std::string Name() const = 0;  // "fault", "pty", "win32"
  // Why this port cannot run at all here ("" when it can).
  virtual std::string Unavailable() const { return ""; }
  // A backend for one component; its Sleep returns at once, so that Close costs no pause.
  virtual std::unique_ptr<TSioPortBackend> MakeBackend() = 0;
  // What the component's DeviceName is set to, the path it then opens, and a name that
  // no device answers to.
  virtual std::string DeviceName() const = 0;
  virtual std::string DevicePath() const = 0;
  virtual std::string MissingDeviceName() const = 0;
  virtual std::string MissingDevicePath() const = 0;
  // Long enough for an echo to come back and the event thread to queue its dispatch.
  virtual int SettleMs() const = 0;
  virtual int OpenCloseCycles() const = 0;
  // Open descriptors and threads of the process, or -1 where the port does not count them.
  virtual int CountResources() const { return -1; }

  // What a port may be unable to play: each Cannot... says why ("" when it can).
  virtual std::string CannotHangUp() const { return ""; }
  virtual void HangUp() {}  // the device goes away: the cable is pulled
  virtual std::string CannotSendLineEvents() const { return ""; }
  virtual void SendBreak() {}
  virtual void SendFramingError() {}
  virtual std::string CannotBeHeldElsewhere() const { return ""; }
  virtual void HoldElsewhere() {}  // another program opens the device and keeps it
  virtual void ReleaseElsewhere() {}
};

// The port of this binary.
std::unique_ptr<TTestPort> MakeTestPort();

}  // namespace vantor
