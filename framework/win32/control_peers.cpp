#include "framework/win32/control_peers.h"

#include <commctrl.h>

#include <vector>

#include "framework/application.h"
#include "framework/win32/accessible_names.h"
#include "framework/win32/form_window.h"
#include "framework/win32/image_window.h"
#include "base/utf.h"

namespace vantor {

namespace {

// Keeps the form's idea of the focused control true, whatever moved the focus, and gives
// assistive technology the control's names.
LRESULT CALLBACK ControlSubclass(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam,
                                 UINT_PTR /*Id*/, DWORD_PTR Data) {
  auto* Peer = reinterpret_cast<TWin32ControlPeer*>(Data);
  if (Msg == WM_SETFOCUS) {
    TControl& Control = Peer->Control();
    if (Control.Parent())
      Control.Parent()->FocusMoved(&Control);
  } else if (Msg == WM_GETOBJECT) {
    if (const LRESULT Answer = AnswerGetObject(Window, WParam, LParam, Peer->NamesLink()))
      return Answer;
  } else if (Msg == WM_NCDESTROY) {
    ::RemoveWindowSubclass(Window, &ControlSubclass, 0);
  }
  return ::DefSubclassProc(Window, Msg, WParam, LParam);
}

class TLabelPeer : public TWin32ControlPeer {
 public:
  TLabelPeer(TLabel& Label, TFormWindow& Form) : TWin32ControlPeer(Label, Form), FLabel(Label) {
    Create(L"STATIC", SS_LEFT | SS_NOPREFIX);
  }

 protected:
  void UpdateContent() override { ::SetWindowTextW(Handle(), Widen(FLabel.Caption()).c_str()); }

 private:
  TLabel& FLabel;
};

class TButtonPeer : public TWin32ControlPeer {
 public:
  TButtonPeer(TButton& Button, TFormWindow& Form)
      : TWin32ControlPeer(Button, Form), FButton(Button) {
    Create(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP);
  }
  void Command(WORD Code) override {
    if (Code == BN_CLICKED)
      FButton.Click();
  }

 protected:
  void UpdateContent() override { ::SetWindowTextW(Handle(), Widen(FButton.Caption()).c_str()); }

 private:
  TButton& FButton;
};

class TCheckBoxPeer : public TWin32ControlPeer {
 public:
  TCheckBoxPeer(TCheckBox& Box, TFormWindow& Form) : TWin32ControlPeer(Box, Form), FBox(Box) {
    Create(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP);
  }
  void Command(WORD Code) override {
    // The control has toggled itself already: bring the check box to the same state,
    // which fires OnClick as the change is real.
    if (Code == BN_CLICKED) {
      FBox.SetChecked(::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
  }

 protected:
  void UpdateContent() override {
    ::SetWindowTextW(Handle(), Widen(FBox.Caption()).c_str());
    ::SendMessageW(Handle(), BM_SETCHECK, FBox.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }

 private:
  TCheckBox& FBox;
};

class THotKeyPeer : public TWin32ControlPeer {
 public:
  THotKeyPeer(THotKey& Field, TFormWindow& Form) : TWin32ControlPeer(Field, Form), FField(Field) {
    Create(HOTKEY_CLASSW, WS_TABSTOP, WS_EX_CLIENTEDGE);
  }
  void SetHotKeyWord(std::uint16_t Word) override {
    ::SendMessageW(Handle(), HKM_SETHOTKEY, Word, 0);
  }
  std::uint16_t HotKeyWord() const override {
    return static_cast<std::uint16_t>(::SendMessageW(Handle(), HKM_GETHOTKEY, 0, 0) & 0xFFFF);
  }
  void SetHotKeyRules(std::uint8_t InvalidKeys, std::uint8_t Modifiers) override {
    ::SendMessageW(Handle(), HKM_SETRULES, InvalidKeys, MAKELPARAM(Modifiers, 0));
  }
  void Command(WORD Code) override {
    if (Code == EN_CHANGE)
      FField.ControlChanged();
  }

 private:
  THotKey& FField;
};

class TStatusBarPeer : public TWin32ControlPeer {
 public:
  TStatusBarPeer(TStatusBar& Bar, TFormWindow& Form) : TWin32ControlPeer(Bar, Form), FBar(Bar) {
    // The control would size and place itself from its font (at 144 dpi it grew into the
    // controls above it): it keeps its bounds instead, and docking is done here.
    Create(STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE, 0, false);
    // The system's status font, not the form's.
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Form.StatusFont()), TRUE);
  }
  void PanelChanged(int Index) override { SetPanelText(Index); }
  std::string AccessibleName(long Child) const override {
    return Child == CHILDID_SELF ? TWin32ControlPeer::AccessibleName(Child)
                                 : PanelAccessibleName(FBar.Panel(static_cast<int>(Child) - 1));
  }
  long AccessibleParts() const override { return FBar.PanelCount(); }
  // Docked to the bottom edge: its own height, the client area's width.
  void ParentResized() override {
    if (::IsIconic(FForm.Handle()))
      return;
    RECT Client;
    ::GetClientRect(FForm.Handle(), &Client);
    FBar.SetBounds(0, Client.bottom - FBar.Height(), Client.right, FBar.Height());
  }

 protected:
  void UpdateContent() override {
    const int Count = FBar.PanelCount();
    std::vector<int> Edges;
    int Edge = 0;
    for (int I = 0; I < Count; ++I) {
      Edge += FBar.Panel(I).Width;
      // The last panel reaches the right edge, whatever its width.
      Edges.push_back(I + 1 == Count ? -1 : Edge);
    }
    ::SendMessageW(Handle(), SB_SETPARTS, static_cast<WPARAM>(Count),
                   reinterpret_cast<LPARAM>(Edges.data()));
    for (int I = 0; I < Count; ++I)
      SetPanelText(I);
  }

 private:
  void SetPanelText(int Index) {
    const TStatusPanel& Panel = FBar.Panel(Index);
    WPARAM Flags = static_cast<WPARAM>(Index);
    if (Panel.Bevel == pbNone)
      Flags |= SBT_NOBORDERS;
    if (Panel.Bevel == pbRaised)
      Flags |= SBT_POPOUT;
    // The status bar aligns the text after a tab in the centre, after two on the right.
    std::wstring Text = Widen(Panel.Text);
    if (Panel.Alignment == taCenter)
      Text.insert(0, L"\t");
    if (Panel.Alignment == taRightJustify)
      Text.insert(0, L"\t\t");
    ::SendMessageW(Handle(), SB_SETTEXTW, Flags, reinterpret_cast<LPARAM>(Text.c_str()));
  }

  TStatusBar& FBar;
};

class TImagePeer : public TWin32ControlPeer {
 public:
  TImagePeer(TImage& Image, TFormWindow& Form)
      : TWin32ControlPeer(Image, Form), FWindow(Image, Form.Handle(), Form.Form().Color()) {
    Adopt(FWindow.Handle(), false);
  }

