#include "framework/win32/message_box.h"

#include <commctrl.h>

#include <algorithm>

#include "base/win32/handles.h"
#include "base/utf.h"
#include "framework/win32/window_class.h"

namespace vantor {

namespace {

// Centres Box on the work area of Owner's monitor (or its own), never left of or above it.
void CentreOnWorkArea(HWND Box, HWND Owner) {
  RECT Rect;
  ::GetWindowRect(Box, &Rect);
  MONITORINFO Info{};
  Info.cbSize = sizeof(Info);
  ::GetMonitorInfoW(::MonitorFromWindow(Owner ? Owner : Box, MONITOR_DEFAULTTONEAREST), &Info);
  const RECT& Work = Info.rcWork;
  const int Width = Rect.right - Rect.left, Height = Rect.bottom - Rect.top;
  const int X = std::max<int>(Work.left, Work.left + (Work.right - Work.left - Width) / 2);
  const int Y = std::max<int>(Work.top, Work.top + (Work.bottom - Work.top - Height) / 2);
  ::SetWindowPos(Box, nullptr, X, Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

constexpr wchar_t kTaskDialogProc[] = L"VantorTaskDialogProc";

// Escape and the title bar's close button press the box's one button. Windows closes a
// cancellable task dialog on its own; Wine's task dialog ignores both without a button
// whose id is IDCANCEL, so the box would not close there.
LRESULT CALLBACK CancelPressesTheButton(HWND Dialog, UINT Msg, WPARAM WParam, LPARAM LParam) {
  const auto Previous = reinterpret_cast<WNDPROC>(::GetPropW(Dialog, kTaskDialogProc));
  if ((Msg == WM_COMMAND && LOWORD(WParam) == IDCANCEL) || Msg == WM_CLOSE) {
    ::PostMessageW(Dialog, TDM_CLICK_BUTTON, BoxButtonId, 0);
    return 0;
  }
  if (Msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(Dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Previous));
    ::RemovePropW(Dialog, kTaskDialogProc);
  }
  return ::CallWindowProcW(Previous, Dialog, Msg, WParam, LParam);
}

HRESULT CALLBACK TaskDialogEvents(HWND Dialog, UINT Notification, WPARAM /*WParam*/,
                                  LPARAM /*LParam*/, LONG_PTR Data) {
  if (Notification == TDN_CREATED) {
    CentreOnWorkArea(Dialog, reinterpret_cast<HWND>(Data));
    const LONG_PTR Previous = ::GetWindowLongPtrW(Dialog, GWLP_WNDPROC);
    if (::SetPropW(Dialog, kTaskDialogProc, reinterpret_cast<HANDLE>(Previous)))
      ::SetWindowLongPtrW(Dialog, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(&CancelPressesTheButton));
  }
  return S_OK;
}

using TTaskDialogIndirect = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// Only the common controls 6 have task dialogs: look the function up, never link it.
TTaskDialogIndirect FindTaskDialog() {
  HMODULE Controls = ::GetModuleHandleW(L"comctl32.dll");
  if (!Controls)
    Controls = ::LoadLibraryW(L"comctl32.dll");
  if (!Controls)
    return nullptr;
  return reinterpret_cast<TTaskDialogIndirect>(
      reinterpret_cast<void*>(::GetProcAddress(Controls, "TaskDialogIndirect")));
}

// The box built in code.
class TFallbackBox : public TWindowProcTarget {
 public:
  TFallbackBox(HWND Owner, bool ErrorIcon, const std::string& Caption, const std::string& Text,
               const std::string& Button);
  ~TFallbackBox() override { DetachTargetWindow(FWindow.Get()); }
  TFallbackBox(const TFallbackBox&) = delete;
  TFallbackBox& operator=(const TFallbackBox&) = delete;

  void RunModal();
  LRESULT HandleMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam,
                        bool& Handled) override;

 private:
  HWND FOwner;
  TWindowHandle FWindow;
  TGdiHandle FFont;
  HWND FButton = nullptr;
  bool FDone = false;
};

TFallbackBox::TFallbackBox(HWND Owner, bool ErrorIcon, const std::string& Caption,
                           const std::string& Text, const std::string& Button)
    : FOwner(Owner) {
  NONCLIENTMETRICSW Metrics{};
  Metrics.cbSize = sizeof(Metrics);
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0);
  FFont.Reset(::CreateFontIndirectW(&Metrics.lfMessageFont));

  const DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const DWORD ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  FWindow.Reset(
      CreateTargetWindow(*this, L"TMessageBoxWindow", ExStyle, Style, 0, 0, 100, 100, Owner));
  HWND Box = FWindow.Get();
  ::SetWindowTextW(Box, Widen(Caption).c_str());

