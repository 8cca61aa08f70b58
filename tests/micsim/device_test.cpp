#include "tools/micsim/device.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantor {

namespace {

using micsim::TBytes;
using micsim::TMicDevice;
using micsim::TSettings;

struct TStep {
  TBytes Frame;
  std::optional<TBytes> Reply;
  bool Stored = false;
};

void Converse(TMicDevice& Device, const std::vector<TStep>& Steps) {
  for (std::size_t I = 0; I < Steps.size(); ++I) {
    SCOPED_TRACE("step " + std::to_string(I) + ": " + micsim::Hex(Steps[I].Frame));
    const auto Answer = Device.Handle(Steps[I].Frame);
    EXPECT_EQ(Answer.Reply, Steps[I].Reply) << Answer.Note;
    EXPECT_EQ(Answer.Stored, Steps[I].Stored) << Answer.Note;
    EXPECT_FALSE(Answer.Note.empty());
  }
}

TEST(MicDevice, AnswersTheFourCommands) {
  TMicDevice Device(TSettings{}, 12, 1);
  Converse(Device, {
                       {{0xAA, 5, 1, 0, 0xBB}, TBytes{0xAA, 5, 1, 1, 0xBB}},
                       {{0xAA, 5, 4, 0, 0xBB}, TBytes{0xAA, 5, 4, 12, 0xBB}},
                       {{0xAA, 5, 2, 1, 0xBB}, TBytes{0xAA, 6, 2, 1, 65, 0xBB}},
                       {{0xAA, 5, 2, 2, 0xBB}, TBytes{0xAA, 6, 2, 2, 255, 0xBB}},
                       {{0xAA, 5, 2, 3, 0xBB}, TBytes{0xAA, 6, 2, 3, 255, 0xBB}},
                       {{0xAA, 5, 2, 4, 0xBB}, TBytes{0xAA, 6, 2, 4, 0, 0xBB}},
                       {{0xAA, 6, 3, 2, 60, 0xBB}, std::nullopt, true},
                       {{0xAA, 6, 3, 4, 1, 0xBB}, std::nullopt, true},
                       {{0xAA, 5, 2, 2, 0xBB}, TBytes{0xAA, 6, 2, 2, 60, 0xBB}},
                       {{0xAA, 5, 2, 4, 0xBB}, TBytes{0xAA, 6, 2, 4, 1, 0xBB}},
                   });
  TSettings Expected;
  Expected[2] = 60;
  Expected[4] = 1;
  EXPECT_EQ(Device.Settings(), Expected);
}

TEST(MicDevice, WithIgnoreWritesAcceptsWritesButKeepsTheOldValues) {
  TMicDevice Device(TSettings{}, 12, 1);
  Device.SetIgnoreWrites(true);
  Converse(Device, {
                       {{0xAA, 6, 3, 2, 60, 0xBB}, std::nullopt, false},
                       {{0xAA, 5, 2, 2, 0xBB}, TBytes{0xAA, 6, 2, 2, 255, 0xBB}},
                   });
  EXPECT_EQ(Device.Settings(), TSettings{});
}

TEST(MicDevice, IgnoresWhatItDoesNotUnderstand) {
  TSettings Start;
  Start[1] = 58;
  TMicDevice Device(Start, 7, 1);
  Converse(Device, {
                       {{0xAA, 5, 7, 0, 0xBB}, std::nullopt},        // unknown command
                       {{0xAA, 5, 0, 0, 0xBB}, std::nullopt},        // command 0
                       {{0xAA, 5, 2, 0, 0xBB}, std::nullopt},        // setting 0
                       {{0xAA, 5, 2, 5, 0xBB}, std::nullopt},        // setting 5
                       {{0xAA, 6, 3, 0, 60, 0xBB}, std::nullopt},    // write setting 0
                       {{0xAA, 6, 3, 9, 60, 0xBB}, std::nullopt},    // write setting 9
                       {{0xAA, 6, 2, 1, 0, 0xBB}, std::nullopt},     // read of the wrong length
                       {{0xAA, 5, 3, 1, 0xBB}, std::nullopt},        // write without a value
                       {{0xAA, 6, 1, 0, 0, 0xBB}, std::nullopt},     // long handshake
                       {{0xAA, 7, 4, 0, 0, 0, 0xBB}, std::nullopt},  // long version request
                       {{0xAA, 6, 5, 1, 2}, std::nullopt},           // not what the parser cuts
                       {{0xAA, 5, 4, 0, 0xBB}, TBytes{0xAA, 5, 4, 7, 0xBB}},
                   });
  EXPECT_EQ(Device.Settings(), Start);
}

TEST(MicDevice, AnswersHandshakesFromTheNthOn) {
  TMicDevice Device(TSettings{}, 12, 3);
  const TBytes Handshake = {0xAA, 5, 1, 0, 0xBB};
  const TBytes Status1 = {0xAA, 5, 1, 1, 0xBB};
  Converse(Device,
           {
               {Handshake, std::nullopt},
               {{0xAA, 5, 2, 1, 0xBB}, TBytes{0xAA, 6, 2, 1, 65, 0xBB}},  // other commands work
               {Handshake, std::nullopt},
               {Handshake, Status1},
               {Handshake, Status1},
           });
}

}  // namespace

}  // namespace vantor
