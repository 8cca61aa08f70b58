// The read and write paths: the write thread and its buffer, purges, reads, direct writes.
#include <string>
#include <thread>
#include <vector>

#include "serial/sio_errors.h"
#include "tests/serial/sio_test_support.h"

namespace vantor {

namespace {

using SioIo = SioTest;

TEST_F(SioIo, ClosedPortReadsAndWritesNothing) {
  TSioComm& Port = MakeComm();
  char Buf[4];
  EXPECT_EQ(Port.WriteBuf("abc", 3), 0);
  EXPECT_EQ(Port.ReadBuf(Buf, 4), 0);
  EXPECT_EQ(Port.ReadBufUsed(), 0);
  EXPECT_EQ(Port.ReadBufFree(), 0);
  EXPECT_EQ(Port.WriteBufUsed(), 0);
  EXPECT_EQ(Port.WriteBufFree(), 0);
  EXPECT_EQ(Port.ReadText(), "");
  EXPECT_NO_THROW(Port.PurgeReadWrite());
  EXPECT_TRUE(Fault->Calls().empty());
}

TEST_F(SioIo, BytesOfSuccessiveWritesLeaveInCallOrder) {
  TSioComm& Port = MakeComm();
  int TxEmpty = 0;
  Port.SetOnTxEmpty([&](TObject*) { ++TxEmpty; });
  Fault->SetHoldWrites(true);
  Port.Open();
  EXPECT_EQ(Port.WriteBuf("first", 5), 5);
  ASSERT_TRUE(Fault->WaitForPendingWrite(std::chrono::seconds(5)));
  EXPECT_EQ(Port.WriteBuf("-second", 7), 7);
  EXPECT_TRUE(Port.WriteText("-third"));
  EXPECT_TRUE(Port.WriteChar('!'));
  EXPECT_EQ(Port.WriteBufUsed(), 19);
  EXPECT_EQ(Port.WriteBufFree(), 2048 - 19);
  Fault->SetHoldWrites(false);
  ASSERT_TRUE(Fault->CompletePendingWrite());
  EXPECT_TRUE(PumpUntil([&] { return TxEmpty == 1; }));
  const auto Written = Fault->Written();
  EXPECT_EQ(std::string(Written.begin(), Written.end()), "first-second-third!");
  // What was queued while the first write was pending left in one more write.
  EXPECT_EQ(Fault->CallCount("WriteAbandonable"), 2);
  EXPECT_EQ(Port.WriteBufUsed(), 0);
  EXPECT_TRUE(Port.WriteText(""));
  Port.Close();
  ExpectNoMisuse();
}

// However the buffer ran empty (a completed write, a purge of a pending one), the thread has
// idled with its write signal reset, and the next bytes must wake it again.
TEST_F(SioIo, BytesQueuedAfterTheBufferRanEmptyStillLeave) {
  TSioComm& Port = MakeComm();
  int TxEmpty = 0;
  Port.SetOnTxEmpty([&](TObject*) {
    // The write thread waits for this notice; bytes queued meanwhile go in the next pass.
    if (++TxEmpty == 2)
      Port.WriteText("c");
  });
  Port.Open();
  const auto WrittenText = [&] {
    const auto Written = Fault->Written();
    return std::string(Written.begin(), Written.end());
  };
  EXPECT_TRUE(Port.WriteText("a"));
  ASSERT_TRUE(PumpUntil([&] { return TxEmpty == 1; }));
  EXPECT_EQ(WrittenText(), "a");
  EXPECT_TRUE(Port.WriteText("b"));
  ASSERT_TRUE(PumpUntil([&] { return TxEmpty == 3; }));
  EXPECT_EQ(WrittenText(), "abc");

  // Emptied by a purge while a write was pending.
  Fault->SetHoldWrites(true);
  EXPECT_TRUE(Port.WriteText("dropped"));
  ASSERT_TRUE(Fault->WaitForPendingWrite(std::chrono::seconds(5)));
  Port.PurgeWrite();
  Fault->SetHoldWrites(false);
  EXPECT_TRUE(Port.WriteText("d"));
  ASSERT_TRUE(PumpUntil([&] { return TxEmpty == 4; }));
  EXPECT_EQ(WrittenText(), "abcd");
  EXPECT_EQ(Port.WriteBufUsed(), 0);
  Port.Close();
  ExpectNoMisuse();
}

TEST_F(SioIo, WriteBufferBoundaries) {
  // Each case: bytes already queued (held in a pending write), then one write.
  struct Case {
    const char* Name;
    int Queued;
    int Count;
    bool Accepted;
  };
  const std::vector<Case> Cases = {
      {"fills an empty buffer exactly", 0, 2048, true},
      {"one more than the capacity", 0, 2049, false},
      {"fits at once beside queued bytes", 2000, 48, true},
      {"needs room that never comes", 2000, 49, false},
  };
  for (const auto& Item : Cases) {
    SCOPED_TRACE(Item.Name);
    TSioComm& Port = MakeComm();
    Port.Buffers().SetWriteTimeout(20);
    Fault->SetHoldWrites(true);
    Port.Open();
    if (Item.Queued > 0) {
      const std::vector<std::uint8_t> Queued(static_cast<std::size_t>(Item.Queued), 'q');
      ASSERT_EQ(Port.WriteBuf(Queued.data(), Item.Queued), Item.Queued);
      ASSERT_TRUE(Fault->WaitForPendingWrite(std::chrono::seconds(5)));
    }
    const std::vector<std::uint8_t> Data(static_cast<std::size_t>(Item.Count), 'd');
    const std::string Raised = RaisedMessage([&] { Port.WriteBuf(Data.data(), Item.Count); });
    EXPECT_EQ(Raised, Item.Accepted ? "" : SioMsg::kOutputFull);
    EXPECT_EQ(Port.WriteBufUsed(), Item.Queued + (Item.Accepted ? Item.Count : 0));
    EXPECT_LE(Port.WriteBufUsed(), 2048);
    Port.Close();
    ExpectNoMisuse();
  }
}

TEST_F(SioIo, AWaitingWriteIsAcceptedOnceRoomHasBeenMade) {
  TSioComm& Port = MakeComm();
  Port.Buffers().SetWriteTimeout(20);
  Fault->SetHoldWrites(true);
  Port.Open();
  const std::vector<std::uint8_t> Queued(2000, 'q');
  ASSERT_EQ(Port.WriteBuf(Queued.data(), 2000), 2000);
  ASSERT_TRUE(Fault->WaitForPendingWrite(std::chrono::seconds(5)));
  const std::vector<std::uint8_t> Data(49, 'd');
  EXPECT_EQ(RaisedMessage([&] { Port.WriteBuf(Data.data(), 49); }), SioMsg::kOutputFull);
  // Two bytes leave; the thread writes the rest again.
  ASSERT_TRUE(Fault->CompletePendingWrite(2));
  ASSERT_TRUE(PumpUntil([&] { return Fault->PendingWriteSize() == 1998; }));
  EXPECT_EQ(Port.WriteBuf(Data.data(), 49), 49);
  EXPECT_EQ(Port.WriteBufUsed(), 2047);
  Port.Close();
  ExpectNoMisuse();
}

TEST_F(SioIo, WriteTimeoutSurvivesTheTickCounterWrappingAround) {
  TSioComm& Port = MakeComm();
  Port.Buffers().SetWriteTimeout(20);
  Fault->SetTickStart(0xFFFFFFFF - 5);
  Fault->SetHoldWrites(true);
  Port.Open();
  const std::vector<std::uint8_t> Data(2049, 'd');
  EXPECT_EQ(RaisedMessage([&] { Port.WriteBuf(Data.data(), 2049); }), SioMsg::kOutputFull);
  Port.Close();
}

TEST_F(SioIo, CapacityStaysAsOpenedWhenWriteSizeChangesLater) {
  TSioComm& Port = MakeComm();
  Port.Buffers().SetWriteTimeout(20);
  Port.SetOnErrorException([](TObject*, int, const std::string&) {});
  Fault->SetHoldWrites(true);
  Port.Open();
  Port.Buffers().SetWriteSize(8192);  // reported, but stored
  EXPECT_EQ(Port.Buffers().WriteSize(), 8192);
  const std::vector<std::uint8_t> Data(3000, 'd');
  EXPECT_EQ(Port.WriteBuf(Data.data(), 3000), 0);  // no room: the report did not raise
  EXPECT_EQ(Port.WriteBufUsed(), 0);
  EXPECT_EQ(Port.WriteBufFree(), 2048);
  Port.Close();
  ExpectNoMisuse();
}

TEST_F(SioIo, BytesQueuedAtCloseAreDiscardedWithoutTxEmpty) {
  TSioComm& Port = MakeComm();
  int TxEmpty = 0;
  Port.SetOnTxEmpty([&](TObject*) { ++TxEmpty; });
  Fault->SetHoldWrites(true);
  Port.Open();
  EXPECT_EQ(Port.WriteBuf("lost", 4), 4);
  ASSERT_TRUE(Fault->WaitForPendingWrite(std::chrono::seconds(5)));
  Port.Close();
  PumpFor(20);
  EXPECT_TRUE(Fault->Written().empty());
  EXPECT_EQ(TxEmpty, 0);
  ExpectNoMisuse();  // the pending write ended before the handle was closed
}

TEST_F(SioIo, APortThatRefusesEveryWriteIsRetriedWithErrorNoticesUntilClosed) {
  TSioComm& Port = MakeComm();
  int Errors = 0;
  Port.SetOnError([&](TObject*, int Flags) {
    EXPECT_EQ(Flags, static_cast<int>(kCeTxFull));
    ++Errors;
    Fault->InjectErrors(kCeTxFull, false);  // the port keeps reporting it
  });
  Fault->Refuse(foWriteAbandonable, 31);
  Port.Open();
  Fault->InjectErrors(kCeTxFull, false);
  EXPECT_EQ(Port.WriteBuf("x", 1), 1);  // queued: the refusal is the thread's
  EXPECT_TRUE(PumpUntil([&] { return Errors >= 3; }));
  EXPECT_GE(Fault->CallCount("WriteAbandonable"), 3);
  Port.Close();
  EXPECT_FALSE(Port.Active());
  EXPECT_TRUE(Fault->Written().empty());
  ExpectNoMisuse();
}

TEST_F(SioIo, AFailedPendingResultIsRetriedWithoutANotice) {
  TSioComm& Port = MakeComm();
  int Errors = 0;
  Port.SetOnError([&](TObject*, int) { ++Errors; });
  Fault->Refuse(foWriteResult, 31, 2);
  Port.Open();
  Fault->InjectErrors(kCeFrame, false);
  EXPECT_EQ(Port.WriteBuf("retry", 5), 5);
  EXPECT_TRUE(PumpUntil([&] { return Fault->Written().size() == 5; }));
  EXPECT_EQ(Fault->CallCount("WriteAbandonable"), 3);
  EXPECT_EQ(Errors, 0);
  Port.Close();
}

TEST_F(SioIo, Purges) {
  TSioComm& Port = MakeComm();
  Fault->SetHoldWrites(true);
  Port.Open();
  EXPECT_EQ(Port.WriteBuf("abc", 3), 3);
  ASSERT_TRUE(Fault->WaitForPendingWrite(std::chrono::seconds(5)));
  Fault->InjectRx(Bytes("in"), false);

  Port.PurgeRead();
  EXPECT_EQ(Fault->Purges().back(), 0x000Au);
  EXPECT_EQ(Port.WriteBufUsed(), 3);  // the write buffer is not the read side's
  EXPECT_EQ(Fault->RxWaiting(), 0u);

  Port.PurgeWrite();  // the pending write is abandoned and acknowledged
  EXPECT_EQ(Fault->Purges().back(), 0x0005u);
  EXPECT_EQ(Port.WriteBufUsed(), 0);

  EXPECT_EQ(Port.WriteBuf("def", 3), 3);
  ASSERT_TRUE(Fault->WaitForPendingWrite(std::chrono::seconds(5)));
  Port.PurgeReadWrite();
  EXPECT_EQ(Fault->Purges().back(), 0x000Fu);
  EXPECT_EQ(Port.WriteBufUsed(), 0);

  // Bytes queued after a purge are sent, and only they.
  Fault->SetHoldWrites(false);
  EXPECT_EQ(Port.WriteBuf("ghi", 3), 3);
  EXPECT_TRUE(PumpUntil([&] { return !Fault->Written().empty(); }));
  const auto Written = Fault->Written();
  EXPECT_EQ(std::string(Written.begin(), Written.end()), "ghi");

  Fault->Refuse(foPurgeComm, 5, 1);
  EXPECT_EQ(RaisedMessage([&] { Port.PurgeRead(); }),
            "Error clearing buffers (5), Access is denied");
  Port.Close();
  ExpectNoMisuse();
}

// A write that completes while the purge waits: the thread needs the write section to take
// the sent bytes off, and must still acknowledge and drop the rest.
TEST_F(SioIo, APurgeDropsWhatAWriteCompletingMeanwhileLeftQueued) {
  TSioComm& Port = MakeComm();
  Fault->SetHoldWrites(true);
  Fault->SetWritesIgnoreAbandon(true);
  Port.Open();
  ASSERT_EQ(Port.WriteBuf("sent", 4), 4);
  ASSERT_TRUE(Fault->WaitForPendingWrite(std::chrono::seconds(5)));
  ASSERT_EQ(Port.WriteBuf("-dropped", 8), 8);
  std::thread Device([&] {
    EXPECT_TRUE(Fault->WaitForAbandonRequest(std::chrono::seconds(5)));
    Fault->SetHoldWrites(false);
    Fault->SetWritesIgnoreAbandon(false);
    Fault->CompletePendingWrite();
  });
  Port.PurgeWrite();
  Device.join();
  EXPECT_EQ(Port.WriteBufUsed(), 0);
  PumpFor(50);  // whatever was still queued would leave now
  const auto Written = Fault->Written();
  EXPECT_EQ(std::string(Written.begin(), Written.end()), "sent");
  Port.Close();
  ExpectNoMisuse();
}

TEST_F(SioIo, APurgeTheThreadCannotAcknowledgeLeavesTheBufferAlone) {
  TSioComm& Port = MakeComm();
  int Used = -1;
  bool Purged = false;
  Port.SetOnTxEmpty([&](TObject*) {
    if (Purged)
      return;
    Purged = true;
    // The write thread waits for this very notice, so it cannot acknowledge.
    Fault->SetHoldWrites(true);
    Port.WriteBuf("kept", 4);
    Port.PurgeWrite();
    Used = Port.WriteBufUsed();
  });
  Port.Open();
  EXPECT_EQ(Port.WriteBuf("x", 1), 1);
  EXPECT_TRUE(PumpUntil([&] { return Purged; }, 10000));
  EXPECT_EQ(Used, 4);
  EXPECT_EQ(Fault->Purges().back(), 0x0005u);
  Port.Close();
  ExpectNoMisuse();
}

TEST_F(SioIo, ReadsTakeWhatHasArrived) {
  TSioComm& Port = MakeComm();
  Port.SetMonitorEvents({});  // read on demand only
  Port.Open();
  char Buf[10] = {};
  EXPECT_EQ(Port.ReadBuf(Buf, 10), 0);
  Fault->InjectRx(Bytes("xyz"), false);
  EXPECT_EQ(Port.ReadBufUsed(), 3);
  EXPECT_EQ(Port.UARTReadBufUsed(), 3);
  EXPECT_EQ(Port.ReadBufFree(), 4096 - 3);
  EXPECT_EQ(Port.ReadBuf(Buf, 10), 3);
  EXPECT_EQ(std::string(Buf, 3), "xyz");
  Fault->InjectRx(Bytes("hello"), false);
  char Ch = 0;
  EXPECT_TRUE(Port.ReadChar(Ch));
  EXPECT_EQ(Ch, 'h');
  EXPECT_EQ(Port.ReadText(), "ello");
  EXPECT_EQ(Port.ReadText(), "");
  EXPECT_FALSE(Port.ReadChar(Ch));
  Fault->SetOutQueue(7);
  EXPECT_EQ(Port.UARTWriteBufUsed(), 7);

  Fault->Refuse(foRead, 5, 1);
  EXPECT_EQ(RaisedMessage([&] { Port.ReadBuf(Buf, 1); }), "Read error (5), Access is denied");
  Fault->Refuse(foClearCommError, 6, 1);
  EXPECT_EQ(RaisedMessage([&] { Port.ReadBufUsed(); }),
            "Error retrieving statistics (6), The handle is invalid");
  // With the report bound, a failed query reads as zeros.
  Port.SetOnErrorException([](TObject*, int, const std::string&) {});
  Fault->InjectRx(Bytes("ab"), false);
  Fault->Refuse(foClearCommError, 6, 1);
  EXPECT_EQ(Port.ReadBufUsed(), 0);
  Fault->Refuse(foRead, 5, 1);
  EXPECT_EQ(Port.ReadBuf(Buf, 2), 0);
  Port.Close();
  ExpectNoMisuse();
}

TEST_F(SioIo, DirectWriteGoesToThePortItself) {
  TSioComm& Port = MakeComm();
  Port.SetDirectWrite(true);
  Port.Open();
  EXPECT_EQ(Port.WriteBuf("direct", 6), 6);
  const auto Written = Fault->Written();
  EXPECT_EQ(std::string(Written.begin(), Written.end()), "direct");
  EXPECT_EQ(Fault->CallCount("WriteAbandonable"), 0);
  Fault->SetOutQueue(48);
  EXPECT_EQ(Port.WriteBufUsed(), 48);
  EXPECT_EQ(Port.WriteBufFree(), 2000);
  Port.PurgeWrite();  // no write thread to flush
  EXPECT_EQ(Fault->Purges().back(), 0x0005u);
  Fault->Refuse(foWrite, 5, 1);
  EXPECT_EQ(RaisedMessage([&] { Port.WriteBuf("x", 1); }), "Write error (5), Access is denied");
  Port.Close();
  ExpectNoMisuse();
}

}  // namespace

}  // namespace vantor
