// The JSON documents of --json: standard output then holds exactly one of them.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli/port_conversation.h"
#include "cli/mic_session.h"
#include "discovery/port_report.h"

namespace vantor {

// Keys keep the order they are written in, so the documents read like the text output.
using TJson = nlohmann::ordered_json;

// {"centre": "F8", "left": "off", "right": "F2", "mute": false}, as in the backup file.
TJson SettingsJson(const TMicSettings& Settings);
// {"port", "firmware", "settings"}.
TJson MicrophoneJson(const TPortConversation& Talk);
// {"port", "state", "message", "remedies"}.
TJson ProblemJson(const TPortProblem& Problem);
TJson ProblemsJson(const std::vector<TPortProblem>& Problems);
// One port of the report, and what it answered when it was greeted (Talk may be null).
// Skipped: free, but not greeted because it is no USB serial port.
TJson PortJson(const TPortReportEntry& Entry, const TPortConversation* Talk, bool Skipped);

// The shape of the documents, as docs/vantor-mic.schema.json describes it.
constexpr int kJsonVersion = 1;

// The document on standard output, indented, with a final newline: "version" first,
// then Document's fields, then "messages" (each line given to standard error so far).
void PrintJson(const TJson& Document);
// A document went to standard output already.
bool JsonPrinted();
// The lines Message gave to standard error, without the "vantor-mic: " prefix.
const std::vector<std::string>& MessagesSoFar();

}  // namespace vantor
