// A stand-in for port discovery: serves one scripted list per call, then a fixed answer.
#pragma once

#include <deque>
#include <memory>
#include <optional>

#include "controller/microphone_settings_form.h"

namespace vantor {

struct TScriptedPortList {
  std::deque<std::optional<TPortEntryList>> Next;  // nullopt: discovery found nothing
  std::optional<TPortEntryList> Afterwards;        // once Next is used up
  int Calls = 0;

  TMicrophoneSettingsForm::TPortListSource Source() {
    return [this]() -> std::unique_ptr<TPortEntryList> {
      ++Calls;
      std::optional<TPortEntryList> List = Afterwards;
      if (!Next.empty()) {
        List = Next.front();
        Next.pop_front();
      }
      return List ? std::make_unique<TPortEntryList>(*List) : nullptr;
    };
  }
};

}  // namespace vantor
