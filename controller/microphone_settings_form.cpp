#include "controller/microphone_settings_form.h"

#include "controller/status_panels.h"
#include "framework/object.h"
#include "protocol/frames.h"
#include "protocol/key_codes.h"

namespace vantor {

TMicrophoneSettingsForm::TMicrophoneSettingsForm(TComponent* AOwner, TFormLoader Load,
                                                 TPortListSource PortList)
    : TForm(AOwner), FPortList(std::move(PortList)) {
  BeginLoading();
  if (Load)
    Load(*this);
  Loaded();
}

TMicrophoneSettingsForm::~TMicrophoneSettingsForm() {
  // The components (Comport1 among them) go while the controller state is still whole.
  DestroyComponents();
}

void TMicrophoneSettingsForm::formCreate(TObject* /*Sender*/) {
  StatusBar1->SetPanelText(kConnectionPanel, "Not connected");
  hkKey2->SetHotKey(kKeyNone);
  hkKey3->SetHotKey(kKeyNone);
  fIsConnected = false;
  RefreshPortList();
  Data_buf = std::make_unique<TByteBuffer>();
}

void TMicrophoneSettingsForm::FormClose(TObject* /*Sender*/, TCloseAction& /*Action*/) {
  Port().Close();
}

ISerialPort& TMicrophoneSettingsForm::Port() const {
  if (!Comport1)
    throw Exception("Comport1 is not bound");
  return *Comport1;
}

void TMicrophoneSettingsForm::SendHandshake() {
  vantor::SendHandshake(Port());
}

void TMicrophoneSettingsForm::RequestSetting(std::uint8_t Index) {
  vantor::RequestSetting(Port(), Index);
}

void TMicrophoneSettingsForm::WriteSetting(std::uint8_t Index, std::uint8_t Value) {
  vantor::WriteSetting(Port(), Index, Value);
}

void TMicrophoneSettingsForm::RequestVersion() {
  vantor::RequestVersion(Port());
}

}  // namespace vantor
