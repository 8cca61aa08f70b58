#include "protocol/frames.h"
#include "protocol/requests.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "serial/sio_events.h"
#include "tests/protocol/recording_port.h"

namespace vantor {

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using TBytes = std::vector<std::uint8_t>;

struct TRequestCase {
  const char* Name;
  std::function<void(ISerialPort&)> Send;
  TBytes Expected;
};

const std::vector<TRequestCase>& RequestCases() {
  static const std::vector<TRequestCase> Cases = {
      {"handshake", [](ISerialPort& P) { SendHandshake(P); }, {0xAA, 0x05, 0x01, 0x00, 0xBB}},
      {"read setting 3",
       [](ISerialPort& P) { RequestSetting(P, 3); },
       {0xAA, 0x05, 0x02, 0x03, 0xBB}},
      {"write setting 2 = 60",
       [](ISerialPort& P) { WriteSetting(P, 2, 60); },
       {0xAA, 0x06, 0x03, 0x02, 0x3C, 0xBB}},
      {"write button off",
       [](ISerialPort& P) { WriteSetting(P, 3, 255); },
       {0xAA, 0x06, 0x03, 0x03, 0xFF, 0xBB}},
      {"version", [](ISerialPort& P) { RequestVersion(P); }, {0xAA, 0x05, 0x04, 0x00, 0xBB}},
  };
  return Cases;
}

TEST(Requests, EachIsOneWriteOfExactlyItsFrame) {
  for (const auto& Case : RequestCases()) {
    SCOPED_TRACE(Case.Name);
    TRecordingPort Port;
    Case.Send(Port);
    ASSERT_EQ(Port.Writes.size(), 1u);
    EXPECT_THAT(Port.Writes[0], ElementsAreArray(Case.Expected));
    EXPECT_THAT(Port.Counts, ElementsAre(static_cast<int>(Case.Expected.size())));
    EXPECT_EQ(Port.CloseCalls, 0);
    EXPECT_TRUE(Port.Active());
  }
}

TEST(Requests, BackToBackRequestsLeaveInCallOrder) {
  TRecordingPort Port;
  RequestVersion(Port);
  RequestSetting(Port, 1);
  WriteSetting(Port, 4, 0);
  ASSERT_EQ(Port.Writes.size(), 3u);
  EXPECT_EQ(Port.Writes[0][2], cmdReadVersion);
  EXPECT_EQ(Port.Writes[1][2], cmdReadSetting);
  EXPECT_EQ(Port.Writes[2][2], cmdWriteSetting);
}

struct TFailureCase {
  const char* Name;
  std::function<void()> Raise;
};

TEST(Requests, AFailingWriteClosesThePortAndIsSwallowed) {
  const std::vector<TFailureCase> Failures = {
      {"ESioCommError",
       [] { throw ESioCommError("Output buffer is full. Please check comm status."); }},
      {"std::runtime_error", [] { throw std::runtime_error("not one of ours"); }},
      {"std::bad_alloc", [] { throw std::bad_alloc(); }},
  };
  for (const auto& Failure : Failures) {
    for (const auto& Request : RequestCases()) {
      SCOPED_TRACE(std::string(Failure.Name) + " on " + Request.Name);
      TRecordingPort Port;
      Port.FailWrite = Failure.Raise;
      EXPECT_NO_THROW(Request.Send(Port));
      EXPECT_EQ(Port.CloseCalls, 1);
      EXPECT_FALSE(Port.Active());
      EXPECT_TRUE(Port.Writes.empty());
    }
  }
}

TEST(Requests, RequestsAfterAFailureAreLostWithoutNotice) {
  TRecordingPort Port;
  Port.FailWrite = [] { throw ESioCommError("Write error"); };
  WriteSetting(Port, 1, 65);
  Port.FailWrite = nullptr;
  EXPECT_NO_THROW(RequestSetting(Port, 1));
  EXPECT_TRUE(Port.Writes.empty());
  // The closed port raises nothing, so nothing more is closed.
  EXPECT_EQ(Port.CloseCalls, 1);
}

}  // namespace

}  // namespace vantor
