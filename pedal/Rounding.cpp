#include "Rounding.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

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

std::int64_t RoundTenthsHalfEven(double value) {
  if (std::isnan(value)) return 0;
  if (std::fabs(value) >= 1e17) return RoundHalfEven(static_cast<long double>(value) * 10.0L);
  // Below 1e17 the shortest fixed form has at most 17 whole digits and fits with room to spare.
  char buffer[400];
  const std::to_chars_result written =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  const std::size_t point = std::min(text.find('.'), text.size());
  std::int64_t tenths = 0;
  for (char digit : text.substr(0, point)) tenths = tenths * 10 + (digit - '0');
  const std::string_view decimals = point < text.size() ? text.substr(point + 1) : "";
  tenths = tenths * 10 + (decimals.empty() ? 0 : decimals.front() - '0');
  // What lies beyond the tenths decides: more than half, exactly half, or less.
  const std::string_view rest = decimals.size() > 1 ? decimals.substr(1) : "";
  const bool half = !rest.empty() && rest.front() == '5';
  const bool beyondHalf =
      (!rest.empty() && rest.front() > '5') ||
      (half && rest.find_first_not_of('0', 1) != std::string_view::npos);
  if (beyondHalf || (half && tenths % 2 != 0)) ++tenths;
  return negative ? -tenths : tenths;
}
