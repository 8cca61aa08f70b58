// A scripted port source: a list of devices, the ports that refuse the probe, and a
// device at which Next raises. It records the probes and how many are open.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "discovery/port_source.h"

namespace vantor {

class TFakePortSource : public TPortSource {
 public:
  struct TDevice {
    std::optional<std::u16string> FriendlyName;
    std::optional<std::u16string> PortName;
  };

  std::vector<TDevice> Devices;
  std::set<std::u16string> Refused;
  std::optional<std::size_t> ThrowAt;  // Next raises when it reaches this index
  std::vector<std::u16string> Probed;
  int OpenProbes = 0;
  std::u16string Prefix = u"COM";

  std::u16string_view SerialPrefix() const override { return Prefix; }

  bool Next(TPresentPort& Port) override {
    if (ThrowAt && FIndex == *ThrowAt)
      throw std::bad_alloc();
    if (FIndex >= Devices.size())
      return false;
    const TDevice& Device = Devices[FIndex++];
    Port.FriendlyName = Device.FriendlyName;
    Port.PortName = Device.PortName;
    return true;
  }

  std::unique_ptr<TProbeHandle> Probe(const std::u16string& PortName) override {
    Probed.push_back(PortName);
    if (Refused.count(PortName))
      return nullptr;
    return std::make_unique<TOpen>(OpenProbes);
  }

 private:
  class TOpen : public TProbeHandle {
   public:
    explicit TOpen(int& Count) : FCount(Count) { ++FCount; }
    ~TOpen() override { --FCount; }

   private:
    int& FCount;
  };
  std::size_t FIndex = 0;
};

}  // namespace vantor
