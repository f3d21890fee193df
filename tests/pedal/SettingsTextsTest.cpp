// The texts the window shows of the stored settings, and the two 16-bit words of the settings
// report they come from.

#include "SettingsTexts.h"

#include <gtest/gtest.h>

#include <array>

#include "PedalModel.h"
#include "tests/support/PrintRowName.h"

namespace {
using qf_test::PrintTo;

PedalData RangeOf(std::uint16_t minimum, std::uint16_t maximum) {
  PedalData settings;
  settings.SliderRangeMin = minimum;
  settings.SliderRangeMax = maximum;
  return settings;
}

struct RangeCase {
  const char* name;
  int left, right;
  std::uint16_t minimum, maximum;
  const char* from;
  const char* to;
};

class WorkingRangeText : public ::testing::TestWithParam<RangeCase> {};

TEST_P(WorkingRangeText, MapsTheThumbsOntoTheStoredRange) {
  const RangeCase& c = GetParam();
  EXPECT_EQ(FromText(c.left, RangeOf(c.minimum, c.maximum)), c.from);
  EXPECT_EQ(ToText(c.right, RangeOf(c.minimum, c.maximum)), c.to);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WorkingRangeText,
    ::testing::Values(RangeCase{"WholeRange", 0, 100, 0, 100, "0%", "100%"},
                      RangeCase{"Inside", 1250, 3750, 1000, 3000, "12%", "138%"},
                      // Whole percentages, ties to even: 12.5 -> 12, 137.5 -> 138, 87.5 -> 88.
                      RangeCase{"TiesToEven", 125, 875, 0, 1000, "12%", "88%"},
                      // The Debug page narrowed the range under the thumbs.
                      RangeCase{"BeyondTheRange", 0, 4000, 1000, 3000, "-50%", "150%"},
                      // No mapping: the percentages read 0 instead of an overflowed infinity.
                      RangeCase{"EmptyRange", 5, 9, 7, 7, "0%", "0%"}),
    qf_test::RowName());

struct ThumbCase {
  const char* name;
  int position, minimum, maximum;
  double brakeKgConst;
  std::uint16_t kg;
};

class BrakeThumbKg : public ::testing::TestWithParam<ThumbCase> {};

TEST_P(BrakeThumbKg, IsTheSliderShareOfNinetySixTimesTheConstant) {
  const ThumbCase& c = GetParam();
  EXPECT_EQ(ThumbKg(c.position, c.minimum, c.maximum, c.brakeKgConst), c.kg);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrakeThumbKg,
    ::testing::Values(ThumbCase{"Bottom", 0, 0, 100, 1.0, 0},
                      ThumbCase{"FullScale", 100, 0, 100, 1.0, 96},
                      ThumbCase{"FullScaleOfTheLargestConstant", 100, 0, 100, 25.5, 2448},
                      // 96 x 0.5 x 0.25 = 12; 96 x 1.5 x 0.5 = 72.
                      ThumbCase{"Quarter", 25, 0, 100, 0.5, 12},
                      ThumbCase{"HalfOfAnOffsetRange", 2000, 1000, 3000, 1.5, 72},
                      // 96 x 0.3125 = 30.0 exactly; 96 x 0.0625 = 6; ties: 1.5 -> 2, 2.5 -> 2.
                      ThumbCase{"TieRoundsToEvenUp", 1, 0, 64, 1.0, 2},
                      ThumbCase{"TieRoundsToEvenDown", 5, 0, 192, 1.0, 2},
                      ThumbCase{"EmptyRange", 50, 70, 70, 1.0, 0},
                      // Kept to the label's 16 bits: 2,448,000 is 2,448,000 mod 65,536.
                      ThumbCase{"BeyondSixteenBits", 100000, 0, 100, 25.5, 2448000 % 65536}),
    qf_test::RowName());

TEST(SettingsTexts, KilogramLabelAndFirmwareVersion) {
  EXPECT_EQ(KgLabel(0), "0kg");
  EXPECT_EQ(KgLabel(2448), "2448kg");
  EXPECT_EQ(VersionText(10203), "MCU Version: 1.2.3");
  EXPECT_EQ(VersionText(0), "MCU Version: 0.0.0");
  EXPECT_EQ(VersionText(65535), "MCU Version: 6.55.35");
}

TEST(SettingsReportWords, FlashCountAndVersionAreReadLowByteFirst) {
  PedalModel model;
  EXPECT_EQ(model.FlashCount(), 0);
  EXPECT_EQ(model.McuVersion(), 0);
  // The data bytes follow the report id, so report offset N is data byte N - 1.
  std::array<std::uint8_t, kSettingsReportDataSize> data{};
  data[SettingsOffset::FlashCount - 1] = 0x34;
  data[SettingsOffset::FlashCount] = 0x12;
  data[SettingsOffset::McuVersion - 1] = 0xDB;  // 10203 = 0x27DB
  data[SettingsOffset::McuVersion] = 0x27;
  ASSERT_TRUE(model.AcceptSettingsReport(data.data(), data.size()));
  EXPECT_EQ(model.FlashCount(), 0x1234);
  EXPECT_EQ(model.McuVersion(), 10203);
}

}  // namespace
