// The window as its stored description builds it, and the state formCreate leaves.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/controller/form_fixture.h"

namespace vantor {

namespace {

using DescriptionTest = FormTest;

// Creation order, names and the states that decide focus and input; the geometry is the
// ui's concern and is not restated here.
TEST_F(DescriptionTest, CreatesTheWidgetsInOrderWithTheirStates) {
  Start();
  struct TRow {
    const char* Name;
    int TabOrder;
    bool Visible, Enabled;
  };
  const TRow Rows[] = {
      {"Label4", -1, false, true}, {"Image1", -1, true, true},    {"cbKey1", 0, true, false},
      {"cbKey2", 1, true, true},   {"cbKey3", 2, true, true},     {"cbMuteWhenPTT", 3, false, true},
      {"btSave", 4, true, true},   {"hkKey1", 5, true, true},     {"hkKey2", 6, true, true},
      {"hkKey3", 7, true, true},   {"StatusBar1", -1, true, true}};
  const auto& Controls = Form->Controls();
  ASSERT_EQ(Controls.size(), std::size(Rows));
  for (std::size_t I = 0; I < Controls.size(); ++I) {
    SCOPED_TRACE(Rows[I].Name);
    EXPECT_EQ(Controls[I]->Name(), Rows[I].Name);
    EXPECT_EQ(Controls[I]->TabOrder(), Rows[I].TabOrder);
    EXPECT_EQ(Controls[I]->Visible(), Rows[I].Visible);
    EXPECT_EQ(Controls[I]->Enabled(), Rows[I].Enabled);
  }
  EXPECT_EQ(Form->cbKey2, Form->FindComponent("cbKey2"));
  EXPECT_EQ(Form->Comport1, static_cast<ISerialPort*>(Port));
  EXPECT_EQ(Form->Name(), "MicrophoneSettingsForm");
  EXPECT_EQ(Form->Caption(), "Vantor Microphone Settings");
  EXPECT_TRUE(Form->cbKey1->Checked());
  EXPECT_EQ(Form->btSave->Caption(), "Save");
  // Pairs and the triple of modifiers are never taken; field 1 takes no bare key either.
  const THKInvalidKeys Pairs = HKInvalidBit(hcShiftCtrl) | HKInvalidBit(hcShiftAlt) |
                               HKInvalidBit(hcCtrlAlt) | HKInvalidBit(hcShiftCtrlAlt);
  EXPECT_EQ(Form->hkKey1->InvalidKeys(), Pairs | HKInvalidBit(hcNone));
  EXPECT_EQ(Form->hkKey3->InvalidKeys(), Pairs);
  EXPECT_EQ(Form->hkKey2->Modifiers(), 0);
  EXPECT_FALSE(Form->tmSaving->Enabled());
  EXPECT_EQ(Form->tmSaving->Interval(), 500u);
  EXPECT_TRUE(Form->tmConnect->Enabled());
  EXPECT_EQ(Form->tmConnect->Interval(), 1000u);
  const std::vector<std::string> Texts = {"Status :", "Not connected", "Version : ", "", ""};
  for (int I = 0; I < 5; ++I)
    EXPECT_EQ(Panel(I), Texts[static_cast<std::size_t>(I)]) << I;
}

TEST_F(DescriptionTest, ControllerStateIsEmptyUntilTheCreationHandlerRuns) {
  // Built but not yet created: what the description alone leaves.
  auto* Built = App.App->MakeOwned<TMicrophoneSettingsForm>(
      [this](TMicrophoneSettingsForm& F) {
        Port = F.MakeOwned<TScriptedPort>();
        LoadMicrophoneSettingsForm(F, *Port);
      },
      PortList.Source());
  EXPECT_FALSE(Built->IsLoading());
  EXPECT_EQ(Inside(Built).fComPortList(), nullptr);
  EXPECT_EQ(Inside(Built).fComport(), "");
  EXPECT_EQ(Inside(Built).fConnectCount(), 0);
  EXPECT_FALSE(Inside(Built).fIsConnected());
  EXPECT_FALSE(Inside(Built).fSavedSettings());
  EXPECT_EQ(Inside(Built).Data_buf(), nullptr);
  EXPECT_EQ(PortList.Calls, 0);
  EXPECT_EQ(Built->hkKey1->HotKey(), kF8);
  EXPECT_EQ(Built->hkKey2->HotKey(), 0);
  EXPECT_EQ(Built->hkKey3->HotKey(), kF2);
  EXPECT_EQ(Built->StatusBar1->PanelText(1), "");
  // Loading raised no events: no check-box rule ran.
  EXPECT_EQ(Built->StatusBar1->PanelText(4), "");
  EXPECT_TRUE(Backend().MessageBoxes().empty());
}

TEST_F(DescriptionTest, CreationHandlerEmptiesButtons2And3AndFetchesTheList) {
  Start({TPortEntryList{"COM3  USB Serial Device "}});
  EXPECT_EQ(Form->hkKey1->HotKey(), kF8);
  EXPECT_EQ(Form->hkKey2->HotKey(), kNone);
  EXPECT_EQ(Form->hkKey3->HotKey(), kNone);
  EXPECT_EQ(Backend().HotKeyText(*Form->hkKey2), "");
  EXPECT_FALSE(Inside(Form).fIsConnected());
  ASSERT_NE(Inside(Form).fComPortList(), nullptr);
  EXPECT_EQ(*Inside(Form).fComPortList(), TPortEntryList{"COM3  USB Serial Device "});
  ASSERT_NE(Inside(Form).Data_buf(), nullptr);
  EXPECT_TRUE(Inside(Form).Data_buf()->empty());
  EXPECT_EQ(PortList.Calls, 1);
  EXPECT_FALSE(Port->Active());  // nothing opens before the first tick
  EXPECT_TRUE(Port->OpenTries.empty());
}

TEST_F(DescriptionTest, FailedCreationIsReportedAndTheWindowStillWorks) {
  int Calls = 0;
  Form = App.App->CreateForm<TMicrophoneSettingsForm>(
      [this](TMicrophoneSettingsForm& F) {
        Port = F.MakeOwned<TScriptedPort>();
        LoadMicrophoneSettingsForm(F, *Port);
      },
      [&Calls]() -> std::unique_ptr<TPortEntryList> {
        if (++Calls == 1)
          throw std::runtime_error("no enumeration");
        return std::make_unique<TPortEntryList>(TPortEntryList{"COM3"});
      });
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Kind, TMessageBoxKind::mbFailure);
  EXPECT_EQ(Boxes()[0].Text, "no enumeration.");
  EXPECT_EQ(Panel(1), "Not connected");
  EXPECT_EQ(Inside(Form).Data_buf(), nullptr);  // the remaining step was skipped

  // The search goes on, and the first reply is not lost for want of a buffer.
  Tick();  // rescans
  Tick();  // opens COM3
  ASSERT_TRUE(Port->Active());
  Port->Receive(replies::Handshake());
  EXPECT_EQ(Panel(1), "Connected");
}

TEST_F(DescriptionTest, TabWalksTheFocusableWidgets) {
  Start();
  std::vector<std::string> Visited;
  for (int I = 0; I < 7; ++I) {
    Backend().PressTab(true);
    Visited.push_back(Form->ActiveControl()->Name());
  }
  EXPECT_EQ(Visited, (std::vector<std::string>{"cbKey3", "btSave", "hkKey1", "hkKey2", "hkKey3",
                                               "cbKey2", "cbKey3"}));
}

TEST_F(DescriptionTest, ClosingTheWindowClosesThePort) {
  Start({TPortEntryList{"COM3"}});
  Tick();
  ASSERT_TRUE(Port->Active());
  Form->Close();
  EXPECT_FALSE(Port->Active());
  EXPECT_EQ(Port->CloseNotices, 1);
  EXPECT_EQ(Panel(1), "Not connected");
  EXPECT_TRUE(App.App->Terminated());
}

}  // namespace

}  // namespace vantor
