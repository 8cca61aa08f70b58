#include "tests/mic/conversation_script.h"

#include <deque>
#include <sstream>

#include "mic/conversation.h"
#include "protocol/frames.h"

namespace vantor {

namespace {

using TBytes = std::vector<std::uint8_t>;
using TPhase = TMicConversation::TPhase;
using TOutcome = TMicConversation::TOutcome;
using TEvent = TMicConversation::TEvent;

std::string HexText(const TBytes& Bytes) {
  std::string Text;
  static const char* const Digits = "0123456789ABCDEF";
  for (const std::uint8_t B : Bytes) {
    Text += Text.empty() ? "" : " ";
    Text += Digits[B >> 4];
    Text += Digits[B & 15];
  }
  return Text;
}

const char* PhaseName(TPhase Phase) {
  switch (Phase) {
    case TPhase::cpNew:
      return "new";
    case TPhase::cpGreeting:
      return "greeting";
    case TPhase::cpReading:
      return "reading";
    case TPhase::cpReady:
      return "ready";
    case TPhase::cpWriting:
      return "writing";
    case TPhase::cpDone:
      break;
  }
  return "done";
}

const char* OutcomeName(TOutcome Outcome) {
  switch (Outcome) {
    case TOutcome::coNone:
      return "none";
    case TOutcome::coOk:
      return "ok";
    case TOutcome::coSilent:
      return "silent";
    case TOutcome::coFailed:
      break;
  }
  return "failed";
}

std::string EventName(const TEvent& Event) {
  switch (Event.Kind) {
    case TEvent::evGreeted:
      return "greeted";
    case TEvent::evSettingsRead:
      return "settings-read";
    case TEvent::evSettingChecked:
      return SettingName(Event.Setting) + (Event.Matches ? "-matches" : "-differs");
    case TEvent::evVerified:
      return "verified";
    case TEvent::evFailed:
      break;
  }
  return "failed";
}

std::string SettingsWords(const TMicSettings& Settings) {
  std::string Text;
  for (int Index = kCentre; Index <= kMute; ++Index)
    Text += (Text.empty() ? "" : " ") + ValueName(Index, Settings[Index]);
  return Text;
}

class TScript {
 public:
  std::vector<std::string> Run(std::string_view Text) {
    std::istringstream Lines{std::string(Text)};
    std::string Line;
    while (std::getline(Lines, Line)) {
      ++FLine;
      if (const auto Hash = Line.find('#'); Hash != std::string::npos)
        Line.erase(Hash);
      std::istringstream Words(Line);
      std::string Verb;
      if (Words >> Verb)
        Step(Verb, Words);
    }
    return FFailures;
  }

 private:
  void Fail(const std::string& What) {
    FFailures.push_back("line " + std::to_string(FLine) + ": " + What);
  }

  static std::string Rest(std::istringstream& Words) {
    std::string Text;
    std::getline(Words >> std::ws, Text);
    while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\r'))
      Text.pop_back();
    return Text;
  }

  TBytes Hex(std::istringstream& Words) {
    TBytes Bytes;
    std::string Word;
    while (Words >> Word) {
      try {
        Bytes.push_back(static_cast<std::uint8_t>(std::stoul(Word, nullptr, 16)));
      } catch (const std::exception&) {
        Fail("not a hex byte: " + Word);
      }
    }
    return Bytes;
  }

  TMicSettings Values(std::istringstream& Words) {
    TMicSettings Settings;
    for (int Index = kCentre; Index <= kMute; ++Index) {
      std::string Word;
      Words >> Word;
      if (Index == kMute) {
        Settings[Index] = Word == "on" ? 1 : 0;
      } else if (Word.rfind("0x", 0) == 0) {
        Settings[Index] = static_cast<std::uint8_t>(std::stoul(Word, nullptr, 16));
      } else if (const auto Code = ParseKeyName(Word)) {
        Settings[Index] = *Code;
      } else {
        Fail("not a key: " + Word);
      }
    }
    return Settings;
  }

  // Hands every frame the machine asks for to the "wire", as a driver does.
  void Pump() {
    while (FTalk.HasFrame()) {
      if (FFailAt > 0 && --FFailAt == 0) {
        FTalk.FrameFailed(FNow);
        break;
      }
      FWire.push_back(FTalk.NextFrame());
      FTalk.FrameSent(FNow);
    }
    for (const TEvent& Event : FTalk.TakeEvents())
      FEvents.push_back(EventName(Event));
    FTalk.TakeNotes();
  }

  void AdvanceTo(TMillis Until) {
    if (Until < FNow)
      Fail("time runs backwards");
    while (const auto Wake = FTalk.NextWake()) {
      if (*Wake > Until)
        break;
      FNow = std::max(FNow, *Wake);
      FTalk.Tick(FNow);
      Pump();
    }
    FNow = Until;
  }

  void ExpectSent(const TBytes& Frame) {
    if (FWire.empty()) {
      Fail("expected " + HexText(Frame) + " on the wire, found nothing");
      return;
    }
    if (FWire.front() != Frame)
      Fail("expected " + HexText(Frame) + " on the wire, found " + HexText(FWire.front()));
    FWire.pop_front();
  }

