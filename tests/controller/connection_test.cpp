// Walking the candidate ports on the connect timer, and the port's notifications.
#include <gtest/gtest.h>

#include "tests/controller/form_fixture.h"

namespace vantor {

namespace {

using ConnectionTest = FormTest;

const TPortEntryList kTwo = {"COM3  USB Serial Device ", "COM4  USB Serial Device "};

TEST_F(ConnectionTest, TwoSilentCandidatesAreGreetedFourTimesThenTheListIsRenewed) {
  Start({kTwo, TPortEntryList{"COM9  Other "}});
  std::vector<std::string> Panel1;
  for (int T = 1; T <= 10; ++T) {
    Tick();
    Panel1.push_back(Panel(1));
  }
  EXPECT_EQ(Port->FramesTo("COM3"), std::vector<TBytes>(4, requests::kHandshake));
  EXPECT_EQ(Port->FramesTo("COM4"), std::vector<TBytes>(4, requests::kHandshake));
  // Tick 1 opens COM3, tick 5 closes it and opens COM4, tick 9 closes COM4 and rescans,
  // tick 10 opens the first entry of the fresh list.
  EXPECT_EQ(Port->Opened, (std::vector<std::string>{"COM3", "COM4", "COM9"}));
  EXPECT_EQ(Port->CloseNotices, 2);
  EXPECT_EQ(PortList.Calls, 2);
  EXPECT_EQ(Panel1,
            (std::vector<std::string>{"Connecting...", "Connecting", "Connecting.", "Connecting...",
                                      "Connecting...", "Connecting", "Connecting.", "Connecting...",
                                      "Not connected", "Connecting..."}));
  EXPECT_EQ(Inside(Form).fComport(), "COM9  Other ");
}

TEST_F(ConnectionTest, NoPortsMeansARescanOnEveryTick) {
  Start({std::nullopt});
  Tick(3);
  EXPECT_EQ(PortList.Calls, 4);
  EXPECT_TRUE(Port->OpenTries.empty());
  EXPECT_EQ(Panel(1), "Not connected");
}

TEST_F(ConnectionTest, ACandidateThatCannotBeOpenedCostsOneTickAndNoMessage) {
  Start({kTwo});
  Port->Refused = {"COM3"};
  Tick();
  EXPECT_FALSE(Port->Active());
  EXPECT_EQ(Port->OpenTries, (std::vector<std::string>{"COM3"}));
  EXPECT_EQ(Panel(1), "Not connected");
  Tick();
  EXPECT_EQ(Port->Opened, (std::vector<std::string>{"COM4"}));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ConnectionTest, OnlyThePortNameOfAnEntryIsUsed) {
  Start({TPortEntryList{"COM7  USB Serial Device "}});
  Tick();
  EXPECT_EQ(Port->DeviceName(), "COM7");
  EXPECT_TRUE(Port->Active());
}

TEST_F(ConnectionTest, AnAnswerToTheSecondHandshakeConnectsAndTheNextTickStopsTheTimer) {
  Start({kTwo});
  Tick(2);
  ASSERT_EQ(Port->Frames().size(), 2u);
  Port->Receive(replies::Handshake());
  EXPECT_TRUE(Inside(Form).fIsConnected());
  EXPECT_EQ(Panel(1), "Connected");
  EXPECT_TRUE(Form->tmConnect->Enabled());
  Tick();
  EXPECT_FALSE(Form->tmConnect->Enabled());
  EXPECT_EQ(Inside(Form).fConnectCount(), 1);  // kept until the next port change
  Tick(10);
  EXPECT_TRUE(Port->Active());
  EXPECT_EQ(Port->Opened.size(), 1u);
  EXPECT_EQ(Port->Frames().size(), 2u + 5u);  // no more handshakes after the five requests
}

TEST_F(ConnectionTest, ClosingTheConnectedPortResetsTheStatusAndResumesWithTheNextEntry) {
  StartConnected(65, 62, 255, 0, 12);
  Tick();
  ASSERT_FALSE(Form->tmConnect->Enabled());
  Backend().Click(*Form->btSave);  // a save under way when the port goes
  Wait(500);
  ASSERT_EQ(Form->btSave->Caption(), "Saving.");

  Port->RaiseBreak();
  EXPECT_FALSE(Port->Active());
  EXPECT_EQ(Panel(1), "Not connected");
  EXPECT_EQ(Panel(3), "Unknown");
  EXPECT_EQ(Panel(4), "");
  EXPECT_FALSE(Inside(Form).fIsConnected());
  EXPECT_TRUE(Form->tmConnect->Enabled());
  EXPECT_FALSE(Form->tmSaving->Enabled());
  // Caption, fields and the pending save are left as they were.
  EXPECT_EQ(Form->btSave->Caption(), "Saving.");
  EXPECT_FALSE(Form->hkKey1->Enabled());
  EXPECT_FALSE(Inside(Form).fSavedSettings());
  EXPECT_EQ(Form->Caption(), "Vantor Microphone Settings");

  Tick();
  EXPECT_EQ(Port->Opened, (std::vector<std::string>{"COM3", "COM4"}));
}

TEST_F(ConnectionTest, LineErrorsAndBreaksCloseThePort) {
  StartConnected();
  Port->RaiseError(0x08);
  EXPECT_FALSE(Port->Active());
  Tick();  // opens COM4
  ASSERT_TRUE(Port->Active());
  Port->RaiseBreak();
  EXPECT_FALSE(Port->Active());
  EXPECT_EQ(Port->CloseNotices, 2);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ConnectionTest, RemovalOfAnotherDeviceRenewsTheListButKeepsThePortOpen) {
  Start({kTwo, TPortEntryList{"COM5"}, TPortEntryList{"COM6"}, TPortEntryList{"COM8"}});
  Tick();
  ASSERT_EQ(Port->DeviceName(), "COM3");

  Port->Unplug("COM4");
  EXPECT_TRUE(Port->Active());
  EXPECT_EQ(*Inside(Form).fComPortList(), TPortEntryList{"COM5"});

  Port->Unplug("com3");  // names are compared with case mattering
  EXPECT_TRUE(Port->Active());
  EXPECT_EQ(*Inside(Form).fComPortList(), TPortEntryList{"COM6"});

  Port->Unplug("COM3");
  EXPECT_FALSE(Port->Active());
  EXPECT_EQ(*Inside(Form).fComPortList(), TPortEntryList{"COM8"});
  EXPECT_EQ(PortList.Calls, 4);
  Tick();
  EXPECT_EQ(Port->DeviceName(), "COM8");
}

TEST_F(ConnectionTest, ShortHandshakeReplyWhileConnectedLeavesTheControllerIdle) {
  StartConnected();
  Tick();
  ASSERT_FALSE(Form->tmConnect->Enabled());
  Port->Receive({0xAA, 0x03, 0x01});
  EXPECT_FALSE(Inside(Form).fIsConnected());
  EXPECT_FALSE(Form->tmConnect->Enabled());
  EXPECT_EQ(Panel(1), "Connected");  // no status text either
  Tick(5);
  EXPECT_TRUE(Port->Active());
  EXPECT_TRUE(Port->Writes.empty());
  // A later status-1 answer counts as a first answer again.
  Port->Receive(replies::Handshake());
  EXPECT_TRUE(Inside(Form).fIsConnected());
  EXPECT_EQ(Port->Frames().size(), 5u);
}

}  // namespace

}  // namespace vantor
