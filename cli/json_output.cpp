#include "cli/json_output.h"

#include <cstdio>

namespace vantor {

namespace {

TJson TextOrNull(const std::string& Text) {
  return Text.empty() ? TJson(nullptr) : TJson(Text);
}

const char* MembershipName(TGroupMembership Membership) {
  switch (Membership) {
    case TGroupMembership::gmNotMember:
      return "not-member";
    case TGroupMembership::gmNotLoggedIn:
      return "not-logged-in";
    case TGroupMembership::gmMember:
      break;
  }
  return "member";
}

}  // namespace

TJson SettingsJson(const TMicSettings& Settings) {
  TJson Json = TJson::object();
  for (int Index = kCentre; Index <= kRight; ++Index)
    Json[SettingName(Index)] = KeyName(Settings[Index]);
  Json["mute"] = Settings[kMute] != 0;
  return Json;
}

TJson MicrophoneJson(const TPortConversation& Talk) {
  TJson Json = TJson::object();
  Json["port"] = Talk.Port();
  Json["firmware"] = Talk.Firmware();
  Json["settings"] = SettingsJson(Talk.Settings());
  return Json;
}

TJson ProblemJson(const TPortProblem& Problem) {
  TJson Json = TJson::object();
  Json["port"] = Problem.Port;
  Json["state"] = Problem.State;
  Json["message"] = Problem.Message;
  Json["remedies"] = Problem.Remedies;
  return Json;
}

TJson ProblemsJson(const std::vector<TPortProblem>& Problems) {
  TJson Json = TJson::array();
  for (const TPortProblem& Problem : Problems)
    Json.push_back(ProblemJson(Problem));
  return Json;
}

TJson PortJson(const TPortReportEntry& Entry, const TPortConversation* Talk, bool Skipped) {
  TJson Json = TJson::object();
  Json["port"] = Entry.Name;
  Json["stable_name"] = TextOrNull(Entry.StableName);
  Json["description"] = TextOrNull(Entry.Description);
  Json["listed"] = Entry.Present;  // the system lists it; false: only named with --port
  Json["usb"] = Entry.UsbSerial;
  Json["state"] = PortStateName(Entry.State);
  Json["detail"] = DescribePortState(Entry);
  TJson Holders = TJson::array();
  for (const TPortHolder& Holder : Entry.Holders)
    Holders.push_back(TJson{{"pid", Holder.Pid}, {"name", Holder.Name}});
  Json["holders"] = Holders;
  Json["holder_hidden"] = Entry.HolderHidden;
  Json["group"] = TextOrNull(Entry.Group);
  Json["membership"] = Entry.State == TPortFailure::pfDenied && !Entry.Group.empty()
                           ? TJson(MembershipName(Entry.Membership))
                           : TJson(nullptr);
  Json["error"] = Entry.ErrorCode != 0 ? TJson{{"code", Entry.ErrorCode}, {"text", Entry.Error}}
                                       : TJson(nullptr);
  Json["modemmanager"] = Entry.ModemManager;
  Json["remedies"] = PortRemedies(Entry);
  const bool Answered =
      Talk && Talk->Answered() && Talk->Outcome() == TPortConversation::TOutcome::coOk;
  Json["greeted"] = Talk != nullptr;
  Json["skipped"] = Skipped;
  Json["microphone"] = Answered;
  Json["firmware"] = Answered ? TJson(Talk->Firmware()) : TJson(nullptr);
  Json["answer"] = Talk && !Answered ? TJson(Talk->Failure()) : TJson(nullptr);
  return Json;
}

namespace {
bool GPrinted = false;
}  // namespace

bool JsonPrinted() {
  return GPrinted;
}

void PrintJson(const TJson& Document) {
  GPrinted = true;
  // Every document says which shape it has (docs/vantor-mic.schema.json) and carries the
  // messages standard error got, so that a script reading only standard output still
  // learns why a command refused or failed.
  TJson Whole = TJson::object();
  Whole["version"] = kJsonVersion;
  for (const auto& [Key, Value] : Document.items())
    Whole[Key] = Value;
  Whole["messages"] = MessagesSoFar();
  // Paths and device names are not always valid UTF-8: such bytes become U+FFFD.
  const std::string Text = Whole.dump(2, ' ', false, TJson::error_handler_t::replace) + "\n";
  std::fwrite(Text.data(), 1, Text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace vantor
