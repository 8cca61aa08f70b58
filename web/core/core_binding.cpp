#include "web/core/core_binding.h"

#include <cmath>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#include "mic/backup.h"
#include "mic/conversation.h"
#include "mic/rules.h"
#include "mic/settings.h"
#include "protocol/device_values.h"

namespace vantor {

namespace {

using json = nlohmann::json;
using TEvent = TMicConversation::TEvent;

struct TPage {
  std::unique_ptr<TMicConversation> Talk;
  TMicSettings Device;  // what the microphone was last seen to hold
  std::string Firmware;
  std::string Answer;  // the text the last call returned
};

TPage& Page() {
  static TPage Instance;
  return Instance;
}

const char* GiveText(std::string Text) {
  Page().Answer = std::move(Text);
  return Page().Answer.c_str();
}

const char* Give(const json& Value) {
  return GiveText(Value.dump());
}

TMillis Millis(double Now) {
  return TMillis(std::llround(Now));
}

const char* PhaseName(TMicConversation::TPhase Phase) {
  switch (Phase) {
    case TMicConversation::TPhase::cpNew:
      return "new";
    case TMicConversation::TPhase::cpGreeting:
      return "greeting";
    case TMicConversation::TPhase::cpReading:
      return "reading";
    case TMicConversation::TPhase::cpReady:
      return "ready";
    case TMicConversation::TPhase::cpWriting:
      return "writing";
    case TMicConversation::TPhase::cpDone:
      break;
  }
  return "done";
}

const char* OutcomeName(TMicConversation::TOutcome Outcome) {
  switch (Outcome) {
    case TMicConversation::TOutcome::coNone:
      return "none";
    case TMicConversation::TOutcome::coOk:
      return "ok";
    case TMicConversation::TOutcome::coSilent:
      return "silent";
    case TMicConversation::TOutcome::coFailed:
      break;
  }
  return "failed";
}

json SettingsJson(const TMicSettings& Settings) {
  json Object = json::object();
  for (int Index = kCentre; Index <= kMute; ++Index)
    Object[SettingName(Index)] = ValueName(Index, Settings[Index]);
  return Object;
}

json EventJson(const TEvent& Event) {
  switch (Event.Kind) {
    case TEvent::evGreeted:
      return {{"kind", "greeted"}};
    case TEvent::evSettingsRead:
      return {{"kind", "read"}};
    case TEvent::evSettingChecked:
      return {
          {"kind", "checked"}, {"setting", SettingName(Event.Setting)}, {"matches", Event.Matches}};
    case TEvent::evVerified:
      return {{"kind", "verified"}};
    case TEvent::evFailed:
      break;
  }
  return {{"kind", "failed"}, {"text", Event.Text}};
}

// What the microphone holds follows the conversation: the settings it read, and after a
// write the settings it read back.
void Remember(const TMicConversation& Talk, const std::vector<TEvent>& Events) {
  for (const TEvent& Event : Events) {
    if (Event.Kind == TEvent::evSettingsRead) {
      Page().Device = Talk.Settings();
      Page().Firmware = Talk.Firmware();
    } else if (Event.Kind == TEvent::evVerified) {
      Page().Device = Talk.ReadBack();
    }
  }
}

json View() {
  TPage& State = Page();
  json Out = json::object();
  if (!State.Talk) {
    Out["phase"] = "done";
    return Out;
  }
  TMicConversation& Talk = *State.Talk;
  Talk.TakeNotes();  // the page keeps no transcript
  const std::vector<TEvent> Events = Talk.TakeEvents();
  Remember(Talk, Events);
  Out["phase"] = PhaseName(Talk.Phase());
  Out["outcome"] = OutcomeName(Talk.Outcome());
  Out["failure"] = Talk.Failure();
  Out["firmware"] = State.Firmware;
  Out["settings"] = SettingsJson(State.Device);
  Out["frame"] = Talk.HasFrame() ? json(Talk.NextFrame()) : json(nullptr);
  const auto Wake = Talk.NextWake();
  Out["wake"] = Wake ? json(static_cast<double>(Wake->count())) : json(nullptr);
  Out["events"] = json::array();
  for (const TEvent& Event : Events)
    Out["events"].push_back(EventJson(Event));
  Out["differences"] = json::array();
  if (Talk.WriteStarted()) {
    for (const int Index : Talk.Differences()) {
      Out["differences"].push_back({{"setting", SettingName(Index)},
                                    {"wrote", ValueName(Index, Talk.Written()[Index])},
                                    {"read", ValueName(Index, Talk.ReadBack()[Index])}});
    }
  }
  return Out;
}

// Text that is not JSON of the expected kind counts as nothing named or received.
json Parse(const char* Text, const json& Otherwise) {
  json Value = json::parse(Text, nullptr, false);
  return Value.type() == Otherwise.type() ? Value : Otherwise;
}

TNamedValues Named(const char* NamedJson) {
  TNamedValues Values;
  const json Object = Parse(NamedJson, json::object());
  for (const auto& [Key, Value] : Object.items()) {
    const auto Index = ParseSettingName(Key);
    if (Index && Value.is_string())
      Values[static_cast<std::size_t>(*Index - 1)] = Value.get<std::string>();
  }
  return Values;
}

struct TPagePlan {
  TSettingsPlan Plan;
  json Answer;
};

TPagePlan Plan(const TMicSettings& Device, const char* NamedJson) {
  TPagePlan Result{PlanSettings(Device, Named(NamedJson)), json::object()};
  json Refusals = json::array();
  for (const TRefusal& Refusal : Result.Plan.Refusals) {
    Refusals.push_back({{"setting", SettingName(Refusal.Setting)},
                        {"text", SettingName(Refusal.Setting) + ": " + Refusal.Reason}});
  }
  Result.Answer["refusals"] = Refusals;
  Result.Answer["changed"] = !SettingDifferences(Device, Result.Plan.Settings).empty();
  Result.Answer["settings"] = SettingsJson(Result.Plan.Settings);
  return Result;
}

}  // namespace

}  // namespace vantor

