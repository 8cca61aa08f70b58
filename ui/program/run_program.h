// The program's life: start-up, the message loop and the end, with the steps of start-up
// given by the entry (the Windows program's, the Linux program's, or a test's, one of
// which fails).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controller/microphone_settings_form.h"
#include "framework/application.h"

namespace vantor {

// What the program keeps beside its window while it runs (the Linux program's device
// monitor, whose thread sends to the application): freed, last made first, after the loop
// and before the application.
using TProgramParts = std::vector<std::shared_ptr<void>>;

struct TProgramSteps {
  // Makes the application object.
  std::function<std::unique_ptr<TApplication>()> MakeApplication;
  // Optional: runs once the application exists, before the window is built, and keeps in
  // Parts what the program needs beside the window. An exit status ends the program there
  // (what is left of the command line asked for it, and has been answered).
  std::function<std::optional<int>(TProgramParts& Parts)> Prepare;
  // Builds the main window from its stored description: Comport1, widgets, picture.
  TMicrophoneSettingsForm::TFormLoader LoadWindow;
  // The candidate ports (port discovery).
  TMicrophoneSettingsForm::TPortListSource PortList;
  // Shows a failure while there is no application object to show it in its failure box.
  std::function<void(const std::string& Text)> ShowFailureWithoutApplication;
};

// Runs the program and returns its exit status: 0 once the window has been closed (or
// Prepare's status); 1 when start-up failed (the failure has been shown: in the failure box
// where the application exists, else through ShowFailureWithoutApplication; everything made
// is freed in order).
int RunProgram(const TProgramSteps& Steps);

}  // namespace vantor
