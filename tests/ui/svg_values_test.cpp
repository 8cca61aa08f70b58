#include "ui/svg/svg_values.h"

#include <gtest/gtest.h>

namespace vantor {

namespace {

TEST(SvgNumber, ReadsTheFormsThePictureUses) {
  struct TCase {
    const char* Text;
    double Value;
    bool Percent;
  } Cases[] = {{"0", 0, false},       {"250", 250, false}, {" 3 ", 3, false},
               {"-2.5", -2.5, false}, {".5", 0.5, false},  {"1e2", 100, false},
               {"2E-1", 0.2, false},  {"30%", 30, true},   {"12px", 12, false},
               {"+7", 7, false}};
  for (const auto& C : Cases) {
    const auto N = ParseSvgNumber(C.Text);
    ASSERT_TRUE(N) << C.Text;
    EXPECT_DOUBLE_EQ(N->Value, C.Value) << C.Text;
    EXPECT_EQ(N->Percent, C.Percent) << C.Text;
  }
}

TEST(SvgNumber, RefusesWhatIsNoNumber) {
  for (const char* Text : {"", " ", "abc", "-", ".", "3mm", "12 px", "1e", "%"})
    EXPECT_FALSE(ParseSvgNumber(Text)) << Text;
}

TEST(SvgNumber, ClampsHugeValuesInsteadOfOverflowing) {
  const auto N = ParseSvgNumber("1e999");
  ASSERT_TRUE(N);
  EXPECT_EQ(N->Value, kSvgMaxCoordinate);
  const auto Long = ParseSvgNumber(std::string(5000, '9'));
  ASSERT_TRUE(Long);
  EXPECT_EQ(Long->Value, kSvgMaxCoordinate);
}

TEST(SvgFraction, PercentAndPlainNumbersAreFractions) {
  EXPECT_DOUBLE_EQ(*ParseSvgFraction("50%"), 0.5);
  EXPECT_DOUBLE_EQ(*ParseSvgFraction("0.25"), 0.25);
  EXPECT_DOUBLE_EQ(*ParseSvgFraction("100%"), 1.0);
}

TEST(SvgColor, HexFormsAndNames) {
  EXPECT_EQ(*ParseSvgColor("#e2e1d9"), (TSvgColor{0xe2, 0xe1, 0xd9}));
  EXPECT_EQ(*ParseSvgColor("#C42A10"), (TSvgColor{0xc4, 0x2a, 0x10}));
  EXPECT_EQ(*ParseSvgColor("#fa0"), (TSvgColor{0xff, 0xaa, 0x00}));
  EXPECT_EQ(*ParseSvgColor(" white "), (TSvgColor{255, 255, 255}));
  for (const char* Bad : {"", "#", "#12", "#12345", "#1234567", "#ggg000", "e2e1d9", "nocolour"})
    EXPECT_FALSE(ParseSvgColor(Bad)) << Bad;
}

TEST(SvgPaint, NoneColourAndReference) {
  EXPECT_EQ(ParseSvgPaint("none")->Kind, TSvgPaintKind::None);
  const auto C = ParseSvgPaint("#15110a");
  ASSERT_TRUE(C);
  EXPECT_EQ(C->Kind, TSvgPaintKind::Color);
  EXPECT_EQ(C->Color, (TSvgColor{0x15, 0x11, 0x0a}));
  const auto U = ParseSvgPaint("url(#panelGradient)");
  ASSERT_TRUE(U);
  EXPECT_EQ(U->Kind, TSvgPaintKind::Gradient);
  EXPECT_EQ(U->GradientId, "panelGradient");
  EXPECT_EQ(ParseSvgPaint("url('#a')")->GradientId, "a");
  for (const char* Bad : {"url(", "url()", "url(#)", "url(a)", "#xyz"})
    EXPECT_FALSE(ParseSvgPaint(Bad)) << Bad;
}

TEST(SvgStyle, SplitsDeclarations) {
  const auto S = ParseSvgStyle(" stop-color : #fff ; stop-opacity:0.5;;bogus; :x");
  ASSERT_EQ(S.size(), 2u);
  EXPECT_EQ(S[0].first, "stop-color");
  EXPECT_EQ(S[0].second, "#fff");
  EXPECT_EQ(S[1].first, "stop-opacity");
  EXPECT_EQ(S[1].second, "0.5");
}

TEST(SvgNumberList, ViewBoxWithBlanksOrCommas) {
  EXPECT_EQ(ParseSvgNumberList("0 0 250 166", 4), (std::vector<double>{0, 0, 250, 166}));
  EXPECT_EQ(ParseSvgNumberList("1,2, 3 ,4,5", 4), (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(ParseSvgNumberList("1 x 3", 4), (std::vector<double>{1}));
}

}  // namespace

}  // namespace vantor
