#include "framework/win32/form_window.h"

#include <tuple>

#include <algorithm>

#include "framework/application.h"
#include "framework/win32/control_peers.h"
#include "base/utf.h"

namespace vantor {

namespace {

const wchar_t* const FormClass = L"TFormWindow";
constexpr DWORD FormStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

COLORREF ToColorRef(std::uint32_t Rgb) {
  return RGB((Rgb >> 16) & 0xFF, (Rgb >> 8) & 0xFF, Rgb & 0xFF);
}

// The outer size for a client size, at the window's own DPI where the system knows it.
RECT OuterRect(HWND Window, int Width, int Height) {
  RECT Rect{0, 0, Width, Height};
  using TAdjust = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  using TDpiFor = UINT(WINAPI*)(HWND);
  HMODULE User = ::GetModuleHandleW(L"user32.dll");
  auto* Adjust = reinterpret_cast<TAdjust>(
      reinterpret_cast<void*>(::GetProcAddress(User, "AdjustWindowRectExForDpi")));
  auto* DpiFor =
      reinterpret_cast<TDpiFor>(reinterpret_cast<void*>(::GetProcAddress(User, "GetDpiForWindow")));
  if (Adjust && DpiFor && DpiFor(Window) != 0) {
    Adjust(&Rect, FormStyle, FALSE, FormExStyle, DpiFor(Window));
  } else {
    ::AdjustWindowRectEx(&Rect, FormStyle, FALSE, FormExStyle);
  }
  return Rect;
}

int StartUpShowCommand() {
  STARTUPINFOW Info{};
  Info.cb = sizeof(Info);
  ::GetStartupInfoW(&Info);
  if (Info.dwFlags & STARTF_USESHOWWINDOW) {
    if (Info.wShowWindow == SW_SHOWMAXIMIZED)
      return SW_SHOWMAXIMIZED;
    if (Info.wShowWindow == SW_SHOWMINNOACTIVE)
      return SW_SHOWMINNOACTIVE;
  }
  return SW_SHOWNORMAL;
}

}  // namespace

TFormWindow::TFormWindow(TForm& Form, int IconId) : FForm(Form) {
  FFont.Reset(::CreateFontW(-Form.FontHeight(), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            Widen(Form.FontName()).c_str()));
  FBackground.Reset(::CreateSolidBrush(ToColorRef(Form.Color())));
  FHandle.Reset(CreateTargetWindow(*this, FormClass, FormExStyle, FormStyle, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 100, 100, nullptr));
  // The program's icon, each size from its own image rather than one scaled.
  for (const auto& [Which, Width, Height] : {std::tuple{ICON_BIG, SM_CXICON, SM_CYICON},
                                             std::tuple{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}}) {
    if (IconId == 0)
      break;
    if (HANDLE Icon =
            ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IconId), IMAGE_ICON,
                         ::GetSystemMetrics(Width), ::GetSystemMetrics(Height), LR_SHARED))
      ::SendMessageW(Handle(), WM_SETICON, Which, reinterpret_cast<LPARAM>(Icon));
  }
  ::SetWindowTextW(Handle(), Widen(Form.Caption()).c_str());
  ApplyClientSize(0, 0, true);
}

TFormWindow::~TFormWindow() {
  DetachTargetWindow(FHandle.Get());
}

HFONT TFormWindow::StatusFont() {
  if (!FStatusFont) {
    NONCLIENTMETRICSW Metrics{};
    Metrics.cbSize = sizeof(Metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0))
      FStatusFont.Reset(::CreateFontIndirectW(&Metrics.lfStatusFont));
  }
  return static_cast<HFONT>(FStatusFont.Get());
}

bool TFormWindow::IsFormWindow(HWND Window) {
  wchar_t Name[32] = {};
  ::GetClassNameW(Window, Name, 32);
  return std::wstring(Name) == FormClass;
}

