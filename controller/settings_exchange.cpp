// What the device's replies change on the window, and Save with its confirmation.
#include "controller/microphone_settings_form.h"
#include "controller/status_panels.h"
#include "controller/version_text.h"
#include "framework/dialogs.h"
#include "protocol/frames.h"
#include "protocol/key_codes.h"
#include "protocol/reply.h"

namespace vantor {

namespace {

constexpr std::uint8_t kHandshakeAnswered = 1;

// One step of the saving animation, chosen by the length of the caption shown now.
std::string NextSavingCaption(const std::string& Current) {
  const std::size_t Length = Current.size();
  if (Length == 6)
    return "Saving.";
  if (Length < 6)
    return "Saving..";
  if (Length == 7)
    return "Saving...";
  return "Saving";
}

std::uint8_t DeviceCode(THotKey& Field) {
  return static_cast<std::uint8_t>(KeyToDeviceCode(Field.HotKey()));
}

}  // namespace

bool TMicrophoneSettingsForm::HandleReply(const TByteBuffer& Frame, std::uint8_t Length) {
  const TDeviceReply Reply = ReadReply(Frame, Length);
  switch (Reply.Kind) {
    case TDeviceReply::rkIgnored:
      return false;
    case TDeviceReply::rkNotConnected:
      fIsConnected = false;
      break;
    case TDeviceReply::rkHandshake:
      if (Reply.Status == kHandshakeAnswered && !fIsConnected) {
        fIsConnected = true;
        StatusBar1->SetPanelText(kConnectionPanel, "Connected");
        RequestVersion();
        for (std::uint8_t Index = dsButton1Key; Index <= dsMuteWhenNotPtt; ++Index) {
          RequestSetting(Index);
        }
      }
      break;
    case TDeviceReply::rkSetting:
      ApplySettingReply(Reply.Index, Reply.Value);
      break;
    case TDeviceReply::rkVersion:
      StatusBar1->SetPanelText(kVersionPanel, VersionText(Reply.Version));
      break;
    case TDeviceReply::rkVersionUnknown:
      StatusBar1->SetPanelText(kVersionPanel, "Unknown");
      break;
  }
  return true;
}

void TMicrophoneSettingsForm::ApplySettingReply(std::uint8_t Index, std::uint8_t Value) {
  const bool NoKey = Value == kDeviceKeyNone;
  const TShortCut Key = NoKey ? kKeyNone : DeviceCodeToKey(Value);
  switch (Index) {
    case dsButton1Key:
      hkKey1->SetHotKey(Key);
      break;
    case dsButton2Key:
      hkKey2->SetHotKey(Key);
      cbKey2->SetChecked(!NoKey);
      break;
    case dsButton3Key:
      hkKey3->SetHotKey(Key);
      cbKey3->SetChecked(!NoKey);
      break;
    case dsMuteWhenNotPtt:
      // The box first: its click marks "Not saved", which a pending confirmation overrides.
      cbMuteWhenPTT->SetChecked(Value != 0);
      if (!fSavedSettings) {
        fSavedSettings = true;
        tmSaving->SetEnabled(false);
        btSave->SetCaption("Save");
        StatusBar1->SetPanelText(kSavePanel, "Saved");
        EnableFields();
      }
      break;
    default:
      break;
  }
}

void TMicrophoneSettingsForm::btSaveClick(TObject* /*Sender*/) {
  if (!fIsConnected)
    return;
  DisableFields();
  const std::uint8_t A = DeviceCode(*hkKey1);
  std::uint8_t B = DeviceCode(*hkKey2);
  std::uint8_t C = DeviceCode(*hkKey3);
  const bool Valid = A != kDeviceKeyNone && !(cbKey2->Checked() && B == kDeviceKeyNone) &&
                     !(cbKey3->Checked() && C == kDeviceKeyNone);
  if (!cbKey2->Checked())
    B = kDeviceKeyNone;
  if (!cbKey3->Checked())
    C = kDeviceKeyNone;
  if (!Valid) {
    ErrorBox("Ivalid settings! Your configured settings has not been saved");
    EnableFields();
    return;
  }
  tmSaving->SetEnabled(true);
  btSave->SetCaption("Saving");
  fSavedSettings = false;
  WriteSetting(dsButton1Key, A);
  WriteSetting(dsButton2Key, B);
  WriteSetting(dsButton3Key, C);
  // The mute setting is written as off on every save, whatever its box shows.
  WriteSetting(dsMuteWhenNotPtt, 0);
  for (std::uint8_t Index = dsButton1Key; Index <= dsMuteWhenNotPtt; ++Index) {
    RequestSetting(Index);
  }
}

void TMicrophoneSettingsForm::savingTimer(TObject* /*Sender*/) {
  btSave->SetCaption(NextSavingCaption(btSave->Caption()));
}

void TMicrophoneSettingsForm::DisableFields() {
  hkKey1->SetEnabled(false);
  hkKey2->SetEnabled(false);
  hkKey3->SetEnabled(false);
  cbMuteWhenPTT->SetEnabled(false);
}

void TMicrophoneSettingsForm::EnableFields() {
  hkKey1->SetEnabled(true);
  hkKey2->SetEnabled(true);
  hkKey3->SetEnabled(true);
  cbMuteWhenPTT->SetEnabled(true);
}

}  // namespace vantor
