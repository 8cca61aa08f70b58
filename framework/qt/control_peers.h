// The peers of the controls on a form: each owns one child widget of the form's window (a
// QLabel, QPushButton, QCheckBox, the key-capture field, the status bar, or the picture).
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

#include "framework/backend.h"
#include "framework/controls.h"

namespace vantor {

class TQtControlPeer : public TControlPeer {
 public:
  TQtControlPeer(TControl& Control, QWidget* Widget);
  ~TQtControlPeer() override;
  TQtControlPeer(const TQtControlPeer&) = delete;
  TQtControlPeer& operator=(const TQtControlPeer&) = delete;

  QWidget* Widget() const { return FWidget; }

  // Bounds, enabled and visible state, then what the kind shows (UpdateContent).
  void StateChanged() override;
  void Focus() override;

 protected:
  virtual void UpdateContent() {}
  TControl& FControl;

 private:
  class TFocusWatcher;
  QPointer<QWidget> FWidget;  // a child of the form's window, which may have freed it
  std::unique_ptr<TFocusWatcher> FWatcher;
};

// The peer for a control of any kind the backend knows, with its widget made on Parent;
// null for an unknown kind.
std::unique_ptr<TQtControlPeer> MakeQtControlPeer(TControl& Control, QWidget& Parent);

}  // namespace vantor