  template <std::size_t N>
  static TBytes Bytes(const std::array<std::uint8_t, N>& Frame) {
    return {Frame.begin(), Frame.end()};
  }

  void Sent(std::istringstream& Words) {
    std::string What;
    const auto Start = Words.tellg();
    Words >> What;
    if (What == "handshake") {
      ExpectSent(Bytes(HandshakeFrame()));
    } else if (What == "version") {
      ExpectSent(Bytes(ReadVersionFrame()));
    } else if (What == "reads") {
      for (std::uint8_t Index = kCentre; Index <= kMute; ++Index)
        ExpectSent(Bytes(ReadSettingFrame(Index)));
    } else if (What == "writes") {
      const TMicSettings Settings = Values(Words);
      for (std::uint8_t Index = kCentre; Index <= kMute; ++Index)
        ExpectSent(Bytes(WriteSettingFrame(Index, Settings[Index])));
    } else {
      Words.clear();
      Words.seekg(Start);
      ExpectSent(Hex(Words));
    }
  }

  void Reply(std::istringstream& Words) {
    std::string What;
    Words >> What;
    TBytes Bytes;
    if (What == "hello") {
      Bytes = {kFrameStart, 5, cmdHandshake, 1, kFrameEnd};
    } else if (What == "version") {
      unsigned Tenths = 0;
      Words >> Tenths;
      Bytes = {kFrameStart, 5, cmdReadVersion, static_cast<std::uint8_t>(Tenths), kFrameEnd};
    } else if (What == "settings") {
      const TMicSettings Settings = Values(Words);
      for (std::uint8_t Index = kCentre; Index <= kMute; ++Index) {
        const TBytes One{kFrameStart, 6, cmdReadSetting, Index, Settings[Index], kFrameEnd};
        Bytes.insert(Bytes.end(), One.begin(), One.end());
      }
    } else {
      Fail("unknown reply: " + What);
    }
    FTalk.Receive(FNow, Bytes.data(), Bytes.size());
    Pump();
  }

  void Expect(std::istringstream& Words) {
    std::string What;
    Words >> What;
    const std::string Want = Rest(Words);
    std::string Have;
    if (What == "phase") {
      Have = PhaseName(FTalk.Phase());
    } else if (What == "outcome") {
      Have = OutcomeName(FTalk.Outcome());
    } else if (What == "firmware") {
      Have = FTalk.Firmware();
    } else if (What == "failure") {
      Have = FTalk.Failure();
    } else if (What == "settings") {
      Have = SettingsWords(FTalk.Settings());
    } else if (What == "readback") {
      Have = SettingsWords(FTalk.ReadBack());
    } else if (What == "differences") {
      for (const int Index : FTalk.Differences())
        Have += (Have.empty() ? "" : " ") + SettingName(Index);
      if (Have.empty())
        Have = "none";
    } else if (What == "events") {
      for (const std::string& Event : FEvents)
        Have += (Have.empty() ? "" : " ") + Event;
      FEvents.clear();
    } else {
      Fail("unknown expectation: " + What);
      return;
    }
    if (Have != Want)
      Fail(What + ": expected \"" + Want + "\", found \"" + Have + "\"");
  }

  void Step(const std::string& Verb, std::istringstream& Words) {
    long long Ms = 0;
    if (Verb == "timeout") {
      Words >> Ms;
      FTalk = TMicConversation(TMillis(Ms));
    } else if (Verb == "start") {
      FTalk.Start(FNow, Rest(Words) == "keep");
      Pump();
    } else if (Verb == "at" || Verb == "wait") {
      Words >> Ms;
      AdvanceTo(Verb == "at" ? TMillis(Ms) : FNow + TMillis(Ms));
    } else if (Verb == "device") {
      const TBytes Bytes = Hex(Words);
      FTalk.Receive(FNow, Bytes.data(), Bytes.size());
      Pump();
    } else if (Verb == "reply") {
      Reply(Words);
    } else if (Verb == "write") {
      FTalk.Write(FNow, Values(Words));
      Pump();
    } else if (Verb == "lost") {
      FTalk.PortFailed(FNow, Rest(Words));
      Pump();
    } else if (Verb == "fail-send") {
      Words >> FFailAt;
    } else if (Verb == "sent") {
      Sent(Words);
    } else if (Verb == "quiet") {
      if (!FWire.empty())
        Fail("expected nothing more on the wire, found " + HexText(FWire.front()));
    } else if (Verb == "expect") {
      Expect(Words);
    } else {
      Fail("unknown step: " + Verb);
    }
  }

  TMicConversation FTalk{TMillis(1000)};
  TMillis FNow{0};
  int FLine = 0;
  int FFailAt = 0;  // the frame, counted from now, whose write fails
  std::deque<TBytes> FWire;
  std::vector<std::string> FEvents;
  std::vector<std::string> FFailures;
};

}  // namespace

std::vector<std::string> RunConversationScript(std::string_view Script) {
  return TScript().Run(Script);
}

}  // namespace vantor