 protected:
  void UpdateContent() override { FWindow.PictureChanged(); }

 private:
  TImageWindow FWindow;  // the window's procedure target; the peer owns the window
};

}  // namespace

TWin32ControlPeer::TWin32ControlPeer(TControl& Control, TFormWindow& Form)
    : FControl(Control),
      FForm(Form),
      FNamesLink(static_cast<const IAccessibleNames*>(this), [](const IAccessibleNames*) {}) {}

TWin32ControlPeer::~TWin32ControlPeer() {
  FForm.Unregister(FHandle.Get());
}

std::string TWin32ControlPeer::AccessibleName(long Child) const {
  return Child == CHILDID_SELF ? FControl.AccessibleName() : std::string();
}

void TWin32ControlPeer::Create(const wchar_t* ClassName, DWORD Style, DWORD ExStyle,
                               bool UseFormFont) {
  HWND Window = ::CreateWindowExW(ExStyle, ClassName, L"", WS_CHILD | Style, FControl.Left(),
                                  FControl.Top(), FControl.Width(), FControl.Height(),
                                  FForm.Handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
  Adopt(Window, UseFormFont);
}

void TWin32ControlPeer::Adopt(HWND Window, bool UseFormFont) {
  FHandle.Reset(Window);
  FForm.Register(Window, *this);
  ::SetWindowSubclass(Window, &ControlSubclass, 0, reinterpret_cast<DWORD_PTR>(this));
  if (UseFormFont)
    ::SendMessageW(Window, WM_SETFONT, reinterpret_cast<WPARAM>(FForm.Font()), 0);
  StateChanged();
}

void TWin32ControlPeer::StateChanged() {
  HWND Window = Handle();
  ::SetWindowPos(Window, nullptr, FControl.Left(), FControl.Top(), FControl.Width(),
                 FControl.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  ::EnableWindow(Window, FControl.Enabled());
  UpdateContent();
  ::ShowWindow(Window, FControl.Visible() ? SW_SHOWNA : SW_HIDE);
}

void TWin32ControlPeer::Focus() {
  ::SetFocus(Handle());
}

std::unique_ptr<TWin32ControlPeer> MakeControlPeer(TControl& Control, TFormWindow& Form) {
  if (auto* Label = dynamic_cast<TLabel*>(&Control))
    return std::make_unique<TLabelPeer>(*Label, Form);
  if (auto* Button = dynamic_cast<TButton*>(&Control)) {
    return std::make_unique<TButtonPeer>(*Button, Form);
  }
  if (auto* Box = dynamic_cast<TCheckBox*>(&Control))
    return std::make_unique<TCheckBoxPeer>(*Box, Form);
  if (auto* Field = dynamic_cast<THotKey*>(&Control)) {
    return std::make_unique<THotKeyPeer>(*Field, Form);
  }
  if (auto* Bar = dynamic_cast<TStatusBar*>(&Control)) {
    return std::make_unique<TStatusBarPeer>(*Bar, Form);
  }
  if (auto* Image = dynamic_cast<TImage*>(&Control)) {
    return std::make_unique<TImagePeer>(*Image, Form);
  }
  return nullptr;
}

}  // namespace vantor
