// The notice about ports this user may not open, on the headless framework with a made-up
// port report.
#include <gtest/gtest.h>

#include "framework/headless/headless.h"
#include "ui/program/permission_notice.h"

namespace vantor {

namespace {

TPortReportEntry Port(const std::string& Name, TPortFailure State, bool Usb, bool Present = true) {
  TPortReportEntry Entry;
  Entry.Name = Name;
  Entry.State = State;
  Entry.UsbSerial = Usb;
  Entry.Present = Present;
  return Entry;
}

TPortReportEntry Denied(const std::string& Name, bool Usb, bool Present = true) {
  TPortReportEntry Entry = Port(Name, TPortFailure::pfDenied, Usb, Present);
  Entry.Description = Usb ? "Vantor Table-Top Microphone" : "";
  Entry.Group = "dialout";
  Entry.User = "bob";
  Entry.Mode = "crw-rw----";
  return Entry;
}

class PermissionNoticeTest : public ::testing::Test {
 protected:
  PermissionNoticeTest() {
    for (int I = 0; I < 5; ++I)
      Bar->AddPanel(TStatusPanel{});
    Form->Show();
  }
  TPortEntryList Candidates{"/dev/ttyUSB3  "};
  const std::vector<TMessageBoxRecord>& Boxes() const { return H.Backend->MessageBoxes(); }

  THeadlessApp H = MakeHeadlessApplication("/usr/bin/vantor-mic-settings");
  TForm* Form = H.App->CreateForm<TForm>();
  TStatusBar* Bar = Form->MakeOwned<TStatusBar>();
  TPortReport Report;
  int Reports = 0;
  TPermissionNotice* Notice = Form->MakeOwned<TPermissionNotice>(*Bar, 1, [this] {
    ++Reports;
    return Report;
  });
};

TEST(PermissionNoticeText, NamesEachDeniedUsbOrNamedPortWhyAndTheRemedy) {
  EXPECT_EQ(PermissionNoticeText({Denied("/dev/ttyACM0", true)}),
            "You may not open the serial port /dev/ttyACM0 (Vantor Table-Top Microphone): the "
            "device belongs to group dialout, and user bob is not in it.\n"
            "Join the group: sudo usermod -aG dialout bob, then log out and in again.");
  TPortReportEntry Later = Denied("/tmp/ttyMIC", false, false);  // named with --port
  Later.Membership = TGroupMembership::gmNotLoggedIn;
  const std::string Two = PermissionNoticeText({Denied("/dev/ttyUSB0", true), Later});
  EXPECT_NE(Two.find("/dev/ttyUSB0"), std::string::npos);
  EXPECT_NE(Two.find("\n\nYou may not open the serial port /tmp/ttyMIC: user bob was added to "
                     "group dialout after this login began"),
            std::string::npos)
      << Two;
  EXPECT_NE(Two.find("Log out and in again"), std::string::npos);
  // Legacy on-board ports, and ports that are free, busy or absent, are not its business.
  EXPECT_EQ(PermissionNoticeText({Denied("/dev/ttyS0", false),
                                  Port("/dev/ttyACM1", TPortFailure::pfBusy, true),
                                  Port("/dev/ttyACM2", TPortFailure::pfNone, true),
                                  Port("/tmp/gone", TPortFailure::pfNotFound, false, false)}),
            "");
}

TEST_F(PermissionNoticeTest, WithNothingToTryTheNoticeOpensOnceAndStaysAsThePanelsHint) {
  Report = {Denied("/dev/ttyS0", false), Denied("/dev/ttyACM0", true)};
  Notice->AfterRescan(nullptr);
  const std::string Text = PermissionNoticeText(Report);
  EXPECT_EQ(Bar->PanelHint(1), Text);
  EXPECT_TRUE(Boxes().empty());  // not inside the rescan's handler
  H.Backend->Advance(std::chrono::milliseconds(1));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Kind, TMessageBoxKind::mbNotice);
  EXPECT_EQ(Boxes()[0].Caption, "vantor-mic-settings");
  EXPECT_EQ(Boxes()[0].Button, "OK");
  EXPECT_EQ(Boxes()[0].Text, Text);
  // Later rescans keep the hint but open no second box.
  Notice->AfterRescan(nullptr);
  H.Backend->Advance(std::chrono::seconds(5));
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Bar->PanelHint(1), Text);
  // Once the port may be opened (it is a candidate), the hint goes.
  const int Before = Reports;
  Notice->AfterRescan(&Candidates);
  EXPECT_EQ(Reports, Before);  // with something to try, no report is made
  EXPECT_EQ(Bar->PanelHint(1), "");
  Notice->AfterRescan(nullptr);
  EXPECT_EQ(Bar->PanelHint(1), Text);
  // While nothing is to be tried, the report is made again only every tenth rescan: when
  // the port has gone, the hint goes with the next report.
  Report = {Denied("/dev/ttyS0", false)};
  for (int I = 1; I < TPermissionNotice::kRescansPerReport; ++I) {
    Notice->AfterRescan(nullptr);
    EXPECT_EQ(Bar->PanelHint(1), Text);
  }
  EXPECT_EQ(Reports, Before + 1);
  Notice->AfterRescan(nullptr);
  EXPECT_EQ(Reports, Before + 2);
  EXPECT_EQ(Bar->PanelHint(1), "");
  H.Backend->Advance(std::chrono::seconds(5));
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(PermissionNoticeTest, ACandidateFoundBeforeTheBoxOpensLeavesItForTheNextTime) {
  Report = {Denied("/dev/ttyACM0", true)};
  Notice->AfterRescan(nullptr);
  Notice->AfterRescan(&Candidates);
  H.Backend->Advance(std::chrono::milliseconds(5));
  EXPECT_TRUE(Boxes().empty());
  Notice->AfterRescan(nullptr);
  H.Backend->Advance(std::chrono::milliseconds(5));
  EXPECT_EQ(Boxes().size(), 1u);
}

}  // namespace

}  // namespace vantor
