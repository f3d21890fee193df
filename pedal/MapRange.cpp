#include "MapRange.h"

#include "Rounding.h"

long double MapRange(long double x, long double fromLow, long double fromHigh, long double toLow,
                     long double toHigh) {
  return toLow + (x - fromLow) * (toHigh - toLow) / (fromHigh - fromLow);
}

std::int64_t MapRangeRounded(long double x, long double fromLow, long double fromHigh,
                             long double toLow, long double toHigh) {
  return RoundHalfEven(MapRange(x, fromLow, fromHigh, toLow, toHigh));
}
