#include "ui/program/run_program.h"

namespace vantor {

int RunProgram(const TProgramSteps& Steps) {
  std::unique_ptr<TApplication> App;
  try {
    App = Steps.MakeApplication();
    App->CreateForm<TMicrophoneSettingsForm>(Steps.LoadWindow, Steps.PortList);
    App->Run();
  } catch (...) {
    // Failures of handlers are caught where they run: this one came from making the
    // application or building the window (or showing it). Shown, then everything made so
    // far is freed, the port closed with its window, and the program ends.
    if (App)
      App->HandleException(App.get());
    else if (Steps.ShowFailureWithoutApplication)
      Steps.ShowFailureWithoutApplication(CurrentFailureText());
    App.reset();
    return 1;
  }
  App.reset();  // frees the window, which closes the port if it is still open
  return 0;
}

}  // namespace vantor
