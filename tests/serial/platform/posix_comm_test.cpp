// The component over a real pseudo-terminal: a request goes out through the write thread,
// the device's reply comes back through OnRxChar on the main thread, the port closes from
// inside that handler and opens again, and a vanished device closes it through OnError.
#include <dirent.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "comm_fixture.h"
#include "pty_pair.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;

const std::string kHandshake("\xAA\x05\x01\x00\xBB", 5);
const std::string kStatusReply("\xAA\x06\x01\x00\x01\xBB", 6);

int CountThreads() {
  int Count = 0;
  DIR* Dir = ::opendir("/proc/self/task");
  while (Dir != nullptr && ::readdir(Dir) != nullptr) {
    ++Count;
  }
  if (Dir != nullptr) {
    ::closedir(Dir);
  }
  return Count;
}

class PosixComm : public CommOverPort {
 protected:
  TPtyPair Pty;
};

TEST_F(PosixComm, RequestGoesOutAndTheReplyArrivesOnTheMainThread) {
  MakeComm(Pty.SlavePath());
  Comm->Open();
  ASSERT_TRUE(Comm->Active());
  Write(kHandshake);
  EXPECT_EQ(Pty.Receive(5), kHandshake);
  Pty.Send(kStatusReply);
  ASSERT_TRUE(ReceivedAtLeast(6));
  EXPECT_EQ(Received, kStatusReply);
  EXPECT_TRUE(OnMainThread);
  Comm->Close();
  EXPECT_EQ(Closes, 1);
}

TEST_F(PosixComm, CloseFromInsideTheHandlerThenOpenAgain) {
  MakeComm(Pty.SlavePath(), false);
  AfterRead = [this] { Comm->Close(); };
  Comm->Open();
  Write(kHandshake);
  ASSERT_EQ(Pty.Receive(5), kHandshake);
  Pty.Send(kStatusReply);
  ASSERT_TRUE(PumpUntil([&] { return Closes == 1; }));
  EXPECT_FALSE(Comm->Active());
  EXPECT_EQ(Received, kStatusReply);

  AfterRead = nullptr;
  Received.clear();
  Comm->Open();
  ASSERT_TRUE(Comm->Active()) << "the port was released";
  Write(kHandshake);
  EXPECT_EQ(Pty.Receive(5), kHandshake);
  Pty.Send(kStatusReply);
  ASSERT_TRUE(ReceivedAtLeast(6));
  EXPECT_EQ(Received, kStatusReply);
  Comm->Close();
  EXPECT_EQ(Closes, 2);
}

TEST_F(PosixComm, VanishedDeviceIsReportedAsAnErrorAndTheHandlerCloses) {
  MakeComm(Pty.SlavePath(), false);
  Comm->Open();
  Pty.CloseMaster();
  ASSERT_TRUE(PumpUntil([&] { return Closes == 1; }));
  EXPECT_NE(LineErrors, 0);
  EXPECT_FALSE(Comm->Active());
}

TEST_F(PosixComm, ThousandOpenCloseCyclesLeakNeitherDescriptorNorThread) {
  MakeComm(Pty.SlavePath(), false);
  Comm->Open();  // the first cycle makes whatever lives as long as the process
  Comm->Close();
  const int Fds = CountOpenFds(), Threads = CountThreads();
  for (int I = 0; I < 1000; ++I) {
    Comm->Open();
    ASSERT_TRUE(Comm->Active()) << "cycle " << I;
    Comm->Close();
  }
  EXPECT_EQ(Closes, 1001);
  EXPECT_EQ(CountOpenFds(), Fds);
  // Ended threads may take a moment to leave the task list.
  for (int I = 0; I < 1000 && CountThreads() > Threads; ++I) {
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(CountThreads(), Threads);
}

}  // namespace

}  // namespace vantor
