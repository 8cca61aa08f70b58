#include "controller/version_text.h"

#include <gtest/gtest.h>

namespace vantor {

namespace {

TEST(VersionText, TenthsWithOneDecimalAndAFullStop) {
  const std::pair<std::uint8_t, const char*> Cases[] = {
      {0, "0.0"}, {7, "0.7"}, {10, "1.0"}, {12, "1.2"}, {20, "2.0"}, {99, "9.9"}, {255, "25.5"}};
  for (const auto& [Tenths, Text] : Cases)
    EXPECT_EQ(VersionText(Tenths), Text);
}

}  // namespace

}  // namespace vantor
