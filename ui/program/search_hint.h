// The hint of the Linux window while the search finds no microphone. The window alone only
// alternates "Connecting..." and "Not connected"; after every kRescansPerHint-th rescan in
// a row without an answer, a label in the free room below the fields says what the search
// sees, with the remedy: no serial port at all, N ports tried and none answered, or a port
// named with --port missing, no serial port, or not to be opened. It interrupts nothing
// (the permission notice is the one box), and it goes as soon as a microphone answers.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "discovery/available_ports.h"
#include "discovery/port_report.h"
#include "framework/component.h"

namespace vantor {

class TLabel;

// What the hint says. Named: the ports given with --port (empty: the search's own list);
// Tried: how many ports were greeted since the last answer; Report: the port report of
// the named ports, or of every port present.
std::string SearchHintText(const std::vector<std::string>& Named, std::size_t Tried,
                           const TPortReport& Report);

class TSearchHint : public TComponent {
 public:
  using TReportSource = std::function<TPortReport()>;

  // Label shows the hint (hidden while there is none); Report makes the port report, only
  // when the hint is due, since it probes every port.
  TSearchHint(TComponent* AOwner, TLabel& Label, std::vector<std::string> Named,
              TReportSource Report);

  // After every rescan, with the candidates it found (null: none).
  void AfterRescan(const TPortEntryList* Candidates);
  // A microphone answered: the hint goes, and the count starts again.
  void Answered();

  static constexpr int kRescansPerHint = 10;

 private:
  TLabel& FLabel;
  std::vector<std::string> FNamed;
  TReportSource FReport;
  int FRescans = 0;              // in a row, since the start or the last answer
  std::set<std::string> FTried;  // the entries offered meanwhile
};

}  // namespace vantor
