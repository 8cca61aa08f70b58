// The conversation machine, fed every byte script (the scripts are built in, so the same
// binary runs natively, under Wine and as WebAssembly), and the driver-facing promises a
// script cannot state.
#include <gtest/gtest.h>

#include "mic/conversation.h"
#include "tests/mic/conversation_script.h"
#include "tests/mic/conversation_scripts.h"

namespace vantor {

namespace {

class ConversationScript : public testing::TestWithParam<TNamedScript> {};

TEST_P(ConversationScript, Holds) {
  for (const std::string& Failure : RunConversationScript(GetParam().Text))
    ADD_FAILURE() << GetParam().Name << ".script, " << Failure;
}

INSTANTIATE_TEST_SUITE_P(Scripts, ConversationScript, testing::ValuesIn(ConversationScripts()),
                         [](const testing::TestParamInfo<TNamedScript>& Info) {
                           std::string Name = Info.param.Name;
                           for (char& C : Name) {
                             if (!std::isalnum(static_cast<unsigned char>(C)))
                               C = '_';
                           }
                           return Name;
                         });

TEST(ConversationScriptRunner, ReportsWhatDoesNotHold) {
  // The runner itself: a wrong expectation must be a failure, or every script passes.
  EXPECT_EQ(RunConversationScript("start\nsent version\n").size(), 1u);
  EXPECT_EQ(RunConversationScript("start\nsent handshake\nexpect phase reading\n").size(), 1u);
  EXPECT_EQ(RunConversationScript("start\nquiet\n").size(), 1u);
  EXPECT_EQ(RunConversationScript("bogus\n").size(), 1u);
}

TEST(Conversation, NeverAsksToBeWokenWhenNothingWaitsOnTheClock) {
  TMicConversation Talk(TMillis(1000));
  EXPECT_FALSE(Talk.NextWake());
  Talk.Start(TMillis(0), false);
  EXPECT_EQ(Talk.NextWake(), TMillis(250));
  Talk.Finish();
  EXPECT_FALSE(Talk.NextWake());
  EXPECT_FALSE(Talk.HasFrame());
  EXPECT_FALSE(Talk.Waiting());
}

TEST(Conversation, GarbageOfEveryShapeEndsWithinTheTimeLimit) {
  // Whatever arrives, the machine ends by its deadline and its buffer stays bounded.
  std::uint32_t Seed = 12345;
  for (int Round = 0; Round < 200; ++Round) {
    TMicConversation Talk(TMillis(1000));
    Talk.Start(TMillis(0), false);
    for (int Ms = 0; Ms <= 1000 && Talk.Waiting(); Ms += 10) {
      std::vector<std::uint8_t> Noise(static_cast<std::size_t>(Seed % 16));
      for (std::uint8_t& B : Noise) {
        Seed = Seed * 1664525u + 1013904223u;
        B = static_cast<std::uint8_t>(Seed >> 24);
        if (Seed % 5 == 0)
          B = 0xAA;
      }
      Talk.Receive(TMillis(Ms), Noise.data(), Noise.size());
      Talk.Tick(TMillis(Ms));
      while (Talk.HasFrame())
        Talk.FrameSent(TMillis(Ms));
      Talk.TakeNotes();
    }
    Talk.Tick(TMillis(1000));
    EXPECT_FALSE(Talk.Waiting() && Talk.Phase() == TMicConversation::TPhase::cpGreeting)
        << "round " << Round;
  }
}

}  // namespace

}  // namespace vantor
