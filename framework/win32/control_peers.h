// The peers of the controls on a form: each wraps a real child window (BUTTON, STATIC,
// msctls_hotkey32, the status bar, or the backend's own image window).
#pragma once

#include <memory>

#include "framework/backend.h"
#include "framework/controls.h"
#include "framework/win32/accessible_names.h"
#include "base/win32/handles.h"

namespace vantor {

class TFormWindow;

class TWin32ControlPeer : public TControlPeer, public IAccessibleNames {
 public:
  TWin32ControlPeer(TControl& Control, TFormWindow& Form);
  ~TWin32ControlPeer() override;
  TWin32ControlPeer(const TWin32ControlPeer&) = delete;
  TWin32ControlPeer& operator=(const TWin32ControlPeer&) = delete;

  HWND Handle() const { return FHandle.Get(); }
  TControl& Control() const { return FControl; }

  // The names assistive technology is given: the control's own, and its parts'.
  std::string AccessibleName(long Child) const override;
  const TAccessibleNamesLink& NamesLink() const { return FNamesLink; }

  // Bounds, enabled and visible state, then what the kind shows (UpdateContent).
  void StateChanged() override;
  void Focus() override;

  // Reports of the child window to its parent (WM_COMMAND codes, WM_NOTIFY codes).
  virtual void Command(WORD /*Code*/) {}
  virtual void Notify(UINT /*Code*/) {}
  virtual void ParentResized() {}

 protected:
  // Makes the child window (called by the kinds' constructors) and applies the state.
  void Create(const wchar_t* ClassName, DWORD Style, DWORD ExStyle = 0, bool UseFormFont = true);
  void Adopt(HWND Window, bool UseFormFont);
  virtual void UpdateContent() {}

  TControl& FControl;
  TFormWindow& FForm;

 private:
  TWindowHandle FHandle;
  TAccessibleNamesLink FNamesLink;  // to this peer; gone with it
};

// The peer for a control of any kind the backend knows; null for an unknown kind.
std::unique_ptr<TWin32ControlPeer> MakeControlPeer(TControl& Control, TFormWindow& Form);

}  // namespace vantor
