#include "win32_test_support.h"

#include <algorithm>

#include "framework/win32/message_box.h"

namespace vantor {

namespace {

// Wine without a window manager waits two seconds for each managed top-level window to be
// withdrawn. Marking the test program's windows unmanaged (a setting of the test's own
// Wine prefix, scoped to the running executable) keeps the suite fast. Windows has no such
// key. Wine reads it when the program starts, so it takes effect from the second run on.
struct TWineUnmanagedWindows {
  TWineUnmanagedWindows() {
    if (!::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
      return;
    wchar_t Exe[MAX_PATH] = {};
    const DWORD Length = ::GetModuleFileNameW(nullptr, Exe, MAX_PATH);
    if (Length == 0 || Length == MAX_PATH)
      return;
    const std::wstring Name(Exe);
    const std::wstring Path = L"Software\\Wine\\AppDefaults\\" +
                              Name.substr(Name.find_last_of(L"\\/") + 1) + L"\\X11 Driver";
    HKEY Key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, Path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &Key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    const wchar_t Value[] = L"N";
    ::RegSetValueExW(Key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(Value),
                     sizeof(Value));
    ::RegCloseKey(Key);
  }
} const WineUnmanagedWindows;

}  // namespace

HWND WaitForWindow(const std::wstring& Caption, const wchar_t* ClassName) {
  for (int Try = 0; Try < 500; ++Try) {
    HWND Found = ::FindWindowW(ClassName, Caption.c_str());
    if (Found && ::IsWindowVisible(Found))
      return Found;
    ::Sleep(20);
  }
  return nullptr;
}

namespace {
BOOL CALLBACK CollectText(HWND Child, LPARAM Data) {
  wchar_t Buffer[512] = {};
  ::GetWindowTextW(Child, Buffer, 512);
  reinterpret_cast<std::vector<std::pair<HWND, std::wstring>>*>(Data)->emplace_back(Child, Buffer);
  return TRUE;
}
std::vector<std::pair<HWND, std::wstring>> Children(HWND Window) {
  std::vector<std::pair<HWND, std::wstring>> List;
  ::EnumChildWindows(Window, &CollectText, reinterpret_cast<LPARAM>(&List));
  return List;
}
}  // namespace

namespace {
BOOL CALLBACK CloseOne(HWND Window, LPARAM /*Data*/) {
  if (::IsWindowVisible(Window))
    ::PostMessageW(Window, WM_CLOSE, 0, 0);
  return TRUE;
}
}  // namespace

void CloseWindowsOfThread(DWORD ThreadId) {
  ::EnumThreadWindows(ThreadId, &CloseOne, 0);
}

std::vector<std::wstring> ChildTexts(HWND Window) {
  std::vector<std::wstring> Texts;
  for (const auto& Child : Children(Window))
    Texts.push_back(Child.second);
  return Texts;
}

HWND FindChildWithText(HWND Window, const std::wstring& Text) {
  for (const auto& Child : Children(Window)) {
    if (Child.second == Text)
      return Child.first;
  }
  return nullptr;
}

bool Contains(const std::vector<std::wstring>& Texts, const std::wstring& Text) {
  return std::find(Texts.begin(), Texts.end(), Text) != Texts.end();
}

void InspectAndPress(const std::wstring& Caption, const std::wstring& Button, TSeenBox& Seen,
                     DWORD MainThread) {
  HWND Box = WaitForWindow(Caption);
  if (!Box) {
    CloseWindowsOfThread(MainThread);
    return;
  }
  Seen.Found = true;
  Seen.Texts = ChildTexts(Box);
  HWND Pressed = FindChildWithText(Box, Button);
  const int Id = Pressed ? ::GetDlgCtrlID(Pressed) : BoxButtonId;
  ::PostMessageW(Box, WM_COMMAND, MAKEWPARAM(Id, BN_CLICKED), reinterpret_cast<LPARAM>(Pressed));
}

void PostKey(HWND Window, UINT VirtualKey) {
  const UINT Scan = ::MapVirtualKeyW(VirtualKey, MAPVK_VK_TO_VSC);
  ::PostMessageW(Window, WM_KEYDOWN, VirtualKey, 1 | (static_cast<LPARAM>(Scan) << 16));
  ::PostMessageW(Window, WM_KEYUP, VirtualKey,
                 1 | (static_cast<LPARAM>(Scan) << 16) | (1u << 30) | (1u << 31));
}

}  // namespace vantor
