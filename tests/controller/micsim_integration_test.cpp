// The window with the real serial port component over a pseudo-terminal, with the
// microphone simulator on the other side. The port runs in real time, the window's timers
// on the virtual clock; every real wait is bounded generously and never asserted on.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "controller/microphone_settings_form.h"
#include "framework/headless/headless.h"
#include "serial/sio_comm.h"
#include "tests/controller/form_test_access.h"
#include "tests/micsim/micsim_process.h"
#include "tests/micsim/temp_dir.h"
#include "ui/description/microphone_settings_form_description.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;

constexpr auto kRealBound = 30s;

// The settings the program stores for Comport1.
void ConfigureComport1(TSioComm& Port) {
  Port.SetName("Comport1");
  Port.SetBaudrate(br115200);
  Port.FlowControl().SetControlDtr(dtrEnabled);
  Port.FlowControl().SetControlRts(rtsEnabled);
  Port.SetMonitorEvents(TSioCommEvents{ceBreak, ceError, ceRxChar, ceTxEmpty});
}

std::map<std::string, int> ReadState(const std::string& Path) {
  std::map<std::string, int> State;
  std::ifstream File(Path);
  std::string Line;
  while (std::getline(File, Line)) {
    const auto Equals = Line.find('=');
    if (Equals != std::string::npos)
      State[Line.substr(0, Equals)] = std::stoi(Line.substr(Equals + 1));
  }
  return State;
}

class MicsimTest : public ::testing::Test {
 protected:
  void StartSimulator(std::vector<std::string> Options, const std::string& State) {
    std::ofstream(Dir / "state") << State;
    Options.insert(Options.end(), {"--state", Dir / "state", "--log", Dir / "micsim.log"});
    Sim = std::make_unique<TMicsimProcess>(Options, Dir / "micsim.err");
    PtyPath = Sim->NextPort();
    ASSERT_FALSE(PtyPath.empty()) << "the simulator named no port";
  }

  void StartWindow() {
    Form = App.App->CreateForm<TMicrophoneSettingsForm>(
        [this](TMicrophoneSettingsForm& F) {
          Port = F.MakeOwned<TSioComm>();
          ConfigureComport1(*Port);
          LoadMicrophoneSettingsForm(F, *Port);
        },
        [this]() -> std::unique_ptr<TPortEntryList> {
          ++Scans;
          if (!Listed)
            return nullptr;
          return std::make_unique<TPortEntryList>(TPortEntryList{PtyPath + "  micsim"});
        });
    Form->Show();
  }

  // Virtual time in 100 ms steps, serving the port's notifications in between.
  bool RunUntil(const std::function<bool()>& Done) {
    const auto Deadline = std::chrono::steady_clock::now() + kRealBound;
    while (!Done()) {
      if (std::chrono::steady_clock::now() > Deadline)
        return false;
      Backend().Advance(100ms);
      Backend().PumpUntil(Done, 20ms);
    }
    return true;
  }
  // Settles while the device answers the reads: the fields hold the device's values.
  bool RunUntilSettled() {
    return RunUntil([this] { return Panel(1) == "Connected" && Panel(4) == "Saved"; });
  }

  std::string Panel(int Index) const { return Form->StatusBar1->PanelText(Index); }
  THeadlessBackend& Backend() { return *App.Backend; }

  TTempDir Dir;
  std::unique_ptr<TMicsimProcess> Sim;
  std::string PtyPath;
  bool Listed = true;
  int Scans = 0;
  THeadlessApp App = MakeHeadlessApplication();
  TMicrophoneSettingsForm* Form = nullptr;
  TSioComm* Port = nullptr;
};

const char* const kDefaultState = "button1=65\nbutton2=255\nbutton3=255\nmute=0\n";

TEST_F(MicsimTest, ConnectsShowsTheSettingsAndSaves) {
  StartSimulator({}, kDefaultState);
  StartWindow();
  ASSERT_TRUE(RunUntilSettled()) << Panel(1);
  EXPECT_EQ(Port->DeviceName(), PtyPath);
  EXPECT_EQ(Form->hkKey1->HotKey(), 119);  // F8
  EXPECT_EQ(Form->hkKey2->HotKey(), 252);
  EXPECT_FALSE(Form->cbKey2->Checked());
  EXPECT_EQ(Panel(3), "1.2");

  // Button 3 on with F2, button 1 to F1.
  Backend().Click(*Form->cbKey3);
  Backend().TypeKey(*Form->hkKey3, 113, 0);
  Backend().TypeKey(*Form->hkKey1, 112, 0);
  ASSERT_EQ(Panel(4), "Not saved");
  ASSERT_TRUE(Backend().MessageBoxes().empty());
  Backend().Click(*Form->btSave);
  EXPECT_EQ(Form->btSave->Caption(), "Saving");
  ASSERT_TRUE(RunUntil([this] { return Inside(Form).fSavedSettings(); }));
  EXPECT_EQ(Panel(4), "Saved");
  EXPECT_EQ(Form->btSave->Caption(), "Save");
  EXPECT_TRUE(Form->hkKey1->Enabled());
  EXPECT_EQ(Form->hkKey1->HotKey(), 112);
  EXPECT_EQ(Form->hkKey3->HotKey(), 113);
  EXPECT_TRUE(Form->cbKey3->Checked());
  const auto State = ReadState(Dir / "state");
  EXPECT_EQ(State.at("button1"), 58);
  EXPECT_EQ(State.at("button2"), 255);
  EXPECT_EQ(State.at("button3"), 59);
  EXPECT_EQ(State.at("mute"), 0);
}

