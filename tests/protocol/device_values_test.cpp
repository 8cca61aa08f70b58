#include "protocol/device_values.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vantor {

namespace {

TEST(KeyToDeviceCode, OnlyPlainF1ToF12HaveACode) {
  const std::vector<std::pair<std::uint16_t, int>> Cases = {
      {112, 58},      // F1
      {119, 65},      // F8
      {123, 69},      // F12
      {111, 255},     // F1 - 1
      {124, 255},     // F13
      {252, 255},     // the empty field
      {0, 255},       //
      {0x41, 255},    // the letter A
      {0x2070, 255},  // Shift+F1
      {0x4070, 255},  // Ctrl+F1
      {0x8070, 255},  // Alt+F1
      {0xFFFF, 255},
  };
  for (const auto& [Key, Code] : Cases) {
    EXPECT_EQ(KeyToDeviceCode(Key), Code) << "key " << Key;
  }
}

TEST(DeviceCodeToKey, OnlyTheFunctionKeyCodesNameAKey) {
  const std::vector<std::pair<int, std::uint16_t>> Cases = {
      {58, 112}, {62, 116}, {69, 123}, {57, 252}, {70, 252}, {0, 252}, {255, 252}, {-1, 252},
  };
  for (const auto& [Code, Key] : Cases) {
    EXPECT_EQ(DeviceCodeToKey(Code), Key) << "code " << Code;
  }
}

TEST(KeyCodes, EveryFunctionKeyGoesThereAndBack) {
  for (std::uint16_t Key = 112; Key <= 123; ++Key) {
    EXPECT_EQ(DeviceCodeToKey(KeyToDeviceCode(Key)), Key) << "key " << Key;
  }
}

TEST(VersionText, TenthsWithOneDecimalAndAFullStop) {
  const std::pair<std::uint8_t, const char*> Cases[] = {
      {0, "0.0"}, {7, "0.7"}, {10, "1.0"}, {12, "1.2"}, {20, "2.0"}, {99, "9.9"}, {255, "25.5"}};
  for (const auto& [Tenths, Text] : Cases)
    EXPECT_EQ(VersionText(Tenths), Text);
}

}  // namespace

}  // namespace vantor
