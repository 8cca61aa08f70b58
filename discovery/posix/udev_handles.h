// libudev objects owned by smart pointers.
#pragma once

#include <libudev.h>

#include <memory>

namespace vantor {

struct TUdevUnref {
  void operator()(udev* Object) const { udev_unref(Object); }
  void operator()(udev_device* Object) const { udev_device_unref(Object); }
  void operator()(udev_monitor* Object) const { udev_monitor_unref(Object); }
};

using TUdevPtr = std::unique_ptr<udev, TUdevUnref>;
using TUdevDevicePtr = std::unique_ptr<udev_device, TUdevUnref>;
using TUdevMonitorPtr = std::unique_ptr<udev_monitor, TUdevUnref>;

}  // namespace vantor
