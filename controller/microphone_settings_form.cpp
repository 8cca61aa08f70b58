// The main window's behaviour: finding the microphone among the ports, the settings
// exchange with it, saving, and the rules for function-key assignments.
#include "controller/microphone_settings_form.h"

#include <algorithm>

#include "framework/dialogs.h"
#include "framework/object.h"
#include "protocol/device_values.h"
#include "protocol/frames.h"
#include "protocol/requests.h"
#include "protocol/reply.h"

namespace vantor {

namespace {

// The status bar panels the controller writes.
constexpr int kConnectionPanel = 1;
constexpr int kVersionPanel = 3;
constexpr int kSavePanel = 4;

constexpr std::int32_t kTimerHandshakes = 3;  // plus the one sent when the port opens
constexpr std::uint8_t kHandshakeAnswered = 1;

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

TMicrophoneSettingsForm::TMicrophoneSettingsForm(TComponent* AOwner, const TFormLoader& Load,
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

// --- Connection manager: walking the candidate ports, greeting each, following the port ---

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

// --- Receiving: read, append to the receive buffer, cut frames off its head ---

void TMicrophoneSettingsForm::comportRXChar(TObject* /*Sender*/, int Count) {
  const std::uint32_t Session = FPortSession;
  try {
    // A failed creation handler may have left no buffer: bytes must not be lost for it.
    if (!Data_buf)
      Data_buf = std::make_unique<TByteBuffer>();
    const int Wanted = std::max(Count, 0);
    TByteBuffer Read(static_cast<std::size_t>(Wanted));
    int Got = Wanted > 0 ? Port().ReadBuf(Read.data(), Wanted) : 0;
    // Never trust the count read beyond the array it was read into.
    Got = std::clamp(Got, 0, Wanted);
    Read.resize(static_cast<std::size_t>(Got));
    Data_buf->insert(Data_buf->end(), Read.begin(), Read.end());
    ScanReceiveBuffer(*Data_buf, [this](const TByteBuffer& Frame, std::uint8_t Length) {
      return HandleReply(Frame, Length);
    });
  } catch (const std::exception& E) {
    ReportReceiveFailure(ExceptionClassName(E), E.what(), Session);
  } catch (...) {
    ReportReceiveFailure("unknown", "Unknown failure", Session);
  }
}

void TMicrophoneSettingsForm::ReportReceiveFailure(const std::string& ClassName,
                                                   const std::string& Message,
                                                   std::uint32_t Session) {
  NoticeBox("Exception class name = " + ClassName);
  NoticeBox("Exception message = " + Message);
  // The boxes are modal but the timers run on: if the search has moved on to another
  // port meanwhile, that port did not fail and stays open.
  if (Session == FPortSession)
    Port().Close();
}

// --- Replies and Save with its confirmation ---

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

// --- Function-key rules: editing a field, switching a button ---

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
