// The notice about serial ports this user may not open, the commonest reason why the
// microphone "is not found" on Linux. When a rescan leaves no candidate to try and the port
// report calls a USB serial port (ttyACM, ttyUSB; never the legacy ttyS ports every PC has)
// or a port named with --port denied, the window says so once per run in the notice box:
// which port, why, and the remedy (the device's group, logging in again). The same text
// stands as the hint (tooltip) of the connection panel while it holds; the panel's own
// texts stay the connection manager's.
#pragma once

#include <functional>
#include <string>

#include "discovery/available_ports.h"
#include "discovery/port_report.h"
#include "framework/component.h"

namespace vantor {

class TStatusBar;
class TTimer;

// What the notice says about the denied ports of a report; empty when there are none.
std::string PermissionNoticeText(const TPortReport& Report);

class TPermissionNotice : public TComponent {
 public:
  using TReportSource = std::function<TPortReport()>;

  // Panel PanelIndex of Bar carries the notice as its hint; Report makes the port report.
  TPermissionNotice(TComponent* AOwner, TStatusBar& Bar, int PanelIndex, TReportSource Report);

  // After every rescan, with the candidates it found (null: none). The report is made only
  // when there is nothing to try, and then on the first such rescan and every
  // kRescansPerReport-th after it: it probes every port and looks through /proc, which a
  // search that rescans every second or two should not pay each time. The box opens once
  // the running handler has returned.
  void AfterRescan(const TPortEntryList* Candidates);
  static constexpr int kRescansPerReport = 10;

 private:
  void ShowBox(TObject* Sender);

  TStatusBar& FBar;
  int FPanel;
  TReportSource FReport;
  TTimer* FBoxTimer;  // owned: a one-shot, so that the box opens after the rescan's handler
  std::string FText;
  bool FShown = false;
  int FEmptyRescans = 0;  // rescans in a row that left nothing to try
};

}  // namespace vantor
