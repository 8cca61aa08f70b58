#include "framework/qt/control_peers.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "framework/qt/accessible_widgets.h"
#include "framework/qt/hotkey_edit.h"
#include "framework/qt/qt_backend.h"
#include "framework/qt/qt_conversions.h"
#include "framework/qt/status_bar_widget.h"

namespace vantor {

// Keeps the form's idea of the focused control true, whatever moved the focus.
class TQtControlPeer::TFocusWatcher : public QObject {
 public:
  explicit TFocusWatcher(TControl& Control) : FControl(Control) {}

 protected:
  bool eventFilter(QObject* /*Watched*/, QEvent* Event) override {
    if (Event->type() == QEvent::FocusIn && FControl.Parent())
      FControl.Parent()->FocusMoved(&FControl);
    return false;
  }

 private:
  TControl& FControl;
};

namespace {

class TLabelPeer : public TQtControlPeer {
 public:
  TLabelPeer(TLabel& Label, QWidget& Parent)
      : TQtControlPeer(Label, new QLabel(&Parent)), FLabel(Label) {
    auto* Widget = static_cast<QLabel*>(this->Widget());
    Widget->setTextFormat(Qt::PlainText);
    Widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Widget->setWordWrap(true);  // as the Windows static control breaks its lines
    StateChanged();
  }

 protected:
  void UpdateContent() override {
    static_cast<QLabel*>(Widget())->setText(ToQString(FLabel.Caption()));
  }

 private:
  TLabel& FLabel;
};

class TButtonPeer : public TQtControlPeer {
 public:
  TButtonPeer(TButton& Button, QWidget& Parent)
      : TQtControlPeer(Button, new QPushButton(&Parent)), FButton(Button) {
    auto* Widget = static_cast<QPushButton*>(this->Widget());
    Widget->setAutoDefault(false);
    Widget->setDefault(FButton.Default());
    QObject::connect(Widget, &QPushButton::clicked,
                     [this] { GuardedCall(&FButton, [this] { FButton.Click(); }); });
    StateChanged();
  }

 protected:
  void UpdateContent() override {
    static_cast<QPushButton*>(Widget())->setText(ToQString(FButton.Caption()));
  }

 private:
  TButton& FButton;
};

class TCheckBoxPeer : public TQtControlPeer {
 public:
  TCheckBoxPeer(TCheckBox& Box, QWidget& Parent)
      : TQtControlPeer(Box, new QCheckBox(&Parent)), FBox(Box) {
    // Only a user's click: the widget has toggled itself already; bringing the check box
    // to the same state fires OnClick, as the change is real.
    QObject::connect(static_cast<QCheckBox*>(Widget()), &QCheckBox::clicked, [this](bool Checked) {
      GuardedCall(&FBox, [this, Checked] { FBox.SetChecked(Checked); });
    });
    StateChanged();
  }

 protected:
  void UpdateContent() override {
    auto* Widget = static_cast<QCheckBox*>(this->Widget());
    Widget->setText(ToQString(FBox.Caption()));
    Widget->setChecked(FBox.Checked());
  }

 private:
  TCheckBox& FBox;
};

class THotKeyPeer : public TQtControlPeer {
 public:
  THotKeyPeer(THotKey& Field, QWidget& Parent)
      : TQtControlPeer(Field, new THotKeyEdit(&Parent)), FField(Field) {
    Edit().OnUserChange = [this] { GuardedCall(&FField, [this] { FField.ControlChanged(); }); };
    StateChanged();
  }
  void SetHotKeyWord(std::uint16_t Word) override { Edit().SetWord(Word); }
  std::uint16_t HotKeyWord() const override { return Edit().Word(); }
  void SetHotKeyRules(std::uint8_t InvalidKeys, std::uint8_t Modifiers) override {
    Edit().SetRules(InvalidKeys, Modifiers);
  }

 private:
  THotKeyEdit& Edit() const { return *static_cast<THotKeyEdit*>(Widget()); }
  THotKey& FField;
};

class TStatusBarPeer : public TQtControlPeer {
 public:
  TStatusBarPeer(TStatusBar& Bar, QWidget& Parent)
      : TQtControlPeer(Bar, new TStatusBarWidget(&Parent)), FBar(Bar) {
    StateChanged();
  }
  void PanelChanged(int /*Index*/) override { UpdateContent(); }
  void PanelHintChanged(int /*Index*/) override { UpdateContent(); }

