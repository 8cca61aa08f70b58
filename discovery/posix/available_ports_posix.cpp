#include "discovery/available_ports.h"

#include "discovery/list_ports.h"
#include "discovery/posix/sysfs_port_source.h"

namespace vantor {

std::unique_ptr<TPortEntryList> GetAvailableComPorts() {
  try {
    TSysfsPortSource Source("/sys", "/dev");
    return ListAvailablePorts(Source);
  } catch (...) {
    return nullptr;  // the source could not even be made
  }
}

}  // namespace vantor
