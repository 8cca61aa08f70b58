// The device's replies on the window, and Save with its animation and confirmation.
#include <gtest/gtest.h>

#include "tests/controller/form_fixture.h"

namespace vantor {

namespace {

using SettingsExchangeTest = FormTest;

std::vector<TBytes> SaveFrames(std::uint8_t A, std::uint8_t B, std::uint8_t C) {
  return {requests::Write(1, A), requests::Write(2, B), requests::Write(3, C),
          requests::Write(4, 0), requests::Read(1),     requests::Read(2),
          requests::Read(3),     requests::Read(4)};
}

TEST_F(SettingsExchangeTest, TheFirstAnswerAsksForTheVersionAndTheFourSettingsOnce) {
  Start({TPortEntryList{"COM3"}});
  Tick();
  Port->Writes.clear();
  Port->Receive(replies::Handshake(0));  // any status but 1 changes nothing
  EXPECT_FALSE(Inside(Form).fIsConnected());
  EXPECT_TRUE(Port->Writes.empty());

  Port->Receive(replies::Handshake(1));
  EXPECT_EQ(Panel(1), "Connected");
  EXPECT_EQ(Port->Frames(),
            (std::vector<TBytes>{requests::kVersion, requests::Read(1), requests::Read(2),
                                 requests::Read(3), requests::Read(4)}));
  Port->Receive(replies::Handshake(1));
  EXPECT_EQ(Port->Frames().size(), 5u);
}

TEST_F(SettingsExchangeTest, SettingRepliesFillTheFieldsAndBoxes) {
  StartConnected();
  struct TCase {
    std::uint8_t Index, Value;
    std::uint16_t Key;
    bool Checked;
  };
  const TCase Cases[] = {
      {2, 255, kNone, false}, {2, 62, kF5, true},     {2, 10, kNone, true},
      {3, 58, kF1, true},     {3, 255, kNone, false}, {3, 70, kNone, true},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << int(C.Index) << " = " << int(C.Value));
    Port->Receive(replies::Setting(C.Index, C.Value));
    THotKey* Field = C.Index == 2 ? Form->hkKey2 : Form->hkKey3;
    TCheckBox* Box = C.Index == 2 ? Form->cbKey2 : Form->cbKey3;
    EXPECT_EQ(Field->HotKey(), C.Key);
    EXPECT_EQ(Box->Checked(), C.Checked);
  }
  Port->Receive(replies::Setting(1, 255));
  EXPECT_EQ(Form->hkKey1->HotKey(), kNone);
  Port->Receive(replies::Setting(1, 69));
  EXPECT_EQ(Form->hkKey1->HotKey(), 123);
  // A device that reports one key twice has it shown twice: no rule runs for replies.
  Port->Receive(replies::Setting(2, 69));
  EXPECT_EQ(Form->hkKey2->HotKey(), 123);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SettingsExchangeTest, ARepliedBoxChangeMarksNotSavedOnlyWhenTheStateChanges) {
  StartConnected();
  ASSERT_EQ(Panel(4), "Saved");
  Port->Receive(replies::Setting(2, 255));  // already off
  EXPECT_EQ(Panel(4), "Saved");
  Port->Receive(replies::Setting(2, 62));
  EXPECT_EQ(Panel(4), "Not saved");
}

TEST_F(SettingsExchangeTest, VersionText) {
  StartConnected(65, 255, 255, 0, 12);
  EXPECT_EQ(Panel(3), "1.2");
  Port->Receive(replies::Version(20));
  EXPECT_EQ(Panel(3), "2.0");
  Port->Receive(replies::Version(7));
  EXPECT_EQ(Panel(3), "0.7");
  Port->Receive({0xAA, 0x03, 0x04});
  EXPECT_EQ(Panel(3), "Unknown");
}

TEST_F(SettingsExchangeTest, TheFirstMuteReplyConfirmsALaterOneOnlySetsTheBox) {
  Start({TPortEntryList{"COM3"}});
  Tick();
  Port->Receive(replies::Handshake());
  Form->DisableFields();  // shows that the first read of setting 4 enables them
  EXPECT_FALSE(Inside(Form).fSavedSettings());
  Port->Receive(replies::Setting(4, 0));
  EXPECT_TRUE(Inside(Form).fSavedSettings());
  EXPECT_EQ(Panel(4), "Saved");
  EXPECT_EQ(Form->btSave->Caption(), "Save");
  for (TControl* C : std::initializer_list<TControl*>{Form->hkKey1, Form->hkKey2, Form->hkKey3,
                                                      Form->cbMuteWhenPTT}) {
    EXPECT_TRUE(C->Enabled());
  }

  Form->btSave->SetCaption("Custom");
  Form->hkKey2->SetEnabled(false);
  Port->Receive(replies::Setting(4, 1));
  EXPECT_TRUE(Form->cbMuteWhenPTT->Checked());
  EXPECT_EQ(Panel(4), "Not saved");
  EXPECT_EQ(Form->btSave->Caption(), "Custom");
  EXPECT_FALSE(Form->hkKey2->Enabled());
}

TEST_F(SettingsExchangeTest, SaveSendsTheFourWritesAndTheFourReads) {
  StartConnected(65, 255, 59);  // F8, button 2 off and empty, F2 on button 3
  ASSERT_FALSE(Form->cbKey2->Checked());
  ASSERT_TRUE(Form->cbKey3->Checked());
  ASSERT_EQ(Form->hkKey3->HotKey(), kF2);
  Backend().Click(*Form->btSave);
  EXPECT_EQ(Port->Frames(), SaveFrames(0x41, 0xFF, 0x3B));
  EXPECT_EQ(Port->Frames()[0], (TBytes{0xAA, 0x06, 0x03, 0x01, 0x41, 0xBB}));
  EXPECT_EQ(Form->btSave->Caption(), "Saving");
  EXPECT_TRUE(Form->tmSaving->Enabled());
  EXPECT_FALSE(Inside(Form).fSavedSettings());
  EXPECT_FALSE(Form->hkKey1->Enabled());
  EXPECT_FALSE(Form->cbMuteWhenPTT->Enabled());
  EXPECT_TRUE(Form->cbKey2->Enabled());
  EXPECT_TRUE(Form->btSave->Enabled());
  EXPECT_TRUE(Boxes().empty());

  // A second Save while saving sends the eight frames again.
  Backend().Click(*Form->btSave);
  EXPECT_EQ(Port->Frames().size(), 16u);
}

TEST_F(SettingsExchangeTest, ASwitchedOffButtonIsSavedAsNoKeyWhateverItsFieldHolds) {
  StartConnected(65, 66, 255);  // button 2 on with F9
  Backend().Click(*Form->cbKey2);
  ASSERT_EQ(Form->hkKey2->HotKey(), kF9);
  Backend().Click(*Form->btSave);
  EXPECT_EQ(Port->Frames(), SaveFrames(0x41, 0xFF, 0xFF));
  AnswerSettings(65, 255, 255, 0);
  EXPECT_EQ(Form->hkKey2->HotKey(), kNone);
  EXPECT_FALSE(Form->cbKey2->Checked());
}

class SaveRefusalTest : public FormTest {
 protected:
  void ExpectRefused(std::uint8_t Key1, std::uint8_t Key2, std::uint8_t Key3) {
    StartConnected(Key1, Key2, Key3);
    bool DisabledWhileShown = false;
    Backend().OnMessageBox = [&](const TMessageBoxRecord&) {
      DisabledWhileShown = !Form->hkKey1->Enabled();
    };
    Backend().Click(*Form->btSave);
    Backend().OnMessageBox = nullptr;
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Kind, TMessageBoxKind::mbError);
    EXPECT_EQ(Boxes()[0].Caption, "Error");
    EXPECT_EQ(Boxes()[0].Button, "Cancel");
    EXPECT_EQ(Boxes()[0].Text, "Ivalid settings! Your configured settings has not been saved");
    EXPECT_TRUE(DisabledWhileShown);
    EXPECT_TRUE(Form->hkKey1->Enabled());
    EXPECT_TRUE(Form->cbMuteWhenPTT->Enabled());
    EXPECT_TRUE(Port->Writes.empty());
    EXPECT_EQ(Form->btSave->Caption(), "Save");
    EXPECT_FALSE(Form->tmSaving->Enabled());
    EXPECT_TRUE(Inside(Form).fSavedSettings());
  }
};

