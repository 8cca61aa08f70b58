#include "tests/framework/qt/qt_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

namespace vantor {

namespace {

// Qt's own switch for running widgets without a display; one QApplication per process.
class TQtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FApp = std::make_unique<QApplication>(FArgc, FArgv);
  }
  void TearDown() override { FApp.reset(); }

 private:
  int FArgc = 1;
  char FName[20] = "framework_qt_tests";
  char* FArgv[2] = {FName, nullptr};
  std::unique_ptr<QApplication> FApp;
};

// gtest owns the environment.
// NOLINTBEGIN(cppcoreguidelines-owning-memory): AddGlobalTestEnvironment takes ownership
[[maybe_unused]] ::testing::Environment* const QtEnvironment =
    ::testing::AddGlobalTestEnvironment(new TQtEnvironment);
// NOLINTEND(cppcoreguidelines-owning-memory)

}  // namespace

std::unique_ptr<TApplication> MakeTestApplication(const TQtApplicationOptions& Options) {
  static int Argc = 1;
  static char Name[] = "framework_qt_tests";
  static char* Argv[] = {Name, nullptr};
  return MakeQtApplication(Argc, Argv, Options);
}

// Polls from Qt's own event loop, which runs inside the box's modal loop.
class TBoxCloser::TWatcher : public QTimer {
 public:
  explicit TWatcher(TBoxCloser& Owner) : FOwner(Owner) {
    setInterval(5);
    QObject::connect(this, &QTimer::timeout, [this] { Check(); });
    start();
  }

 private:
  void Check() {
    auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!Box || !Box->isVisible())
      return;
    stop();
    FOwner.FBox.Caption = Box->windowTitle().toStdString();
    FOwner.FBox.Text = Box->text().toStdString();
    FOwner.FBox.Icon = Box->icon();
    const Qt::TextInteractionFlags Selectable =
        Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    FOwner.FBox.TextSelectable = (Box->textInteractionFlags() & Selectable) == Selectable;
    for (QAbstractButton* Button : Box->buttons())
      FOwner.FBox.Buttons.push_back(Button->text().toStdString());
    if (FOwner.FInside)
      FOwner.FInside();
    QTest::keyClick(Box, Qt::Key_Escape);
    FOwner.FClosed = true;
  }

  TBoxCloser& FOwner;
};

TBoxCloser::TBoxCloser(std::function<void()> Inside)
    : FWatcher(std::make_unique<TWatcher>(*this)), FInside(std::move(Inside)) {}

TBoxCloser::~TBoxCloser() = default;

bool ProcessUntil(const std::function<bool()>& Done, int TimeoutMs) {
  return QTest::qWaitFor(Done, TimeoutMs);
}

}  // namespace vantor
