// A scripted port with a microphone behind it, for the tool's session tests.
#pragma once

#include <deque>

#include "framework/timer.h"
#include "mic/settings.h"
#include "protocol/frames.h"
#include "tests/support/scripted_port.h"

namespace vantor {

// A scripted port with a microphone behind it: each request is answered after Delay ms,
// unless the microphone has been told to keep quiet.
class TAnsweringPort : public TScriptedPort {
 public:
  TAnsweringPort(TMicSettings& Memory, unsigned Delay) : TScriptedPort(nullptr), FMemory(Memory) {
    FDeliver.SetEnabled(false);
    FDeliver.SetInterval(Delay);
    FDeliver.OnTimer = [this](TObject*) {
      Receive(FPending.front());
      FPending.pop_front();
      if (FPending.empty())
        FDeliver.SetEnabled(false);
    };
  }

  bool Silent = false;
  int AnswersLeft = 1000;  // then the microphone stops answering

  int WriteBuf(const void* Buf, int Count) override {
    const int Written = TScriptedPort::WriteBuf(Buf, Count);
    const auto* B = static_cast<const std::uint8_t*>(Buf);
    if (Written == Count && !Silent && AnswersLeft-- > 0) {
      if (const auto Reply = Answer(TBytes(B, B + Count))) {
        FPending.push_back(*Reply);
        FDeliver.SetEnabled(true);
      }
    }
    return Written;
  }

 private:
  std::optional<TBytes> Answer(const TBytes& Frame) {
    switch (Frame[2]) {
      case cmdHandshake:
        return TBytes{kFrameStart, 5, cmdHandshake, 1, kFrameEnd};
      case cmdReadVersion:
        return TBytes{kFrameStart, 5, cmdReadVersion, 12, kFrameEnd};
      case cmdReadSetting:
        return TBytes{kFrameStart, 6, cmdReadSetting, Frame[3], FMemory[Frame[3]], kFrameEnd};
      case cmdWriteSetting:
        FMemory[Frame[3]] = Frame[4];
        break;
    }
    return std::nullopt;
  }

  TMicSettings& FMemory;
  TTimer FDeliver{this};
  std::deque<TBytes> FPending;
};

}  // namespace vantor
