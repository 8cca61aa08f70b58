#include "ui/program/run_program.h"

namespace vantor {

int RunProgram(const TProgramSteps& Steps) {
  std::unique_ptr<TApplication> App = Steps.MakeApplication();
  App->CreateForm<TMicrophoneSettingsForm>(Steps.LoadWindow, Steps.PortList);
  App->Run();
  App.reset();  // frees the window, which closes the port if it is still open
  return 0;
}

}  // namespace vantor
