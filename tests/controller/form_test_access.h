// The tests' one way into the window's controller state, which the form keeps private.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controller/microphone_settings_form.h"

namespace vantor {

class TMicrophoneSettingsFormTestAccess {
 public:
  explicit TMicrophoneSettingsFormTestAccess(TMicrophoneSettingsForm& Form) : FForm(Form) {}

  std::unique_ptr<TPortEntryList>& fComPortList() { return FForm.fComPortList; }
  std::string& fComport() { return FForm.fComport; }
  std::int32_t& fConnectCount() { return FForm.fConnectCount; }
  bool& fIsConnected() { return FForm.fIsConnected; }
  bool& fSavedSettings() { return FForm.fSavedSettings; }
  std::unique_ptr<TByteBuffer>& Data_buf() { return FForm.Data_buf; }

 private:
  TMicrophoneSettingsForm& FForm;
};

inline TMicrophoneSettingsFormTestAccess Inside(TMicrophoneSettingsForm* Form) {
  return TMicrophoneSettingsFormTestAccess(*Form);
}

}  // namespace vantor
