// The window as its stored description builds it, and the state formCreate leaves.
#include <gtest/gtest.h>

#include <stdexcept>
#include <typeinfo>

#include "tests/controller/form_fixture.h"

namespace {

struct TWidgetRow {
  const char* Name;
  const std::type_info& Kind;
  int Left, Top, Width, Height, TabOrder;
  bool Visible, Enabled;
};

const TWidgetRow kWidgets[] = {
    {"Label4", typeid(TLabel), 23, 235, 131, 14, -1, false, true},
    {"Image1", typeid(TImage), 39, 24, 256, 169, -1, true, true},
    {"cbKey1", typeid(TCheckBox), 188, 199, 15, 17, 0, true, false},
    {"cbKey2", typeid(TCheckBox), 100, 199, 15, 17, 1, true, true},
    {"cbKey3", typeid(TCheckBox), 273, 199, 15, 17, 2, true, true},
    {"cbMuteWhenPTT", typeid(TCheckBox), 162, 235, 19, 17, 3, false, true},
    {"btSave", typeid(TButton), 210, 227, 78, 33, 4, true, true},
    {"hkKey1", typeid(THotKey), 146, 199, 35, 22, 5, true, true},
    {"hkKey2", typeid(THotKey), 60, 199, 35, 22, 6, true, true},
    {"hkKey3", typeid(THotKey), 233, 199, 35, 22, 7, true, true},
    {"StatusBar1", typeid(TStatusBar), 0, 270, 330, 19, -1, true, true},
};

using DescriptionTest = FormTest;

TEST_F(DescriptionTest, CreatesTheWidgetTableInOrder) {
  Start();
  const auto& Controls = Form->Controls();
  ASSERT_EQ(Controls.size(), std::size(kWidgets));
  for (std::size_t I = 0; I < Controls.size(); ++I) {
    const TWidgetRow& Row = kWidgets[I];
    SCOPED_TRACE(Row.Name);
    const TControl* C = Controls[I];
    EXPECT_EQ(C->Name(), Row.Name);
    EXPECT_EQ(typeid(*C), Row.Kind);
    EXPECT_EQ(C->Left(), Row.Left);
    EXPECT_EQ(C->Top(), Row.Top);
    EXPECT_EQ(C->Width(), Row.Width);
    EXPECT_EQ(C->Height(), Row.Height);
    EXPECT_EQ(C->TabOrder(), Row.TabOrder);
    EXPECT_EQ(C->Visible(), Row.Visible);
    EXPECT_EQ(C->Enabled(), Row.Enabled);
    EXPECT_EQ(Form->FindComponent(Row.Name), C);
  }
  // The form's pointers name the same widgets.
  EXPECT_EQ(Form->Label4, Controls[0]);
  EXPECT_EQ(Form->hkKey3, Controls[9]);
  EXPECT_EQ(Form->StatusBar1, Controls[10]);
  EXPECT_EQ(Form->Comport1, static_cast<ISerialPort*>(Port));
}

TEST_F(DescriptionTest, WindowTimersAndInitialStates) {
  Start();
  EXPECT_EQ(Form->Name(), "MicrophoneSettingsForm");
  EXPECT_EQ(Form->Caption(), "Vantor Microphone Settings");
  EXPECT_EQ(Form->ClientWidth(), 330);
  EXPECT_EQ(Form->ClientHeight(), 289);
  EXPECT_EQ(Form->Color(), 0xFFFFFFu);
  EXPECT_EQ(Form->FontName(), "Tahoma");
  EXPECT_EQ(Form->FontHeight(), 12);

  EXPECT_EQ(Form->Label4->Caption(), "MUTE WHEN NOT PTT:");
  EXPECT_TRUE(Form->cbKey1->Checked());
  EXPECT_FALSE(Form->cbKey2->Checked());
  EXPECT_FALSE(Form->cbKey3->Checked());
  EXPECT_FALSE(Form->cbMuteWhenPTT->Checked());
  EXPECT_EQ(Form->btSave->Caption(), "Save");
  EXPECT_FALSE(Form->btSave->Default());
  EXPECT_EQ(Form->Image1->Picture().Width, 0);

  const THKInvalidKeys Pairs = HKInvalidBit(hcShiftCtrl) | HKInvalidBit(hcShiftAlt) |
                               HKInvalidBit(hcCtrlAlt) | HKInvalidBit(hcShiftCtrlAlt);
  EXPECT_EQ(Form->hkKey1->InvalidKeys(), Pairs | HKInvalidBit(hcNone));
  EXPECT_EQ(Form->hkKey2->InvalidKeys(), Pairs);
  EXPECT_EQ(Form->hkKey3->InvalidKeys(), Pairs);
  for (THotKey* Field : {Form->hkKey1, Form->hkKey2, Form->hkKey3}) {
    EXPECT_EQ(Field->Modifiers(), 0);
  }

  EXPECT_EQ(Form->tmSaving->Name(), "tmSaving");
  EXPECT_FALSE(Form->tmSaving->Enabled());
  EXPECT_EQ(Form->tmSaving->Interval(), 500u);
  EXPECT_EQ(Form->tmConnect->Name(), "tmConnect");
  EXPECT_TRUE(Form->tmConnect->Enabled());
  EXPECT_EQ(Form->tmConnect->Interval(), 1000u);
}

TEST_F(DescriptionTest, StatusBarPanels) {
  Start();
  struct TRow {
    int Width;
    TAlignment Alignment;
    TStatusPanelBevel Bevel;
  };
  const TRow Rows[] = {{50, taCenter, pbNone},
                       {100, taLeftJustify, pbLowered},
                       {55, taLeftJustify, pbLowered},
                       {55, taLeftJustify, pbLowered},
                       {50, taCenter, pbLowered}};
  ASSERT_EQ(Form->StatusBar1->PanelCount(), 5);
  for (int I = 0; I < 5; ++I) {
    SCOPED_TRACE(I);
    EXPECT_EQ(Form->StatusBar1->Panel(I).Width, Rows[I].Width);
    EXPECT_EQ(Form->StatusBar1->Panel(I).Alignment, Rows[I].Alignment);
    EXPECT_EQ(Form->StatusBar1->Panel(I).Bevel, Rows[I].Bevel);
  }
  EXPECT_EQ(Panel(0), "Status :");
  EXPECT_EQ(Panel(1), "Not connected");
  EXPECT_EQ(Panel(2), "Version : ");
  EXPECT_EQ(Panel(3), "");
  EXPECT_EQ(Panel(4), "");
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
  EXPECT_EQ(Built->fComPortList, nullptr);
  EXPECT_EQ(Built->fComport, "");
  EXPECT_EQ(Built->fConnectCount, 0);
  EXPECT_FALSE(Built->fIsConnected);
  EXPECT_FALSE(Built->fSavedSettings);
  EXPECT_EQ(Built->Data_buf, nullptr);
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
  EXPECT_FALSE(Form->fIsConnected);
  ASSERT_NE(Form->fComPortList, nullptr);
  EXPECT_EQ(*Form->fComPortList, TPortEntryList{"COM3  USB Serial Device "});
  ASSERT_NE(Form->Data_buf, nullptr);
  EXPECT_TRUE(Form->Data_buf->empty());
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
  EXPECT_EQ(Form->Data_buf, nullptr);  // the remaining step was skipped

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