  // Measure the text in the message font, lines broken at its line breaks and at 400 px.
  const std::wstring Wide = Widen(Text);
  RECT TextRect{0, 0, 400, 0};
  HDC Dc = ::GetDC(Box);
  HGDIOBJ Old = ::SelectObject(Dc, FFont.Get());
  ::DrawTextW(Dc, Wide.c_str(), -1, &TextRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  ::SelectObject(Dc, Old);
  ::ReleaseDC(Box, Dc);

  const int Margin = 12, IconSize = 32, ButtonWidth = 88, ButtonHeight = 26;
  const int TextLeft = Margin + (ErrorIcon ? IconSize + Margin : 0);
  const int TextHeight = std::max<int>(TextRect.bottom, ErrorIcon ? IconSize : 0);
  const int ClientWidth =
      std::max<int>(TextLeft + TextRect.right + Margin, 2 * Margin + ButtonWidth);
  const int ButtonTop = Margin + TextHeight + Margin;
  const int ClientHeight = ButtonTop + ButtonHeight + Margin;

  auto Child = [&](const wchar_t* Class, const std::wstring& Title, DWORD ChildStyle, int X, int Y,
                   int W, int H, int Id) {
    HWND Made = ::CreateWindowExW(0, Class, Title.c_str(), WS_CHILD | WS_VISIBLE | ChildStyle, X, Y,
                                  W, H, Box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(Made, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), 0);
    return Made;
  };
  if (ErrorIcon) {
    HWND Icon = Child(L"STATIC", L"", SS_ICON, Margin, Margin, IconSize, IconSize, -1);
    ::SendMessageW(Icon, STM_SETICON, reinterpret_cast<WPARAM>(::LoadIconW(nullptr, IDI_ERROR)), 0);
  }
  Child(L"STATIC", Wide, SS_LEFT | SS_NOPREFIX, TextLeft, Margin, TextRect.right, TextRect.bottom,
        -1);
  FButton =
      Child(L"BUTTON", Widen(Button), BS_DEFPUSHBUTTON | WS_TABSTOP,
            ClientWidth - Margin - ButtonWidth, ButtonTop, ButtonWidth, ButtonHeight, BoxButtonId);

  RECT Outer{0, 0, ClientWidth, ClientHeight};
  ::AdjustWindowRectEx(&Outer, Style, FALSE, ExStyle);
  ::SetWindowPos(Box, nullptr, 0, 0, Outer.right - Outer.left, Outer.bottom - Outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CentreOnWorkArea(Box, Owner);
}

void TFallbackBox::RunModal() {
  HWND Box = FWindow.Get();
  const bool OwnerWasEnabled = FOwner && ::IsWindowEnabled(FOwner);
  if (OwnerWasEnabled)
    ::EnableWindow(FOwner, FALSE);
  ::ShowWindow(Box, SW_SHOWNORMAL);
  ::SetFocus(FButton);
  while (!FDone) {
    MSG Message;
    const BOOL Got = ::GetMessageW(&Message, nullptr, 0, 0);
    if (Got <= 0) {
      ::PostQuitMessage(static_cast<int>(Message.wParam));  // for the outer loop
      break;
    }
    if (!::IsDialogMessageW(Box, &Message)) {
      ::TranslateMessage(&Message);
      ::DispatchMessageW(&Message);
    }
  }
  if (OwnerWasEnabled) {
    ::EnableWindow(FOwner, TRUE);
    ::SetActiveWindow(FOwner);
  }
  ::ShowWindow(Box, SW_HIDE);
}

LRESULT TFallbackBox::HandleMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM /*LParam*/,
                                    bool& Handled) {
  // The button, Escape (IDCANCEL from the dialog keys) and the title bar all close it.
  const bool Command = Msg == WM_COMMAND && (LOWORD(WParam) == BoxButtonId ||
                                             LOWORD(WParam) == IDCANCEL || LOWORD(WParam) == IDOK);
  if (Command || Msg == WM_CLOSE) {
    FDone = true;
    Handled = true;
  } else if (Msg == WM_ERASEBKGND) {
    // The class has no brush: without this the box shows whatever was on its surface.
    RECT Client;
    ::GetClientRect(Window, &Client);
    ::FillRect(reinterpret_cast<HDC>(WParam), &Client, ::GetSysColorBrush(COLOR_BTNFACE));
    Handled = true;
    return 1;
  } else if (Msg == WM_CTLCOLORSTATIC) {
    // The text and the icon are drawn on the box's own background, text cells included.
    const auto Dc = reinterpret_cast<HDC>(WParam);
    ::SetBkColor(Dc, ::GetSysColor(COLOR_BTNFACE));
    ::SetTextColor(Dc, ::GetSysColor(COLOR_BTNTEXT));
    Handled = true;
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
  }
  return 0;
}

}  // namespace

bool ShowTaskDialogBox(HWND Owner, bool ErrorIcon, const std::string& Caption,
                       const std::string& Text, const std::string& Button) {
  const TTaskDialogIndirect TaskDialog = FindTaskDialog();
  if (!TaskDialog)
    return false;
  const std::wstring WideCaption = Widen(Caption), WideText = Widen(Text),
                     WideButton = Widen(Button);
  const TASKDIALOG_BUTTON Buttons[] = {{BoxButtonId, WideButton.c_str()}};
  TASKDIALOGCONFIG Config{};
  Config.cbSize = sizeof(Config);
  Config.hwndParent = Owner;
  Config.hInstance = ::GetModuleHandleW(nullptr);
  Config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;  // Escape and the title bar close it
  Config.pszWindowTitle = WideCaption.c_str();
  Config.pszMainIcon = ErrorIcon ? TD_ERROR_ICON : nullptr;
  Config.pszContent = WideText.c_str();
  Config.cButtons = 1;
  Config.pButtons = Buttons;
  Config.nDefaultButton = BoxButtonId;
  Config.pfCallback = &TaskDialogEvents;
  Config.lpCallbackData = reinterpret_cast<LONG_PTR>(Owner);
  int Pressed = 0;
  return SUCCEEDED(TaskDialog(&Config, &Pressed, nullptr, nullptr));
}

void ShowFallbackBox(HWND Owner, bool ErrorIcon, const std::string& Caption,
                     const std::string& Text, const std::string& Button) {
  TFallbackBox Box(Owner, ErrorIcon, Caption, Text, Button);
  Box.RunModal();
}

void ShowMessageBox(HWND Owner, bool ErrorIcon, const std::string& Caption, const std::string& Text,
                    const std::string& Button) {
  if (!ShowTaskDialogBox(Owner, ErrorIcon, Caption, Text, Button)) {
    ShowFallbackBox(Owner, ErrorIcon, Caption, Text, Button);
  }
}

}  // namespace vantor