using vantor::Give;
using vantor::Millis;
using vantor::Page;
using vantor::View;

extern "C" {

const char* vantor_key_table() {
  using namespace vantor;
  json Table = {
      {"settings", json::array()}, {"keys", json::array()}, {"off", KeyName(kDeviceKeyNone)}};
  json Allowed = json::object();
  for (int Index = kCentre; Index <= kMute; ++Index) {
    Table["settings"].push_back(SettingName(Index));
    Allowed[SettingName(Index)] = AllowedValues(Index);
  }
  Table["allowed"] = Allowed;
  for (int Code = 0; Code < 256; ++Code) {
    if (IsPlainKey(static_cast<std::uint8_t>(Code)))
      Table["keys"].push_back(KeyName(static_cast<std::uint8_t>(Code)));
  }
  return Give(Table);
}

const char* vantor_key_name(const char* Text) {
  const auto Code = vantor::ParseKeyName(Text);
  return vantor::GiveText(Code ? vantor::KeyName(*Code) : std::string());
}

const char* vantor_begin(double Now, double TimeoutMs) {
  Page().Talk = std::make_unique<vantor::TMicConversation>(Millis(TimeoutMs));
  Page().Talk->Start(Millis(Now), true);
  return Give(View());
}

const char* vantor_receive(double Now, const char* BytesJson) {
  if (Page().Talk) {
    std::vector<std::uint8_t> Bytes;
    for (const auto& Byte : vantor::Parse(BytesJson, vantor::json::array())) {
      if (Byte.is_number_unsigned() && Byte.get<unsigned>() < 256)
        Bytes.push_back(static_cast<std::uint8_t>(Byte.get<unsigned>()));
    }
    Page().Talk->Receive(Millis(Now), Bytes.data(), Bytes.size());
  }
  return Give(View());
}

const char* vantor_tick(double Now) {
  if (Page().Talk)
    Page().Talk->Tick(Millis(Now));
  return Give(View());
}

const char* vantor_sent(double Now) {
  if (Page().Talk)
    Page().Talk->FrameSent(Millis(Now));
  return Give(View());
}

const char* vantor_send_failed(double Now) {
  if (Page().Talk)
    Page().Talk->FrameFailed(Millis(Now));
  return Give(View());
}

const char* vantor_lost(double Now, const char* Why) {
  if (Page().Talk)
    Page().Talk->PortFailed(Millis(Now), Why);
  return Give(View());
}

void vantor_end() {
  if (Page().Talk)
    Page().Talk->Finish();
}

const char* vantor_plan(const char* NamedJson) {
  return Give(vantor::Plan(Page().Device, NamedJson).Answer);
}

const char* vantor_write(double Now, const char* NamedJson) {
  using namespace vantor;
  TPage& State = Page();
  if (!State.Talk || State.Talk->Phase() != TMicConversation::TPhase::cpReady)
    return Give(View());
  const TPagePlan Result = Plan(State.Device, NamedJson);
  if (Result.Plan.Refusals.empty() && Result.Answer["changed"].get<bool>())
    State.Talk->Write(Millis(Now), Result.Plan.Settings);
  json Out = View();
  Out["plan"] = Result.Answer;
  return Give(Out);
}

const char* vantor_backup() {
  return vantor::GiveText(vantor::BackupText({Page().Firmware, Page().Device}));
}

const char* vantor_read_backup(const char* Text) {
  using namespace vantor;
  const TBackupRead Read = ReadBackup(Text);
  if (!Read.Backup)
    return Give({{"error", Read.Error}});
  json Named = json::object();
  for (int Index = kCentre; Index <= kMute; ++Index)
    Named[SettingName(Index)] = ValueName(Index, Read.Backup->Settings[Index]);
  return Give({{"settings", Named}});
}
}
