// The floor the Linux window's memory is measured against: the smallest Qt Widgets window
// of the same kind (a line edit and a button), on the same Qt, in the same run.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  QWidget Window;
  Window.setWindowTitle(QStringLiteral("Minimal Qt window"));
  // The window owns its layout and widgets, as Qt's parents do.
  auto* Layout = new QVBoxLayout(&Window);    // NOLINT(cppcoreguidelines-owning-memory)
  Layout->addWidget(new QLineEdit(&Window));  // NOLINT(cppcoreguidelines-owning-memory)
  Layout->addWidget(
      new QPushButton(QStringLiteral("OK"), &Window));  // NOLINT(cppcoreguidelines-owning-memory)
  Window.show();
  return QApplication::exec();
}
