// micsim's command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/micsim/reply_shaper.h"

namespace vantor {

namespace micsim {

struct TOptions {
  std::string Link;   // symbolic link to the pty's slave; empty: none
  std::string State;  // the device's memory; empty: defaults, kept in memory only
  std::string Log;    // empty: stderr
  std::uint8_t Version = 12;
  TFaults Faults;
  bool Merge = false;
  unsigned DelayMs = 0;
  bool Silent = false;
  bool IgnoreWrites = false;
  unsigned AnswerAfter = 1;
  unsigned HangupAfter = 0;  // 0: never
  bool Reopen = false;
  std::uint32_t Seed = 1;
  bool Help = false;
};

struct TParsedOptions {
  TOptions Options;
  std::string Error;  // empty when the command line is good
};

// Args without the program name.
TParsedOptions ParseOptions(const std::vector<std::string>& Args);
std::string HelpText();

}  // namespace micsim

}  // namespace vantor
