// The Linux program: the settings window on Qt Widgets, over the POSIX serial port
// component and the sysfs port discovery, with udev's device notices.
#include <exception>
#include <iostream>

#include "controller/microphone_settings_form.h"
#include "discovery/posix/device_monitor.h"
#include "framework/qt/qt_application.h"
#include "serial/sio_comm.h"
#include "ui/description/microphone_settings_form_description.h"
#include "ui/program/candidate_ports_linux.h"
#include "ui/program/command_line_linux.h"
#include "serial/comport1_settings.h"
#include "ui/picture/app_icon.h"
#include "ui/picture/device_picture.h"
#include "ui/program/permission_notice.h"
#include "vantor_version.h"

namespace vantor {

namespace {

// The desktop entry (packaging/linux) is com.vantor.MicrophoneSettings.desktop, and its
// StartupWMClass names the window class set here.
const char* const kProgram = "vantor-mic-settings";
const char* const kDesktopFileName = "com.vantor.MicrophoneSettings";
// Status panel 1 shows the connection state; the permission notice is its hint.
constexpr int kConnectionPanel = 1;

// What the window is given beyond its stored description on Linux.
struct TLinuxWindow {
  std::vector<std::string> Ports;  // named with --port; empty: discovery's list
  TPermissionNotice* Notice = nullptr;

  // After each rescan the notice looks at what it found.
  std::unique_ptr<TPortEntryList> Candidates() {
    std::unique_ptr<TPortEntryList> List = ListCandidatePorts(Ports);
    if (Notice)
      Notice->AfterRescan(List.get());
    return List;
  }
};

// The window's stored description: Comport1 with its settings, the widgets and their
// bindings, and the picture (drawn sharp for the display's scale); then the permission
// notice on the connection panel.
void LoadWindow(TMicrophoneSettingsForm& Form, TLinuxWindow& Window) {
  TSioComm* Comport1 = Form.MakeOwned<TSioComm>();
  ApplyComport1Settings(*Comport1);
  LoadMicrophoneSettingsForm(Form, *Comport1);
  Form.Image1->SetPictureRenderer([](double Scale) { return RenderDevicePicture(Scale); });
  Window.Notice = Form.MakeOwned<TPermissionNotice>(
      *Form.StatusBar1, kConnectionPanel,
      [&Ports = Window.Ports] { return MakePortReport(Ports, Ports.empty()); });
}

// True when the program is to end now (the code is then in ExitCode).
bool EndsHere(const TProgramCommandLine& Line, int& ExitCode) {
  if (!Line.Exit)
    return false;
  (Line.ExitCode == 0 ? std::cout : std::cerr) << Line.Output << std::flush;
  ExitCode = Line.ExitCode;
  return true;
}

int RunWindow(int& Argc, char** Argv) {
  int ExitCode = 0;
  if (EndsHere(ParseProgramCommandLine(Argc, Argv, true), ExitCode))
    return ExitCode;
  std::unique_ptr<TApplication> App = MakeQtApplication(
      Argc, Argv, {kProgram, kDesktopFileName, VANTOR_VERSION_TEXT, RenderAppIcon()});
  // Qt has taken its own options out: what is left must be the program's.
  const TProgramCommandLine Line = ParseProgramCommandLine(Argc, Argv, false);
  if (EndsHere(Line, ExitCode))
    return ExitCode;

  // Removals of serial devices reach Comport1's hook as on Windows, on the main thread.
  auto Monitor = std::make_unique<TDeviceMonitor>();
  TLinuxWindow Window{Line.Ports};
  App->CreateForm<TMicrophoneSettingsForm>(
      [&Window](TMicrophoneSettingsForm& Form) { LoadWindow(Form, Window); },
      [&Window] { return Window.Candidates(); });
  App->Run();
  Monitor.reset();  // its thread sends to the application: it ends first
  App.reset();      // frees the window, which closes the port if it is still open
  return 0;
}

}  // namespace

int Main(int Argc, char** Argv) {
  try {
    return RunWindow(Argc, Argv);
  } catch (const std::exception& Failure) {
    // The window could not even be built.
    std::cerr << kProgram << ": " << Failure.what() << "\n";
    return 1;
  }
}

}  // namespace vantor

int main(int argc, char** argv) {
  return vantor::Main(argc, argv);
}
