#include "framework/backend.h"
#include "framework/controls.h"

namespace vantor {

void TStatusBar::AddPanel(const TStatusPanel& Panel) {
  FPanels.push_back(Panel);
  if (TControlPeer* Bar = Peer())
    Bar->StateChanged();
}

void TStatusBar::SetPanelText(int Index, const std::string& Value) {
  TStatusPanel& Panel = FPanels.at(static_cast<std::size_t>(Index));
  if (Panel.Text == Value)
    return;
  Panel.Text = Value;
  if (TControlPeer* Bar = Peer())
    Bar->PanelChanged(Index);
}

}  // namespace vantor
