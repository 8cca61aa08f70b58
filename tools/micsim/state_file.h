// The device's memory kept across runs: a small text file, one "name=value" line per
// setting, replaced atomically so that a crash leaves either the old or the new file.
//
//   button1=65
//   button2=255
//   button3=255
//   mute=0
//
// Values are 0 to 255; blank lines and lines starting with '#' are skipped. A file that
// lacks a setting, repeats one, names an unknown one or holds a bad value is unreadable.
#pragma once

#include <optional>
#include <string>

#include "tools/micsim/device.h"

namespace vantor {

namespace micsim {

std::string FormatState(const TSettings& Settings);
std::optional<TSettings> ParseState(const std::string& Text);

struct TStateLoad {
  std::optional<TSettings> Settings;  // empty when the file is missing or unreadable
  std::string Problem;                // why, for the log
};
TStateLoad LoadState(const std::string& Path);

// Writes a temporary file beside Path, syncs it and renames it over Path. Returns an empty
// string on success, otherwise what failed; Path is then untouched and no temporary is left.
std::string SaveState(const std::string& Path, const TSettings& Settings);

}  // namespace micsim

}  // namespace vantor
