#include "ui/program/permission_notice.h"

#include "framework/controls.h"
#include "framework/dialogs.h"
#include "framework/timer.h"

namespace vantor {

namespace {

// The legacy on-board ports are left out: every PC lists some, and their group says
// nothing about the microphone. A port the user named is always meant.
bool Concerns(const TPortReportEntry& Entry) {
  return Entry.State == TPortFailure::pfDenied && (Entry.UsbSerial || !Entry.Present);
}

std::string Paragraph(const TPortReportEntry& Entry) {
  std::string Why = DescribePortState(Entry);  // "denied: the device belongs to ..."
  if (const auto Colon = Why.find(": "); Colon != std::string::npos)
    Why.erase(0, Colon + 2);
  std::string Text = "You may not open the serial port " + Entry.Name;
  if (!Entry.Description.empty())
    Text += " (" + Entry.Description + ")";
  Text += ": " + Why + ".";
  // The first remedy is the one for the permission; the others (ModemManager) are for
  // problems the window does not have yet.
  const std::vector<std::string> Remedies = PortRemedies(Entry);
  if (!Remedies.empty())
    Text += "\n" + Remedies.front();
  return Text;
}

}  // namespace

std::string PermissionNoticeText(const TPortReport& Report) {
  std::string Text;
  for (const TPortReportEntry& Entry : Report) {
    if (!Concerns(Entry))
      continue;
    if (!Text.empty())
      Text += "\n\n";
    Text += Paragraph(Entry);
  }
  return Text;
}

TPermissionNotice::TPermissionNotice(TComponent* AOwner, TStatusBar& Bar, int PanelIndex,
                                     TReportSource Report)
    : TComponent(AOwner),
      FBar(Bar),
      FPanel(PanelIndex),
      FReport(std::move(Report)),
      FBoxTimer(MakeOwned<TTimer>()) {
  FBoxTimer->SetEnabled(false);
  FBoxTimer->SetInterval(1);
  FBoxTimer->OnTimer = [this](TObject* Sender) { ShowBox(Sender); };
}

void TPermissionNotice::AfterRescan(const TPortEntryList* Candidates) {
  if (Candidates && !Candidates->empty()) {
    FEmptyRescans = 0;
    FText.clear();
  } else if (FEmptyRescans++ % kRescansPerReport == 0) {
    FText = PermissionNoticeText(FReport());
  }
  FBar.SetPanelHint(FPanel, FText);
  if (!FText.empty() && !FShown) {
    FShown = true;  // before the box: ticks served while it is open must not open another
    FBoxTimer->SetEnabled(true);
  }
}

void TPermissionNotice::ShowBox(TObject* /*Sender*/) {
  FBoxTimer->SetEnabled(false);
  if (FText.empty()) {
    FShown = false;  // it no longer holds: the next time it does is the first
    return;
  }
  NoticeBox(FText);
}

}  // namespace vantor
