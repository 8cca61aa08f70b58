#include "base/utf.h"

#include <gtest/gtest.h>

namespace vantor {

namespace {

struct TUtfCase {
  std::u16string Utf16;
  std::string Utf8;
};

class UtfRoundTrip : public ::testing::TestWithParam<TUtfCase> {};

TEST_P(UtfRoundTrip, ConvertsBothWays) {
  EXPECT_EQ(ToUtf8(GetParam().Utf16), GetParam().Utf8);
  EXPECT_EQ(ToUtf16(GetParam().Utf8), GetParam().Utf16);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UtfRoundTrip,
    ::testing::Values(TUtfCase{u"", ""}, TUtfCase{u"COM3", "COM3"}, TUtfCase{u"\u00e9", "\xc3\xa9"},
                      TUtfCase{u"\u20ac", "\xe2\x82\xac"},
                      TUtfCase{u"\U0001F3A4", "\xf0\x9f\x8e\xa4"},
                      TUtfCase{std::u16string(1, u'\0'), std::string(1, '\0')}));

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(ToUtf16("a\xff"
                    "b"),
            u"a\ufffdb");
  EXPECT_EQ(ToUtf16("\xc3"), u"\ufffd");                      // cut short
  EXPECT_EQ(ToUtf16("\xc0\xaf"), u"\ufffd\ufffd");            // overlong
  EXPECT_EQ(ToUtf16("\xed\xa0\x80"), u"\ufffd\ufffd\ufffd");  // a surrogate
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

}  // namespace

}  // namespace vantor
