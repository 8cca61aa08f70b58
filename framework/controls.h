// The widgets the program's window is made of. Each keeps its own state and semantics here
// and talks to a peer of the backend that draws it (a real control on Win32, a widget on Qt,
// memory in the headless backend).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/events.h"

namespace vantor {

class TForm;
class TControlPeer;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // The form the control sits on (set once, before the form is shown).
  TForm* Parent() const { return FParent; }
  void SetParent(TForm* Value);

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // A disabled control is drawn greyed, takes no focus and no input, and keeps its value.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);

  // Position in the form's tab order; -1 for controls that never take the focus.
  int TabOrder() const { return FTabOrder; }
  void SetTabOrder(int Value) { FTabOrder = Value; }
  bool CanFocus() const;  // focusable kind, visible, enabled, with a tab position
  bool Focused() const;
  void SetFocus();

  // What assistive technology (a screen reader) calls the control; never drawn. The
  // window has no labels beside its fields (the picture shows what each one is for), so
  // this is their only name. Set before the form is shown.
  const std::string& AccessibleName() const { return FAccessibleName; }
  void SetAccessibleName(const std::string& Value) { FAccessibleName = Value; }

  TControlPeer* Peer() const { return FPeer.get(); }
  void SetPeer(std::unique_ptr<TControlPeer> Value);

 protected:
  virtual bool TakesFocus() const { return false; }

 private:
  TForm* FParent = nullptr;
  std::string FAccessibleName;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  int FTabOrder = -1;
  std::unique_ptr<TControlPeer> FPeer;
};

class TLabel : public TControl {
 public:
  using TControl::TControl;
  const std::string& Caption() const { return FCaption; }
  // A caption wider than the label is broken into lines at spaces, as a Windows static
  // control does.
  void SetCaption(const std::string& Value);

 private:
  std::string FCaption;
};

class TButton : public TControl {
 public:
  using TControl::TControl;
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }
  void Click();  // what a user's click does: OnClick
  TNotifyEvent OnClick;

 protected:
  bool TakesFocus() const override { return true; }

 private:
  std::string FCaption;
  bool FDefault = false;
};

class TCheckBox : public TControl {
 public:
  using TControl::TControl;
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool Checked() const { return FChecked; }
  // Setting the state from code fires OnClick exactly when the state changes, as a
  // user's click does.
  void SetChecked(bool Value);
  void Click();  // what a user's click does: toggles the state (and so fires OnClick)
  TNotifyEvent OnClick;

 protected:
  bool TakesFocus() const override { return true; }

 private:
  std::string FCaption;
  bool FChecked = false;
};

// The function-key field (a wrapper of the platform's hot-key control).
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

enum THKModifier : std::uint8_t { hkShift, hkCtrl, hkAlt, hkExt };
using THKModifiers = std::uint8_t;  // bit n = THKModifier n = the control's flag 1 << n
constexpr THKModifiers HKModifierBit(THKModifier M) {
  return static_cast<THKModifiers>(1u << M);
}

enum THKInvalidKey : std::uint8_t {
  hcNone,
  hcShift,
  hcCtrl,
  hcAlt,
  hcShiftCtrl,
  hcShiftAlt,
  hcCtrlAlt,
  hcShiftCtrlAlt
};
using THKInvalidKeys = std::uint8_t;  // bit n = THKInvalidKey n = the control's HKCOMB flags
constexpr THKInvalidKeys HKInvalidBit(THKInvalidKey K) {
  return static_cast<THKInvalidKeys>(1u << K);
}

class THotKey : public TControl {
 public:
  using TControl::TControl;

  // Asks the control for its current word every time: the key byte, plus 0x2000 Shift,
  // 0x4000 Ctrl, 0x8000 Alt (the extended-key flag is dropped).
  TShortCut HotKey();
  // Stores the value and sends it to the control; raises no OnChange.
  void SetHotKey(TShortCut Value);

  THKInvalidKeys InvalidKeys() const { return FInvalidKeys; }
  void SetInvalidKeys(THKInvalidKeys Value);
  THKModifiers Modifiers() const { return FModifiers; }
  void SetModifiers(THKModifiers Value);

  // Raised after the control reports a change made by the user's key input, and only then.
  TNotifyEvent OnChange;

  // The control's own word: the key in the low byte, HOTKEYF_* flags in the high byte.
  std::uint16_t ControlWord() const;
  // Called by the backend when the control reports EN_CHANGE after user input.
  void ControlChanged();
  // Re-sends rules and value, as on creation of the platform window.
  void SendRulesAndValue();

 protected:
  bool TakesFocus() const override { return true; }

 private:
  void ResendRules();

