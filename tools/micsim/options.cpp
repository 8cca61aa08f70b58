#include "tools/micsim/options.h"

#include <limits>
#include <type_traits>
#include <optional>

namespace vantor {

namespace micsim {

namespace {

std::optional<unsigned long> ParseNumber(const std::string& Text, unsigned long Max) {
  if (Text.empty() || Text.size() > 10)
    return std::nullopt;
  unsigned long Value = 0;
  for (const char C : Text) {
    if (C < '0' || C > '9')
      return std::nullopt;
    Value = Value * 10 + static_cast<unsigned long>(C - '0');
  }
  if (Value > Max)
    return std::nullopt;
  return Value;
}

}  // namespace

TParsedOptions ParseOptions(const std::vector<std::string>& Args) {
  TParsedOptions Result;
  TOptions& O = Result.Options;
  for (std::size_t I = 0; I < Args.size(); ++I) {
    const std::string& Name = Args[I];
    // Options that take a value accept "--name value" and "--name=value".
    std::string Value;
    bool HasValue = false;
    std::string Key = Name;
    if (const auto Equals = Name.find('=');
        Name.rfind("--", 0) == 0 && Equals != std::string::npos) {
      Key = Name.substr(0, Equals);
      Value = Name.substr(Equals + 1);
      HasValue = true;
    }
    const auto Text = [&]() -> std::optional<std::string> {
      if (HasValue)
        return Value;
      if (I + 1 >= Args.size())
        return std::nullopt;
      return Args[++I];
    };
    const auto Number = [&](unsigned long Max, auto& Target) {
      const auto Raw = Text();
      const auto Parsed = Raw ? ParseNumber(*Raw, Max) : std::nullopt;
      if (!Parsed) {
        Result.Error = Key + " needs a number from 0 to " + std::to_string(Max);
        return;
      }
      Target = static_cast<std::remove_reference_t<decltype(Target)>>(*Parsed);
    };
    const auto Path = [&](std::string& Target) {
      const auto Raw = Text();
      if (!Raw || Raw->empty()) {
        Result.Error = Key + " needs a path";
        return;
      }
      Target = *Raw;
    };
    const auto Flag = [&](bool& Target) {
      if (HasValue) {
        Result.Error = Key + " takes no value";
        return;
      }
      Target = true;
    };
    constexpr unsigned long kCount = 1000000;
    if (Key == "--help" || Key == "-h")
      Flag(O.Help);
    else if (Key == "--link")
      Path(O.Link);
    else if (Key == "--state")
      Path(O.State);
    else if (Key == "--log")
      Path(O.Log);
    else if (Key == "--version")
      Number(255, O.Version);
    else if (Key == "--stray")
      Number(1024, O.Faults.Stray);
    else if (Key == "--split")
      Flag(O.Faults.Split);
    else if (Key == "--merge")
      Flag(O.Merge);
    else if (Key == "--delay")
      Number(600000, O.DelayMs);
    else if (Key == "--silent")
      Flag(O.Silent);
    else if (Key == "--ignore-writes")
      Flag(O.IgnoreWrites);
    else if (Key == "--answer-after")
      Number(kCount, O.AnswerAfter);
    else if (Key == "--bad-end")
      Flag(O.Faults.BadEnd);
    else if (Key == "--garbage-burst")
      Number(4096, O.Faults.GarbageBurst);
    else if (Key == "--hangup-after")
      Number(kCount, O.HangupAfter);
    else if (Key == "--reopen")
      Flag(O.Reopen);
    else if (Key == "--seed")
      Number(std::numeric_limits<std::uint32_t>::max(), O.Seed);
    else
      Result.Error = "unknown option " + Name;
    if (!Result.Error.empty())
      return Result;
  }
  if (O.Reopen && O.HangupAfter == 0)
    Result.Error = "--reopen needs --hangup-after";
  return Result;
}

std::string HelpText() {
  return R"(usage: micsim [options]

Plays the table-top microphone on a pseudo-terminal. The first line on stdout names the
port, e.g. "micsim: port /dev/pts/5"; a new such line follows each reopen. Open that path
(or the --link path) as the microphone's serial port.

The device answers AA 05 01 00 BB (handshake) with AA 05 01 01 BB; AA 05 02 i BB (read
setting i, 1 to 4) with AA 06 02 i v BB; AA 06 03 i v BB (write setting) stores v without
a reply; AA 05 04 00 BB (read version) with AA 05 04 ver BB. Other frames are logged and
ignored. Host bytes before a start byte, a length byte outside 5..16 or a wrong end byte
are dropped as garbage and the device resynchronises on the next AA.

  --link PATH         also make PATH a symbolic link to the port (a stale link there is
                      replaced; the link is removed at exit)
  --state PATH        the device's memory, kept across runs. A text file of four lines:
                        button1=65
                        button2=255
                        button3=255
                        mute=0
                      (values 0..255; device key codes 58..69 = F1..F12, 255 = off; blank
                      and '#' lines are skipped). Rewritten atomically after every write
                      setting. Missing or unreadable: start from the defaults shown above.
                      Without --state the settings start from the defaults and are lost at
                      exit.
  --version N         firmware version byte, in tenths (default 12 = firmware 1.2)
  --log PATH          log to PATH (appended) instead of stderr: every frame received and
                      sent, in hex with a timestamp

Faults, to test the host:
  --stray N           N random bytes (never AA) before each reply
  --split             write each reply in random pieces, 1 to 4 ms apart
  --merge             hold replies back up to 20 ms so that more of them leave in one
                      write (replies to requests that arrive together always do)
  --delay MS          wait MS milliseconds before each reply
  --silent            never answer
  --ignore-writes     accept write setting frames but keep the old values (a device whose
                      memory no longer takes writes: the read-back shows the old settings)
  --answer-after N    ignore the first N-1 handshakes of the run, answer from the Nth on
  --bad-end           end every reply with 00 instead of BB
  --garbage-burst N   before about one reply in four, N random bytes (AA included)
  --hangup-after N    on the Nth frame received on a port, close the port (as if the
                      cable were pulled): that frame and pending replies go unanswered;
                      then exit, or with --reopen open a fresh port (same --link path)
  --reopen            see --hangup-after
  --seed N            seed of the fault randomness (default 1)
  --help              this text

The simulator keeps its own descriptor of the port's slave side open, so the port lives
on while no host has it open and the simulator waits without spinning until a host opens
it again. Replies that a host leaves unread when it closes the port stay in the pty and
reach the next host that opens it, like bytes in a serial adapter's buffer. SIGINT and
SIGTERM end it cleanly (link removed, state file complete).
)";
}

}  // namespace micsim

}  // namespace vantor
