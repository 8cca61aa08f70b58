// The settings as the command line names them ("left=F3") and the rule set's refusals in
// its words: "left=F2: F2 is already set for right".
#pragma once

#include <string>
#include <vector>

#include "mic/rules.h"

namespace vantor {

// One "name=value" word of the command line, as given and as understood.
struct TAssignment {
  int Index = 0;
  std::string Text;   // "left=F3", for messages
  std::string Value;  // "F3"
};

struct TParsedAssignments {
  std::vector<TAssignment> Assignments;
  // A word that is not "setting=value", names no value ("left=F13", "mute=yes"), or a
  // setting named twice.
  std::string Error;
};
TParsedAssignments ParseAssignments(const std::vector<std::string>& Words);

// The device core's plan for the named settings, each refusal as a line for the user:
// named values by their word, held ones by the setting with what to name.
struct TPlannedSettings {
  TMicSettings Settings;
  std::vector<std::string> Refusals;
  std::vector<TRefusal> Reasons;  // the core's refusals, one per line above
};
TPlannedSettings PlanSettings(const TMicSettings& Device, const std::vector<TAssignment>& Named);

}  // namespace vantor
