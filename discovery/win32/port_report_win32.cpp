// The Windows port report: the ports of the Setup API's "Ports" class, each probed with the
// exclusive open the serial component makes (OpenPortExclusive). Windows tells only by the open's
// error code why a port cannot be had; group membership and holders are Linux matters.
#include <windows.h>

#include <algorithm>

#include "discovery/available_ports.h"
#include "discovery/port_report.h"
#include "base/system_error.h"
#include "base/utf.h"
#include "discovery/win32/setupapi_source.h"
#include "serial/win32/exclusive_open.h"

namespace vantor {

namespace {

// "\\.\COM12" and "COM12" name the same port.
std::string PlainName(const std::string& Name) {
  return Name.rfind("\\\\.\\", 0) == 0 ? Name.substr(4) : Name;
}

// Windows port names ignore case ("com3" opens COM3).
bool SameName(const std::string& A, const std::string& B) {
  const auto Upper = [](char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 32) : C; };
  return std::equal(A.begin(), A.end(), B.begin(), B.end(),
                    [&](char X, char Y) { return Upper(X) == Upper(Y); });
}

void Probe(TPortReportEntry& Entry) {
  DWORD Code = ERROR_SUCCESS;
  if (OpenPortExclusive("\\\\.\\" + Entry.Name, Code)) {  // closed again at once
    Entry.State = TPortFailure::pfNone;
    return;
  }
  Entry.ErrorCode = static_cast<int>(Code);
  Entry.Error = TrimSystemText(SystemErrorText(Code));
  Entry.State = ClassifyPortError(Code, TPortErrorPhase::Opening);
}

}  // namespace

TPortReport MakePortReport(const std::vector<std::string>& NamedPorts, bool IncludePresent) {
  TPortReport Report;
  if (IncludePresent) {
    if (const auto Source = TSetupApiPortSource::Open()) {
      TPresentPort Port;
      while (Source->Next(Port)) {
        if (!Port.PortName)
          continue;
        const std::u16string Name(CutAtNul(*Port.PortName));
        if (!Name.starts_with(Source->SerialPrefix()))
          continue;  // a printer port
        TPortReportEntry Entry;
        Entry.Name = ToUtf8(Name);
        Entry.Description = ToUtf8(CutAtNul(Port.FriendlyName.value_or(u"")));
        Entry.Present = true;
        Report.push_back(std::move(Entry));
      }
    }
  }
  for (const std::string& Named : NamedPorts) {
    const std::string Name = PlainName(Named);
    if (std::any_of(Report.begin(), Report.end(),
                    [&](const TPortReportEntry& Entry) { return SameName(Entry.Name, Name); })) {
      continue;
    }
    TPortReportEntry Entry;
    Entry.Name = Name;
    Report.push_back(std::move(Entry));
  }
  for (TPortReportEntry& Entry : Report)
    Probe(Entry);
  return Report;
}

}  // namespace vantor
