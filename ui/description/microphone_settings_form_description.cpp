#include "ui/description/microphone_settings_form_description.h"

#include "framework/events.h"
#include "serial/serial_port.h"

namespace vantor {

namespace {

using TWindow = TMicrophoneSettingsForm;

template <class T>
T* Make(TWindow& Form, const char* Name, int Left, int Top, int Width, int Height,
        int TabOrder = -1) {
  T* Control = Form.MakeOwned<T>();
  Control->SetName(Name);
  Control->SetBounds(Left, Top, Width, Height);
  Control->SetTabOrder(TabOrder);
  return Control;
}

THKInvalidKeys PairsAndTriple() {
  return HKInvalidBit(hcShiftCtrl) | HKInvalidBit(hcShiftAlt) | HKInvalidBit(hcCtrlAlt) |
         HKInvalidBit(hcShiftCtrlAlt);
}

void MakeWindow(TWindow& Form) {
  Form.SetName("MicrophoneSettingsForm");
  Form.SetCaption("Vantor Microphone Settings");
  Form.SetClientSize(330, 289);
  Form.SetColor(0xFFFFFF);
  Form.SetFont("Tahoma", 12);
}

void MakeWidgets(TWindow& Form) {
  Form.Label4 = Make<TLabel>(Form, "Label4", 23, 235, 131, 14);
  Form.Label4->SetCaption("MUTE WHEN NOT PTT:");
  Form.Label4->SetVisible(false);

  // The picture itself is put in by the program, which owns the renderer.
  Form.Image1 = Make<TImage>(Form, "Image1", 39, 24, 256, 169);
  Form.Image1->SetAccessibleName("The microphone and its three buttons");

  // Button 1 is always on.
  Form.cbKey1 = Make<TCheckBox>(Form, "cbKey1", 188, 199, 15, 17, 0);
  Form.cbKey1->SetChecked(true);
  Form.cbKey1->SetEnabled(false);
  Form.cbKey1->SetAccessibleName("Centre button on");
  Form.cbKey2 = Make<TCheckBox>(Form, "cbKey2", 100, 199, 15, 17, 1);
  Form.cbKey2->SetAccessibleName("Left button on");
  Form.cbKey3 = Make<TCheckBox>(Form, "cbKey3", 273, 199, 15, 17, 2);
  Form.cbKey3->SetAccessibleName("Right button on");
  Form.cbMuteWhenPTT = Make<TCheckBox>(Form, "cbMuteWhenPTT", 162, 235, 19, 17, 3);
  Form.cbMuteWhenPTT->SetVisible(false);
  Form.cbMuteWhenPTT->SetAccessibleName("Mute when not push-to-talk");

  Form.btSave = Make<TButton>(Form, "btSave", 210, 227, 78, 33, 4);
  Form.btSave->SetCaption("Save");
  Form.btSave->SetDefault(false);
  Form.btSave->SetAccessibleName("Save");

  Form.hkKey1 = Make<THotKey>(Form, "hkKey1", 146, 199, 35, 22, 5);
  Form.hkKey1->SetInvalidKeys(HKInvalidBit(hcNone) | PairsAndTriple());
  Form.hkKey1->SetModifiers(0);
  Form.hkKey1->SetHotKey(119);  // F8
  Form.hkKey1->SetAccessibleName("Centre button key");
  Form.hkKey2 = Make<THotKey>(Form, "hkKey2", 60, 199, 35, 22, 6);
  Form.hkKey2->SetInvalidKeys(PairsAndTriple());
  Form.hkKey2->SetModifiers(0);
  Form.hkKey2->SetHotKey(0);
  Form.hkKey2->SetAccessibleName("Left button key");
  Form.hkKey3 = Make<THotKey>(Form, "hkKey3", 233, 199, 35, 22, 7);
  Form.hkKey3->SetInvalidKeys(PairsAndTriple());
  Form.hkKey3->SetModifiers(0);
  Form.hkKey3->SetHotKey(113);  // F2
  Form.hkKey3->SetAccessibleName("Right button key");

  Form.StatusBar1 = Make<TStatusBar>(Form, "StatusBar1", 0, 270, 330, 19);
  Form.StatusBar1->SetAccessibleName("Status");
  // The captions' panels are named by their texts; the others say what they show.
  Form.StatusBar1->AddPanel({50, taCenter, pbNone, "Status :", ""});
  Form.StatusBar1->AddPanel({100, taLeftJustify, pbLowered, "", "Connection"});
  Form.StatusBar1->AddPanel({55, taLeftJustify, pbLowered, "Version : ", ""});
  Form.StatusBar1->AddPanel({55, taLeftJustify, pbLowered, "", "Firmware version"});
  Form.StatusBar1->AddPanel({50, taCenter, pbLowered, "", "Last save"});
}

void MakeTimers(TWindow& Form) {
  Form.tmSaving = Form.MakeOwned<TTimer>();
  Form.tmSaving->SetName("tmSaving");
  Form.tmSaving->SetEnabled(false);
  Form.tmSaving->SetInterval(500);
  // The connect timer keeps its own defaults: running, once a second.
  Form.tmConnect = Form.MakeOwned<TTimer>();
  Form.tmConnect->SetName("tmConnect");
}

// After every initial state is set, so that loading raises no events.
void BindEvents(TWindow& Form, ISerialPort& Comport1) {
  Form.OnCreate = Method(&Form, &TWindow::formCreate);
  Form.OnClose = Method(&Form, &TWindow::FormClose);
  Form.cbKey2->OnClick = Method(&Form, &TWindow::CbClick);
  Form.cbKey3->OnClick = Method(&Form, &TWindow::CbClick);
  Form.cbMuteWhenPTT->OnClick = Method(&Form, &TWindow::CbClick);
  Form.btSave->OnClick = Method(&Form, &TWindow::btSaveClick);
  Form.hkKey1->OnChange = Method(&Form, &TWindow::hkKey1Change);
  Form.hkKey2->OnChange = Method(&Form, &TWindow::hkKey2Change);
  Form.hkKey3->OnChange = Method(&Form, &TWindow::hkKey3Change);
  Form.tmSaving->OnTimer = Method(&Form, &TWindow::savingTimer);
  Form.tmConnect->OnTimer = Method(&Form, &TWindow::connectTimer);
  Comport1.SetOnOpen(Method(&Form, &TWindow::comportOpen));
  Comport1.SetOnClose(Method(&Form, &TWindow::comportClose));
  Comport1.SetOnBreak(Method(&Form, &TWindow::ComportBreak));
  Comport1.SetOnError(Method(&Form, &TWindow::Comport1Error));
  Comport1.SetOnRxChar(Method(&Form, &TWindow::comportRXChar));
  Comport1.SetOnUSBDeviceUnplug(Method(&Form, &TWindow::Comport1USBDeviceUnplug));
}

}  // namespace

void LoadMicrophoneSettingsForm(TMicrophoneSettingsForm& Form, ISerialPort& Comport1) {
  MakeWindow(Form);
  MakeWidgets(Form);
  Form.Comport1 = &Comport1;
  MakeTimers(Form);
  BindEvents(Form, Comport1);
}

}  // namespace vantor
