// The Windows port report: the ports of the Setup API's "Ports" class, each probed with the
// exclusive open the serial component makes. Windows tells only by the open's error code
// why a port cannot be had; group membership and holders are Linux matters.
#include <windows.h>

#include <algorithm>

#include "discovery/available_ports.h"
#include "discovery/port_report.h"
#include "base/utf.h"
#include "discovery/win32/setupapi_source.h"

namespace vantor {

namespace {

std::wstring Wide(const std::string& Text) {
  const std::u16string Utf16 = ToUtf16(Text);
  return std::wstring(Utf16.begin(), Utf16.end());
}

std::string SystemText(DWORD Code) {
  wchar_t* Buffer = nullptr;
  const DWORD Length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, Code, 0, reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
  std::u16string Text;
  if (Buffer != nullptr) {
    Text.assign(Buffer, Buffer + Length);
    ::LocalFree(Buffer);
  }
  while (!Text.empty() && (Text.back() <= u' ' || Text.back() == u'.'))
    Text.pop_back();
  return ToUtf8(Text);
}

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
  const std::wstring Path = L"\\\\.\\" + Wide(Entry.Name);
  const HANDLE File = ::CreateFileW(Path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (File != INVALID_HANDLE_VALUE) {
    ::CloseHandle(File);
    Entry.State = TPortState::psFree;
    return;
  }
  const DWORD Code = ::GetLastError();
  Entry.ErrorCode = static_cast<int>(Code);
  Entry.Error = SystemText(Code);
  switch (Code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      Entry.State = TPortState::psAbsent;
      break;
    case ERROR_ACCESS_DENIED:  // how Windows refuses a COM port another program holds
    case ERROR_SHARING_VIOLATION:
      Entry.State = TPortState::psBusy;
      break;
    default:
      Entry.State = TPortState::psOther;
      break;
  }
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
