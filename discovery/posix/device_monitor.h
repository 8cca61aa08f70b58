// Serial devices coming and going on Linux, as the device-change messages Windows
// broadcasts: WM_DEVICECHANGE with DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE and a
// DEV_BROADCAST_PORT_W record whose name is the port name discovery lists. Each one goes
// through Application()->SendAppMessage, so the application's hooks see it on the main
// thread, where the record stays valid until they have all run.
#pragma once

#include <memory>
#include <string>

#include "discovery/posix/tty_event_source.h"
#include "base/posix/unique_fd.h"

namespace vantor {

class TDeviceMonitorThread;

class TDeviceMonitor {
 public:
  // Watches udev; when it cannot be reached the monitor stays idle (Active() false).
  explicit TDeviceMonitor(std::string DevRoot = "/dev");
  // Watches the given source (null: idle).
  TDeviceMonitor(std::unique_ptr<TTtyEventSource> Source, std::string DevRoot);
  // Stops and joins the thread; on the main thread, messages the thread is sending meanwhile
  // are still served, so the two cannot wait for each other. Free it before the application.
  ~TDeviceMonitor();
  TDeviceMonitor(const TDeviceMonitor&) = delete;
  TDeviceMonitor& operator=(const TDeviceMonitor&) = delete;

  bool Active() const { return FThread != nullptr; }

 private:
  std::unique_ptr<TTtyEventSource> FSource;
  std::string FDevRoot;
  TUniqueFd FStop;                                // an eventfd; written once to end the thread
  std::unique_ptr<TDeviceMonitorThread> FThread;  // last: it uses everything above
};

}  // namespace vantor
