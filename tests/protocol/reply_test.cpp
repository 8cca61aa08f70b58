#include "protocol/reply.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor {

namespace {

using TBytes = std::vector<std::uint8_t>;
using K = TDeviceReply;

struct TReplyCase {
  const char* Name;
  TBytes Frame;  // what reassembly hands over: the frame and maybe more bytes behind it
  TDeviceReply::TKind Kind;
  std::uint8_t Status = 0;
  std::uint8_t Index = 0;
  std::uint8_t Value = 0;
  std::uint8_t Version = 0;
};

std::string KindName(TDeviceReply::TKind Kind) {
  switch (Kind) {
    case K::rkIgnored:
      return "ignored";
    case K::rkNotConnected:
      return "not connected";
    case K::rkHandshake:
      return "handshake";
    case K::rkSetting:
      return "setting";
    case K::rkVersion:
      return "version";
    case K::rkVersionUnknown:
      return "version unknown";
  }
  return "?";
}

TEST(ReadReply, ReadsOnlyTheBytesTheHostReliesOn) {
  const std::vector<TReplyCase> Cases = {
      {"setting 1 = F1", {0xAA, 0x06, 0x02, 0x01, 0x3A, 0xBB}, K::rkSetting, 0, 1, 0x3A},
      {"end byte never examined", {0xAA, 0x06, 0x02, 0x01, 0x3A, 0x00}, K::rkSetting, 0, 1, 0x3A},
      {"setting 4 = on", {0xAA, 0x06, 0x02, 0x04, 0x01, 0xBB}, K::rkSetting, 0, 4, 1},
      {"setting value outside the key codes",
       {0xAA, 0x06, 0x02, 0x02, 0x0A, 0xBB},
       K::rkSetting,
       0,
       2,
       0x0A},
      {"setting of length 5", {0xAA, 0x05, 0x02, 0x01, 0xBB}, K::rkIgnored},
      {"setting of length 7", {0xAA, 0x07, 0x02, 0x01, 0x3A, 0x00, 0xBB}, K::rkIgnored},
      {"setting of length 3 (payload length wraps)", {0xAA, 0x03, 0x02}, K::rkIgnored},
      {"setting index 0", {0xAA, 0x06, 0x02, 0x00, 0x3A, 0xBB}, K::rkIgnored},
      {"setting index 5", {0xAA, 0x06, 0x02, 0x05, 0x3A, 0xBB}, K::rkIgnored},
      {"handshake status 1", {0xAA, 0x05, 0x01, 0x01, 0xBB}, K::rkHandshake, 1},
      {"handshake status 0", {0xAA, 0x05, 0x01, 0x00, 0xBB}, K::rkHandshake, 0},
      {"handshake of length 4", {0xAA, 0x04, 0x01, 0x01}, K::rkHandshake, 1},
      {"handshake of length 3", {0xAA, 0x03, 0x01}, K::rkNotConnected},
      {"handshake of length 3, status byte behind it unread",
       {0xAA, 0x03, 0x01, 0x01, 0xBB},
       K::rkNotConnected},
      {"version 7", {0xAA, 0x05, 0x04, 0x07, 0xBB}, K::rkVersion, 0, 0, 0, 7},
      {"version of length 9",
       {0xAA, 0x09, 0x04, 0x0C, 0, 0, 0, 0, 0xBB},
       K::rkVersion,
       0,
       0,
       0,
       12},
      {"version of length 3", {0xAA, 0x03, 0x04}, K::rkVersionUnknown},
      {"version of length 3, version byte behind it unread",
       {0xAA, 0x03, 0x04, 0x0C, 0xBB},
       K::rkVersionUnknown},
      {"write setting echoed", {0xAA, 0x06, 0x03, 0x01, 0x3A, 0xBB}, K::rkIgnored},
      {"unknown command", {0xAA, 0x05, 0x09, 0x01, 0xBB}, K::rkIgnored},
      {"command 0", {0xAA, 0x05, 0x00, 0x01, 0xBB}, K::rkIgnored},
      {"length 2", {0xAA, 0x02, 0x01, 0x01, 0xBB}, K::rkIgnored},
      {"length 1", {0xAA, 0x01, 0x04, 0x07, 0xBB}, K::rkIgnored},
      {"length 0", {0xAA, 0x00, 0x01, 0x01, 0xBB}, K::rkIgnored},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const TDeviceReply Reply = ReadReply(Case.Frame, Case.Frame[1]);
    EXPECT_EQ(KindName(Reply.Kind), KindName(Case.Kind));
    EXPECT_EQ(Reply.Status, Case.Status);
    EXPECT_EQ(Reply.Index, Case.Index);
    EXPECT_EQ(Reply.Value, Case.Value);
    EXPECT_EQ(Reply.Version, Case.Version);
  }
}

}  // namespace

}  // namespace vantor
