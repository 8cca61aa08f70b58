#include "mic/backup.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <vector>

#include "mic/rules.h"

namespace vantor {

namespace {

using nlohmann::json;

constexpr std::size_t kFirmwareTextLimit = 32;
constexpr int kDepthLimit = 8;  // a backup nests two deep; deeper is no backup

// A problem found while checking; its text names the field.
struct TBackupProblem : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string Quoted(const std::string& Text) {
  return json(Text).dump();
}

// nlohmann keeps the last of two equal keys without a word; the file must not have any.
json ParseStrictly(std::string_view Text) {
  std::vector<std::set<std::string>> Keys;
  const json::parser_callback_t Check = [&Keys](int Depth, json::parse_event_t Event,
                                                json& Parsed) {
    if (Depth > kDepthLimit)
      throw TBackupProblem("not a backup file: nested too deeply");
    if (Event == json::parse_event_t::object_start) {
      Keys.emplace_back();
    } else if (Event == json::parse_event_t::object_end) {
      Keys.pop_back();
    } else if (Event == json::parse_event_t::key && !Keys.empty()) {
      const std::string Key = Parsed.get<std::string>();
      if (!Keys.back().insert(Key).second)
        throw TBackupProblem("field " + Quoted(Key) + " appears twice");
    }
    return true;
  };
  try {
    return json::parse(Text.begin(), Text.end(), Check);
  } catch (const json::parse_error& E) {
    // "[json.exception.parse_error.101] parse error at ..." without the library's tag.
    std::string Message = E.what();
    if (const auto Tag = Message.find("] ");
        Message.rfind("[json", 0) == 0 && Tag != std::string::npos)
      Message.erase(0, Tag + 2);
    throw TBackupProblem("not a backup file (is it complete?): " + Message);
  }
}

void OnlyFields(const json& Object, const std::string& Where,
                const std::vector<std::string>& Fields) {
  for (const auto& [Key, Value] : Object.items()) {
    if (std::find(Fields.begin(), Fields.end(), Key) == Fields.end())
      throw TBackupProblem(Where + "unknown field " + Quoted(Key));
  }
  for (const std::string& Field : Fields) {
    if (!Object.contains(Field))
      throw TBackupProblem(Where + "missing field " + Quoted(Field));
  }
}

// A key field's text, for the rule set.
std::string KeyText(const json& Settings, int Index) {
  const json& Value = Settings.at(SettingName(Index));
  if (!Value.is_string()) {
    throw TBackupProblem("settings." + SettingName(Index) +
                         ": expected a key name in quotes, such as \"F8\", found " + Value.dump());
  }
  return Value.get<std::string>();
}

TBackup Check(const json& File) {
  if (!File.is_object())
    throw TBackupProblem("not a backup file: expected a JSON object");
  OnlyFields(File, "", {"format", "firmware", "settings"});
  const json& Format = File.at("format");
  if (!Format.is_number_integer())
    throw TBackupProblem("format: expected the number 1, found " + Format.dump());
  if (Format.get<long long>() != 1) {
    throw TBackupProblem("format: this file is format " + Format.dump() +
                         "; this vantor-mic reads format 1");
  }
  TBackup Backup;
  const json& Firmware = File.at("firmware");
  if (!Firmware.is_string() || Firmware.get<std::string>().size() > kFirmwareTextLimit)
    throw TBackupProblem("firmware: expected a version in quotes, such as \"1.2\"");
  Backup.Firmware = Firmware.get<std::string>();

  const json& Settings = File.at("settings");
  if (!Settings.is_object())
    throw TBackupProblem("settings: expected an object, found " + Settings.dump());
  OnlyFields(Settings, "settings: ", {"centre", "left", "right", "mute"});
  TNamedValues Named;
  for (int Index = kCentre; Index <= kRight; ++Index)
    Named[static_cast<std::size_t>(Index - 1)] = KeyText(Settings, Index);
  // Written as true or false; the words the tool shows ("on", "off") are read too.
  const json& Mute = Settings.at("mute");
  if (Mute.is_boolean())
    Named[kMute - 1] = Mute.get<bool>() ? "on" : "off";
  else if (Mute.is_string())
    Named[kMute - 1] = Mute.get<std::string>();
  else
    throw TBackupProblem("settings.mute: expected true or false, found " + Mute.dump());

  // Every setting is named, so the rules judge the file alone.
  const TSettingsPlan Plan = PlanSettings(TMicSettings{}, Named);
  if (!Plan.Refusals.empty()) {
    const TRefusal& First = Plan.Refusals.front();
    throw TBackupProblem("settings." + SettingName(First.Setting) + ": " + First.Reason);
  }
  Backup.Settings = Plan.Settings;
  return Backup;
}

}  // namespace

std::string BackupText(const TBackup& Backup) {
  std::string Text =
      "{\"format\": 1, \"firmware\": " + Quoted(Backup.Firmware) + ", \"settings\": {";
  for (int Index = kCentre; Index <= kRight; ++Index)
    Text += Quoted(SettingName(Index)) + ": " + Quoted(KeyName(Backup.Settings[Index])) + ", ";
  Text += std::string("\"mute\": ") + (MuteOn(Backup.Settings[kMute]) ? "true" : "false") + "}}\n";
  return Text;
}

TBackupRead ReadBackup(std::string_view Text) {
  if (Text.size() > kBackupSizeLimit) {
    return {std::nullopt, "not a backup file: larger than " +
                              std::to_string(kBackupSizeLimit / 1024) +
                              " KiB (a backup is one short line)"};
  }
  try {
    return {Check(ParseStrictly(Text)), std::string()};
  } catch (const TBackupProblem& E) {
    return {std::nullopt, E.what()};
  } catch (const json::exception& E) {
    return {std::nullopt, std::string("not a backup file: ") + E.what()};
  }
}

}  // namespace vantor
