#include "ui/program/candidate_ports_linux.h"

#include "discovery/posix/exclusive_probe.h"
#include "base/utf.h"

namespace vantor {

namespace {

// The named ports as a port source, so that the entries are made by discovery's own rules
// (an entry is the path and two blanks: there is no friendly name to show).
class TNamedPortSource : public TPortSource {
 public:
  explicit TNamedPortSource(const std::vector<std::string>& Paths) : FPaths(Paths) {}

  std::u16string_view SerialPrefix() const override { return {}; }
  bool Next(TPresentPort& Port) override {
    if (FIndex >= FPaths.size())
      return false;
    Port.PortName = ToUtf16(FPaths[FIndex++]);
    Port.FriendlyName = std::u16string();
    return true;
  }
  std::unique_ptr<TProbeHandle> Probe(const std::u16string& PortName) override {
    return ProbeExclusive(ToUtf8(PortName));
  }

 private:
  const std::vector<std::string>& FPaths;
  std::size_t FIndex = 0;
};

}  // namespace

std::unique_ptr<TPortEntryList> ListNamedPorts(const std::vector<std::string>& Paths) {
  TNamedPortSource Source(Paths);
  return ListAvailablePorts(Source);
}

std::unique_ptr<TPortEntryList> ListCandidatePorts(const std::vector<std::string>& Paths) {
  return Paths.empty() ? GetAvailableComPorts() : ListNamedPorts(Paths);
}

}  // namespace vantor
