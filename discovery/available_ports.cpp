// Which present ports are candidates, and the entry text of each.
#include "discovery/available_ports.h"

#include "base/utf.h"

namespace vantor {

std::u16string_view CutAtNul(std::u16string_view Text) {
  return Text.substr(0, Text.find(u'\0'));
}

std::u16string ReduceFriendlyName(std::u16string_view FriendlyName) {
  std::u16string Text(CutAtNul(FriendlyName));
  const auto At = Text.find(u"(COM");
  if (At != std::u16string::npos)
    Text.erase(At, 7);  // erase stops at the end by itself
  return Text;
}

std::string MakePortEntry(std::u16string_view PortName, std::u16string_view FriendlyName) {
  return ToUtf8(CutAtNul(PortName)) + "  " + ToUtf8(ReduceFriendlyName(FriendlyName));
}

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
