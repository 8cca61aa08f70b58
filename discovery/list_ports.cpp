#include "discovery/list_ports.h"

#include "discovery/port_entry.h"

namespace vantor {

namespace {

void Gather(TPortSource& Source, TPortEntryList& Entries) {
  const std::u16string_view Prefix = Source.SerialPrefix();
  TPresentPort Port;
  while (Source.Next(Port)) {
    if (!Port.FriendlyName || !Port.PortName)
      continue;
    const std::u16string Name(CutAtNul(*Port.PortName));
    if (!Name.starts_with(Prefix))
      continue;
    auto Probe = Source.Probe(Name);
    if (!Probe)
      continue;  // held elsewhere, refused or gone: not a candidate now
    Entries.push_back(MakePortEntry(Name, *Port.FriendlyName));
  }
}

}  // namespace

std::unique_ptr<TPortEntryList> ListAvailablePorts(TPortSource& Source) {
  std::unique_ptr<TPortEntryList> Entries;
  try {
    Entries = std::make_unique<TPortEntryList>();
    Gather(Source, *Entries);
  } catch (...) {
    // A failure midway (an allocation, say) ends the walk; what was listed still stands.
  }
  // Callers rely on "never an empty list", also when the walk ended early.
  if (Entries && Entries->empty())
    Entries.reset();
  return Entries;
}

}  // namespace vantor
