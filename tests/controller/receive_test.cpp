// Received bytes through comportRXChar: reassembly, the reply handler's verdicts, failures.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/controller/form_fixture.h"

namespace vantor {

namespace {

using ReceiveTest = FormTest;

TEST_F(ReceiveTest, HandleReplyDropsWholeFramesItUnderstandsAndOnlyTheStartOfOthers) {
  Start();
  struct TCase {
    const char* Name;
    TBytes Frame;
    bool Consumed;
  };
  const TCase Cases[] = {
      {"handshake", {0xAA, 0x05, 0x01, 0x00, 0xBB}, true},
      {"short handshake", {0xAA, 0x03, 0x01}, true},
      {"setting", {0xAA, 0x06, 0x02, 0x01, 0x3A, 0x00}, true},
      {"version", {0xAA, 0x05, 0x04, 0x0C, 0xBB}, true},
      {"short version", {0xAA, 0x03, 0x04}, true},
      {"setting of length 5", {0xAA, 0x05, 0x02, 0x01, 0xBB}, false},
      {"setting 0", {0xAA, 0x06, 0x02, 0x00, 0x3A, 0xBB}, false},
      {"setting 5", {0xAA, 0x06, 0x02, 0x05, 0x3A, 0xBB}, false},
      {"setting of length 3", {0xAA, 0x03, 0x02}, false},
      {"write echo", {0xAA, 0x06, 0x03, 0x01, 0x3A, 0xBB}, false},
      {"unknown command", {0xAA, 0x05, 0x09, 0x00, 0xBB}, false},
      {"length 2", {0xAA, 0x02}, false},
      {"length 0", {0xAA, 0x00}, false},
  };
  for (const TCase& C : Cases) {
    EXPECT_EQ(Form->HandleReply(C.Frame, C.Frame[1]), C.Consumed) << C.Name;
  }
}

TEST_F(ReceiveTest, StrayBytesBeforeAFrameAreDropped) {
  StartConnected();
  Port->Receive({0x00, 0x17, 0xAA, 0x05, 0x04, 0x0C, 0xBB});
  EXPECT_EQ(Panel(3), "1.2");
  EXPECT_TRUE(Inside(Form).Data_buf()->empty());
}

TEST_F(ReceiveTest, AFrameSplitOverTwoNotificationsIsHandledOnceComplete) {
  Start({TPortEntryList{"COM3"}});
  Tick();
  Port->Receive({0xAA});
  Port->Receive({0x06, 0x02});
  EXPECT_EQ(Inside(Form).Data_buf()->size(), 3u);
  Port->Receive({0x01, 0x3A, 0xBB, 0xAA, 0x05, 0x01});
  EXPECT_EQ(Form->hkKey1->HotKey(), kF1);
  EXPECT_EQ(Panel(1), "Connecting...");
  Port->Receive({0x01, 0xBB});
  EXPECT_EQ(Panel(1), "Connected");
}

TEST_F(ReceiveTest, FramesOfOneNotificationAreHandledInOrder) {
  StartConnected();
  Port->Receive({0xAA, 0x06, 0x02, 0x02, 0x3E, 0xBB, 0xAA, 0x06, 0x02, 0x02, 0xFF, 0xBB});
  EXPECT_EQ(Form->hkKey2->HotKey(), kNone);
  EXPECT_FALSE(Form->cbKey2->Checked());
  EXPECT_EQ(Panel(4), "Not saved");  // the box went on and off again
}

TEST_F(ReceiveTest, BytesAnnouncedLaterAreReadLater) {
  StartConnected();
  Port->Receive(replies::Version(20), 2);
  EXPECT_EQ(Port->Waiting(), 3u);
  EXPECT_EQ(Panel(3), "1.2");
  Port->Announce(3);
  EXPECT_EQ(Panel(3), "2.0");
}

TEST_F(ReceiveTest, AStartByteInsideAnUnderstoodFrameIsNotTakenForAFrame) {
  StartConnected();
  // Setting 1 = 0xAA (no key), then a version: the value byte must not start a frame.
  Port->Receive({0xAA, 0x06, 0x02, 0x01, 0xAA, 0xBB, 0xAA, 0x05, 0x04, 0x0E, 0xBB});
  EXPECT_EQ(Form->hkKey1->HotKey(), kNone);
  EXPECT_EQ(Panel(3), "1.4");
}

TEST_F(ReceiveTest, AFrameTooShortForItsCommandIsSkippedAndTheScanResynchronises) {
  StartConnected();
  Port->Receive({0xAA, 0x03, 0x02, 0xAA, 0x06, 0x02, 0x01, 0x3A, 0xBB});
  EXPECT_EQ(Form->hkKey1->HotKey(), kF1);
  Port->Receive({0xAA, 0x01, 0xAA, 0x00, 0xAA, 0x05, 0x04, 0x0F, 0xBB});
  EXPECT_EQ(Panel(3), "1.5");
  // A stray start byte whose "frame" swallows the head of a real one.
  Port->Receive({0xAA, 0x05, 0xAA, 0x05, 0x04, 0x10, 0xBB});
  EXPECT_EQ(Panel(3), "1.6");
  EXPECT_TRUE(Inside(Form).Data_buf()->empty());
}

TEST_F(ReceiveTest, APartialFrameFromAClosedPortIsCompletedByTheNextPort) {
  Start({TPortEntryList{"COM3", "COM4"}});
  Tick();
  Port->Receive({0xAA, 0x06, 0x02});
  Port->RaiseBreak();
  Tick();
  ASSERT_EQ(Port->DeviceName(), "COM4");
  EXPECT_EQ(Inside(Form).Data_buf()->size(), 3u);
  Port->Receive({0x01, 0x3B, 0xBB});
  EXPECT_EQ(Form->hkKey1->HotKey(), kF2);
}

TEST_F(ReceiveTest, AReadFailureShowsTwoNoticesAndOnlyThenClosesThePort) {
  Start({TPortEntryList{"COM3"}});
  Tick();
  Port->Receive({0xAA, 0x06});  // a partial frame the buffer keeps
  Port->ReadFailure = ESioCommError("Read error (5), Access is denied");
  std::vector<bool> OpenWhileShown;
  Backend().OnMessageBox = [&](const TMessageBoxRecord&) {
    OpenWhileShown.push_back(Port->Active());
  };
  Port->Announce(4);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].Text, "Exception class name = ESioCommError");
  EXPECT_EQ(Boxes()[1].Text, "Exception message = Read error (5), Access is denied");
  for (const TMessageBoxRecord& Box : Boxes()) {
    EXPECT_EQ(Box.Kind, TMessageBoxKind::mbNotice);
    EXPECT_EQ(Box.Caption, App.App->Title());
    EXPECT_EQ(Box.Button, "OK");
  }
  EXPECT_EQ(OpenWhileShown, (std::vector<bool>{true, true}));
  EXPECT_FALSE(Port->Active());
  EXPECT_EQ(Panel(1), "Not connected");
  EXPECT_EQ(*Inside(Form).Data_buf(), (TBytes{0xAA, 0x06}));
}

