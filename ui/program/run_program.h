// The program's life: start-up, the message loop and the end, with the steps of start-up
// given by the entry (the Windows program's own, or a test's, one of which fails).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controller/microphone_settings_form.h"
#include "framework/application.h"

namespace vantor {

struct TProgramSteps {
  // Makes the application object.
  std::function<std::unique_ptr<TApplication>()> MakeApplication;
  // Builds the main window from its stored description: Comport1, widgets, picture.
  TMicrophoneSettingsForm::TFormLoader LoadWindow;
  // The candidate ports (port discovery).
  TMicrophoneSettingsForm::TPortListSource PortList;
  // Shows a failure while there is no application object to show it in its failure box.
  std::function<void(const std::string& Text)> ShowFailureWithoutApplication;
};

// Runs the program and returns its exit status: 0 once the window has been closed; 1 when
// start-up failed (the failure has been shown: in the failure box where the application
// exists, else through ShowFailureWithoutApplication; everything made is freed in order).
int RunProgram(const TProgramSteps& Steps);

}  // namespace vantor
