// Walking the candidate ports, greeting each, and following the port's notifications.
#include "controller/microphone_settings_form.h"
#include "controller/status_panels.h"

namespace vantor {

namespace {

constexpr std::int32_t kTimerHandshakes = 3;  // plus the one sent when the port opens

// One step of the connecting animation, chosen by the length of the text shown now.
std::string NextConnectingText(const std::string& Current) {
  const std::size_t Length = Current.size();
  if (Length == 10)
    return "Connecting.";
  if (Length < 10)
    return "Connecting..";
  if (Length == 11)
    return "Connecting...";
  return "Connecting";
}

// The port name of an entry such as "COM3  USB Serial Device ": the text before a blank.
std::string PortNameOf(const std::string& Entry) {
  return Entry.substr(0, Entry.find(' '));
}

}  // namespace

void TMicrophoneSettingsForm::connectTimer(TObject* /*Sender*/) {
  if (fIsConnected) {
    tmConnect->SetEnabled(false);
    return;
  }
  if (Port().Active() && fConnectCount < kTimerHandshakes) {
    SendHandshake();
    ++fConnectCount;
    StatusBar1->SetPanelText(kConnectionPanel,
                             NextConnectingText(StatusBar1->PanelText(kConnectionPanel)));
    return;
  }
  Port().Close();
  fConnectCount = 0;
  if (fComPortList && !fComPortList->empty()) {
    fComport = fComPortList->front();
    fComPortList->erase(fComPortList->begin());
    OpenCurrentPort();
  } else {
    // The list is used up: this tick only rescans, the next one takes its first entry.
    RefreshPortList();
  }
}

void TMicrophoneSettingsForm::OpenCurrentPort() {
  if (fComport.empty())
    return;
  try {
    Port().SetDeviceName(PortNameOf(fComport));
    Port().Open();
  } catch (...) {
    // A port that is missing, busy or no port at all is simply skipped at the next tick.
  }
}

void TMicrophoneSettingsForm::comportOpen(TObject* /*Sender*/) {
  ++FPortSession;
  SendHandshake();
  StatusBar1->SetPanelText(kConnectionPanel, "Connecting...");
}

void TMicrophoneSettingsForm::comportClose(TObject* /*Sender*/) {
  StatusBar1->SetPanelText(kConnectionPanel, "Not connected");
  StatusBar1->SetPanelText(kVersionPanel, "Unknown");
  StatusBar1->SetPanelText(kSavePanel, "");
  fIsConnected = false;
  tmConnect->SetEnabled(true);
  tmSaving->SetEnabled(false);
}

void TMicrophoneSettingsForm::Comport1Error(TObject* /*Sender*/, int /*Errors*/) {
  Port().Close();
}

void TMicrophoneSettingsForm::ComportBreak(TObject* /*Sender*/) {
  Port().Close();
}

void TMicrophoneSettingsForm::Comport1USBDeviceUnplug(TObject* /*Sender*/,
                                                      const std::string& ADeviceName) {
  if (Port().DeviceName() == ADeviceName)
    Port().Close();
  // Any removal restarts the walk at the head of a fresh list.
  RefreshPortList();
}

void TMicrophoneSettingsForm::RefreshPortList() {
  fComPortList = GetAvailableComPorts();
}

std::unique_ptr<TPortEntryList> TMicrophoneSettingsForm::GetAvailableComPorts() {
  if (!FPortList)
    return nullptr;
  return FPortList();
}

}  // namespace vantor