TEST_F(SaveRefusalTest, Button1Empty) {
  ExpectRefused(255, 255, 255);
}

// Buttons 1 and 2 are fine; button 3 is on with a value that names no key.
TEST_F(SaveRefusalTest, Button3OnAndEmpty) {
  ExpectRefused(65, 62, 70);
}

TEST_F(SettingsExchangeTest, SaveWhileNotConnectedDoesNothing) {
  Start({TPortEntryList{"COM3"}});
  Tick();
  Backend().Click(*Form->btSave);
  EXPECT_EQ(Port->Frames().size(), 1u);  // the greeting only
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Form->btSave->Caption(), "Save");
  EXPECT_TRUE(Form->hkKey1->Enabled());
  EXPECT_FALSE(Form->tmSaving->Enabled());
}

TEST_F(SettingsExchangeTest, SavingCaptionAnimatesAndTheReadBackConfirms) {
  StartConnected(65, 255, 59);
  Tick();
  Backend().Click(*Form->btSave);
  std::vector<std::string> Captions;
  for (int I = 0; I < 4; ++I) {
    Wait(500);
    Captions.push_back(Form->btSave->Caption());
  }
  EXPECT_EQ(Captions, (std::vector<std::string>{"Saving.", "Saving...", "Saving", "Saving."}));
  // The caption's length alone decides the next step.
  for (const auto& [From, To] : std::vector<std::pair<std::string, std::string>>{
           {"Save", "Saving.."}, {"Saving..", "Saving"}, {"", "Saving.."}}) {
    Form->btSave->SetCaption(From);
    Form->savingTimer(Form->tmSaving);
    EXPECT_EQ(Form->btSave->Caption(), To) << From;
  }

  Port->Receive(replies::Setting(1, 65));
  Port->Receive(replies::Setting(2, 255));
  Port->Receive(replies::Setting(3, 59));
  EXPECT_FALSE(Inside(Form).fSavedSettings());
  EXPECT_FALSE(Form->hkKey1->Enabled());
  Port->Receive(replies::Setting(4, 0));
  EXPECT_TRUE(Inside(Form).fSavedSettings());
  EXPECT_EQ(Form->btSave->Caption(), "Save");
  EXPECT_EQ(Panel(4), "Saved");
  EXPECT_TRUE(Form->hkKey1->Enabled());
  EXPECT_FALSE(Form->tmSaving->Enabled());
  Wait(2000);
  EXPECT_EQ(Form->btSave->Caption(), "Save");
}

