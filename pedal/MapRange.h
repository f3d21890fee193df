#pragma once
// Linear mapping of a value from one interval to another, shared by the readout and the panels.

#include <cstdint>

// toLow + (x - fromLow) * (toHigh - toLow) / (fromHigh - fromLow), in extended precision.
// Reversed intervals (low > high) follow the same formula. An empty source interval
// (fromLow == fromHigh) has no mapping: the result is then infinite or NaN.
long double MapRange(long double x, long double fromLow, long double fromHigh, long double toLow,
                     long double toHigh);

// MapRange rounded to the nearest integer, ties to even (see RoundHalfEven; a NaN gives 0).
std::int64_t MapRangeRounded(long double x, long double fromLow, long double fromHigh,
                             long double toLow, long double toHigh);
