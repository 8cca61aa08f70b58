// The status bar on Qt: the panels of a Windows status bar drawn as it draws them (fixed
// widths from the left, the last one to the right edge; no border or a lowered one; text
// left or centred), on the button face, with each panel's hint as its tooltip. For
// assistive technology the panels are the bar's children, each a named static text.
#pragma once

#include <QWidget>

#include <vector>

#include "framework/controls.h"

namespace vantor {

class TStatusBarWidget : public QWidget {
 public:
  explicit TStatusBarWidget(QWidget* Parent);

  // The panels and their hints (one each; "" for no tooltip).
  void SetPanels(std::vector<TStatusPanel> Panels, std::vector<std::string> Hints);
  int PanelCount() const { return static_cast<int>(FPanels.size()); }
  QString PanelText(int Index) const;
  QString PanelAccessibleName(int Index) const;  // what a screen reader reads for it
  QRect PanelRect(int Index) const;              // the panel with its border
  QRect PanelTextRect(int Index) const;          // the room its text has

 protected:
  void paintEvent(QPaintEvent* Event) override;
  bool event(QEvent* Event) override;

 private:
  void FitFont();

  std::vector<TStatusPanel> FPanels;
  std::vector<std::string> FHints;
};

}  // namespace vantor
