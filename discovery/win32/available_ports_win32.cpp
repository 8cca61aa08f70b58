#include "discovery/available_ports.h"

#include "discovery/list_ports.h"
#include "discovery/win32/setupapi_source.h"

namespace vantor {

std::unique_ptr<TPortEntryList> GetAvailableComPorts() {
  std::unique_ptr<TSetupApiPortSource> Source;
  try {
    Source = TSetupApiPortSource::Open();
  } catch (...) {
    return nullptr;  // Source's parts are released as the failure unwinds
  }
  if (!Source)
    return nullptr;
  return ListAvailablePorts(*Source);
}

}  // namespace vantor
