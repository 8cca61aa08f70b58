// The binding as the page uses it: a conversation driven through the C functions against
// the simulator's binding, the plans and refusals, the backup text both ways, and input
// that is not what a call expects.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "web/core/core_binding.h"
#include "web/core/simulator_binding.h"

namespace vantor {

namespace {

using json = nlohmann::json;

// Plays the page's driver: every frame the view names goes to the simulator, whose replies
// come back as received bytes, until nothing is left to send. The last view, with the
// events of every view on the way.
json Drive(json View, double Now) {
  json Events = View["events"];
  const auto Next = [&](const char* Text) {
    View = json::parse(Text);
    for (const json& Event : View["events"])
      Events.push_back(Event);
  };
  while (!View["frame"].is_null()) {
    const std::string Replies = micsim_feed(View["frame"].dump().c_str());
    Next(vantor_sent(Now));
    for (const json& Reply : json::parse(Replies))
      Next(vantor_receive(Now, Reply.dump().c_str()));
  }
  View["events"] = Events;
  return View;
}

json Connect() {
  micsim_reset(12);
  return Drive(json::parse(vantor_begin(0, 1000)), 0);
}

std::vector<std::string> Kinds(const json& View) {
  std::vector<std::string> Kinds;
  for (const json& Event : View["events"])
    Kinds.push_back(Event["kind"]);
  return Kinds;
}

TEST(CoreBinding, KeyTableComesFromTheCore) {
  const json Table = json::parse(vantor_key_table());
  EXPECT_EQ(Table["keys"].size(), 12u);
  EXPECT_EQ(Table["keys"][0], "F1");
  EXPECT_EQ(Table["keys"][11], "F12");
  EXPECT_EQ(Table["off"], "off");
  EXPECT_EQ(Table["settings"], json({"centre", "left", "right", "mute"}));
  EXPECT_EQ(std::string(vantor_key_name("f5")), "F5");
  EXPECT_EQ(std::string(vantor_key_name("F13")), "");
  EXPECT_EQ(std::string(vantor_key_name("Enter")), "");
}

TEST(CoreBinding, ReadsWritesAndVerifiesAgainstTheSimulator) {
  const json Read = Connect();
  EXPECT_EQ(Read["phase"], "ready");
  EXPECT_EQ(Read["firmware"], "1.2");
  EXPECT_EQ(Read["settings"],
            json({{"centre", "F8"}, {"left", "off"}, {"right", "off"}, {"mute", "off"}}));

  const json Written = json::parse(vantor_write(1, R"({"left": "F5", "mute": "on"})"));
  EXPECT_EQ(Written["plan"]["changed"], true);
  EXPECT_EQ(Written["frame"], json({0xAA, 6, 3, 1, 0x41, 0xBB}));  // the centre is kept
  const json Done = Drive(Written, 1);
  EXPECT_EQ(Kinds(Done),
            (std::vector<std::string>{"checked", "checked", "checked", "checked", "verified"}));
  EXPECT_EQ(Done["differences"], json::array());
  EXPECT_EQ(Done["settings"]["left"], "F5");
  EXPECT_EQ(Done["settings"]["mute"], "on");
  EXPECT_EQ(std::string(vantor_backup()),
            "{\"format\": 1, \"firmware\": \"1.2\", \"settings\": {\"centre\": \"F8\", \"left\": "
            "\"F5\", \"right\": \"off\", \"mute\": true}}\n");
}

TEST(CoreBinding, ARefusedOrUnchangedPlanWritesNothing) {
  Connect();
  const json Duplicate = json::parse(vantor_write(1, R"({"right": "F8"})"));
  EXPECT_TRUE(Duplicate["frame"].is_null());
  ASSERT_EQ(Duplicate["plan"]["refusals"].size(), 1u);
  EXPECT_EQ(Duplicate["plan"]["refusals"][0]["setting"], "right");
  EXPECT_EQ(Duplicate["plan"]["refusals"][0]["text"], "right: F8 is already set for centre");
  EXPECT_EQ(Duplicate["phase"], "ready");

  const json Same = json::parse(vantor_write(1, R"({"centre": "F8"})"));
  EXPECT_EQ(Same["plan"]["changed"], false);
  EXPECT_TRUE(Same["frame"].is_null());
}

TEST(CoreBinding, TextThatIsNotWhatACallTakesNamesNothing) {
  Connect();
  for (const char* Text : {"", "not json", "[1, 2]", R"({"volume": "F3", "left": 7})"}) {
    const json Plan = json::parse(vantor_plan(Text));
    EXPECT_EQ(Plan["changed"], false) << Text;
    EXPECT_EQ(Plan["refusals"], json::array()) << Text;
  }
  // Bytes that are no bytes are dropped; the conversation goes on.
  EXPECT_EQ(json::parse(vantor_receive(2, R"([300, -1, "AA", 1.5])"))["phase"], "ready");
  EXPECT_EQ(json::parse(micsim_feed("{}")), json::array());
}

TEST(CoreBinding, BackupFilesAreReadByTheCore) {
  const json Good = json::parse(vantor_read_backup(
      R"({"format": 1, "firmware": "1.0", "settings": {"centre": "F1", "left": "F2", "right": "off", "mute": true}})"));
  EXPECT_EQ(Good["settings"],
            json({{"centre", "F1"}, {"left", "F2"}, {"right", "off"}, {"mute", "on"}}));
  const json Bad = json::parse(vantor_read_backup(R"({"format": 2})"));
  EXPECT_TRUE(Bad.contains("error"));
  EXPECT_FALSE(Bad.contains("settings"));
}

TEST(CoreBinding, AFailedPortEndsTheConversationAndSaysWhy) {
  json View = json::parse(vantor_begin(0, 1000));
  View = json::parse(vantor_sent(0));
  View = json::parse(vantor_tick(1000));
  EXPECT_EQ(View["phase"], "done");
  EXPECT_EQ(View["outcome"], "silent");
  EXPECT_TRUE(View["wake"].is_null());

  Connect();
  View = json::parse(vantor_lost(5, "the microphone was unplugged"));
  EXPECT_EQ(View["outcome"], "failed");
  EXPECT_EQ(Kinds(View), std::vector<std::string>{"failed"});
  EXPECT_EQ(View["events"][0]["text"], "the microphone was unplugged");
  // Nothing more goes out once it is over.
  EXPECT_TRUE(json::parse(vantor_write(6, R"({"left": "F3"})"))["frame"].is_null());
}

}  // namespace

}  // namespace vantor