TEST_F(MicsimTest, ASimulatorThatDiesSendsTheWindowBackToSearching) {
  StartSimulator({}, kDefaultState);
  StartWindow();
  ASSERT_TRUE(RunUntilSettled());
  Sim->Signal(SIGKILL);
  ASSERT_TRUE(RunUntil([this] { return !Port->Active(); }));
  EXPECT_EQ(Panel(1), "Not connected");
  EXPECT_EQ(Panel(3), "Unknown");
  EXPECT_FALSE(Inside(Form).fIsConnected());
  EXPECT_TRUE(Form->tmConnect->Enabled());
  // The search goes on: the vanished port fails to open and the list is scanned again.
  Listed = false;
  const int Before = Scans;
  ASSERT_TRUE(RunUntil([&] { return Scans >= Before + 3; }));
  EXPECT_FALSE(Port->Active());
  EXPECT_EQ(Panel(1), "Not connected");
  for (const TMessageBoxRecord& Box : Backend().MessageBoxes()) {
    EXPECT_NE(Box.Kind, TMessageBoxKind::mbFailure) << Box.Text;
  }
}

TEST_F(MicsimTest, ASaveCutOffByAHangUpIsConfirmedByTheReopenedPort) {
  // Every port of the simulator hangs up at its seventh frame: the first session's
  // greeting and reads take six, so the save's first write cuts it off.
  StartSimulator({"--hangup-after", "7", "--reopen"}, kDefaultState);
  StartWindow();
  ASSERT_TRUE(RunUntilSettled());
  Backend().TypeKey(*Form->hkKey1, 112, 0);
  Backend().Click(*Form->btSave);
  // Only the port-closed reaction shows "Unknown" in the version panel.
  ASSERT_TRUE(RunUntil([this] { return Panel(3) == "Unknown"; }));
  EXPECT_EQ(Panel(1), "Not connected");
  EXPECT_FALSE(Port->Active());
  EXPECT_FALSE(Inside(Form).fSavedSettings());
  EXPECT_FALSE(Form->hkKey1->Enabled());

  PtyPath = Sim->NextPort();
  ASSERT_FALSE(PtyPath.empty());
  ASSERT_TRUE(RunUntil([this] { return Inside(Form).fSavedSettings(); }));
  EXPECT_EQ(Panel(1), "Connected");
  EXPECT_EQ(Port->DeviceName(), PtyPath);
  EXPECT_EQ(Panel(4), "Saved");
  EXPECT_EQ(Form->btSave->Caption(), "Save");
  EXPECT_TRUE(Form->hkKey1->Enabled());
  // The write never reached the device: the read-back shows what it holds.
  EXPECT_EQ(Form->hkKey1->HotKey(), 119);
  EXPECT_EQ(ReadState(Dir / "state").at("button1"), 65);
}

struct TFaultCase {
  const char* Name;
  std::vector<std::string> Options;
};

class MicsimFaultTest : public MicsimTest, public ::testing::WithParamInterface<TFaultCase> {};

TEST_P(MicsimFaultTest, ConnectsAndShowsTheDevicesValues) {
  StartSimulator(GetParam().Options, "button1=62\nbutton2=69\nbutton3=255\nmute=1\n");
  StartWindow();
  ASSERT_TRUE(RunUntilSettled()) << Panel(1);
  EXPECT_EQ(Form->hkKey1->HotKey(), 116);  // F5
  EXPECT_EQ(Form->hkKey2->HotKey(), 123);  // F12
  EXPECT_TRUE(Form->cbKey2->Checked());
  EXPECT_EQ(Form->hkKey3->HotKey(), 252);
  EXPECT_FALSE(Form->cbKey3->Checked());
  EXPECT_TRUE(Form->cbMuteWhenPTT->Checked());
  EXPECT_EQ(Panel(3), "2.5");
  EXPECT_TRUE(Backend().MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MicsimFaultTest,
    ::testing::Values(TFaultCase{"Stray", {"--stray", "3", "--version", "25"}},
                      TFaultCase{"Split", {"--split", "--version", "25"}},
                      TFaultCase{"Merge", {"--merge", "--version", "25"}},
                      TFaultCase{"Delay", {"--delay", "50", "--version", "25"}},
                      TFaultCase{"AnswerAfter", {"--answer-after", "3", "--version", "25"}},
                      TFaultCase{"All",
                                 {"--stray", "3", "--split", "--merge", "--delay", "50",
                                  "--answer-after", "3", "--version", "25"}}),
    [](const ::testing::TestParamInfo<TFaultCase>& Info) { return Info.param.Name; });

}  // namespace

}  // namespace vantor
