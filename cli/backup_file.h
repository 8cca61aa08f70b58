// The backup file: one line of JSON, the same on every platform:
//   {"format": 1, "firmware": "1.2", "settings": {"centre": "F8", "left": "off",
//    "right": "F2", "mute": false}}
// Reading checks everything before anything may be written to a microphone.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "cli/mic_settings.h"

namespace vantor {

// A backup is about 120 bytes; anything far larger is not one (and is not read whole).
constexpr std::size_t kBackupSizeLimit = std::size_t{64} * 1024;

struct TBackup {
  std::string Firmware;  // as the tool shows it: "1.2", or "Unknown"
  TMicSettings Settings;
  bool operator==(const TBackup&) const = default;
};

// The file's text, newline included.
std::string BackupText(const TBackup& Backup);

// The backup in Text, or the first problem found, naming the field ("settings.left: F13 is
// not a key: expected F1 to F12 or off").
struct TBackupRead {
  std::optional<TBackup> Backup;
  std::string Error;
};
TBackupRead ReadBackup(std::string_view Text);

}  // namespace vantor
