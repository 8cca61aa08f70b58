// The backup file: its exact text, and the checks that keep a broken file from being written.
#include "mic/backup.h"

#include <gtest/gtest.h>

namespace vantor {

namespace {

TBackup Sample() {
  TBackup Backup;
  Backup.Firmware = "1.2";
  Backup.Settings[kCentre] = 65;  // F8
  Backup.Settings[kLeft] = 255;
  Backup.Settings[kRight] = 59;  // F2
  Backup.Settings[kMute] = 0;
  return Backup;
}

constexpr const char* kSampleText =
    "{\"format\": 1, \"firmware\": \"1.2\", \"settings\": {\"centre\": \"F8\", \"left\": \"off\", "
    "\"right\": \"F2\", \"mute\": false}}\n";

TEST(BackupFile, IsOneLineInTheDocumentedFormAndReadsBack) {
  EXPECT_EQ(BackupText(Sample()), kSampleText);
  const TBackupRead Read = ReadBackup(kSampleText);
  ASSERT_TRUE(Read.Backup) << Read.Error;
  EXPECT_EQ(*Read.Backup, Sample());
  // Written by hand: any spacing, key order and key case.
  const TBackupRead Loose = ReadBackup(
      "{ \"settings\" : {\"mute\": true, \"right\": \"f2\", \"left\": \"OFF\", \"centre\": \"F8\"},"
      "\n \"firmware\": \"1.2\", \"format\": 1 }");
  ASSERT_TRUE(Loose.Backup) << Loose.Error;
  EXPECT_EQ(Loose.Backup->Settings[kMute], 1);
  // Mute in the words the tool shows is read too; the file is still written with booleans.
  const TBackupRead Words = ReadBackup(
      std::string(kSampleText).replace(std::string(kSampleText).find("false"), 5, "\"on\""));
  ASSERT_TRUE(Words.Backup) << Words.Error;
  EXPECT_EQ(Words.Backup->Settings[kMute], 1);
  EXPECT_NE(BackupText(*Words.Backup).find("\"mute\": true"), std::string::npos);
}

TEST(BackupFile, BrokenFilesAreRefusedNamingTheField) {
  const std::string Good = kSampleText;
  const auto With = [&Good](const std::string& From, const std::string& To) {
    std::string Text = Good;
    Text.replace(Text.find(From), From.size(), To);
    return Text;
  };
  struct Case {
    std::string Text;
    std::string Error;  // a part of the message
  };
  const Case Cases[] = {
      {Good.substr(0, 40), "is it complete?"},
      {"", "is it complete?"},
      {"[1, 2]", "expected a JSON object"},
      {With("\"format\": 1", "\"format\": \"1\""), "format: expected the number 1"},
      {With("\"format\": 1", "\"format\": 2"), "format: this file is format 2"},
      {With("\"firmware\": \"1.2\"", "\"firmware\": 12"), "firmware: expected"},
      {With("\"format\": 1, ", ""), "missing field \"format\""},
      {With("\"format\": 1", "\"format\": 1, \"colour\": \"red\""), "unknown field \"colour\""},
      {With("\"mute\": false", "\"mute\": false, \"top\": \"F1\""),
       "settings: unknown field \"top\""},
      {With("\"mute\": false", "\"mute\": 0"), "settings.mute: expected true or false"},
      {With("\"mute\": false", "\"mute\": \"maybe\""), "settings.mute: mute is on or off"},
      {With("\"centre\": \"F8\"", "\"centre\": 65"), "settings.centre: expected a key name"},
      {With("\"left\": \"off\"", "\"left\": \"F13\""),
       "settings.left: only F1 to F12 or off can be set"},
      {With("\"centre\": \"F8\"", "\"centre\": \"off\""),
       "settings.centre: the centre button cannot be switched off"},
      {With("\"left\": \"off\"", "\"left\": \"F2\""), "settings.right: F2 is already set for left"},
      {With("\"right\": \"F2\"", "\"right\": \"unknown(10)\""),
       "settings.right: only F1 to F12 or off can be set"},
      {With("\"left\": \"off\"", "\"left\": \"off\", \"left\": \"F3\""),
       "field \"left\" appears twice"},
      {With("\"settings\": {", "\"settings\": ["), "is it complete?"},
      {std::string(100, '[') + std::string(100, ']'), "nested too deeply"},
      {Good + std::string(kBackupSizeLimit, ' '), "larger than 64 KiB"},
  };
  for (const Case& C : Cases) {
    const TBackupRead Read = ReadBackup(C.Text);
    EXPECT_FALSE(Read.Backup) << C.Error;
    EXPECT_NE(Read.Error.find(C.Error), std::string::npos) << Read.Error;
  }
}

}  // namespace

}  // namespace vantor
