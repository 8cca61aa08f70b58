#include "ui/program/search_hint.h"

#include "framework/controls.h"

namespace vantor {

namespace {

// The label has room for three lines: the finding with its remedy, and on a line of its
// own (so that the command is not broken at its hyphen) where a support request starts.
const char* const kSupport = "\nSupport: vantor-mic diagnose";

std::string Ports(std::size_t Count) {
  return std::to_string(Count) + (Count == 1 ? " port" : " ports");
}

// What stands in the way of a named port, or "" when it is free to greet.
std::string NamedPortProblem(const TPortReportEntry& Entry) {
  switch (Entry.State) {
    case TPortFailure::pfNone:
      return "";
    case TPortFailure::pfNotFound:
    case TPortFailure::pfRemoved:
      return Entry.Name + " does not exist";
    case TPortFailure::pfNotSerial:
      return Entry.Name + " is not a serial port";
    case TPortFailure::pfBusy:
    case TPortFailure::pfDenied:
    case TPortFailure::pfOther:
      break;
  }
  return Entry.Name + " cannot be opened (" + DescribePortState(Entry) + ")";
}

}  // namespace

std::string SearchHintText(const std::vector<std::string>& Named, std::size_t Tried,
                           const TPortReport& Report) {
  if (!Named.empty()) {
    std::string Problems;
    for (const TPortReportEntry& Entry : Report) {
      const std::string Problem = NamedPortProblem(Entry);
      if (!Problem.empty())
        Problems += (Problems.empty() ? "" : "; ") + Problem;
    }
    if (!Problems.empty())
      return Problems + ": check --port." + kSupport;
  }
  if (Tried > 0)
    return Ports(Tried) + " tried, none answered: replug the microphone." + kSupport;
  if (Report.empty())
    return "No serial port found: plug the microphone in." + std::string(kSupport);
  return Ports(Report.size()) + " found, none free to try: vantor-mic list says why.";
}

TSearchHint::TSearchHint(TComponent* AOwner, TLabel& Label, std::vector<std::string> Named,
                         TReportSource Report)
    : TComponent(AOwner), FLabel(Label), FNamed(std::move(Named)), FReport(std::move(Report)) {
  FLabel.SetVisible(false);
}

void TSearchHint::AfterRescan(const TPortEntryList* Candidates) {
  if (Candidates)
    FTried.insert(Candidates->begin(), Candidates->end());
  if (++FRescans % kRescansPerHint != 0)
    return;
  FLabel.SetCaption(SearchHintText(FNamed, FTried.size(), FReport()));
  FLabel.SetVisible(true);
}

void TSearchHint::Answered() {
  FRescans = 0;
  FTried.clear();
  FLabel.SetVisible(false);
  FLabel.SetCaption("");
}

}  // namespace vantor