TEST_F(ReceiveTest, AFailureOfAnyKindInAReplyIsReportedTheSameWay) {
  StartConnected();
  Form->cbKey2->OnClick = [](TObject*) { throw std::runtime_error("box broke"); };
  Port->Receive(replies::Setting(2, 62));
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].Text, "Exception class name = std::runtime_error");
  EXPECT_EQ(Boxes()[1].Text, "Exception message = box broke");
  EXPECT_FALSE(Port->Active());
  // The frame being handled stays in the buffer, and the next notification, even one that
  // reads nothing, scans it again.
  EXPECT_EQ(*Inside(Form).Data_buf(), replies::Setting(2, 62));
  Form->cbKey2->OnClick = nullptr;
  Tick();  // opens COM4
  Port->Announce(1);
  EXPECT_TRUE(Inside(Form).Data_buf()->empty());
  EXPECT_EQ(Form->hkKey2->HotKey(), kF5);
}

TEST_F(ReceiveTest, TimersTickWhileANoticeIsOpen) {
  Start({TPortEntryList{"COM3"}});
  Tick();
  Port->ReadFailure = ESioCommError("Read error (5), Access is denied");
  Backend().OnMessageBox = [&](const TMessageBoxRecord&) {
    Tick();
    Backend().OnMessageBox = nullptr;
  };
  Port->Writes.clear();
  Port->Announce(1);
  EXPECT_EQ(Port->Frames(), std::vector<TBytes>{requests::kHandshake});
  EXPECT_EQ(Boxes().size(), 2u);
}

TEST_F(ReceiveTest, AFailureOnOnePortDoesNotCloseThePortOpenedMeanwhile) {
  Start({TPortEntryList{"COM3", "COM4"}});
  Tick();
  Port->ReadFailure = ESioCommError("Read error (5), Access is denied");
  Backend().OnMessageBox = [&](const TMessageBoxRecord&) {
    Backend().OnMessageBox = nullptr;
    Port->ReadFailure.reset();
    Tick(4);  // the search moves on while the box is open
  };
  Port->Announce(1);
  EXPECT_EQ(Boxes().size(), 2u);
  EXPECT_TRUE(Port->Active());
  EXPECT_EQ(Port->DeviceName(), "COM4");
}

}  // namespace

}  // namespace vantor
