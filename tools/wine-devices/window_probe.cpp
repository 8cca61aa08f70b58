// window-probe.exe: reads another program's window the way a test needs to see it.
//
//   window-probe.exe show CAPTION      the window's state (with its dots per inch), its frame,
//                                       and every child control, one line each; status bar
//                                       panels as panel0= ...
//   window-probe.exe start EXE normal|max|min
//                                       starts EXE with that show command and prints its
//                                       window's state once the window is visible
//   window-probe.exe close CAPTION     closes that window as its title bar's close button does
//   window-probe.exe measure EXE       starts EXE, then prints the time from its window being
//                                       shown to "Connected" in panel 1, the time from a click
//                                       on Save to its confirmation, and the working set
//
// "show" exits with 1 when no visible top-level window has that caption, so that a script
// can wait for a window (or a message box) to come and go. Status bar texts live in the
// other process: they are read through a buffer allocated there.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace vantor {

namespace {

using Clock = std::chrono::steady_clock;

HWND FindTopLevel(const std::wstring& Caption, DWORD Pid = 0) {
  struct TSearch {
    const std::wstring* Caption;
    DWORD Pid;
    HWND Found;
  } Search{&Caption, Pid, nullptr};
  ::EnumWindows(
      [](HWND Window, LPARAM Param) -> BOOL {
        auto& S = *reinterpret_cast<TSearch*>(Param);
        wchar_t Text[256] = {};
        ::GetWindowTextW(Window, Text, 256);
        DWORD Owner = 0;
        ::GetWindowThreadProcessId(Window, &Owner);
        if (::IsWindowVisible(Window) && *S.Caption == Text && (S.Pid == 0 || S.Pid == Owner)) {
          S.Found = Window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Search));
  return Search.Found;
}

std::vector<HWND> Children(HWND Parent) {
  std::vector<HWND> All;
  ::EnumChildWindows(
      Parent,
      [](HWND Child, LPARAM Param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&All));
  return All;
}

std::wstring ClassOf(HWND Window) {
  wchar_t Name[64] = {};
  ::GetClassNameW(Window, Name, 64);
  return Name;
}

std::wstring TextOf(HWND Window) {
  wchar_t Text[512] = {};
  ::SendMessageTimeoutW(Window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(Text), SMTO_BLOCK, 2000,
                        nullptr);
  return Text;
}

// A status bar panel's text, read through memory in the window's own process.
std::wstring PanelText(HWND Bar, int Index) {
  DWORD Pid = 0;
  ::GetWindowThreadProcessId(Bar, &Pid);
  HANDLE Process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, Pid);
  if (!Process)
    return L"?";
  constexpr SIZE_T kBytes = 512 * sizeof(wchar_t);
  void* Remote = ::VirtualAllocEx(Process, nullptr, kBytes, MEM_COMMIT, PAGE_READWRITE);
  std::wstring Text = L"?";
  if (Remote) {
    wchar_t Local[512] = {};
    const LRESULT Length = ::SendMessageW(Bar, SB_GETTEXTLENGTHW, Index, 0) & 0xFFFF;
    if (Length < 512) {
      ::SendMessageW(Bar, SB_GETTEXTW, Index, reinterpret_cast<LPARAM>(Remote));
      if (::ReadProcessMemory(Process, Remote, Local, kBytes - sizeof(wchar_t), nullptr))
        Text = Local;
    }
    ::VirtualFreeEx(Process, Remote, 0, MEM_RELEASE);
  }
  ::CloseHandle(Process);
  return Text;
}

// A panel's text without the leading tabs that align it: one centres, two align right.
std::wstring PanelValue(HWND Bar, int Index, std::size_t* Tabs = nullptr) {
  const std::wstring Text = PanelText(Bar, Index);
  const std::size_t Lead =
      std::min<std::size_t>(std::min(Text.find_first_not_of(L'\t'), Text.size()), 2);
  if (Tabs)
    *Tabs = Lead;
  return Text.substr(Lead);
}

HWND ChildOfClass(HWND Parent, const wchar_t* Class) {
  for (HWND Child : Children(Parent))
    if (ClassOf(Child) == Class)
      return Child;
  return nullptr;
}

HWND ButtonNamed(HWND Parent, const std::wstring& Caption) {
  for (HWND Child : Children(Parent))
    if (ClassOf(Child) == L"Button" && TextOf(Child) == Caption)
      return Child;
  return nullptr;
}

// The frame and taskbar facts: resizable, which title-bar buttons, and whether the window
// has its own taskbar button (no owner, not a tool window). Its icon is not asked for:
// Wine does not answer WM_GETICON from another process; the X window's icon shows it.
void PrintFrame(HWND Window) {
  const LONG_PTR Style = ::GetWindowLongPtrW(Window, GWL_STYLE);
  const LONG_PTR ExStyle = ::GetWindowLongPtrW(Window, GWL_EXSTYLE);
  std::printf("frame sizable=%d sysmenu=%d minimizebox=%d maximizebox=%d taskbar=%d\n",
              (Style & WS_THICKFRAME) ? 1 : 0, (Style & WS_SYSMENU) ? 1 : 0,
              (Style & WS_MINIMIZEBOX) ? 1 : 0, (Style & WS_MAXIMIZEBOX) ? 1 : 0,
              !::GetWindow(Window, GW_OWNER) && !(ExStyle & WS_EX_TOOLWINDOW) ? 1 : 0);
}

void PrintWindowState(HWND Window) {
  RECT Client{};
  ::GetClientRect(Window, &Client);
  std::printf("window visible=%d enabled=%d iconic=%d zoomed=%d client=%ldx%ld active=%d dpi=%u\n",
              ::IsWindowVisible(Window) ? 1 : 0, ::IsWindowEnabled(Window) ? 1 : 0,
              ::IsIconic(Window) ? 1 : 0, ::IsZoomed(Window) ? 1 : 0, Client.right, Client.bottom,
              ::GetForegroundWindow() == Window ? 1 : 0, ::GetDpiForWindow(Window));
}

// One line per control: class, client position and size, state, and the value that the
// control's kind holds.
void PrintControls(HWND Window) {
  for (HWND Child : Children(Window)) {
    RECT Box{};
    ::GetWindowRect(Child, &Box);
    ::MapWindowPoints(nullptr, ::GetParent(Child), reinterpret_cast<POINT*>(&Box), 2);
    const std::wstring Class = ClassOf(Child);
    std::wprintf(L"%ls %ld,%ld %ldx%ld visible=%d enabled=%d", Class.c_str(), Box.left, Box.top,
                 Box.right - Box.left, Box.bottom - Box.top, ::IsWindowVisible(Child) ? 1 : 0,
                 ::IsWindowEnabled(Child) ? 1 : 0);
    if (Class == HOTKEY_CLASSW)
      std::wprintf(L" hotkey=%u",
                   static_cast<unsigned>(::SendMessageW(Child, HKM_GETHOTKEY, 0, 0) & 0xFFFF));
    if (Class == L"Button")
      std::wprintf(L" check=%d", static_cast<int>(::SendMessageW(Child, BM_GETCHECK, 0, 0)));
    if (Class != STATUSCLASSNAMEW)
      std::wprintf(L" text=\"%ls\"", TextOf(Child).c_str());
    std::wprintf(L"\n");
    if (Class == STATUSCLASSNAMEW) {
      const int Parts = static_cast<int>(::SendMessageW(Child, SB_GETPARTS, 0, 0));
      for (int I = 0; I < Parts; ++I) {
        std::size_t Tabs = 0;
        const std::wstring Text = PanelValue(Child, I, &Tabs);
        static const wchar_t* const kAlign[] = {L"left", L"centre", L"right"};
        std::wprintf(L"panel%d=\"%ls\" align=%ls\n", I, Text.c_str(), kAlign[Tabs]);
      }
    }
  }
  std::fflush(stdout);
}

// Starts Exe with the given show command; the child's handles are not kept.
bool Start(const std::wstring& Exe, WORD Show, PROCESS_INFORMATION& Process) {
  STARTUPINFOW Info{};
  Info.cb = sizeof Info;
  Info.dwFlags = STARTF_USESHOWWINDOW;
  Info.wShowWindow = Show;
  std::wstring CommandLine = L"\"" + Exe + L"\"";
  return ::CreateProcessW(Exe.c_str(), CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &Info, &Process) != 0;
}

constexpr wchar_t kMainCaption[] = L"Vantor Microphone Settings";

// Polls every millisecond until Ready holds or Limit has passed; the time it took, or -1.
template <typename TReady>
double WaitMs(TReady Ready, int LimitMs) {
  const auto Start = Clock::now();
  const auto Limit = Start + std::chrono::milliseconds(LimitMs);
  while (!Ready()) {
    if (Clock::now() > Limit)
      return -1;
    ::Sleep(1);
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - Start).count();
}

HWND WaitForMainWindow(DWORD Pid) {
  HWND Window = nullptr;
  WaitMs([&] { return (Window = FindTopLevel(kMainCaption, Pid)) != nullptr; }, 60000);
  return Window;
}

int StartCommand(const std::wstring& Exe, const std::wstring& How) {
  const WORD Show = How == L"max"   ? SW_SHOWMAXIMIZED
                    : How == L"min" ? SW_SHOWMINNOACTIVE
                                    : SW_SHOWNORMAL;
  PROCESS_INFORMATION Process{};
  if (!Start(Exe, Show, Process)) {
    std::fprintf(stderr, "window-probe: cannot start the program (%lu)\n", ::GetLastError());
    return 1;
  }
  HWND Window = WaitForMainWindow(Process.dwProcessId);
  ::CloseHandle(Process.hThread);
  ::CloseHandle(Process.hProcess);
  if (!Window) {
    std::fputs("window-probe: no window\n", stderr);
    return 1;
  }
  std::printf("pid=%lu\n", Process.dwProcessId);
  PrintWindowState(Window);
  return 0;
}

int MeasureCommand(const std::wstring& Exe) {
  PROCESS_INFORMATION Process{};
  if (!Start(Exe, SW_SHOWNORMAL, Process)) {
    std::fprintf(stderr, "window-probe: cannot start the program (%lu)\n", ::GetLastError());
    return 1;
  }
  ::CloseHandle(Process.hThread);
  const HWND Window = WaitForMainWindow(Process.dwProcessId);
  const HWND Bar = Window ? ChildOfClass(Window, STATUSCLASSNAMEW) : nullptr;
  if (!Bar) {
    std::fputs("window-probe: no window\n", stderr);
    ::CloseHandle(Process.hProcess);
    return 1;
  }
  const double Connect = WaitMs([&] { return PanelValue(Bar, 1) == L"Connected"; }, 30000);
  std::printf("window shown -> \"Connected\": %.0f ms\n", Connect);
  // The first confirmation of the connection puts "Save" back; wait for it before clicking.
  const HWND Save = Connect < 0 ? nullptr : ButtonNamed(Window, L"Save");
  int Result = Connect < 0 ? 1 : 0;
  if (Save && WaitMs([&] { return PanelValue(Bar, 4) == L"Saved"; }, 10000) >= 0) {
    ::Sleep(200);
    const auto Click = Clock::now();
    ::SendMessageW(Save, BM_CLICK, 0, 0);  // the handler has run when this returns
    const double Saved = WaitMs([&] { return TextOf(Save) == L"Save"; }, 10000);
    const double Total =
        Saved < 0 ? -1 : std::chrono::duration<double, std::milli>(Clock::now() - Click).count();
    std::printf("Save click -> \"Saved\": %.1f ms\n", Total);
    Result = Saved < 0 ? 1 : Result;
  }
  PROCESS_MEMORY_COUNTERS Memory{};
  Memory.cb = sizeof Memory;
  if (::K32GetProcessMemoryInfo(Process.hProcess, &Memory, sizeof Memory))
    std::printf("working set once connected: %.1f MiB (peak %.1f MiB)\n",
                Memory.WorkingSetSize / 1048576.0, Memory.PeakWorkingSetSize / 1048576.0);
  std::printf("pid=%lu\n", Process.dwProcessId);
  ::CloseHandle(Process.hProcess);
  return Result;
}

}  // namespace

int Main(int argc, wchar_t** argv) {
  const std::wstring Verb = argc > 1 ? argv[1] : L"";
  if (Verb == L"show" && argc == 3) {
    const HWND Window = FindTopLevel(argv[2]);
    if (!Window)
      return 1;
    PrintWindowState(Window);
    PrintFrame(Window);
    PrintControls(Window);
    return 0;
  }
  if (Verb == L"close" && argc == 3) {
    const HWND Window = FindTopLevel(argv[2]);
    return Window && ::PostMessageW(Window, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
  }
  if (Verb == L"start" && argc == 4)
    return StartCommand(argv[2], argv[3]);
  if (Verb == L"measure" && argc == 3)
    return MeasureCommand(argv[2]);
  std::fputs(
      "usage: window-probe.exe show CAPTION | close CAPTION | start EXE normal|max|min |"
      " measure EXE\n",
      stderr);
  return 2;
}

}  // namespace vantor

int wmain(int argc, wchar_t** argv) {
  return vantor::Main(argc, argv);
}
