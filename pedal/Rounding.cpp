#include "Rounding.h"

#include <cmath>
#include <limits>

namespace {

// 2^63 is exactly representable in long double; anything at or beyond it does not fit.
constexpr long double kTwoPow63 = 9223372036854775808.0L;

long double NearestTiesToEven(long double value) {
  const long double lower = std::floor(value);
  const long double fraction = value - lower;
  if (fraction > 0.5L) return lower + 1.0L;
  if (fraction < 0.5L) return lower;
  return std::fmod(lower, 2.0L) == 0.0L ? lower : lower + 1.0L;
}

}  // namespace

std::int64_t RoundHalfEven(long double value) {
  if (std::isnan(value)) return 0;
  const long double rounded = NearestTiesToEven(value);
  if (rounded >= kTwoPow63) return std::numeric_limits<std::int64_t>::max();
  if (rounded < -kTwoPow63) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(rounded);
}
