#include "discovery/posix/udev_event_source.h"

#include "discovery/posix/udev_handles.h"

namespace vantor {

namespace {

class TUdevTtyEventSource : public TTtyEventSource {
 public:
  TUdevTtyEventSource(TUdevPtr Udev, TUdevMonitorPtr Monitor)
      : FUdev(std::move(Udev)), FMonitor(std::move(Monitor)) {}

  int Fd() const override { return udev_monitor_get_fd(FMonitor.get()); }

  std::optional<TTtyEvent> Receive() override {
    TUdevDevicePtr Device(udev_monitor_receive_device(FMonitor.get()));
    if (!Device)
      return std::nullopt;
    const char* Action = udev_device_get_action(Device.get());
    const char* SysName = udev_device_get_sysname(Device.get());
    const char* DevPath = udev_device_get_devpath(Device.get());
    return TTtyEvent{Action ? Action : "", SysName ? SysName : "", DevPath ? DevPath : ""};
  }

 private:
  TUdevPtr FUdev;  // declared first: the monitor goes before its context
  TUdevMonitorPtr FMonitor;
};

}  // namespace

std::unique_ptr<TTtyEventSource> MakeUdevTtyEventSource() {
  TUdevPtr Udev(udev_new());
  if (!Udev)
    return nullptr;
  // "udev", not "kernel": the node is made and named by the time the event comes.
  TUdevMonitorPtr Monitor(udev_monitor_new_from_netlink(Udev.get(), "udev"));
  if (!Monitor)
    return nullptr;
  if (udev_monitor_filter_add_match_subsystem_devtype(Monitor.get(), "tty", nullptr) < 0 ||
      udev_monitor_enable_receiving(Monitor.get()) < 0) {
    return nullptr;
  }
  return std::make_unique<TUdevTtyEventSource>(std::move(Udev), std::move(Monitor));
}

}  // namespace vantor
