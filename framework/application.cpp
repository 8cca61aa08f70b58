#include "framework/application.h"

#include <atomic>
#include <cctype>

#include "framework/backend.h"
#include "framework/controls.h"
#include "framework/cross_thread.h"
#include "framework/dialogs.h"

namespace vantor {

namespace {

// The one application object. Worker threads read it to wake the main thread.
std::atomic<TApplication*> TheApplication{nullptr};

std::string WithFullStop(std::string Text) {
  if (!Text.empty() && static_cast<unsigned char>(Text.back()) > '.')
    Text += '.';
  return Text;
}

}  // namespace

TApplication* Application() {
  return TheApplication.load();
}

TApplication::TApplication(std::unique_ptr<TBackend> Backend)
    : TComponent(nullptr),
      FBackend(std::move(Backend)),
      FCalls(std::make_shared<TCrossThreadCalls>([this] { FBackend->WakeMainThread(); })),
      FMainThreadId(std::this_thread::get_id()) {
  TheApplication.store(this);
  FBackend->Attach(this);
}

TApplication::~TApplication() {
  // The forms and their controls still need the backend while they are freed.
  DestroyComponents();
  FMainForm = nullptr;
  FHooks.clear();
  // Workers still blocked in Synchronize get a failure instead of waiting for ever.
  FCalls->Close();
  FBackend->Attach(nullptr);
  TApplication* Self = this;
  TheApplication.compare_exchange_strong(Self, nullptr);
}

std::string TApplication::ExeName() const {
  return FBackend->ExeName();
}

std::string TApplication::Title() const {
  return ApplicationTitle(ExeName());
}

std::string ApplicationTitle(const std::string& ExeName) {
  std::string Name = ExeName;
  const auto Slash = Name.find_last_of("/\\");
  if (Slash != std::string::npos)
    Name.erase(0, Slash + 1);
  const auto Dot = Name.find('.');
  if (Dot != std::string::npos)
    Name.erase(Dot);
  for (std::size_t I = 1; I < Name.size(); ++I) {
    const auto C = static_cast<unsigned char>(Name[I]);
    if (C < 0x80)
      Name[I] = static_cast<char>(std::tolower(C));
  }
  return Name;
}

void TApplication::Run() {
  if (FMainForm && !FMainForm->Showing())
    FMainForm->Show();
  if (!FTerminated)
    FBackend->RunLoop();
}

void TApplication::Terminate() {
  FTerminated = true;
  FBackend->WakeMainThread();
}

void TApplication::ProcessMessages() {
  FBackend->ProcessMessages();
}

void TApplication::FormClosed(TForm& Form) {
  if (&Form == FMainForm)
    Terminate();
}

void TApplication::HandleException(TObject* /*Sender*/) {
  if (std::current_exception())
    FailureBox(CurrentFailureText());
}

void TApplication::ShowException(const std::exception& E) {
  FailureBox(WithFullStop(E.what()));
}

std::string CurrentFailureText() {
  if (!std::current_exception())
    return std::string();
  try {
    throw;
  } catch (const std::exception& E) {
    return WithFullStop(E.what());
  } catch (...) {
    return WithFullStop("Unknown failure");
  }
}

void TApplication::HookMainWindow(const void* Owner, TWindowHook Hook) {
  auto Entry = std::make_shared<THookEntry>();
  Entry->Owner = Owner;
  Entry->Hook = std::move(Hook);
  FHooks.push_back(std::move(Entry));
}

void TApplication::UnhookMainWindow(const void* Owner) {
  for (auto It = FHooks.begin(); It != FHooks.end();) {
    if ((*It)->Owner == Owner) {
      (*It)->Removed = true;
      It = FHooks.erase(It);
    } else {
      ++It;
    }
  }
}

bool TApplication::DispatchToHooks(TMessage& Message) {
  Message.Result = 0;
  // A snapshot keeps every entry alive while its hook runs, even if it is unhooked then.
  const auto Hooks = FHooks;
  try {
    for (const auto& Entry : Hooks) {
      if (Entry->Removed)
        continue;
      if (Entry->Hook(Message))
        return true;
    }
  } catch (...) {
    HandleException(this);
    return true;
  }
  return false;
}

void TApplication::SendAppMessage(TMessage& Message) {
  if (IsMainThread()) {
    DispatchToHooks(Message);
    return;
  }
  CallOnMainThread([this, &Message] { DispatchToHooks(Message); });
}

void TApplication::CallOnMainThread(std::function<void()> Call) {
  FCalls->CallAndWait(std::move(Call));
}

bool TApplication::ServeCrossThreadCalls() {
  return FCalls->RunPending();
}

void TApplication::WakeMainThread() {
  FBackend->WakeMainThread();
}

void TApplication::AfterFormCreated(TForm& Form) {
  Form.DoCreate();
}

}  // namespace vantor
