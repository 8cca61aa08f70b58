#include "framework/win32/win32_backend.h"

#include <commctrl.h>

#include <vector>

#include "framework/application.h"
#include "framework/controls.h"
#include "framework/win32/app_window.h"
#include "framework/win32/control_peers.h"
#include "framework/win32/form_window.h"
#include "framework/win32/message_box.h"
#include "base/utf.h"
#include "framework/win32/win32_application.h"

namespace vantor {

namespace {

// Per-monitor v2, where the system has it: nothing of the window is ever scaled. The
// manifest normally says so already; this covers a program started without it.
void AskForPerMonitorDpiAwareness() {
  using TSetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
  HMODULE User = ::GetModuleHandleW(L"user32.dll");
  if (!User)
    return;
  auto* Set = reinterpret_cast<TSetContext>(
      reinterpret_cast<void*>(::GetProcAddress(User, "SetThreadDpiAwarenessContext")));
  if (Set)
    Set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

std::string ExecutablePath() {
  std::vector<wchar_t> Buffer(MAX_PATH);
  for (;;) {
    const DWORD Length =
        ::GetModuleFileNameW(nullptr, Buffer.data(), static_cast<DWORD>(Buffer.size()));
    if (Length < Buffer.size())
      return Narrow(std::wstring(Buffer.data(), Length));
    Buffer.resize(Buffer.size() * 2);  // long paths: the name was cut, try a larger buffer
  }
}

TWin32Backend* TheBackend() {
  TApplication* App = Application();
  return App ? dynamic_cast<TWin32Backend*>(&App->Backend()) : nullptr;
}

}  // namespace

TWin32Backend::TWin32Backend(const TWin32AppOptions& Options)
    : FOptions(Options), FWakeEvent(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  AskForPerMonitorDpiAwareness();
  INITCOMMONCONTROLSEX Controls{sizeof(Controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                      ICC_HOTKEY_CLASS | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&Controls);
  FAppWindow = std::make_unique<TAppWindow>(*this);
}

TWin32Backend::~TWin32Backend() {
  for (const auto& Timer : FTimers)
    ::KillTimer(AppWindow(), Timer.first);
}

void TWin32Backend::Attach(TApplication* App) {
  FApp = App;
  if (App)
    ::SetWindowTextW(AppWindow(), Widen(App->Title()).c_str());
}

HWND TWin32Backend::AppWindow() const {
  return FAppWindow ? FAppWindow->Handle() : nullptr;
}

std::string TWin32Backend::ExeName() const {
  return ExecutablePath();
}

void TWin32Backend::Dispatch(MSG& Message) {
  // Tab, Shift+Tab and the other dialog keys of a form's controls.
  if (HWND Root = ::GetAncestor(Message.hwnd, GA_ROOT);
      Root && TFormWindow::IsFormWindow(Root) && ::IsDialogMessageW(Root, &Message)) {
    return;
  }
  ::TranslateMessage(&Message);
  ::DispatchMessageW(&Message);
}

void TWin32Backend::RunLoop() {
  while (FApp && !FApp->Terminated()) {
    FApp->ServeCrossThreadCalls();
    if (FApp->Terminated())
      break;
    MSG Message;
    const BOOL Got = ::GetMessageW(&Message, nullptr, 0, 0);
    if (Got <= 0) {
      FApp->Terminate();
      break;
    }
    Dispatch(Message);
  }
}

void TWin32Backend::ProcessMessages() {
  MSG Message;
  while (::PeekMessageW(&Message, nullptr, 0, 0, PM_REMOVE)) {
    if (Message.message == WM_QUIT) {
      if (FApp)
        FApp->Terminate();
      break;
    }
    Dispatch(Message);
  }
  if (FApp)
    FApp->ServeCrossThreadCalls();
}

void TWin32Backend::WakeMainThread() {
  ::SetEvent(FWakeEvent.Get());
  // One wake message in the queue at a time is enough: it serves everything queued.
  if (!FWakePosted.exchange(true)) {
    if (!::PostMessageW(AppWindow(), WM_FRAMEWORK_WAKE, 0, 0))
      FWakePosted = false;
  }
}

void TWin32Backend::Woken() {
  FWakePosted = false;
  if (FApp)
    FApp->ServeCrossThreadCalls();
}

void TWin32Backend::WaitForWake() {
  HANDLE Wake = FWakeEvent.Get();
  const DWORD Result = ::MsgWaitForMultipleObjectsEx(1, &Wake, INFINITE, QS_SENDMESSAGE, 0);
  if (Result == WAIT_OBJECT_0 + 1) {
    // Only messages sent from other threads are handled here; posted ones stay queued.
    MSG Message;
    ::PeekMessageW(&Message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

int TWin32Backend::StartTimer(unsigned IntervalMs, std::function<void()> Tick) {
  const UINT_PTR Id = ++FLastTimerId;  // never reused: a stale WM_TIMER finds nothing
  FTimers[Id] = std::move(Tick);
  ::SetTimer(AppWindow(), Id, IntervalMs, nullptr);
  return static_cast<int>(Id);
}

void TWin32Backend::StopTimer(int Id) {
  const auto Key = static_cast<UINT_PTR>(Id);
  ::KillTimer(AppWindow(), Key);
  FTimers.erase(Key);
}

void TWin32Backend::TimerTicked(UINT_PTR Id) {
  const auto It = FTimers.find(Id);
  if (It == FTimers.end())
    return;
  // A copy: the tick may stop, restart or free its own timer.
  const std::function<void()> Tick = It->second;
  Tick();
}

void TWin32Backend::ShowForm(TForm& Form) {
  auto* Window = dynamic_cast<TFormWindow*>(Form.Peer());
  if (!Window) {
    auto Made = std::make_unique<TFormWindow>(Form, FOptions.AppIconId);
    Window = Made.get();
    Form.SetPeer(std::move(Made));
  }
  Window->CreateControls();
  Window->Show(FApp && FApp->MainForm() == &Form);
}

void TWin32Backend::CloseForm(TForm& Form) {
  if (auto* Window = dynamic_cast<TFormWindow*>(Form.Peer()))
    Window->Hide();
}

void TWin32Backend::MessageBox(TBoxKind Kind, const std::string& Caption, const std::string& Text,
                               const std::string& Button) {
  HWND Owner = nullptr;
  if (FApp && FApp->MainForm()) {
    if (auto* Window = dynamic_cast<TFormWindow*>(FApp->MainForm()->Peer())) {
      if (::IsWindowVisible(Window->Handle()))
        Owner = Window->Handle();
    }
  }
  const bool ErrorIcon = Kind != TBoxKind::Notice;
  if (FOptions.BoxDialog == bdFallback)
    ShowFallbackBox(Owner, ErrorIcon, Caption, Text, Button);
  else
    ShowMessageBox(Owner, ErrorIcon, Caption, Text, Button);
}

std::unique_ptr<TApplication> MakeWin32Application(const TWin32AppOptions& Options) {
  return std::make_unique<TApplication>(std::make_unique<TWin32Backend>(Options));
}

void ShowFailureWithoutApplication(const std::string& Text) {
  ::MessageBoxW(nullptr, Widen(Text).c_str(), Widen(ApplicationTitle(ExecutablePath())).c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

HWND AppWindowHandle() {
  TWin32Backend* Backend = TheBackend();
  return Backend ? Backend->AppWindow() : nullptr;
}

HWND WindowHandle(const TControl& Control) {
  if (const auto* Window = dynamic_cast<const TFormWindow*>(Control.Peer())) {
    return Window->Handle();
  }
  if (const auto* Peer = dynamic_cast<const TWin32ControlPeer*>(Control.Peer())) {
    return Peer->Handle();
  }
  return nullptr;
}

}  // namespace vantor
