// A signal in the middle of a write: the session ends every conversation, closes every port
// and says which write frames had gone. A binary of its own, since the signal stays noted
// for the rest of the process, as it does in the tool.
#include <gtest/gtest.h>

#include <csignal>

#include "cli/mic_session.h"
#include "framework/signal_watch.h"
#include "framework/console/console.h"
#include "tests/support/answering_port.h"

namespace vantor {

namespace {

TEST(Interrupt, DuringAWriteClosesThePortAndNamesTheFramesSent) {
  TConsoleApp App = MakeConsoleApplication("vantor-mic");
  const TSignalWatch Watch(NoteInterrupt);
  TCommandLine Line;
  TMicSettings Memory;
  Memory[kCentre] = 65;
  TAnsweringPort* Port = nullptr;
  TMicSession Session(*App.Backend, Line,
                      {[](const std::vector<std::string>&, bool) {
                         TPortReportEntry Entry;
                         Entry.Name = "A";
                         Entry.Present = true;
                         Entry.UsbSerial = true;
                         Entry.State = TPortFailure::pfNone;
                         return TPortReport{Entry};
                       },
                       [&](const std::string& Name) -> std::unique_ptr<ISerialPort> {
                         auto Made = std::make_unique<TAnsweringPort>(Memory, 2);
                         Made->SetDeviceName(Name);
                         Port = Made.get();
                         return Made;
                       }});
  Session.Survey(true, true);
  ASSERT_EQ(Session.Microphones().size(), 1u);
  Port->Silent = true;  // no read-back: the write waits until the signal comes
  TTimer Signal(nullptr);
  Signal.SetInterval(20);
  Signal.OnTimer = [&](TObject*) {
    Signal.SetEnabled(false);
    std::raise(SIGINT);
  };
  try {
    Session.WriteAndVerify({{Session.Microphones().front(), Memory}});
    ADD_FAILURE() << "the write ended without the interrupt";
  } catch (const EInterrupted& E) {
    EXPECT_EQ(E.Signal, SIGINT);
    EXPECT_STREQ(E.what(),
                 "A: interrupted by SIGINT; the write frames for centre, left, right and mute "
                 "had been sent, so the microphone may hold some new settings and some old ones");
  }
  EXPECT_FALSE(Port->Active());
  EXPECT_EQ(InterruptSignal(), SIGINT);
}

}  // namespace

}  // namespace vantor
