#include "framework/backend.h"
#include "framework/controls.h"

namespace vantor {

namespace {
void Changed(const TControl& Control) {
  if (TControlPeer* Peer = Control.Peer())
    Peer->StateChanged();
}
}  // namespace

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  // A control made by a form sits on that form.
  if (auto* Form = dynamic_cast<TForm*>(AOwner))
    SetParent(Form);
}

TControl::~TControl() {
  if (FParent)
    FParent->RemoveControl(this);
}

void TControl::SetParent(TForm* Value) {
  if (Value == FParent)
    return;
  if (FParent)
    FParent->RemoveControl(this);
  FParent = Value;
  if (FParent)
    FParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
    return;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  Changed(*this);
}

void TControl::SetVisible(bool Value) {
  if (Value == FVisible)
    return;
  FVisible = Value;
  Changed(*this);
}

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled)
    return;
  FEnabled = Value;
  Changed(*this);
}

bool TControl::CanFocus() const {
  return TakesFocus() && FVisible && FEnabled && FTabOrder >= 0;
}

bool TControl::Focused() const {
  return FParent && FParent->ActiveControl() == this;
}

void TControl::SetFocus() {
  if (FParent && CanFocus())
    FParent->SetActiveControl(this);
}

void TControl::SetPeer(std::unique_ptr<TControlPeer> Value) {
  FPeer = std::move(Value);
}

void TLabel::SetCaption(const std::string& Value) {
  if (Value == FCaption)
    return;
  FCaption = Value;
  Changed(*this);
}

void TButton::SetCaption(const std::string& Value) {
  if (Value == FCaption)
    return;
  FCaption = Value;
  Changed(*this);
}

void TButton::Click() {
  const TNotifyEvent Handler = OnClick;
  Fire(Handler, this);
}

void TCheckBox::SetCaption(const std::string& Value) {
  if (Value == FCaption)
    return;
  FCaption = Value;
  Changed(*this);
}

void TCheckBox::SetChecked(bool Value) {
  if (Value == FChecked)
    return;
  FChecked = Value;
  Changed(*this);
  const TNotifyEvent Handler = OnClick;
  Fire(Handler, this);
}

void TCheckBox::Click() {
  SetChecked(!FChecked);
}

void TImage::SetPicture(TBitmap32 Value) {
  FPicture = std::move(Value);
  Changed(*this);
}

void TImage::SetPictureRenderer(TPictureRenderer Renderer) {
  FRenderer = std::move(Renderer);
  SetPicture(FRenderer ? FRenderer(1.0) : TBitmap32{});
}

TBitmap32 TImage::PictureAt(double Scale) const {
  if (!FRenderer || Scale == 1.0)
    return FPicture;
  return FRenderer(Scale);
}

void TStatusBar::AddPanel(const TStatusPanel& Panel) {
  FPanels.push_back(Panel);
  FHints.emplace_back();
  if (TControlPeer* Bar = Peer())
    Bar->StateChanged();
}

void TStatusBar::SetPanelText(int Index, const std::string& Value) {
  TStatusPanel& Panel = FPanels.at(static_cast<std::size_t>(Index));
  if (Panel.Text == Value)
    return;
  Panel.Text = Value;
  if (TControlPeer* Bar = Peer())
    Bar->PanelChanged(Index);
  const auto Handler = OnPanelChange;  // a copy: the handler may rebind the event
  Fire(Handler, Index);
}

std::string PanelAccessibleName(const TStatusPanel& Panel) {
  if (Panel.AccessibleName.empty())
    return Panel.Text;
  if (Panel.Text.empty())
    return Panel.AccessibleName;
  return Panel.AccessibleName + ": " + Panel.Text;
}

void TStatusBar::SetPanelHint(int Index, const std::string& Value) {
  std::string& Hint = FHints.at(static_cast<std::size_t>(Index));
  if (Hint == Value)
    return;
  Hint = Value;
  if (TControlPeer* Bar = Peer())
    Bar->PanelHintChanged(Index);
}

}  // namespace vantor
