// The program: one window that finds the microphone among the serial ports and edits the
// function keys its buttons send.
#include <windows.h>

#include "controller/microphone_settings_form.h"
#include "discovery/available_ports.h"
#include "framework/win32/win32_application.h"
#include "serial/sio_comm.h"
#include "ui/description/microphone_settings_form_description.h"
#include "serial/comport1_settings.h"
#include "ui/program/run_program.h"
#include "ui/picture/device_picture.h"
#include "ui/resources/resource.h"

namespace vantor {

namespace {

// The window's stored description: Comport1 with its settings, the widgets and their
// bindings, and the picture, drawn now so that a failure to draw it is one of building
// the window, which the failure box can show.
void LoadWindow(TMicrophoneSettingsForm& Form) {
  TSioComm* Comport1 = Form.MakeOwned<TSioComm>();
  ApplyComport1Settings(*Comport1);
  LoadMicrophoneSettingsForm(Form, *Comport1);
  Form.Image1->SetPicture(RenderDevicePicture());
}

}  // namespace

int Main() {
  TProgramSteps Steps;
  Steps.MakeApplication = [] {
    return MakeWin32Application({.AppIconId = IDI_APP, .BoxDialog = bdTaskDialog});
  };
  Steps.LoadWindow = &LoadWindow;
  Steps.PortList = [] { return GetAvailableComPorts(); };
  Steps.ShowFailureWithoutApplication = &ShowFailureWithoutApplication;
  return RunProgram(Steps);
}

}  // namespace vantor

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return vantor::Main();
}
