#include <algorithm>

#include "framework/application.h"
#include "framework/backend.h"
#include "framework/controls.h"

namespace vantor {

TForm::TForm(TComponent* AOwner) : TControl(AOwner) {
  // A form is a window of its own, even when another form owns it.
  SetParent(nullptr);
}

TForm::~TForm() {
  // The controls refer to this form (and their windows to its window): free them first.
  DestroyComponents();
}

void TForm::SetCaption(const std::string& Value) {
  if (Value == FCaption)
    return;
  FCaption = Value;
  if (TControlPeer* Window = Peer())
    Window->StateChanged();
}

void TForm::SetClientSize(int AWidth, int AHeight) {
  FClientWidth = AWidth;
  FClientHeight = AHeight;
  if (TControlPeer* Window = Peer())
    Window->StateChanged();
}

void TForm::SetFont(const std::string& Name, int HeightPixels) {
  FFontName = Name;
  FFontHeight = HeightPixels;
}

void TForm::SetActiveControl(TControl* Control) {
  FActiveControl = Control;
  if (Control && Control->Peer())
    Control->Peer()->Focus();
}

std::vector<TControl*> TForm::TabOrderList() const {
  std::vector<TControl*> List;
  for (TControl* Control : FControls) {
    if (Control->CanFocus())
      List.push_back(Control);
  }
  std::stable_sort(List.begin(), List.end(), [](const TControl* A, const TControl* B) {
    return A->TabOrder() < B->TabOrder();
  });
  return List;
}

TControl* TForm::FirstFocusable() const {
  const auto List = TabOrderList();
  return List.empty() ? nullptr : List.front();
}

void TForm::SelectNext(bool Forward) {
  const auto List = TabOrderList();
  if (List.empty())
    return;
  const auto Count = static_cast<std::ptrdiff_t>(List.size());
  const auto Current = std::find(List.begin(), List.end(), FActiveControl);
  std::ptrdiff_t Next;
  if (Current == List.end()) {
    Next = Forward ? 0 : Count - 1;
  } else {
    const std::ptrdiff_t Index = Current - List.begin();
    Next = (Index + (Forward ? 1 : Count - 1)) % Count;
  }
  SetActiveControl(List[static_cast<std::size_t>(Next)]);
}

void TForm::Activated() {
  if (FActiveControl && FActiveControl->CanFocus()) {
    SetActiveControl(FActiveControl);
  } else {
    SetActiveControl(FirstFocusable());
  }
}

void TForm::Show() {
  TApplication* App = Application();
  if (!App)
    return;
  TWindowBackend* Windows = App->Backend().Windows();
  if (!Windows)
    throw Exception("A console program cannot show a window");
  Windows->ShowForm(*this);
  FShowing = true;
}

void TForm::Close() {
  TCloseAction Action = caHide;
  const TCloseEvent Handler = OnClose;
  if (Handler)
    Handler(this, Action);
  if (Action == caNone)
    return;
  TApplication* App = Application();
  if (!App)
    return;
  if (TWindowBackend* Windows = App->Backend().Windows(); FShowing && Windows)
    Windows->CloseForm(*this);
  FShowing = false;
  App->FormClosed(*this);
}

void TForm::DoCreate() {
  const TNotifyEvent Handler = OnCreate;
  try {
    Fire(Handler, this);
  } catch (...) {
    if (TApplication* App = Application())
      App->HandleException(this);
  }
}

void TForm::InsertControl(TControl* Control) {
  FControls.push_back(Control);
}

void TForm::RemoveControl(TControl* Control) {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), Control), FControls.end());
  if (FActiveControl == Control)
    FActiveControl = nullptr;
}

std::vector<TControl*> AttachControlPeers(TForm& Form, const TPeerMaker& MakePeer) {
  std::vector<TControl*> Focusable;
  for (TControl* Control : Form.Controls()) {
    if (!Control->Peer()) {
      std::unique_ptr<TControlPeer> Peer = MakePeer(*Control);
      if (!Peer)
        continue;
      Control->SetPeer(std::move(Peer));
      if (auto* Field = dynamic_cast<THotKey*>(Control))
        Field->SendRulesAndValue();
    }
    if (Control->TabOrder() >= 0)
      Focusable.push_back(Control);
  }
  std::stable_sort(Focusable.begin(), Focusable.end(), [](const TControl* A, const TControl* B) {
    return A->TabOrder() < B->TabOrder();
  });
  return Focusable;
}

}  // namespace vantor
