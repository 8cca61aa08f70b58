// The rules applied when the user edits a function-key field or switches a button.
#include "controller/microphone_settings_form.h"
#include "controller/status_panels.h"
#include "framework/dialogs.h"
#include "protocol/key_codes.h"

namespace vantor {

void TMicrophoneSettingsForm::hkKey1Change(TObject* /*Sender*/) {
  ApplyKeyRule(*hkKey1, *hkKey2, *hkKey3);
}

void TMicrophoneSettingsForm::hkKey2Change(TObject* /*Sender*/) {
  ApplyKeyRule(*hkKey2, *hkKey1, *hkKey3);
}

void TMicrophoneSettingsForm::hkKey3Change(TObject* /*Sender*/) {
  ApplyKeyRule(*hkKey3, *hkKey1, *hkKey2);
}

void TMicrophoneSettingsForm::ApplyKeyRule(THotKey& Field, THotKey& FirstOther,
                                           THotKey& SecondOther) {
  // Whole values, flags included; a key held by a switched-off button still counts.
  const char* Refusal = nullptr;
  if (Field.HotKey() == FirstOther.HotKey() || Field.HotKey() == SecondOther.HotKey()) {
    Refusal = "This function key is already selected";
  } else if (KeyToDeviceCode(Field.HotKey()) == kDeviceKeyNone) {
    Refusal = "Key not supported!\r\nSelect key F1 - F12";
  }
  if (Refusal) {
    // Emptied before the box opens, so the refused key is never held while it is shown.
    Field.SetHotKey(kKeyNone);
    ErrorBox(Refusal);
  }
  StatusBar1->SetPanelText(kSavePanel, "Not saved");
}

void TMicrophoneSettingsForm::CbClick(TObject* /*Sender*/) {
  StatusBar1->SetPanelText(kSavePanel, "Not saved");
}

}  // namespace vantor