TEST_F(SettingsExchangeTest, ASaveInterruptedByTheCloseIsConfirmedAfterReconnecting) {
  StartConnected(65, 255, 59);
  Backend().Click(*Form->btSave);
  Port->RaiseError(0x10);
  ASSERT_FALSE(Port->Active());
  EXPECT_FALSE(Form->hkKey1->Enabled());
  EXPECT_FALSE(Inside(Form).fSavedSettings());

  Tick();  // opens COM4, the next candidate
  ASSERT_EQ(Port->DeviceName(), "COM4");
  Port->Receive(replies::Handshake());
  EXPECT_EQ(Panel(4), "");
  AnswerSettings(65, 255, 59, 0, 13);
  EXPECT_EQ(Panel(4), "Saved");
  EXPECT_EQ(Panel(3), "1.3");
  EXPECT_EQ(Form->btSave->Caption(), "Save");
  EXPECT_TRUE(Form->hkKey1->Enabled());
}

TEST_F(SettingsExchangeTest, AReconnectionWithoutAPendingSaveShowsNoConfirmation) {
  StartConnected();
  Port->RaiseBreak();
  Tick();
  Port->Receive(replies::Handshake());
  AnswerSettings(65, 255, 255, 0);
  EXPECT_EQ(Panel(4), "");
}

TEST_F(SettingsExchangeTest, DisabledFieldsTakeNoKeysWhileSaving) {
  StartConnected();
  Backend().Click(*Form->btSave);
  Backend().TypeKey(*Form->hkKey1, 120, 0);  // F9
  EXPECT_EQ(Form->hkKey1->HotKey(), kF8);
  EXPECT_EQ(Panel(4), "Saved");
}

}  // namespace

}  // namespace vantor
