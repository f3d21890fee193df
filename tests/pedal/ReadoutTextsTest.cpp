// The readout's texts: percent and brake load from a bar position, in the user's locale.

#include "ReadoutTexts.h"

#include <gtest/gtest.h>

namespace {

const QLocale kPointLocale = QLocale::c();

struct PercentCase {
  double position, minimum, maximum;
  const char* expected;
};

class PercentTextTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentTextTest, MapsThePositionOntoTheBarRange) {
  const PercentCase& c = GetParam();
  EXPECT_EQ(PercentText(c.position, c.minimum, c.maximum, kPointLocale), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PercentTextTest,
    ::testing::Values(PercentCase{2000, 1000, 3000, "50.0%"}, PercentCase{1000, 1000, 3000, "0.0%"},
                      PercentCase{3000, 1000, 3000, "100.0%"}, PercentCase{1, 0, 3, "33.3%"},
                      PercentCase{2, 0, 3, "66.7%"},
                      // One decimal, ties to even: 0.25 -> 0.2, 0.75 -> 0.8.
                      PercentCase{1, 0, 400, "0.2%"}, PercentCase{3, 0, 400, "0.8%"},
                      // A reversed range maps the same straight line.
                      PercentCase{250, 1000, 0, "75.0%"},
                      // An empty range has no mapping: it reads as the bottom, not NaN or inf.
                      PercentCase{500, 500, 500, "0.0%"}, PercentCase{0, 0, 0, "0.0%"}));

struct LoadCase {
  double position, minimum, maximum;
  std::uint16_t leftKg, rightKg;
  const char* expected;
};

class BrakeLoadTextTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(BrakeLoadTextTest, ShowsMinMaxOrKilograms) {
  const LoadCase& c = GetParam();
  EXPECT_EQ(BrakeLoadText(c.position, c.minimum, c.maximum, c.leftKg, c.rightKg, kPointLocale),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrakeLoadTextTest,
    ::testing::Values(LoadCase{1000, 0, 1000, 0, 100, "max"}, LoadCase{0, 0, 1000, 0, 100, "min"},
                      LoadCase{505, 0, 1000, 0, 100, "50.5kg"},
                      // Whole kilograms equal to a thumb's count as that end.
                      LoadCase{995, 0, 1000, 0, 100, "max"}, LoadCase{5, 0, 1000, 0, 100, "min"},
                      LoadCase{15, 0, 1000, 0, 100, "1.5kg"},
                      LoadCase{500, 0, 1000, 20, 60, "40.0kg"},
                      // Both thumbs at the same load: nothing lies between them.
                      LoadCase{500, 0, 1000, 30, 30, "min"},
                      // An empty bar range reads as the bottom.
                      LoadCase{700, 700, 700, 0, 100, "min"}));

TEST(ReadoutTextsLocale, UsesTheLocaleDecimalSeparator) {
  const QLocale german(QLocale::German, QLocale::Germany);
  EXPECT_EQ(PercentText(2000, 1000, 3000, german), "50,0%");
  EXPECT_EQ(BrakeLoadText(505, 0, 1000, 0, 100, german), "50,5kg");
}

TEST(ReadoutTextsLocale, NegativeValuesKeepTheirSign) {
  EXPECT_EQ(OneDecimalText(-12.25L, kPointLocale), "-12.2");
  EXPECT_EQ(OneDecimalText(-0.04L, kPointLocale), "0.0");
}

// Symbols longer than one character are written whole (a sign with a direction mark).
TEST(ReadoutTextsLocale, WritesSymbolsOfAnyLength) {
  const NumberSymbols symbols{QStringLiteral("<dp>"), QStringLiteral("\u200e-")};
  EXPECT_EQ(OneDecimalText(-12.25L, symbols), QStringLiteral("\u200e-12<dp>2"));
  EXPECT_EQ(PercentText(1, 0, 3, symbols), "33<dp>3%");
  EXPECT_EQ(BrakeLoadText(505, 0, 1000, 0, 100, symbols), "50<dp>5kg");
}

TEST(ReadoutTextsLocale, TheSymbolsCacheFollowsTheLocaleItIsAskedFor) {
  NumberSymbolsCache cache;
  EXPECT_EQ(cache.For(kPointLocale).decimalPoint, ".");
  const QLocale german(QLocale::German, QLocale::Germany);
  EXPECT_EQ(cache.For(german).decimalPoint, ",");
  EXPECT_EQ(cache.For(german).negativeSign, german.negativeSign());
  cache.Forget();
  EXPECT_EQ(cache.For(german).decimalPoint, ",");
  EXPECT_EQ(cache.For(kPointLocale).decimalPoint, ".");
}

}  // namespace
