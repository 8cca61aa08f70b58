// The backup file: one line of JSON, the same on every platform:
//   {"format": 1, "firmware": "1.2", "settings": {"centre": "F8", "left": "off",
//    "right": "F2", "mute": false}}
// Reading checks the document's shape; its settings go through the one rule set, so a file
// that passes may be written to a microphone as it stands.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "mic/settings.h"

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

// The backup in Text, or the first problem found, naming the field ("settings.left: only
// F1 to F12 or off can be set").
struct TBackupRead {
  std::optional<TBackup> Backup;
  std::string Error;
};
TBackupRead ReadBackup(std::string_view Text);

}  // namespace vantor
