// The program's start-up on real windows with one step that fails: it ends in order, with
// the failure shown and a non-zero exit status, not through an uncaught exception.
#include <windows.h>

#include "framework/win32/win32_application.h"
#include "tests/support/scripted_port.h"
#include "tests/framework/win32/win32_test_support.h"
#include "ui/description/microphone_settings_form_description.h"
#include "ui/program/run_program.h"

namespace vantor {

namespace {

// Before the application exists the box is the system's plain one; once it exists, the
// failure box. Both are captioned with the application title of this executable.
TEST(RunProgramWin32Test, AFailureWhileStartingIsShownAndEndsTheProgramInOrder) {
  for (const bool BeforeApplication : {true, false}) {
    TProgramSteps Steps;
    Steps.MakeApplication = [] { return MakeWin32Application({.BoxDialog = bdFallback}); };
    Steps.LoadWindow = [](TMicrophoneSettingsForm& Form) {
      LoadMicrophoneSettingsForm(Form, *Form.MakeOwned<TScriptedPort>());
    };
    Steps.PortList = [] { return std::unique_ptr<TPortEntryList>(); };
    Steps.ShowFailureWithoutApplication = &ShowFailureWithoutApplication;
    if (BeforeApplication) {
      Steps.MakeApplication = []() -> std::unique_ptr<TApplication> {
        throw Exception("No window station");
      };
    } else {  // after the widgets were made, as a picture that cannot be read would
      Steps.LoadWindow = [Load = Steps.LoadWindow](TMicrophoneSettingsForm& Form) {
        Load(Form);
        throw Exception("The picture cannot be read");
      };
    }
    TSeenBox Seen;
    int Status = 0;
    {
      const DWORD Main = ::GetCurrentThreadId();
      TBackgroundActor Tester([&, Main] { InspectAndPress(L"ui_win32_tests", L"OK", Seen, Main); });
      Status = RunProgram(Steps);
    }
    SCOPED_TRACE(BeforeApplication ? "before the application" : "while the window is built");
    EXPECT_EQ(Status, 1);
    EXPECT_TRUE(Contains(
        Seen.Texts, BeforeApplication ? L"No window station." : L"The picture cannot be read."));
    EXPECT_EQ(Application(), nullptr);
    EXPECT_EQ(::FindWindowW(nullptr, L"Vantor Microphone Settings"), nullptr);
  }
}

}  // namespace

}  // namespace vantor
