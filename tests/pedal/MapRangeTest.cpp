#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>

#include "pedal/MapRange.h"
#include "pedal/Rounding.h"

namespace {

struct RoundCase {
  long double value;
  std::int64_t expected;
};
void PrintTo(const RoundCase& c, std::ostream* out) { *out << c.value; }

class RoundHalfEvenTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenTest, RoundsToNearestWithTiesToEven) {
  EXPECT_EQ(RoundHalfEven(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundHalfEvenTest,
    ::testing::Values(RoundCase{0.5L, 0}, RoundCase{1.5L, 2}, RoundCase{2.5L, 2},
                      RoundCase{22.5L, 22}, RoundCase{27.5L, 28}, RoundCase{2.4999L, 2},
                      RoundCase{2.5001L, 3}, RoundCase{-0.5L, 0}, RoundCase{-1.5L, -2},
                      RoundCase{-2.5L, -2}, RoundCase{-2.6L, -3}, RoundCase{7.0L, 7},
                      RoundCase{std::numeric_limits<long double>::quiet_NaN(), 0},
                      RoundCase{1e30L, std::numeric_limits<std::int64_t>::max()},
                      RoundCase{-1e30L, std::numeric_limits<std::int64_t>::min()}));

struct MapCase {
  long double x, fromLow, fromHigh, toLow, toHigh;
  long double expected;
  std::int64_t expectedRounded;
};
void PrintTo(const MapCase& c, std::ostream* out) {
  *out << c.x << " in " << c.fromLow << ".." << c.fromHigh << " to " << c.toLow << ".." << c.toHigh;
}

class MapRangeTest : public ::testing::TestWithParam<MapCase> {};

TEST_P(MapRangeTest, MapsLinearlyAndRoundsTiesToEven) {
  const MapCase& c = GetParam();
  EXPECT_NEAR(static_cast<double>(MapRange(c.x, c.fromLow, c.fromHigh, c.toLow, c.toHigh)),
              static_cast<double>(c.expected), 1e-12);
  EXPECT_EQ(MapRangeRounded(c.x, c.fromLow, c.fromHigh, c.toLow, c.toHigh), c.expectedRounded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapRangeTest,
    ::testing::Values(MapCase{2000, 1000, 3000, 0, 100, 50, 50},
                      MapCase{505, 0, 1000, 0, 100, 50.5L, 50},  // tie goes down to even
                      MapCase{515, 0, 1000, 0, 100, 51.5L, 52},  // tie goes up to even
                      MapCase{0, 0, 1000, 0, 100, 0, 0}, MapCase{1000, 0, 1000, 0, 100, 100, 100},
                      MapCase{1500, 0, 1000, 0, 100, 150, 150},  // beyond the source range
                      MapCase{250, 1000, 0, 0, 100, 75, 75},     // reversed source interval
                      MapCase{250, 0, 1000, 100, 0, 75, 75},     // reversed target interval
                      MapCase{1, 0, 3, 0, 100, 100.0L / 3, 33}));

TEST(MapRangeTest, EmptySourceIntervalHasNoValueAndRoundsToZero) {
  EXPECT_FALSE(std::isfinite(MapRange(5, 7, 7, 0, 100)));
  EXPECT_EQ(MapRangeRounded(7, 7, 7, 0, 100), 0);  // 0/0 is NaN
}

TEST(MapRangeTest, KeepsExtendedPrecisionForLargeValues) {
  if (std::numeric_limits<long double>::digits < 64) GTEST_SKIP() << "no extended precision here";
  // 2^60 + 1 is not representable in a double; extended precision keeps the +1.
  const long double big = 1152921504606846977.0L;
  EXPECT_EQ(MapRangeRounded(big, 0, 1, 0, 1), 1152921504606846977LL);
}

}  // namespace