  TShortCut FHotKey = 0;  // key part: the value without bits 13 to 15
  THKModifiers FHotKeyModifiers = 0;
  THKInvalidKeys FInvalidKeys = HKInvalidBit(hcNone) | HKInvalidBit(hcShift);
  THKModifiers FModifiers = HKModifierBit(hkAlt);
};

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TStatusPanelBevel : std::uint8_t { pbNone, pbLowered, pbRaised };

struct TStatusPanel {
  int Width = 50;
  TAlignment Alignment = taLeftJustify;
  TStatusPanelBevel Bevel = pbLowered;
  std::string Text;
  // What the panel is, for assistive technology ("Connection"); empty for a panel whose
  // text says it ("Status :").
  std::string AccessibleName;
};

// What a screen reader reads for a panel: "Connection: Connected", or the text alone
// where the panel has no name of its own.
std::string PanelAccessibleName(const TStatusPanel& Panel);

class TStatusBar : public TControl {
 public:
  using TControl::TControl;
  void AddPanel(const TStatusPanel& Panel);
  int PanelCount() const { return static_cast<int>(FPanels.size()); }
  const TStatusPanel& Panel(int Index) const { return FPanels.at(Index); }
  const std::string& PanelText(int Index) const { return FPanels.at(Index).Text; }
  // Setting a panel to the text it already shows changes nothing.
  void SetPanelText(int Index, const std::string& Value);
  // A panel's hint: its tooltip, where the backend has tooltips ("" for none).
  const std::string& PanelHint(int Index) const { return FHints.at(Index); }
  void SetPanelHint(int Index, const std::string& Value);
  bool SizeGrip() const { return false; }
  // Raised after a panel's text changed, with its index.
  std::function<void(int Index)> OnPanelChange;

 private:
  std::vector<TStatusPanel> FPanels;
  std::vector<std::string> FHints;  // one per panel
};

// A 32-bit picture, 0xAARRGGBB per pixel, rows top to bottom.
struct TBitmap32 {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;
};

class TImage : public TControl {
 public:
  using TControl::TControl;
  // Drawn at one pixel per pixel at the image's top-left; the rest shows the background.
  const TBitmap32& Picture() const { return FPicture; }
  void SetPicture(TBitmap32 Value);

  // A vector picture: Renderer draws it for a device-pixel ratio (1 gives the picture
  // itself), so that a backend on a scaled display can show it sharp at the same size.
  using TPictureRenderer = std::function<TBitmap32(double Scale)>;
  void SetPictureRenderer(TPictureRenderer Renderer);
  // The picture for a device-pixel ratio: the renderer's drawing, or the picture itself.
  TBitmap32 PictureAt(double Scale) const;

 private:
  TBitmap32 FPicture;
  TPictureRenderer FRenderer;
};

enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TControl {
 public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  int ClientWidth() const { return FClientWidth; }
  int ClientHeight() const { return FClientHeight; }
  void SetClientSize(int AWidth, int AHeight);
  std::uint32_t Color() const { return FColor; }  // 0x00RRGGBB
  void SetColor(std::uint32_t Value) { FColor = Value; }
  const std::string& FontName() const { return FFontName; }
  int FontHeight() const { return FFontHeight; }  // pixels
  void SetFont(const std::string& Name, int HeightPixels);

  // The controls on the form, in creation order.
  const std::vector<TControl*>& Controls() const { return FControls; }
  TControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TControl* Control);
  // Moves the focus to the next (or previous) control in tab order that can take it.
  void SelectNext(bool Forward);
  // The first control in tab order that can take the focus, or null.
  TControl* FirstFocusable() const;
  // The controls that can take the focus, in tab order (equal positions: creation order).
  std::vector<TControl*> TabOrderList() const;
  // Backends: the platform moved the focus to Control (by a click or by Tab).
  void FocusMoved(TControl* Control) { FActiveControl = Control; }
  // Backends: the window was activated; the focus goes to the active control, or to the
  // first control in tab order that can take it.
  void Activated();

  // Creates the platform window with its controls and shows it; showing it again also
  // gives controls made since then their platform windows.
  void Show();
  void Close();  // OnClose, then the window is closed (the main form ends the application)
  bool Showing() const { return FShowing; }
  // Backends: the window is shown (true) or hidden (false).
  void SetShowing(bool Value) { FShowing = Value; }

  // Runs OnCreate inside a guard: a failure goes to Application()->HandleException.
  void DoCreate();

  TNotifyEvent OnCreate;
  TCloseEvent OnClose;

 private:
  friend class TControl;
  void InsertControl(TControl* Control);
  void RemoveControl(TControl* Control);

  std::string FCaption;
  int FClientWidth = 0, FClientHeight = 0;
  std::uint32_t FColor = 0xFFFFFF;
  std::string FFontName = "Tahoma";
  int FFontHeight = 12;
  std::vector<TControl*> FControls;
  TControl* FActiveControl = nullptr;
  bool FShowing = false;
};

}  // namespace vantor
