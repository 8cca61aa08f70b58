// Reading and writing on a pseudo-terminal: what has arrived, writes that reach the other
// end, writes abandoned for Close or Flush while the line is full, and a vanished device.
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "pty_pair.h"
#include "serial/port_backend.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;

class PosixIo : public ::testing::Test {
 protected:
  void SetUp() override {
    Port = Backend->OpenPort(Pty.SlavePath());
    ASSERT_NE(Port, kInvalidSioHandle);
  }
  void TearDown() override { Backend->ClosePort(Port); }

  // Waits (bounded) until Count received bytes are in the port's input queue.
  void AwaitInput(std::uint32_t Count) {
    TSioPortStatus Status;
    for (int I = 0; I < 10000 && Status.InQueue < Count; ++I) {
      ASSERT_TRUE(Backend->ClearCommError(Port, Status));
      std::this_thread::sleep_for(1ms);
    }
    ASSERT_GE(Status.InQueue, Count);
  }

  std::unique_ptr<TSioPortBackend> Backend = MakePlatformPortBackend();
  TPtyPair Pty;
  TSioHandle Port = kInvalidSioHandle;
  TSioWaitEvent Completion, Close, Flush;
};

TEST_F(PosixIo, ReadTakesWhatHasArrivedAndNeverWaits) {
  char Buf[10] = {};
  std::uint32_t Got = 99;
  ASSERT_TRUE(Backend->Read(Port, Buf, sizeof Buf, Completion, 1000, Got));
  EXPECT_EQ(Got, 0u) << "nothing has arrived";

  Pty.Send("abc");
  AwaitInput(3);
  ASSERT_TRUE(Backend->Read(Port, Buf, sizeof Buf, Completion, 1000, Got));
  EXPECT_EQ(Got, 3u);
  EXPECT_EQ(std::string(Buf, Got), "abc");

  Pty.Send("12345");
  AwaitInput(5);
  ASSERT_TRUE(Backend->Read(Port, Buf, 2, Completion, 1000, Got));
  EXPECT_EQ(std::string(Buf, Got), "12");
  ASSERT_TRUE(Backend->Read(Port, Buf, sizeof Buf, Completion, 1000, Got));
  EXPECT_EQ(std::string(Buf, Got), "345");
}

TEST_F(PosixIo, WriteReachesTheOtherEnd) {
  const std::string Frame("\xAA\x05\x01\x00\xBB", 5);
  std::uint32_t Put = 0;
  ASSERT_TRUE(Backend->Write(Port, Frame.data(), 5, Completion, 1000, Put));
  EXPECT_EQ(Put, 5u);
  EXPECT_EQ(Pty.Receive(5), Frame);

  ASSERT_EQ(Backend->WriteAbandonable(Port, Frame.data(), 5, Completion, Close, Flush, Put),
            TSioWriteOutcome::Written);
  EXPECT_EQ(Put, 5u);
  EXPECT_EQ(Pty.Receive(5), Frame);
}

TEST_F(PosixIo, LargeWriteCompletesWhileTheOtherEndDrains) {
  std::string Data(std::size_t{256} * 1024, '\0');
  for (std::size_t I = 0; I < Data.size(); ++I) {
    Data[I] = static_cast<char>(I * 7 + I / 251);
  }
  auto Drained = std::async(std::launch::async, [&] { return Pty.Receive(Data.size()); });
  std::uint32_t Put = 0;
  EXPECT_EQ(Backend->WriteAbandonable(Port, Data.data(), static_cast<std::uint32_t>(Data.size()),
                                      Completion, Close, Flush, Put),
            TSioWriteOutcome::Written);
  EXPECT_EQ(Put, Data.size());
  ASSERT_EQ(Drained.wait_for(30s), std::future_status::ready);
  EXPECT_TRUE(Drained.get() == Data) << "every byte, in order";
}

TEST_F(PosixIo, DirectWriteGivesUpWhenTheLineStaysFull) {
  std::string Data(std::size_t{1024} * 1024, 'x');
  std::uint32_t Put = 0;
  ASSERT_TRUE(Backend->Write(Port, Data.data(), static_cast<std::uint32_t>(Data.size()), Completion,
                             200, Put));
  EXPECT_GT(Put, 0u);
  EXPECT_LT(Put, Data.size());
}

// The other end reads nothing, so a large write stays pending until it is abandoned.
TEST_F(PosixIo, PendingWriteIsAbandonedForCloseAndForFlush) {
  std::string Data(std::size_t{1024} * 1024, 'y');
  for (TSioEvent* Signal : {static_cast<TSioEvent*>(&Close), static_cast<TSioEvent*>(&Flush)}) {
    const bool IsClose = Signal == &Close;
    SCOPED_TRACE(IsClose ? "close" : "flush");
    std::uint32_t Put = 0;
    auto Writer = std::async(std::launch::async, [&] {
      return Backend->WriteAbandonable(Port, Data.data(), static_cast<std::uint32_t>(Data.size()),
                                       Completion, Close, Flush, Put);
    });
    EXPECT_EQ(Writer.wait_for(100ms), std::future_status::timeout) << "the line is full";
    Signal->SetEvent();
    ASSERT_EQ(Writer.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(Writer.get(), IsClose ? TSioWriteOutcome::Close : TSioWriteOutcome::Flush);
    EXPECT_LT(Put, Data.size());
    Signal->ResetEvent();
    ASSERT_TRUE(Backend->PurgeComm(Port, kPurgeTxAbort | kPurgeTxClear));
  }
}

TEST_F(PosixIo, CloseWinsOverFlush) {
  std::string Data(std::size_t{1024} * 1024, 'z');
  Close.SetEvent();
  Flush.SetEvent();
  std::uint32_t Put = 0;
  EXPECT_EQ(Backend->WriteAbandonable(Port, Data.data(), static_cast<std::uint32_t>(Data.size()),
                                      Completion, Close, Flush, Put),
            TSioWriteOutcome::Close);
}

TEST_F(PosixIo, VanishedDeviceReadsNothingAndRefusesWrites) {
  Pty.CloseMaster();
  char Buf[8];
  std::uint32_t Moved = 99;
  ASSERT_TRUE(Backend->Read(Port, Buf, sizeof Buf, Completion, 1000, Moved));
  EXPECT_EQ(Moved, 0u);
  EXPECT_FALSE(Backend->Write(Port, "abc", 3, Completion, 1000, Moved));
  EXPECT_EQ(Backend->LastError(), static_cast<std::uint32_t>(EIO));
  EXPECT_EQ(Backend->WriteAbandonable(Port, "abc", 3, Completion, Close, Flush, Moved),
            TSioWriteOutcome::Refused);
  TSioPortStatus Status;
  ASSERT_TRUE(Backend->ClearCommError(Port, Status)) << "the error flags must still come out";
  EXPECT_EQ(Status.Errors, kCeMode);
  ASSERT_TRUE(Backend->ClearCommError(Port, Status));
  EXPECT_EQ(Status.Errors, 0u) << "reported once";
}

}  // namespace

}  // namespace vantor
