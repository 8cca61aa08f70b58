#include "framework/qt/message_box.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

#include "framework/qt/qt_conversions.h"

namespace vantor {

namespace {

class TCentredBox : public QMessageBox {
 public:
  TCentredBox(QWidget* Owner) : QMessageBox(Owner), FOwner(Owner) {}

 protected:
  // The box has its final size here, and is not on the screen yet.
  void showEvent(QShowEvent* Event) override {
    QMessageBox::showEvent(Event);
    QScreen* Screen = FOwner ? FOwner->screen() : QGuiApplication::primaryScreen();
    if (!Screen)
      return;
    const QRect Area = Screen->availableGeometry();
    const QSize Size = frameGeometry().size();
    move(std::max(Area.left(), Area.left() + (Area.width() - Size.width()) / 2),
         std::max(Area.top(), Area.top() + (Area.height() - Size.height()) / 2));
  }

 private:
  QWidget* FOwner;
};

// The messages break lines the Windows way; Qt's plain text wants a bare line feed.
QString PlainLines(const std::string& Text) {
  QString Lines = ToQString(Text);
  Lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Lines.replace(QChar('\r'), QChar('\n'));
  return Lines;
}

}  // namespace

void ShowQtMessageBox(QWidget* Owner, bool ErrorIcon, const std::string& Caption,
                      const std::string& Text, const std::string& Button) {
  TCentredBox Box(Owner);
  Box.setWindowModality(Qt::ApplicationModal);
  Box.setWindowTitle(ToQString(Caption));
  Box.setIcon(ErrorIcon ? QMessageBox::Critical : QMessageBox::NoIcon);
  Box.setTextFormat(Qt::PlainText);
  Box.setText(PlainLines(Text));
  // A port's name, a command to run, the message for a support request: to be copied.
  Box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QPushButton* Only = Box.addButton(ToQString(Button), QMessageBox::AcceptRole);
  Box.setDefaultButton(Only);
  Box.setEscapeButton(Only);
  Box.exec();
}

}  // namespace vantor
