#include "framework/qt/accessible_widgets.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QVariant>

#include <vector>

#include "framework/qt/status_bar_widget.h"

namespace vantor {

namespace {

// A panel for assistive technology: a static text, named as a screen reader should read it.
// It has no object of its own; its bar's interface owns it.
class TPanelAccessible : public QAccessibleInterface {
 public:
  TPanelAccessible(TStatusBarWidget* Bar, int Index) : FBar(Bar), FIndex(Index) {}

  bool isValid() const override { return FBar && FIndex < FBar->PanelCount(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return FBar ? FBar->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(FBar.data());
  }
  QAccessibleInterface* child(int /*Index*/) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface* /*Child*/) const override { return -1; }
  QAccessibleInterface* childAt(int /*X*/, int /*Y*/) const override { return nullptr; }
  QString text(QAccessible::Text Kind) const override {
    return Kind == QAccessible::Name && isValid() ? FBar->PanelAccessibleName(FIndex) : QString();
  }
  void setText(QAccessible::Text /*Kind*/, const QString& /*Text*/) override {}
  QRect rect() const override {
    if (!isValid())
      return {};
    const QRect Local = FBar->PanelRect(FIndex);
    return {FBar->mapToGlobal(Local.topLeft()), Local.size()};
  }
  QAccessible::Role role() const override { return QAccessible::StaticText; }
  QAccessible::State state() const override {
    QAccessible::State State;
    State.invisible = !FBar || !FBar->isVisible();
    return State;
  }

 private:
  QPointer<TStatusBarWidget> FBar;
  int FIndex;
};

// The bar for assistive technology: a status bar whose children are its panels.
class TStatusBarAccessible : public QAccessibleWidget {
 public:
  explicit TStatusBarAccessible(TStatusBarWidget* Bar)
      : QAccessibleWidget(Bar, QAccessible::StatusBar) {}
  ~TStatusBarAccessible() override {
    for (const QAccessible::Id Id : FPanels)
      QAccessible::deleteAccessibleInterface(Id);
  }
  TStatusBarAccessible(const TStatusBarAccessible&) = delete;
  TStatusBarAccessible& operator=(const TStatusBarAccessible&) = delete;

  int childCount() const override { return Bar()->PanelCount(); }
  QAccessibleInterface* child(int Index) const override {
    if (Index < 0 || Index >= childCount())
      return nullptr;
    while (static_cast<int>(FPanels.size()) <= Index) {
      // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): the registry owns it until deleted
      auto* Panel = new TPanelAccessible(Bar(), static_cast<int>(FPanels.size()));
      FPanels.push_back(QAccessible::registerAccessibleInterface(Panel));
    }
    return QAccessible::accessibleInterface(FPanels.at(static_cast<std::size_t>(Index)));
  }
  int indexOfChild(const QAccessibleInterface* Child) const override {
    for (int I = 0; I < static_cast<int>(FPanels.size()); ++I)
      if (QAccessible::accessibleInterface(FPanels.at(static_cast<std::size_t>(I))) == Child)
        return I;
    return -1;
  }
  QAccessibleInterface* childAt(int X, int Y) const override {
    const QPoint Local = Bar()->mapFromGlobal(QPoint(X, Y));
    for (int I = 0; I < childCount(); ++I)
      if (Bar()->PanelRect(I).contains(Local))
        return child(I);
    return nullptr;
  }

 private:
  TStatusBarWidget* Bar() const { return static_cast<TStatusBarWidget*>(widget()); }
  mutable std::vector<QAccessible::Id> FPanels;  // made when first asked for
};

const char* const kRoleProperty = "vantorAccessibleRole";

// Qt's accessibility cache owns what this makes.
QAccessibleInterface* Factory(const QString& /*ClassName*/, QObject* Object) {
  auto* Widget = qobject_cast<QWidget*>(Object);
  if (!Widget)
    return nullptr;
  // NOLINTBEGIN(cppcoreguidelines-owning-memory)
  if (auto* Bar = dynamic_cast<TStatusBarWidget*>(Widget))
    return new TStatusBarAccessible(Bar);
  const QVariant Role = Widget->property(kRoleProperty);
  if (Role.isValid())
    return new QAccessibleWidget(Widget, static_cast<QAccessible::Role>(Role.toInt()));
  // NOLINTEND(cppcoreguidelines-owning-memory)
  return nullptr;
}

}  // namespace

void InstallAccessibleWidgets() {
  static const bool Installed = [] {
    QAccessible::installFactory(&Factory);
    return true;
  }();
  (void)Installed;
}

void SetAccessibleRole(QWidget& Widget, QAccessible::Role Role) {
  Widget.setProperty(kRoleProperty, static_cast<int>(Role));
}

}  // namespace vantor
