// The Linux window's hint while no microphone answers, on the headless framework with a
// made-up port report.
#include <gtest/gtest.h>

#include "framework/controls.h"
#include "framework/headless/headless.h"
#include "ui/program/search_hint.h"

namespace vantor {

namespace {

TPortReportEntry Port(const std::string& Name, TPortFailure State) {
  TPortReportEntry Entry;
  Entry.Name = Name;
  Entry.State = State;
  Entry.Present = State != TPortFailure::pfNotFound;
  return Entry;
}

TEST(SearchHintText, SaysWhatTheSearchSeesWithTheRemedy) {
  const std::string Support = "\nSupport: vantor-mic diagnose";
  EXPECT_EQ(SearchHintText({}, 0, {}), "No serial port found: plug the microphone in." + Support);
  EXPECT_EQ(SearchHintText({}, 3, {Port("/dev/ttyS0", TPortFailure::pfNone)}),
            "3 ports tried, none answered: replug the microphone." + Support);
  EXPECT_EQ(SearchHintText({}, 1, {}),
            "1 port tried, none answered: replug the microphone." + Support);
  // Ports, but none the search could try: the list says why (busy, denied).
  EXPECT_EQ(SearchHintText({}, 0,
                           {Port("/dev/ttyACM0", TPortFailure::pfBusy),
                            Port("/dev/ttyUSB0", TPortFailure::pfDenied)}),
            "2 ports found, none free to try: vantor-mic list says why.");
}

TEST(SearchHintText, ANamedPortThatCannotBeGreetedIsNamedWithWhy) {
  const std::vector<std::string> Named{"/dev/ttyUSB9", "/tmp/notes.txt"};
  EXPECT_EQ(SearchHintText(Named, 0,
                           {Port("/dev/ttyUSB9", TPortFailure::pfNotFound),
                            Port("/tmp/notes.txt", TPortFailure::pfNotSerial)}),
            "/dev/ttyUSB9 does not exist; /tmp/notes.txt is not a serial port: check --port.\n"
            "Support: vantor-mic diagnose");
  TPortReportEntry Busy = Port("/dev/ttyACM0", TPortFailure::pfBusy);
  Busy.Holders = {{4711, "minicom"}};
  const std::string Text = SearchHintText({"/dev/ttyACM0"}, 0, {Busy});
  EXPECT_EQ(Text.rfind("/dev/ttyACM0 cannot be opened (busy", 0), 0u) << Text;
  EXPECT_NE(Text.find("minicom"), std::string::npos) << Text;
  // A named port that opens but stays silent is a port tried.
  EXPECT_EQ(SearchHintText({"/dev/ttyACM0"}, 1, {Port("/dev/ttyACM0", TPortFailure::pfNone)}),
            "1 port tried, none answered: replug the microphone.\nSupport: vantor-mic diagnose");
}

class SearchHintTest : public ::testing::Test {
 protected:
  SearchHintTest() { Form->Show(); }

  void Rescans(int Count, const TPortEntryList* Candidates) {
    for (int I = 0; I < Count; ++I)
      Hint->AfterRescan(Candidates);
  }

  THeadlessApp H = MakeHeadlessApplication("/usr/bin/vantor-mic-settings");
  TForm* Form = H.App->CreateForm<TForm>();
  TLabel* Label = Form->MakeOwned<TLabel>();
  TPortReport Report;
  int Reports = 0;
  TSearchHint* Hint = Form->MakeOwned<TSearchHint>(*Label, std::vector<std::string>{}, [this] {
    ++Reports;
    return Report;
  });
};

TEST_F(SearchHintTest, ComesAfterTenRescansWithoutAnAnswerAndGoesWithTheAnswer) {
  EXPECT_FALSE(Label->Visible());
  const TPortEntryList Two{"/dev/ttyACM0  ", "/dev/ttyS0  "};
  Rescans(TSearchHint::kRescansPerHint - 1, &Two);
  EXPECT_FALSE(Label->Visible());
  EXPECT_EQ(Reports, 0);  // the report probes every port: not made before it is needed
  Rescans(1, &Two);
  EXPECT_TRUE(Label->Visible());
  EXPECT_EQ(Reports, 1);
  EXPECT_EQ(Label->Caption().rfind("2 ports tried", 0), 0u) << Label->Caption();

  // The same two ports every rescan are still two; a third one counts.
  const TPortEntryList Three{"/dev/ttyACM0  ", "/dev/ttyS0  ", "/dev/ttyACM1  "};
  Rescans(TSearchHint::kRescansPerHint, &Three);
  EXPECT_EQ(Reports, 2);
  EXPECT_EQ(Label->Caption().rfind("3 ports tried", 0), 0u) << Label->Caption();

  Hint->Answered();
  EXPECT_FALSE(Label->Visible());
  // A microphone that goes again starts a new count, with nothing tried yet.
  Rescans(TSearchHint::kRescansPerHint - 1, nullptr);
  EXPECT_FALSE(Label->Visible());
  Rescans(1, nullptr);
  EXPECT_TRUE(Label->Visible());
  EXPECT_EQ(Label->Caption(),
            "No serial port found: plug the microphone in.\nSupport: vantor-mic diagnose");
}

}  // namespace

}  // namespace vantor
