// The JSON documents' parts, as scripts read them.
#include "cli/json_output.h"

#include <gtest/gtest.h>

namespace vantor {

namespace {

TEST(JsonOutput, SettingsReadLikeTheBackupFile) {
  TMicSettings Settings;
  Settings[kCentre] = 65;
  Settings[kLeft] = 255;
  Settings[kRight] = 3;
  Settings[kMute] = 9;
  EXPECT_EQ(SettingsJson(Settings).dump(),
            R"j({"centre":"F8","left":"off","right":"unknown(3)","mute":true})j");
}

TEST(JsonOutput, APortCarriesItsStateHoldersAndRemedies) {
  TPortReportEntry Busy;
  Busy.Name = "/dev/ttyACM0";
  Busy.StableName = "/dev/serial/by-id/usb-Vantor-if00";
  Busy.Present = true;
  Busy.UsbSerial = true;
  Busy.State = TPortFailure::pfBusy;
  Busy.Holders = {{4711, "minicom"}};
  const TJson Port = PortJson(Busy, nullptr, false);
  EXPECT_EQ(Port["port"], "/dev/ttyACM0");
  EXPECT_EQ(Port["stable_name"], "/dev/serial/by-id/usb-Vantor-if00");
  EXPECT_TRUE(Port["description"].is_null());
  EXPECT_EQ(Port["state"], "busy");
  EXPECT_EQ(Port["detail"], "busy: held by minicom (pid 4711)");
  EXPECT_EQ(Port["holders"], TJson::parse(R"([{"pid":4711,"name":"minicom"}])"));
  EXPECT_TRUE(Port["membership"].is_null());
  EXPECT_EQ(Port["remedies"].size(), 1u);
  EXPECT_EQ(Port["greeted"], false);
  EXPECT_EQ(Port["microphone"], false);
  EXPECT_TRUE(Port["firmware"].is_null());

  TPortReportEntry Denied;
  Denied.Name = "/dev/ttyUSB0";
  Denied.State = TPortFailure::pfDenied;
  Denied.Group = "dialout";
  Denied.Membership = TGroupMembership::gmNotLoggedIn;
  Denied.ErrorCode = 13;
  Denied.Error = "Permission denied";
  const TJson Json = PortJson(Denied, nullptr, false);
  EXPECT_EQ(Json["membership"], "not-logged-in");
  EXPECT_EQ(Json["error"], TJson::parse(R"({"code":13,"text":"Permission denied"})"));
}

TEST(JsonOutput, AProblemKeepsItsPortStateMessageAndRemedies) {
  const TPortProblem Problem{"COM3", "silent", "silent: no answer", {"Check the port."}};
  EXPECT_EQ(ProblemJson(Problem).dump(),
            R"({"port":"COM3","state":"silent","message":"silent: no answer",)"
            R"("remedies":["Check the port."]})");
}

}  // namespace

}  // namespace vantor
