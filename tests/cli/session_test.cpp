// The tool's session over scripted ports on the real console loop: which ports are greeted,
// how each ends, what goes out on the wire, and the exit status the problems give.
#include "cli/mic_session.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <set>

#include "framework/console/console.h"
#include "framework/timer.h"
#include "serial/port_backend.h"
#include "cli/platform.h"
#include "tests/support/answering_port.h"

namespace vantor {

namespace {

TMicSettings Memory(std::uint8_t Centre, std::uint8_t Left, std::uint8_t Right) {
  TMicSettings Settings;
  Settings[kCentre] = Centre;
  Settings[kLeft] = Left;
  Settings[kRight] = Right;
  return Settings;
}

class SessionTest : public ::testing::Test {
 protected:
  TConsoleApp App = MakeConsoleApplication("vantor-mic");
  TCommandLine Line;
  std::map<std::string, TPortFailure> States;  // the report, port by port
  std::set<std::string> NotUsb;                // ports the report finds no USB serial port
  std::map<std::string, TMicSettings> Memories;
  std::map<std::string, TAnsweringPort*> Ports;  // owned by their conversations
  std::map<std::string, std::function<void(TAnsweringPort&)>> Setup;
  unsigned Delay = 5;

  TMicSessionSeams Seams() {
    return {[this](const std::vector<std::string>&, bool) {
              TPortReport Report;
              for (const auto& [Name, State] : States) {
                TPortReportEntry Entry;
                Entry.Name = Name;
                Entry.Present = true;
                Entry.State = State;
                Entry.UsbSerial = NotUsb.count(Name) == 0;
                Report.push_back(Entry);
              }
              return Report;
            },
            [this](const std::string& Name) -> std::unique_ptr<ISerialPort> {
              auto Port = std::make_unique<TAnsweringPort>(Memories[Name], Delay);
              Port->SetDeviceName(Name);
              if (Setup.count(Name))
                Setup[Name](*Port);
              Ports[Name] = Port.get();
              return Port;
            }};
  }
};

constexpr std::uint8_t F1 = 58, F2 = 59, F8 = 65, Off = 255;

TEST_F(SessionTest, EveryFreePortIsGreetedAtOnceAndOnlyTheMicrophonesCount) {
  Line.TimeoutMs = 300;
  States = {{"A", TPortFailure::pfNone}, {"B", TPortFailure::pfNone}, {"C", TPortFailure::pfBusy}};
  Memories["A"] = Memory(F8, Off, F2);
  Setup["B"] = [](TAnsweringPort& Port) { Port.Silent = true; };
  TMicSession S(*App.Backend, Line, Seams());
  S.Survey(true, false);

  ASSERT_EQ(S.Microphones().size(), 1u);
  EXPECT_EQ(S.Microphones().front()->Port(), "A");
  EXPECT_EQ(S.Microphones().front()->Firmware(), "1.2");
  EXPECT_EQ(S.Microphones().front()->Settings(), Memory(F8, Off, F2));
  EXPECT_FALSE(Ports["A"]->Active());  // read, and closed
  EXPECT_EQ(Ports.count("C"), 0u);     // busy: never opened, never disturbed
  const std::vector<TPortProblem> Problems = S.Problems();
  ASSERT_EQ(Problems.size(), 2u);
  EXPECT_EQ(Problems[0].Port, "B");
  EXPECT_EQ(Problems[0].State, "silent");
  EXPECT_EQ(Problems[1].State, "busy");
  // Ports found on their own that give no microphone do not spoil the result.
  EXPECT_EQ(S.Status(), esSuccess);
  // A silent port was greeted every 250 ms within the limit, and nothing else.
  for (const TBytes& Frame : Ports["B"]->Frames())
    EXPECT_EQ(Frame, (TBytes{0xAA, 0x05, 0x01, 0x00, 0xBB}));
  EXPECT_FALSE(Ports["B"]->Active());
}

TEST_F(SessionTest, OnlyUsbSerialPortsAreGreetedUnlessNamedOrAskedFor) {
  Line.TimeoutMs = 100;
  States = {{"A", TPortFailure::pfNone}, {"ttyS0", TPortFailure::pfNone}};
  NotUsb = {"ttyS0"};
  {
    TMicSession S(*App.Backend, Line, Seams());
    S.Survey(true, false);
    EXPECT_EQ(Ports.count("ttyS0"), ReportTellsUsbPorts() ? 0u : 1u);
    EXPECT_EQ(S.Skipped("ttyS0"), ReportTellsUsbPorts());
    EXPECT_FALSE(S.Skipped("A"));
    EXPECT_EQ(S.Microphones().size(), ReportTellsUsbPorts() ? 1u : 2u);
  }
  Ports.clear();
  Line.AllPorts = true;
  {
    TMicSession S(*App.Backend, Line, Seams());
    S.Survey(true, false);
    EXPECT_EQ(Ports.count("ttyS0"), 1u);
  }
  Ports.clear();
  Line.AllPorts = false;
  Line.Ports = {"ttyS0"};
  States = {{"ttyS0", TPortFailure::pfNone}};
  TMicSession S(*App.Backend, Line, Seams());
  S.Survey(true, false);
  EXPECT_EQ(Ports.count("ttyS0"), 1u);  // named: greeted
}

TEST_F(SessionTest, AWriteIsTheEightSaveFramesAndIsVerified) {
  States = {{"A", TPortFailure::pfNone}};
  Memories["A"] = Memory(F8, Off, Off);
  TMicSession S(*App.Backend, Line, Seams());
  S.Survey(true, true);
  ASSERT_EQ(S.Microphones().size(), 1u);
  TPortConversation* Talk = S.Microphones().front();
  EXPECT_TRUE(Ports["A"]->Active());  // kept open for the write
  const std::size_t Before = Ports["A"]->Frames().size();
  S.WriteAndVerify({{Talk, Memory(F1, F2, Off)}});

  EXPECT_EQ(Talk->Outcome(), TPortConversation::TOutcome::coOk);
  EXPECT_TRUE(Talk->Differences().empty());
  EXPECT_EQ(Memories["A"], Memory(F1, F2, Off));
  const std::vector<TBytes> Frames = Ports["A"]->Frames();
  const std::vector<TBytes> Save(Frames.begin() + static_cast<std::ptrdiff_t>(Before),
                                 Frames.end());
  EXPECT_EQ(Save, (std::vector<TBytes>{{0xAA, 0x06, 0x03, 0x01, 58, 0xBB},
                                       {0xAA, 0x06, 0x03, 0x02, 59, 0xBB},
                                       {0xAA, 0x06, 0x03, 0x03, 255, 0xBB},
                                       {0xAA, 0x06, 0x03, 0x04, 0, 0xBB},
                                       {0xAA, 0x05, 0x02, 0x01, 0xBB},
                                       {0xAA, 0x05, 0x02, 0x02, 0xBB},
                                       {0xAA, 0x05, 0x02, 0x03, 0xBB},
                                       {0xAA, 0x05, 0x02, 0x04, 0xBB}}));
  EXPECT_FALSE(Ports["A"]->Active());
  EXPECT_EQ(S.Status(), esSuccess);
}

TEST_F(SessionTest, AMicrophoneThatVanishesMidWriteFailsWithFiveAndIsClosed) {
  States = {{"A", TPortFailure::pfNone}};
  Memories["A"] = Memory(F8, Off, Off);
  TMicSession S(*App.Backend, Line, Seams());
  S.Survey(true, true);
  ASSERT_EQ(S.Microphones().size(), 1u);
  TPortConversation* Talk = S.Microphones().front();
  Ports["A"]->Silent = true;
  TTimer Unplug(nullptr);
  Unplug.SetInterval(20);
  Unplug.OnTimer = [&](TObject*) {
    Unplug.SetEnabled(false);
    Ports["A"]->RaiseError(static_cast<int>(kCeMode));
  };
  S.WriteAndVerify({{Talk, Memory(F1, F2, Off)}});

  EXPECT_EQ(Talk->Outcome(), TPortConversation::TOutcome::coFailed);
  EXPECT_EQ(Talk->Failure(),
            "the port hung up: the device was unplugged or has gone; the write frames for "
            "centre, left, right and mute had been sent, so the microphone may hold some new "
            "settings and some old ones");
  EXPECT_FALSE(Ports["A"]->Active());
  EXPECT_EQ(S.Status(), esFailed);
  const std::vector<TPortProblem> Problems = S.Problems();
  ASSERT_EQ(Problems.size(), 1u);
  EXPECT_EQ(
      Problems[0].Remedies,
      std::vector<std::string>{"`vantor-mic show --port A` shows what the microphone holds now."});
}

TEST_F(SessionTest, ASlowMicrophoneIsReadWhenEachAnswerComesWithinTheLimit) {
  // Five answers 150 ms apart take 750 ms, far beyond the 300 ms limit on each of them.
  Line.TimeoutMs = 300;
  Delay = 150;
  States = {{"A", TPortFailure::pfNone}};
  Memories["A"] = Memory(F8, Off, F2);
  TMicSession S(*App.Backend, Line, Seams());
  S.Survey(true, false);
  ASSERT_EQ(S.Microphones().size(), 1u);
  EXPECT_EQ(S.Microphones().front()->Settings(), Memory(F8, Off, F2));
}

TEST_F(SessionTest, APortThatFailsToOpenOrStopsAnsweringIsReportedByName) {
  Line.TimeoutMs = 200;
  Line.Ports = {"A", "B"};
  States = {{"A", TPortFailure::pfNone}, {"B", TPortFailure::pfNone}};
  Setup["A"] = [](TAnsweringPort& Port) { Port.Refused.insert("A"); };
  Setup["B"] = [](TAnsweringPort& Port) { Port.AnswersLeft = 3; };  // hello, version, centre
  TMicSession S(*App.Backend, Line, Seams());
  S.Survey(true, false);

  EXPECT_TRUE(S.Microphones().empty());
  const std::vector<TPortProblem> Problems = S.Problems();
  ASSERT_EQ(Problems.size(), 2u);
  EXPECT_EQ(Problems[0].Port, "A");
  EXPECT_EQ(Problems[0].Message, "Specified device not found (\\\\.\\A).");
  EXPECT_EQ(Problems[1].State, "failed");
  EXPECT_EQ(Problems[1].Message,
            "the microphone answered the greeting, then sent no left, right, mute within 200 ms");
  // Named ports count: an answer then silence is a failure.
  EXPECT_EQ(S.Status(), esFailed);
  EXPECT_FALSE(Ports["B"]->Active());
}

}  // namespace

}  // namespace vantor
