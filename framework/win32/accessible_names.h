// Names for assistive technology without a visible label. The window has no labels beside
// its fields (the picture shows what each one is for), so a screen reader would hear three
// unnamed check boxes and three unnamed fields. Each control window answers WM_GETOBJECT
// with the system's own accessible object for it (role, state, value, location, actions
// all as the system gives them), wrapped so that its name, and the names of a status bar's
// panels, are the control's. Nothing is drawn differently.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace vantor {

// Where the names come from: the control's peer, while it exists.
class IAccessibleNames {
 public:
  virtual ~IAccessibleNames() = default;
  // The name of child Child (0: the window itself; 1 to Parts(): its parts, a status bar's
  // panels); "" keeps the system's name.
  virtual std::string AccessibleName(long Child) const = 0;
  virtual long AccessibleParts() const { return 0; }
};

// The peer holds the only owning link to itself (which frees nothing); an object a screen
// reader still holds after the peer has gone finds its weak link expired and answers as
// the system's object does for a window that is gone.
using TAccessibleNamesLink = std::shared_ptr<const IAccessibleNames>;

// The answer to WM_GETOBJECT for Window: the wrapped object when the client area is asked
// for and the names say something, else 0 (the message goes on to the control).
LRESULT AnswerGetObject(HWND Window, WPARAM WParam, LPARAM LParam,
                        const TAccessibleNamesLink& Names);

// COM on the window thread, which handing out accessible objects needs: initialised as a
// single-threaded apartment for the thread's life, when no one has chosen otherwise.
class TComApartment {
 public:
  TComApartment();
  ~TComApartment();
  TComApartment(const TComApartment&) = delete;
  TComApartment& operator=(const TComApartment&) = delete;

 private:
  bool FInitialised = false;
};

}  // namespace vantor
