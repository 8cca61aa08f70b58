#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>

#include "cli/platform.h"

namespace vantor {

namespace {

std::string Narrow(const wchar_t* Text) {
  const int Size = ::WideCharToMultiByte(CP_UTF8, 0, Text, -1, nullptr, 0, nullptr, nullptr);
  if (Size <= 1)
    return std::string();
  std::string Result(static_cast<std::size_t>(Size - 1), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, Text, -1, Result.data(), Size, nullptr, nullptr);
  return Result;
}

struct TLocalFree {
  void operator()(wchar_t** Block) const { ::LocalFree(Block); }
};

}  // namespace

bool ReportTellsUsbPorts() {
  return false;
}

void PrepareConsole() {
  ::SetConsoleOutputCP(CP_UTF8);
  // Binary: "\n" stays "\n", so files written through standard output match Linux's.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int Count = 0;
  const std::unique_ptr<wchar_t*, TLocalFree> Wide(
      ::CommandLineToArgvW(::GetCommandLineW(), &Count));
  if (!Wide)
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> Args;
  for (int I = 1; I < Count; ++I)
    Args.push_back(Narrow(Wide.get()[I]));
  return Args;
}

std::string SystemDescription() {
  // GetVersionEx answers what the manifest allows; ntdll tells the truth.
  using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW Info{};
  Info.dwOSVersionInfoSize = sizeof Info;
  const HMODULE Ntdll = ::GetModuleHandleW(L"ntdll.dll");
  const auto Get = Ntdll ? reinterpret_cast<TRtlGetVersion>(reinterpret_cast<void (*)()>(
                               ::GetProcAddress(Ntdll, "RtlGetVersion")))
                         : nullptr;
  if (!Get || Get(&Info) != 0)
    return "Windows";
  return "Windows " + std::to_string(Info.dwMajorVersion) + "." +
         std::to_string(Info.dwMinorVersion) + "." + std::to_string(Info.dwBuildNumber);
}

}  // namespace vantor
