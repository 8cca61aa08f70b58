// A form's window on Qt: a fixed-size top-level widget with the form's caption, white
// background and font, no maximise button, centred on its screen when first shown, and the
// peers of its controls. Closing it from the title bar closes the form.
#pragma once

#include <QFont>

#include <memory>

#include "framework/backend.h"
#include "framework/controls.h"

class QWidget;

namespace vantor {

class TQtFormWindow : public TControlPeer {
 public:
  explicit TQtFormWindow(TForm& Form);
  ~TQtFormWindow() override;
  TQtFormWindow(const TQtFormWindow&) = delete;
  TQtFormWindow& operator=(const TQtFormWindow&) = delete;

  QWidget* Widget() const;

  // Makes the peers of the form's controls that have none yet, and chains the focusable
  // ones in tab order (Tab and Shift+Tab walk that chain, skipping disabled and hidden).
  void CreateControls();
  void Show();
  void Hide();

  // TControlPeer: caption or client size changed.
  void StateChanged() override;

 private:
  class TWindow;
  TForm& FForm;
  std::unique_ptr<TWindow> FWindow;
  bool FShownOnce = false;
};

// The form's font, or the desktop's sans-serif at the same pixel size where that family is
// not installed.
QFont FormFont(const TForm& Form);

}  // namespace vantor
