#include "framework/qt/qt_backend.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QIcon>
#include <QPixmap>
#include <QStyle>
#include <QTimerEvent>
#include <QWidget>

#include "framework/application.h"
#include "framework/controls.h"
#include "framework/qt/accessible_widgets.h"
#include "framework/qt/form_window.h"
#include "framework/qt/message_box.h"
#include "framework/qt/qt_conversions.h"

namespace vantor {

namespace {

QEvent::Type WakeEventType() {
  static const auto Type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return Type;
}

// The same look on every desktop: Fusion with its own light palette, so the white window
// never shows white text under a dark theme and the fixed sizes hold whatever the style.
void UseLightFusion() {
  if (QStyle* Style = QApplication::setStyle(QStringLiteral("Fusion")))
    QApplication::setPalette(Style->standardPalette());
}

QIcon IconOf(const std::vector<TBitmap32>& Images) {
  QIcon Icon;
  for (const TBitmap32& Image : Images) {
    const QImage Converted = ToQImage(Image);
    if (!Converted.isNull())
      Icon.addPixmap(QPixmap::fromImage(Converted));
  }
  return Icon;
}

}  // namespace

// Qt delivers timer ticks and the posted wake-up to a QObject of the main thread.
class TQtBackend::TEventTarget : public QObject {
 public:
  explicit TEventTarget(TQtBackend& Backend) : FBackend(Backend) {}

 protected:
  void timerEvent(QTimerEvent* Event) override { FBackend.TimerFired(Event->timerId()); }
  void customEvent(QEvent* Event) override {
    if (Event->type() == WakeEventType())
      FBackend.Woken();
  }

 private:
  TQtBackend& FBackend;
};

TQtBackend::TQtBackend(int& Argc, char** Argv, const TQtApplicationOptions& Options) {
  if (!Options.ApplicationName.empty())
    QCoreApplication::setApplicationName(ToQString(Options.ApplicationName));
  if (!Options.Version.empty())
    QCoreApplication::setApplicationVersion(ToQString(Options.Version));
  if (!Options.DesktopFileName.empty())
    QGuiApplication::setDesktopFileName(ToQString(Options.DesktopFileName));
  if (!QApplication::instance())
    FOwnQtApp = std::make_unique<QApplication>(Argc, Argv);
  InstallAccessibleWidgets();
  UseLightFusion();
  // The framework ends the program when the main form closes; Qt must not end a loop on
  // its own when the last window goes.
  QApplication::setQuitOnLastWindowClosed(false);
  if (!Options.Icon.empty())
    QApplication::setWindowIcon(IconOf(Options.Icon));
  FTarget = std::make_unique<TEventTarget>(*this);
}

TQtBackend::~TQtBackend() {
  for (const auto& Timer : FTimers)
    FTarget->killTimer(Timer.second.QtId);
  FTarget.reset();  // wake events still queued for it go with it
}

std::string TQtBackend::ExeName() const {
  return FromQString(QCoreApplication::applicationFilePath());
}

void TQtBackend::RunLoop() {
  while (FApp && !FApp->Terminated()) {
    FApp->ServeCrossThreadCalls();
    if (FApp->Terminated())
      break;
    QEventLoop Loop;
    FLoop = &Loop;
    Loop.exec();
    FLoop = nullptr;
  }
}

void TQtBackend::ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (FApp)
    FApp->ServeCrossThreadCalls();
}

void TQtBackend::WakeMainThread() {
  FWake.Set();
  // One wake event in the queue at a time is enough: it serves everything queued.
  if (!FWakePosted.exchange(true))
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): postEvent takes ownership of the event
    QCoreApplication::postEvent(FTarget.get(), new QEvent(WakeEventType()));
}

void TQtBackend::Woken() {
  FWakePosted = false;
  if (!FApp)
    return;
  GuardedCall(FApp, [this] { FApp->ServeCrossThreadCalls(); });
  if (FApp->Terminated() && FLoop)
    FLoop->quit();
}

void TQtBackend::WaitForWake() {
  // Qt's queue is not touched: timers, input and paint events wait, as they do on Windows
  // while a thread is waited for. What other threads send comes through the cross-thread
  // queue, which the caller serves.
  FWake.Wait();
}

int TQtBackend::StartTimer(unsigned IntervalMs, std::function<void()> Tick) {
  const int Id = ++FLastTimerId;  // never reused: a stale tick finds nothing
  const int QtId = FTarget->startTimer(static_cast<int>(IntervalMs), Qt::PreciseTimer);
  FTimers[Id] = TTimerEntry{QtId, std::move(Tick)};
  FIdsByQtId[QtId] = Id;
  return Id;
}

void TQtBackend::StopTimer(int Id) {
  const auto It = FTimers.find(Id);
  if (It == FTimers.end())
    return;
  FTarget->killTimer(It->second.QtId);
  FIdsByQtId.erase(It->second.QtId);
  FTimers.erase(It);
}

void TQtBackend::TimerFired(int QtTimerId) {
  const auto Id = FIdsByQtId.find(QtTimerId);
  if (Id == FIdsByQtId.end())
    return;
  const auto It = FTimers.find(Id->second);
  if (It == FTimers.end())
    return;
  // A copy: the tick may stop, restart or free its own timer.
  const std::function<void()> Tick = It->second.Tick;
  GuardedCall(FApp, Tick);
}

void TQtBackend::ShowForm(TForm& Form) {
  auto* Window = dynamic_cast<TQtFormWindow*>(Form.Peer());
  if (!Window) {
    auto Made = std::make_unique<TQtFormWindow>(Form);
    Window = Made.get();
    Form.SetPeer(std::move(Made));
  }
  Window->CreateControls();
  Window->Show();
}

void TQtBackend::CloseForm(TForm& Form) {
  if (auto* Window = dynamic_cast<TQtFormWindow*>(Form.Peer()))
    Window->Hide();
}

void TQtBackend::MessageBox(TBoxKind Kind, const std::string& Caption, const std::string& Text,
                            const std::string& Button) {
  QWidget* Owner = nullptr;
  if (FApp && FApp->MainForm()) {
    QWidget* Main = QtWidgetOf(*FApp->MainForm());
    if (Main && Main->isVisible())
      Owner = Main;
  }
  ShowQtMessageBox(Owner, Kind != TBoxKind::Notice, Caption, Text, Button);
}

void GuardedCall(TObject* Sender, const std::function<void()>& Call) {
  try {
    Call();
  } catch (...) {
    try {
      if (TApplication* App = Application())
        App->HandleException(Sender);
    } catch (...) {  // the report itself failed: nothing more can be done here
    }
  }
}

std::unique_ptr<TApplication> MakeQtApplication(int& Argc, char** Argv,
                                                const TQtApplicationOptions& Options) {
  return std::make_unique<TApplication>(std::make_unique<TQtBackend>(Argc, Argv, Options));
}

}  // namespace vantor
