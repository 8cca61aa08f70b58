// The port report on the real system, beside the serial component: both open a port the one
// way, so they must find the same thing in its way; and a hold that outlived its holder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>

#include "discovery/port_report.h"
#include "discovery/posix/port_facts.h"
#include "framework/headless/headless.h"
#include "serial/posix/exclusive_open.h"
#include "serial/sio_comm.h"
#include "tests/serial/platform/pty_pair.h"

namespace vantor {

namespace {

struct TComponentSaw {
  TPortFailure Failure = TPortFailure::pfNone;
  std::string Message;
};

TComponentSaw OpenWithComponent(const std::string& Port) {
  TSioComm Comm(nullptr);
  Comm.SetSkipClosePause(true);
  Comm.SetDeviceName(Port);
  try {
    Comm.Open();
  } catch (const ESioCommError& E) {
    return {E.Category(), E.what()};
  }
  return {};
}

// A process that takes the port exclusively, as the component does, and is then killed:
// it never gives the hold back.
class THolderThatDies {
 public:
  explicit THolderThatDies(const std::string& Port) {
    int Ready[2];
    if (::pipe(Ready) != 0)
      return;
    FChild = ::fork();
    if (FChild == 0) {
      int Error = 0;
      TExclusiveTty Tty = OpenExclusiveTty(Port, Error);
      const char Held = Tty.Valid() ? 'y' : 'n';
      (void)!::write(Ready[1], &Held, 1);
      ::pause();  // killed here, holding the port
      ::_exit(0);
    }
    char Held = 'n';
    if (FChild > 0 && ::read(Ready[0], &Held, 1) == 1 && Held == 'y')
      FHeld = true;
    ::close(Ready[0]);
    ::close(Ready[1]);
    if (FChild > 0) {
      ::kill(FChild, SIGKILL);
      ::waitpid(FChild, nullptr, 0);
    }
  }
  bool Held() const { return FHeld; }

 private:
  pid_t FChild = -1;
  bool FHeld = false;
};

class PortReportSystem : public ::testing::Test {
 protected:
  THeadlessApp Headless = MakeHeadlessApplication();
};

TEST_F(PortReportSystem, TheReportAndTheComponentAgreeOnWhatStandsInTheWay) {
  TPtyPair Free, Held;
  const std::string File = ::testing::TempDir() + "port-report-plain-file";
  std::ofstream(File) << "no port\n";
  TSioComm Holder(nullptr);
  Holder.SetSkipClosePause(true);
  Holder.SetDeviceName(Held.SlavePath());
  Holder.Open();

  struct Case {
    std::string Port;
    TPortFailure Failure;
    std::string Message;  // the start of the component's message
  };
  const Case Cases[] = {
      {Free.SlavePath(), TPortFailure::pfNone, ""},
      {"/dev/no-such-port", TPortFailure::pfNotFound,
       "Specified device not found (/dev/no-such-port)."},
      {Held.SlavePath(), TPortFailure::pfBusy,
       "Can't open specified device " + Held.SlavePath() + " (Error 16, "},
      {"/dev/null", TPortFailure::pfNotSerial, "Can't open specified device /dev/null (Error 25, "},
      {File, TPortFailure::pfNotSerial, "Can't open specified device " + File + " (Error 25, "},
  };
  for (const Case& Item : Cases) {
    SCOPED_TRACE(Item.Port);
    const TPortReport Report = MakePortReport({Item.Port}, false);
    ASSERT_EQ(Report.size(), 1u);
    EXPECT_EQ(Report[0].State, Item.Failure);
    const TComponentSaw Saw = OpenWithComponent(Item.Port);
    EXPECT_EQ(Saw.Failure, Item.Failure);
    EXPECT_EQ(Saw.Message.rfind(Item.Message, 0), 0u) << Saw.Message;
  }
  std::remove(File.c_str());
}

TEST_F(PortReportSystem, AHoldThatOutlivedItsHolderIsBusyWithNoHolderAndARemedy) {
  TPtyPair Pty;  // this process keeps the other end open, as a simulator would
  const THolderThatDies Gone(Pty.SlavePath());
  ASSERT_TRUE(Gone.Held());
  const auto Facts = MakeSystemPortFacts();
  const auto Node = Facts->Node(Pty.SlavePath());
  ASSERT_TRUE(Node);
  if (Facts->Holders(*Node).SomeUnreadable)
    GTEST_SKIP() << "processes of other users cannot be looked into: a holder may hide there";

  const TPortReport Report = MakePortReport({Pty.SlavePath()}, false);
  ASSERT_EQ(Report.size(), 1u);
  const TPortReportEntry& Entry = Report[0];
  EXPECT_EQ(Entry.State, TPortFailure::pfBusy);
  EXPECT_TRUE(Entry.HolderGone);
  EXPECT_TRUE(Entry.PseudoTerminal);
  EXPECT_EQ(DescribePortState(Entry).rfind("busy, no holder: ", 0), 0u) << DescribePortState(Entry);
  ASSERT_FALSE(PortRemedies(Entry).empty());
  EXPECT_NE(PortRemedies(Entry)[0].find("restart the program that holds its other end"),
            std::string::npos)
      << PortRemedies(Entry)[0];
  EXPECT_EQ(OpenWithComponent(Pty.SlavePath()).Failure, TPortFailure::pfBusy);

  // Once the far end has the port open too, something alive holds it: no ended holder.
  const int Plain = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (Plain >= 0) {  // only a privileged process passes the flag
    EXPECT_FALSE(MakePortReport({Pty.SlavePath()}, false).at(0).HolderGone);
    ::close(Plain);
  }
}

}  // namespace

}  // namespace vantor
