// A form's platform window: a fixed-size top-level window that owns its taskbar button,
// with the form's background and font, and the peers of its controls.
#pragma once

#include <map>

#include "framework/backend.h"
#include "framework/controls.h"
#include "base/win32/handles.h"
#include "framework/win32/window_class.h"

namespace vantor {

class TWin32ControlPeer;

class TFormWindow : public TControlPeer, public TWindowProcTarget {
 public:
  // IconId: the program's icon resource, 0 for none.
  TFormWindow(TForm& Form, int IconId);
  ~TFormWindow() override;
  TFormWindow(const TFormWindow&) = delete;
  TFormWindow& operator=(const TFormWindow&) = delete;

  static bool IsFormWindow(HWND Window);

  HWND Handle() const { return FHandle.Get(); }
  TForm& Form() const { return FForm; }
  HFONT Font() const { return static_cast<HFONT>(FFont.Get()); }
  // The system's font for status text (its size follows the system's dots per inch).
  HFONT StatusFont();
  HBRUSH Background() const { return static_cast<HBRUSH>(FBackground.Get()); }

  // Makes the peers of all the form's controls; the z-order follows the tab order, which
  // is the order Tab walks through the controls.
  void CreateControls();
  void Show(bool AsMainForm);
  void Hide();

  void Register(HWND Child, TWin32ControlPeer& Peer) { FChildren[Child] = &Peer; }
  void Unregister(HWND Child) { FChildren.erase(Child); }

  // TControlPeer
  void StateChanged() override;
  // TWindowProcTarget
  LRESULT HandleMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam,
                        bool& Handled) override;

 private:
  void ApplyClientSize(int X, int Y, bool Centre);

  TForm& FForm;
  TWindowHandle FHandle;
  TGdiHandle FFont;
  TGdiHandle FStatusFont;  // made when a status bar first asks for it
  TGdiHandle FBackground;
  std::map<HWND, TWin32ControlPeer*> FChildren;
  bool FShownOnce = false;
};

}  // namespace vantor
