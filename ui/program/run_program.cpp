#include "ui/program/run_program.h"

namespace vantor {

namespace {

// Last made, first freed; then the application, which frees the window, which closes the
// port if it is still open.
void FreeInOrder(TProgramParts& Parts, std::unique_ptr<TApplication>& App) {
  while (!Parts.empty())
    Parts.pop_back();
  App.reset();
}

}  // namespace

int RunProgram(const TProgramSteps& Steps) {
  std::unique_ptr<TApplication> App;
  TProgramParts Parts;
  int Status = 0;
  try {
    App = Steps.MakeApplication();
    const std::optional<int> Exit = Steps.Prepare ? Steps.Prepare(Parts) : std::nullopt;
    if (Exit) {
      Status = *Exit;
    } else {
      App->CreateForm<TMicrophoneSettingsForm>(Steps.LoadWindow, Steps.PortList);
      App->Run();
    }
  } catch (...) {
    // Failures of handlers are caught where they run: this one came from making the
    // application, preparing, or building the window (or showing it). Shown, then
    // everything made so far is freed, and the program ends.
    if (App)
      App->HandleException(App.get());
    else if (Steps.ShowFailureWithoutApplication)
      Steps.ShowFailureWithoutApplication(CurrentFailureText());
    Status = 1;
  }
  FreeInOrder(Parts, App);
  return Status;
}

}  // namespace vantor
