// The Linux program: the settings window on Qt Widgets, over the POSIX serial port
// component and the sysfs port discovery, with udev's device notices.
#include <iostream>
#include <memory>
#include <optional>

#include "controller/microphone_settings_form.h"
#include "discovery/posix/device_monitor.h"
#include "framework/qt/qt_application.h"
#include "framework/signal_watch.h"
#include "serial/sio_comm.h"
#include "ui/description/microphone_settings_form_description.h"
#include "ui/program/candidate_ports_linux.h"
#include "ui/program/command_line_linux.h"
#include "serial/comport1_settings.h"
#include "ui/picture/app_icon.h"
#include "ui/picture/device_picture.h"
#include "ui/program/permission_notice.h"
#include "ui/program/run_program.h"
#include "ui/program/search_hint.h"
#include "ui/program/start_failure_linux.h"
#include "vantor_version.h"

namespace vantor {

namespace {

// The desktop entry (packaging/linux) is com.vantor.MicrophoneSettings.desktop, and its
// StartupWMClass names the window class set here (kLinuxProgramName).
const char* const kDesktopFileName = "com.vantor.MicrophoneSettings";
// Status panel 1 shows the connection state; the permission notice is its hint.
constexpr int kConnectionPanel = 1;

// What the window is given beyond its stored description on Linux.
struct TLinuxWindow {
  std::vector<std::string> Ports;  // named with --port; empty: discovery's list
  TPermissionNotice* Notice = nullptr;
  TSearchHint* Hint = nullptr;

  TPortReport Report() const { return MakePortReport(Ports, Ports.empty()); }

  // After each rescan the notice and the hint look at what it found.
  std::unique_ptr<TPortEntryList> Candidates() {
    std::unique_ptr<TPortEntryList> List = ListCandidatePorts(Ports);
    if (Notice)
      Notice->AfterRescan(List.get());
    if (Hint)
      Hint->AfterRescan(List.get());
    return List;
  }
};

// The window's stored description: Comport1 with its settings, the widgets and their
// bindings, and the picture (drawn sharp for the display's scale); then the permission
// notice on the connection panel and the search hint in the free room left of Save.
void LoadWindow(TMicrophoneSettingsForm& Form, TLinuxWindow& Window) {
  TSioComm* Comport1 = Form.MakeOwned<TSioComm>();
  ApplyComport1Settings(*Comport1);
  LoadMicrophoneSettingsForm(Form, *Comport1);
  Form.Image1->SetPictureRenderer([](double Scale) { return RenderDevicePicture(Scale); });
  Window.Notice = Form.MakeOwned<TPermissionNotice>(*Form.StatusBar1, kConnectionPanel,
                                                    [&Window] { return Window.Report(); });
  auto* HintLabel = Form.MakeOwned<TLabel>();
  HintLabel->SetName("lbSearchHint");
  HintLabel->SetBounds(6, 222, 198, 47);
  Window.Hint =
      Form.MakeOwned<TSearchHint>(*HintLabel, Window.Ports, [&Window] { return Window.Report(); });
  Form.StatusBar1->OnPanelChange = [&Form, Hint = Window.Hint](int Index) {
    if (Index == kConnectionPanel && Form.Connected())
      Hint->Answered();
  };
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
  TLinuxWindow Window;
  TProgramSteps Steps;
  Steps.MakeApplication = [&Argc, Argv] {
    return MakeQtApplication(
        Argc, Argv, {kLinuxProgramName, kDesktopFileName, VANTOR_VERSION_TEXT, RenderAppIcon()});
  };
  Steps.Prepare = [&Argc, Argv, &Window](TProgramParts& Parts) -> std::optional<int> {
    // Qt has taken its own options out: what is left must be the program's.
    const TProgramCommandLine Line = ParseProgramCommandLine(Argc, Argv, false);
    int Status = 0;
    if (EndsHere(Line, Status))
      return Status;
    Window.Ports = Line.Ports;
    // Removals of serial devices reach Comport1's hook as on Windows, on the main thread.
    Parts.push_back(std::make_shared<TDeviceMonitor>());
    // kill, Ctrl-C in the terminal, logging out: the window ends as when it is closed
    // (the port closed first), or a port made exclusive could stay held with no holder.
    Parts.push_back(std::make_shared<TSignalWatch>([](int) {
      TApplication* App = Application();
      if (TForm* Main = App ? App->MainForm() : nullptr)
        Main->Close();
      else if (App)
        App->Terminate();
    }));
    return std::nullopt;
  };
  Steps.LoadWindow = [&Window](TMicrophoneSettingsForm& Form) { LoadWindow(Form, Window); };
  Steps.PortList = [&Window] { return Window.Candidates(); };
  Steps.ShowFailureWithoutApplication = &ShowFailureOnStandardError;
  return RunProgram(Steps);
}

}  // namespace

int Main(int Argc, char** Argv) {
  try {
    return RunWindow(Argc, Argv);
  } catch (...) {
    // The command line could not even be read.
    ShowFailureOnStandardError(CurrentFailureText());
    return 1;
  }
}

}  // namespace vantor

int main(int argc, char** argv) {
  return vantor::Main(argc, argv);
}
