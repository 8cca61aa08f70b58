#include "framework/qt/status_bar_widget.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "framework/qt/qt_conversions.h"

namespace vantor {

namespace {

// The status font of Windows is 9 points at 96 dots per inch: 12 pixels.
constexpr int kFontPixels = 12;
constexpr int kSmallestFontPixels = 8;
constexpr int kTopGap = 2;      // above the panels, as on Windows
constexpr int kPanelGap = 2;    // between two panels
constexpr int kTextMargin = 3;  // inside a panel's border, left and right

}  // namespace

TStatusBarWidget::TStatusBarWidget(QWidget* Parent) : QWidget(Parent) {
  // The desktop's own font for status texts, at the size Windows uses.
  QFont Font = QApplication::font();
  Font.setPixelSize(kFontPixels);
  setFont(Font);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TStatusBarWidget::SetPanels(std::vector<TStatusPanel> Panels, std::vector<std::string> Hints) {
  FPanels = std::move(Panels);
  FHints = std::move(Hints);
  FHints.resize(FPanels.size());
  FitFont();
  update();
  if (QAccessible::isActive()) {
    QAccessibleInterface* Bar = QAccessible::queryAccessibleInterface(this);
    for (int I = 0; Bar && I < PanelCount(); ++I) {
      QAccessibleEvent Changed(Bar->child(I), QAccessible::NameChanged);
      QAccessible::updateAccessibility(&Changed);
    }
  }
}

QString TStatusBarWidget::PanelAccessibleName(int Index) const {
  return ToQString(vantor::PanelAccessibleName(FPanels.at(static_cast<std::size_t>(Index))));
}

QString TStatusBarWidget::PanelText(int Index) const {
  return ToQString(FPanels.at(static_cast<std::size_t>(Index)).Text);
}

QRect TStatusBarWidget::PanelRect(int Index) const {
  int Left = 0;
  for (int I = 0; I < Index; ++I)
    Left += FPanels.at(static_cast<std::size_t>(I)).Width;
  // The last panel reaches the right edge, whatever its width.
  const int Right = Index + 1 == PanelCount()
                        ? width()
                        : Left + FPanels.at(static_cast<std::size_t>(Index)).Width - kPanelGap;
  return QRect(QPoint(Left, kTopGap), QPoint(Right - 1, height() - 1));
}

QRect TStatusBarWidget::PanelTextRect(int Index) const {
  return PanelRect(Index).adjusted(1 + kTextMargin, 1, -1 - kTextMargin, -1);
}

// Panel widths are fixed in pixels for a narrow font (Tahoma, Segoe UI). With a wider one
// the texts would be cut: the font gets smaller until every text shown fits its panel.
// It never grows again, so the bar does not change its look back and forth.
void TStatusBarWidget::FitFont() {
  QFont Font = font();
  for (;;) {
    const QFontMetrics Metrics(Font);
    bool Fits = true;
    for (int I = 0; I < PanelCount() && Fits; ++I)
      Fits = Metrics.horizontalAdvance(PanelText(I)) <= PanelTextRect(I).width();
    if (Fits || Font.pixelSize() <= kSmallestFontPixels)
      break;
    Font.setPixelSize(Font.pixelSize() - 1);
  }
  if (Font != font())
    setFont(Font);
}

void TStatusBarWidget::paintEvent(QPaintEvent* /*Event*/) {
  QPainter Painter(this);
  const QPalette& Colours = palette();
  Painter.fillRect(rect(), Colours.color(QPalette::Button));
  for (int I = 0; I < PanelCount(); ++I) {
    const TStatusPanel& Panel = FPanels.at(static_cast<std::size_t>(I));
    const QRect Frame = PanelRect(I);
    if (Panel.Bevel != pbNone) {
      // Lowered: dark above and left, light below and right; raised the other way round.
      const bool Lowered = Panel.Bevel == pbLowered;
      const QColor Upper = Colours.color(Lowered ? QPalette::Dark : QPalette::Light);
      const QColor Lower = Colours.color(Lowered ? QPalette::Light : QPalette::Dark);
      Painter.setPen(Upper);
      Painter.drawLine(Frame.topLeft(), Frame.topRight());
      Painter.drawLine(Frame.topLeft(), Frame.bottomLeft());
      Painter.setPen(Lower);
      Painter.drawLine(Frame.bottomLeft(), Frame.bottomRight());
      Painter.drawLine(Frame.topRight(), Frame.bottomRight());
    }
    Painter.setPen(Colours.color(QPalette::ButtonText));
    const Qt::Alignment Horizontal = Panel.Alignment == taCenter         ? Qt::AlignHCenter
                                     : Panel.Alignment == taRightJustify ? Qt::AlignRight
                                                                         : Qt::AlignLeft;
    Painter.drawText(PanelTextRect(I), static_cast<int>(Horizontal | Qt::AlignVCenter),
                     PanelText(I));
  }
}

bool TStatusBarWidget::event(QEvent* Event) {
  if (Event->type() != QEvent::ToolTip)
    return QWidget::event(Event);
  const auto* Help = static_cast<QHelpEvent*>(Event);
  for (int I = 0; I < PanelCount(); ++I) {
    const std::string& Hint = FHints.at(static_cast<std::size_t>(I));
    if (PanelRect(I).contains(Help->pos()) && !Hint.empty()) {
      QToolTip::showText(Help->globalPos(), ToQString(Hint), this, PanelRect(I));
      return true;
    }
  }
  QToolTip::hideText();
  Event->ignore();
  return true;
}

}  // namespace vantor
