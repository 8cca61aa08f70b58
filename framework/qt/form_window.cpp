#include "framework/qt/form_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QScreen>
#include <QWidget>

#include <algorithm>

#include "framework/qt/accessible_widgets.h"
#include "framework/qt/control_peers.h"
#include "framework/qt/qt_backend.h"
#include "framework/qt/qt_conversions.h"

namespace vantor {

// The top-level widget: hands the title bar's close and the window's activation to the
// form.
class TQtFormWindow::TWindow : public QWidget {
 public:
  explicit TWindow(TForm& Form)
      : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                             Qt::WindowCloseButtonHint),
        FForm(Form) {
    SetAccessibleRole(*this, QAccessible::Window);  // a frame to a screen reader
  }

 protected:
  void closeEvent(QCloseEvent* Event) override {
    // The form decides (its OnClose may keep it open) and hides the window itself.
    Event->ignore();
    GuardedCall(&FForm, [this] { FForm.Close(); });
  }
  void changeEvent(QEvent* Event) override {
    if (Event->type() == QEvent::ActivationChange && isActiveWindow())
      GuardedCall(&FForm, [this] { FForm.Activated(); });
    QWidget::changeEvent(Event);
  }

 private:
  TForm& FForm;
};

QFont FormFont(const TForm& Form) {
  QFont Font(ToQString(Form.FontName()));
  Font.setPixelSize(Form.FontHeight());
  if (QFontInfo(Font).family().compare(Font.family(), Qt::CaseInsensitive) != 0) {
    Font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    Font.setPixelSize(Form.FontHeight());
  }
  return Font;
}

TQtFormWindow::TQtFormWindow(TForm& Form) : FForm(Form), FWindow(std::make_unique<TWindow>(Form)) {
  FWindow->setAutoFillBackground(true);
  QPalette Colours = FWindow->palette();
  Colours.setColor(QPalette::Window, ToQColor(Form.Color()));
  FWindow->setPalette(Colours);
  FWindow->setFont(FormFont(Form));
  StateChanged();
}

TQtFormWindow::~TQtFormWindow() = default;

QWidget* TQtFormWindow::Widget() const {
  return FWindow.get();
}

void TQtFormWindow::CreateControls() {
  const std::vector<TControl*> Focusable = AttachControlPeers(
      FForm, [this](TControl& Control) { return MakeQtControlPeer(Control, *FWindow); });
  for (std::size_t I = 1; I < Focusable.size(); ++I) {
    QWidget::setTabOrder(QtWidgetOf(*Focusable[I - 1]), QtWidgetOf(*Focusable[I]));
  }
}

void TQtFormWindow::Show() {
  if (!FShownOnce) {
    // Centred on the available area of its screen, never left of or above it. The frame a
    // window manager adds is not known yet: the client area is centred. (Wayland places
    // windows itself and ignores this.)
    if (QScreen* Screen = FWindow->screen()) {
      const QRect Area = Screen->availableGeometry();
      const QSize Size = FWindow->size();
      FWindow->move(std::max(Area.left(), Area.left() + (Area.width() - Size.width()) / 2),
                    std::max(Area.top(), Area.top() + (Area.height() - Size.height()) / 2));
    }
    FShownOnce = true;
  }
  FWindow->show();
  FWindow->activateWindow();
  if (FWindow->isActiveWindow())
    FForm.Activated();
}

void TQtFormWindow::Hide() {
  FWindow->hide();
}

void TQtFormWindow::StateChanged() {
  FWindow->setWindowTitle(ToQString(FForm.Caption()));
  // Fixed: the window manager offers no resizing, and no maximising with it.
  FWindow->setFixedSize(FForm.ClientWidth(), FForm.ClientHeight());
}

QWidget* QtWidgetOf(const TControl& Control) {
  if (const auto* Window = dynamic_cast<const TQtFormWindow*>(Control.Peer()))
    return Window->Widget();
  if (const auto* Peer = dynamic_cast<const TQtControlPeer*>(Control.Peer()))
    return Peer->Widget();
  return nullptr;
}

}  // namespace vantor
