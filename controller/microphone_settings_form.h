// The main window's behaviour: finding the microphone among the ports, the settings
// exchange with it, saving, and the rules for function-key assignments. The widgets are
// made and bound by the window's stored description (the loader given to the constructor).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "discovery/available_ports.h"
#include "framework/controls.h"
#include "framework/timer.h"
#include "protocol/reassembly.h"
#include "serial/serial_port.h"

namespace vantor {

class TMicrophoneSettingsForm : public TForm {
 public:
  // Builds the widgets and components on the form and binds their events.
  using TFormLoader = std::function<void(TMicrophoneSettingsForm&)>;
  // The candidate ports, as port discovery lists them (null when there are none).
  using TPortListSource = std::function<std::unique_ptr<TPortEntryList>()>;

  TMicrophoneSettingsForm(TComponent* AOwner, const TFormLoader& Load, TPortListSource PortList);
  ~TMicrophoneSettingsForm() override;

  // Widgets and components, owned by the form; set by the stored description, which
  // names them: these names are bindings, keep them as they are.
  TLabel* Label4 = nullptr;
  TImage* Image1 = nullptr;
  TCheckBox* cbKey1 = nullptr;
  TCheckBox* cbKey2 = nullptr;
  TCheckBox* cbKey3 = nullptr;
  TCheckBox* cbMuteWhenPTT = nullptr;
  TButton* btSave = nullptr;
  THotKey* hkKey1 = nullptr;
  THotKey* hkKey2 = nullptr;
  THotKey* hkKey3 = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  TTimer* tmSaving = nullptr;
  TTimer* tmConnect = nullptr;
  ISerialPort* Comport1 = nullptr;

  // Handlers and operations under the window's own names; the stored description binds
  // the handlers by these names, so keep them as they are.

  // Window.
  void formCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);

  // Connection manager.
  void connectTimer(TObject* Sender);
  void comportOpen(TObject* Sender);
  void comportClose(TObject* Sender);
  void Comport1Error(TObject* Sender, int Errors);
  void ComportBreak(TObject* Sender);
  void Comport1USBDeviceUnplug(TObject* Sender, const std::string& ADeviceName);
  void RefreshPortList();
  // A microphone has answered the greeting on the open port.
  bool Connected() const { return fIsConnected; }
  void OpenCurrentPort();
  std::unique_ptr<TPortEntryList> GetAvailableComPorts();

  // Receiving: reads the waiting bytes, appends them to Data_buf and cuts frames off it.
  void comportRXChar(TObject* Sender, int Count);
  // Acts on one frame (its first Length bytes). True when the frame was a reply the host
  // understands (a handshake, setting or version reply, short ones included), so the
  // whole frame is dropped; false for anything else, so only its start byte is dropped
  // and the scan looks for a frame start inside it.
  bool HandleReply(const TByteBuffer& Frame, std::uint8_t Length);

  // Settings exchange and saving.
  void btSaveClick(TObject* Sender);
  void savingTimer(TObject* Sender);
  void DisableFields();
  void EnableFields();

  // Function-key rules.
  void hkKey1Change(TObject* Sender);
  void hkKey2Change(TObject* Sender);
  void hkKey3Change(TObject* Sender);
  void CbClick(TObject* Sender);

  // Requests to the device on Comport1.
  void SendHandshake();
  void RequestSetting(std::uint8_t Index);
  void WriteSetting(std::uint8_t Index, std::uint8_t Value);
  void RequestVersion();

 private:
  // Reads and sets the controller state below; the tests' only way in.
  friend class TMicrophoneSettingsFormTestAccess;

  ISerialPort& Port() const;
  void ApplyKeyRule(THotKey& Field, THotKey& FirstOther, THotKey& SecondOther);
  void ApplySettingReply(std::uint8_t Index, std::uint8_t Value);
  void ReportReceiveFailure(const std::string& ClassName, const std::string& Message,
                            std::uint32_t Session);

  // Controller state; the names are the window's own.
  std::unique_ptr<TPortEntryList> fComPortList;  // candidates not yet tried
  std::string fComport;                          // the entry being tried now
  std::int32_t fConnectCount = 0;                // handshakes the timer sent on it
  bool fIsConnected = false;                     // the device has answered
  bool fSavedSettings = false;                   // the last save has been confirmed
  std::unique_ptr<TByteBuffer> Data_buf;         // received bytes not yet cut into frames

  TPortListSource FPortList;
  // Counts the ports opened, so that a failure on one port never closes the next one.
  std::uint32_t FPortSession = 0;
};

}  // namespace vantor
