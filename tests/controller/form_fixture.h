// The window built from its stored description on the headless application, with a
// scripted Comport1 and a scripted port list, and the device's replies as byte strings.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "controller/microphone_settings_form.h"
#include "framework/headless/headless.h"
#include "tests/controller/form_test_access.h"
#include "tests/support/scripted_port.h"
#include "tests/controller/scripted_port_list.h"
#include "ui/description/microphone_settings_form_description.h"

namespace vantor {

namespace replies {
inline TBytes Handshake(std::uint8_t Status = 1) {
  return {0xAA, 0x05, 0x01, Status, 0xBB};
}
inline TBytes Setting(std::uint8_t Index, std::uint8_t Value) {
  return {0xAA, 0x06, 0x02, Index, Value, 0xBB};
}
inline TBytes Version(std::uint8_t Tenths) {
  return {0xAA, 0x05, 0x04, Tenths, 0xBB};
}
}  // namespace replies

namespace requests {
inline const TBytes kHandshake = {0xAA, 0x05, 0x01, 0x00, 0xBB};
inline const TBytes kVersion = {0xAA, 0x05, 0x04, 0x00, 0xBB};
inline TBytes Read(std::uint8_t Index) {
  return {0xAA, 0x05, 0x02, Index, 0xBB};
}
inline TBytes Write(std::uint8_t Index, std::uint8_t Value) {
  return {0xAA, 0x06, 0x03, Index, Value, 0xBB};
}
}  // namespace requests

constexpr std::uint16_t kF1 = 112;
constexpr std::uint16_t kF2 = 113;
constexpr std::uint16_t kF4 = 115;
constexpr std::uint16_t kF5 = 116;
constexpr std::uint16_t kF8 = 119;
constexpr std::uint16_t kF9 = 120;
constexpr std::uint16_t kNone = 252;

class FormTest : public ::testing::Test {
 protected:
  // The list that formCreate fetches comes first; later rescans follow.
  void Start(std::deque<std::optional<TPortEntryList>> Lists = {}) {
    PortList.Next = std::move(Lists);
    Form = App.App->CreateForm<TMicrophoneSettingsForm>(
        [this](TMicrophoneSettingsForm& F) {
          Port = F.MakeOwned<TScriptedPort>();
          Port->SetName("Comport1");
          LoadMicrophoneSettingsForm(F, *Port);
        },
        PortList.Source());
    Form->Show();
  }

  void Tick(int Count = 1) { Backend().Advance(std::chrono::milliseconds(1000 * Count)); }
  void Wait(int Milliseconds) { Backend().Advance(std::chrono::milliseconds(Milliseconds)); }

  // Opens "COM3" on the first tick and lets the device answer the first handshake and
  // every request: the window ends connected, settled and confirmed.
  void StartConnected(std::uint8_t Key1 = 65, std::uint8_t Key2 = 255, std::uint8_t Key3 = 255,
                      std::uint8_t Mute = 0, std::uint8_t Version = 12) {
    Start({TPortEntryList{"COM3  USB Serial Device ", "COM4  USB Serial Device "}});
    Tick();
    Port->Receive(replies::Handshake());
    AnswerSettings(Key1, Key2, Key3, Mute, Version);
    Port->Writes.clear();
  }
  void AnswerSettings(std::uint8_t Key1, std::uint8_t Key2, std::uint8_t Key3, std::uint8_t Mute,
                      std::uint8_t Version = 12) {
    TBytes All = replies::Version(Version);
    for (const TBytes& R : {replies::Setting(1, Key1), replies::Setting(2, Key2),
                            replies::Setting(3, Key3), replies::Setting(4, Mute)}) {
      All.insert(All.end(), R.begin(), R.end());
    }
    Port->Receive(All);
  }

  std::string Panel(int Index) const { return Form->StatusBar1->PanelText(Index); }
  THeadlessBackend& Backend() { return *App.Backend; }
  const std::vector<TMessageBoxRecord>& Boxes() { return Backend().MessageBoxes(); }

  TScriptedPortList PortList;  // outlives the application and its form
  THeadlessApp App = MakeHeadlessApplication();
  TMicrophoneSettingsForm* Form = nullptr;
  TScriptedPort* Port = nullptr;
};

}  // namespace vantor