void TFormWindow::CreateControls() {
  const std::vector<TControl*> Order = AttachControlPeers(
      FForm, [this](TControl& Control) { return MakeControlPeer(Control, *this); });
  HWND After = HWND_TOP;
  for (TControl* Control : Order) {
    HWND Child = static_cast<TWin32ControlPeer*>(Control->Peer())->Handle();
    ::SetWindowPos(Child, After, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    After = Child;
  }
}

void TFormWindow::ApplyClientSize(int X, int Y, bool Centre) {
  const RECT Outer = OuterRect(Handle(), FForm.ClientWidth(), FForm.ClientHeight());
  const int Width = Outer.right - Outer.left, Height = Outer.bottom - Outer.top;
  if (Centre) {
    // Centred on the work area of the window's monitor, never left of or above it.
    MONITORINFO Info{};
    Info.cbSize = sizeof(Info);
    ::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &Info);
    const RECT& Work = Info.rcWork;
    X = std::max<int>(Work.left, Work.left + (Work.right - Work.left - Width) / 2);
    Y = std::max<int>(Work.top, Work.top + (Work.bottom - Work.top - Height) / 2);
  }
  ::SetWindowPos(Handle(), nullptr, X, Y, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormWindow::Show(bool AsMainForm) {
  if (!FShownOnce)
    ApplyClientSize(0, 0, true);
  ::ShowWindow(Handle(), AsMainForm && !FShownOnce ? StartUpShowCommand() : SW_SHOWNORMAL);
  FShownOnce = true;
  ::UpdateWindow(Handle());
  if (::GetActiveWindow() == Handle())
    FForm.Activated();
}

void TFormWindow::Hide() {
  ::ShowWindow(Handle(), SW_HIDE);
}

void TFormWindow::StateChanged() {
  ::SetWindowTextW(Handle(), Widen(FForm.Caption()).c_str());
  RECT Now;
  ::GetWindowRect(Handle(), &Now);
  ApplyClientSize(Now.left, Now.top, false);
}

LRESULT TFormWindow::HandleMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam,
                                   bool& Handled) {
  switch (Msg) {
    case WM_ERASEBKGND: {
      RECT Client;
      ::GetClientRect(Window, &Client);
      ::FillRect(reinterpret_cast<HDC>(WParam), &Client, Background());
      Handled = true;
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Labels and check boxes sit on the form's own background.
      const auto Dc = reinterpret_cast<HDC>(WParam);
      ::SetBkColor(Dc, ToColorRef(FForm.Color()));
      ::SetTextColor(Dc, ::GetSysColor(COLOR_WINDOWTEXT));
      Handled = true;
      return reinterpret_cast<LRESULT>(Background());
    }
    case WM_COMMAND: {
      const auto It = FChildren.find(reinterpret_cast<HWND>(LParam));
      if (It != FChildren.end()) {
        Handled = true;
        It->second->Command(HIWORD(WParam));
      }
      return 0;
    }
    case WM_NOTIFY: {
      const auto* Header = reinterpret_cast<const NMHDR*>(LParam);
      const auto It = FChildren.find(Header->hwndFrom);
      if (It != FChildren.end())
        It->second->Notify(Header->code);
      return 0;
    }
    case WM_SIZE:
      for (const auto& Child : FChildren)
        Child.second->ParentResized();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(WParam) != WA_INACTIVE && !HIWORD(WParam)) {
        Handled = true;
        FForm.Activated();
      }
      return 0;
    case WM_DPICHANGED: {
      // Nothing is scaled: keep the client size, take only the suggested position.
      const auto* Suggested = reinterpret_cast<const RECT*>(LParam);
      Handled = true;
      ApplyClientSize(Suggested->left, Suggested->top, false);
      return 0;
    }
    case WM_CLOSE:
      Handled = true;
      FForm.Close();
      return 0;
    default:
      return 0;
  }
}

}  // namespace vantor