 protected:
  void UpdateContent() override {
    std::vector<TStatusPanel> Panels;
    std::vector<std::string> Hints;
    for (int I = 0; I < FBar.PanelCount(); ++I) {
      Panels.push_back(FBar.Panel(I));
      Hints.push_back(FBar.PanelHint(I));
    }
    static_cast<TStatusBarWidget*>(Widget())->SetPanels(std::move(Panels), std::move(Hints));
  }

 private:
  TStatusBar& FBar;
};

// The picture at one device pixel per picture pixel, drawn for the screen's device-pixel
// ratio so that a scaled display shows it sharp at the same size; the rest of the area is
// the form's background.
class TPictureWidget : public QWidget {
 public:
  TPictureWidget(TImage& Image, QWidget& Parent) : QWidget(&Parent), FImage(Image) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetAccessibleRole(*this, QAccessible::Graphic);
  }
  void PictureChanged() {
    FDrawn = QImage();
    update();
  }

 protected:
  void paintEvent(QPaintEvent* /*Event*/) override {
    QPainter Painter(this);
    Painter.fillRect(rect(), palette().color(QPalette::Window));
    const double Ratio = devicePixelRatioF();
    if (FDrawn.isNull() || FDrawnRatio != Ratio) {
      GuardedCall(&FImage, [&] { FDrawn = ToQImage(FImage.PictureAt(Ratio)); });
      FDrawnRatio = Ratio;
      FDrawn.setDevicePixelRatio(FImage.Picture().Width > 0 && FDrawn.width() > 0
                                     ? double(FDrawn.width()) / FImage.Picture().Width
                                     : 1.0);
    }
    if (!FDrawn.isNull())
      Painter.drawImage(QPointF(0, 0), FDrawn);
  }

 private:
  TImage& FImage;
  QImage FDrawn;
  double FDrawnRatio = 0;
};

class TImagePeer : public TQtControlPeer {
 public:
  TImagePeer(TImage& Image, QWidget& Parent)
      : TQtControlPeer(Image, new TPictureWidget(Image, Parent)) {
    StateChanged();
  }

 protected:
  void UpdateContent() override { static_cast<TPictureWidget*>(Widget())->PictureChanged(); }
};

}  // namespace

TQtControlPeer::TQtControlPeer(TControl& Control, QWidget* Widget)
    : FControl(Control), FWidget(Widget), FWatcher(std::make_unique<TFocusWatcher>(Control)) {
  Widget->installEventFilter(FWatcher.get());
  Widget->setFocusPolicy(Control.TabOrder() >= 0 ? Qt::StrongFocus : Qt::NoFocus);
}

TQtControlPeer::~TQtControlPeer() {
  delete FWidget.data();  // a child widget: Qt would free it with the form's window otherwise
}

void TQtControlPeer::StateChanged() {
  QWidget* Widget = FWidget;
  if (!Widget)
    return;
  Widget->setGeometry(FControl.Left(), FControl.Top(), FControl.Width(), FControl.Height());
  Widget->setEnabled(FControl.Enabled());
  Widget->setAccessibleName(ToQString(FControl.AccessibleName()));
  UpdateContent();
  Widget->setVisible(FControl.Visible());
}

void TQtControlPeer::Focus() {
  if (FWidget)
    FWidget->setFocus(Qt::OtherFocusReason);
}

std::unique_ptr<TQtControlPeer> MakeQtControlPeer(TControl& Control, QWidget& Parent) {
  if (auto* Label = dynamic_cast<TLabel*>(&Control))
    return std::make_unique<TLabelPeer>(*Label, Parent);
  if (auto* Button = dynamic_cast<TButton*>(&Control))
    return std::make_unique<TButtonPeer>(*Button, Parent);
  if (auto* Box = dynamic_cast<TCheckBox*>(&Control))
    return std::make_unique<TCheckBoxPeer>(*Box, Parent);
  if (auto* Field = dynamic_cast<THotKey*>(&Control))
    return std::make_unique<THotKeyPeer>(*Field, Parent);
  if (auto* Bar = dynamic_cast<TStatusBar*>(&Control))
    return std::make_unique<TStatusBarPeer>(*Bar, Parent);
  if (auto* Image = dynamic_cast<TImage*>(&Control))
    return std::make_unique<TImagePeer>(*Image, Parent);
  return nullptr;
}

}  // namespace vantor
