// The Linux program's start-up on the Qt backend with a step that fails, through the seam
// the Windows program's test uses: the failure is shown where the Windows program shows it,
// everything made is freed in order, and the exit status says so.
#include <gtest/gtest.h>

#include <optional>

#include "tests/support/scripted_port.h"
#include "tests/framework/qt/qt_test_support.h"
#include "ui/description/microphone_settings_form_description.h"
#include "ui/program/run_program.h"
#include "ui/program/start_failure_linux.h"

namespace vantor {

namespace {

// A part kept beside the window notes whether the application was still there when it went.
struct TPartSeen {
  bool Freed = false;
  bool FreedBeforeApplication = false;
};
struct TKeptPart {
  TPartSeen& Seen;
  ~TKeptPart() {
    Seen.Freed = true;
    Seen.FreedBeforeApplication = Application() != nullptr;
  }
};

TProgramSteps StepsKeeping(TPartSeen& Seen) {
  TProgramSteps Steps;
  Steps.MakeApplication = [] { return MakeTestApplication(); };
  Steps.Prepare = [&Seen](TProgramParts& Parts) -> std::optional<int> {
    Parts.push_back(std::make_shared<TKeptPart>(TKeptPart{Seen}));
    return std::nullopt;
  };
  Steps.LoadWindow = [](TMicrophoneSettingsForm& Form) {
    LoadMicrophoneSettingsForm(Form, *Form.MakeOwned<TScriptedPort>());
  };
  Steps.PortList = [] { return std::unique_ptr<TPortEntryList>(); };
  Steps.ShowFailureWithoutApplication = &ShowFailureOnStandardError;
  return Steps;
}

TEST(RunProgramQt, AFailureWhileStartingIsShownAndEndsTheProgramInOrder) {
  for (const bool BeforeApplication : {true, false}) {
    SCOPED_TRACE(BeforeApplication ? "before the application" : "while the window is built");
    TPartSeen Seen;
    TProgramSteps Steps = StepsKeeping(Seen);
    if (BeforeApplication) {
      Steps.MakeApplication = []() -> std::unique_ptr<TApplication> {
        throw Exception("No display");
      };
    } else {  // after the widgets were made, as a picture that cannot be read would
      Steps.LoadWindow = [Load = Steps.LoadWindow](TMicrophoneSettingsForm& Form) {
        Load(Form);
        throw Exception("The picture cannot be read");
      };
    }
    TBoxCloser Closer;
    ::testing::internal::CaptureStderr();
    const int Status = RunProgram(Steps);
    const std::string Said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Status, 1);
    if (BeforeApplication) {
      EXPECT_EQ(Said, "vantor-mic-settings: No display.\n");
      EXPECT_FALSE(Closer.Closed());
      EXPECT_FALSE(Seen.Freed) << "nothing was kept before the application existed";
    } else {
      EXPECT_TRUE(Closer.Closed());
      EXPECT_EQ(Closer.Box().Text, "The picture cannot be read.");
      EXPECT_EQ(Closer.Box().Icon, QMessageBox::Critical);
      // Qt's offscreen platform may talk on standard error; the program does not.
      EXPECT_EQ(Said.find("vantor-mic-settings:"), std::string::npos) << Said;
      EXPECT_TRUE(Seen.FreedBeforeApplication);
    }
    EXPECT_EQ(Application(), nullptr);
  }
}

TEST(RunProgramQt, AnExitStatusFromPreparingEndsTheProgramBeforeTheWindow) {
  TPartSeen Seen;
  TProgramSteps Steps = StepsKeeping(Seen);
  Steps.Prepare = [Keep = Steps.Prepare](TProgramParts& Parts) -> std::optional<int> {
    Keep(Parts);
    return 2;  // what the rest of the command line asked for
  };
  bool Built = false;
  Steps.LoadWindow = [&Built](TMicrophoneSettingsForm&) { Built = true; };
  EXPECT_EQ(RunProgram(Steps), 2);
  EXPECT_FALSE(Built);
  EXPECT_TRUE(Seen.FreedBeforeApplication);
  EXPECT_EQ(Application(), nullptr);
}

}  // namespace

}  // namespace vantor
